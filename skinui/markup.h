#pragma once
// The small XML reader for layout files.
//
// Accepted syntax: elements with double-quoted attributes, text, "<!-- -->" comments and "<? ?>"
// declarations (both skipped), the entities &amp; &lt; &gt; &quot; &apos; (any other "&" stays as written).
// No CDATA, no document type, no character references. Whitespace in text and values is kept. A missing
// end tag of the root element is tolerated. At most kMaxAttributes attributes per element are seen.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace SkinUI {

class CMarkupDocument;

// A handle to one element of a document; valid while the document is neither reloaded nor destroyed.
class CMarkupNode {
public:
    CMarkupNode() = default;

    bool IsValid() const { return doc_ != nullptr && index_ > 0; }
    CMarkupNode GetParent() const;
    CMarkupNode GetSibling() const;
    CMarkupNode GetChild() const;
    bool HasChildren() const;
    bool HasSiblings() const;

    // Tag name as written.
    const std::wstring& GetName() const;
    // The element's text up to its first child or end tag, entities replaced.
    const std::wstring& GetValue() const;

    int GetAttributeCount() const;
    const std::wstring& GetAttributeName(int index) const;
    const std::wstring& GetAttributeValue(int index) const;
    // By exact name (letter case significant); empty when absent.
    std::wstring GetAttributeValue(std::wstring_view name) const;
    bool HasAttribute(std::wstring_view name) const;

private:
    friend class CMarkupDocument;
    CMarkupNode(const CMarkupDocument* doc, int index) : doc_(doc), index_(index) {}

    const CMarkupDocument* doc_ = nullptr;
    int index_ = 0;
};

class CMarkupDocument {
public:
    enum Encoding { kEncodingUtf8 = 0, kEncodingUnicode = 1, kEncodingAnsi = 2 };

    static constexpr int kMaxAttributes = 64;
    static constexpr size_t kMaxErrorMessage = 99;
    static constexpr size_t kMaxErrorLocation = 49;
    // Deeper nesting fails to parse instead of exhausting the stack.
    static constexpr int kMaxDepth = 256;

    CMarkupDocument() = default;
    CMarkupDocument(const CMarkupDocument&) = delete;
    CMarkupDocument& operator=(const CMarkupDocument&) = delete;

    // kEncodingUtf8 (a leading byte-order mark is skipped), kEncodingAnsi (UTF-8 on this system) or
    // kEncodingUnicode (UTF-16; needs a byte-order mark, FF FE or FE FF). False on failure, with the
    // document emptied and the error kept.
    bool LoadFromMem(const uint8_t* bytes, size_t length, int encoding = kEncodingUtf8);
    bool LoadFromString(std::wstring_view text);
    // A skin file found through CPaintManagerUI::LoadFileData.
    bool LoadFromFile(const std::wstring& fileName, int encoding = kEncodingUtf8);
    // The resource `id` of `type` in the toolkit's resource module, as UTF-8.
    bool LoadFromResource(unsigned id, const std::wstring& type);
    void Release();

    bool IsValid() const { return elements_.size() > 1; }
    // Element 1, the document's root; invalid when the document is empty.
    CMarkupNode GetRoot() const;

    // The last load's failure: a message (at most 99 characters) and the text where parsing stopped
    // (at most 49 characters). Empty after a successful load.
    const std::wstring& GetLastErrorMessage() const { return errorMessage_; }
    const std::wstring& GetLastErrorLocation() const { return errorLocation_; }

private:
    friend class CMarkupNode;

    struct Element {
        std::wstring name;
        std::wstring text;
        int parent = 0;
        int child = 0;  // first child, 0 = none
        int next = 0;   // next sibling, 0 = none
        std::vector<std::pair<std::wstring, std::wstring>> attributes;
    };

    bool parse();
    bool parseLevel(size_t& pos, int parent, int depth);
    bool parseAttributes(size_t& pos, Element& element);
    // Reads up to `end` replacing entities; stops at the end of the text too.
    std::wstring readData(size_t& pos, wchar_t end);
    void skipWhitespace(size_t& pos) const;
    wchar_t at(size_t pos) const { return pos < text_.size() ? text_[pos] : L'\0'; }
    bool fail(const wchar_t* message, size_t pos);

    std::wstring text_;
    std::vector<Element> elements_;  // [0] is a placeholder so that 0 can mean "none"
    std::wstring errorMessage_;
    std::wstring errorLocation_;
};

}  // namespace SkinUI
