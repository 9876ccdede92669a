#include "skinui/markup.h"

#include "common/utf8.h"
#include "skinui/paint_manager.h"
#include "skinui/resource_module.h"

namespace SkinUI {

namespace {

const std::wstring kEmpty;

bool isNameChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' || c == L':' ||
           uint32_t(c) >= 0x80;  // letters beyond ASCII
}

// UTF-16 (byte-swapped when `bigEndian`) to wide text; unpaired surrogates become U+FFFD.
std::wstring fromUtf16(const uint8_t* bytes, size_t length, bool bigEndian) {
    std::wstring out;
    out.reserve(length / 2);
    auto unit = [&](size_t i) -> uint32_t {
        return bigEndian ? (uint32_t(bytes[i]) << 8) | bytes[i + 1] : (uint32_t(bytes[i + 1]) << 8) | bytes[i];
    };
    for (size_t i = 0; i + 1 < length; i += 2) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < length) {
            uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += wchar_t(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        out += (u >= 0xD800 && u <= 0xDFFF) ? wchar_t(0xFFFD) : wchar_t(u);
    }
    return out;
}

}  // namespace

// ---- CMarkupNode ----

CMarkupNode CMarkupNode::GetParent() const {
    return IsValid() ? CMarkupNode(doc_, doc_->elements_[index_].parent) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetSibling() const {
    return IsValid() ? CMarkupNode(doc_, doc_->elements_[index_].next) : CMarkupNode();
}

CMarkupNode CMarkupNode::GetChild() const {
    return IsValid() ? CMarkupNode(doc_, doc_->elements_[index_].child) : CMarkupNode();
}

bool CMarkupNode::HasChildren() const { return IsValid() && doc_->elements_[index_].child != 0; }

bool CMarkupNode::HasSiblings() const { return IsValid() && doc_->elements_[index_].next != 0; }

const std::wstring& CMarkupNode::GetName() const { return IsValid() ? doc_->elements_[index_].name : kEmpty; }

const std::wstring& CMarkupNode::GetValue() const { return IsValid() ? doc_->elements_[index_].text : kEmpty; }

int CMarkupNode::GetAttributeCount() const { return IsValid() ? int(doc_->elements_[index_].attributes.size()) : 0; }

const std::wstring& CMarkupNode::GetAttributeName(int index) const {
    if (index < 0 || index >= GetAttributeCount()) return kEmpty;
    return doc_->elements_[index_].attributes[size_t(index)].first;
}

const std::wstring& CMarkupNode::GetAttributeValue(int index) const {
    if (index < 0 || index >= GetAttributeCount()) return kEmpty;
    return doc_->elements_[index_].attributes[size_t(index)].second;
}

std::wstring CMarkupNode::GetAttributeValue(std::wstring_view name) const {
    if (!IsValid()) return {};
    for (const auto& [n, v] : doc_->elements_[index_].attributes) {
        if (n == name) return v;
    }
    return {};
}

bool CMarkupNode::HasAttribute(std::wstring_view name) const {
    if (!IsValid()) return false;
    for (const auto& attribute : doc_->elements_[index_].attributes) {
        if (attribute.first == name) return true;
    }
    return false;
}

// ---- CMarkupDocument ----

bool CMarkupDocument::LoadFromMem(const uint8_t* bytes, size_t length, int encoding) {
    Release();
    if (!bytes) length = 0;
    std::wstring text;
    if (encoding == kEncodingUnicode) {
        if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
            text = fromUtf16(bytes + 2, length - 2, false);
        } else if (length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
            text = fromUtf16(bytes + 2, length - 2, true);
        } else {
            return fail(L"UTF-16 text without byte-order mark", 0);
        }
    } else {
        if (encoding == kEncodingUtf8 && length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            bytes += 3;
            length -= 3;
        }
        text = common::utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes), length));
    }
    return LoadFromString(text);
}

bool CMarkupDocument::LoadFromString(std::wstring_view text) {
    Release();
    // The text ends at its first NUL, as a zero-terminated buffer would.
    text_.assign(text.substr(0, text.find(L'\0')));
    return parse();
}

bool CMarkupDocument::LoadFromFile(const std::wstring& fileName, int encoding) {
    Release();
    std::vector<uint8_t> bytes = CPaintManagerUI::LoadFileData(fileName);
    if (bytes.empty()) {
        errorMessage_ = L"Could not open file";
        errorLocation_ = fileName.substr(0, kMaxErrorLocation);
        return false;
    }
    return LoadFromMem(bytes.data(), bytes.size(), encoding);
}

bool CMarkupDocument::LoadFromResource(unsigned id, const std::wstring& type) {
    Release();
    const CResourceModule* module = CPaintManagerUI::GetResourceInstance();
    std::span<const uint8_t> bytes =
        module ? module->FindResource(type, ResourceIdName(id)) : std::span<const uint8_t>();
    if (bytes.empty()) {
        errorMessage_ = L"Could not find resource";
        errorLocation_ = (type + L" " + ResourceIdName(id)).substr(0, kMaxErrorLocation);
        return false;
    }
    return LoadFromMem(bytes.data(), bytes.size(), kEncodingUtf8);
}

void CMarkupDocument::Release() {
    text_.clear();
    elements_.clear();
    errorMessage_.clear();
    errorLocation_.clear();
}

CMarkupNode CMarkupDocument::GetRoot() const { return IsValid() ? CMarkupNode(this, 1) : CMarkupNode(); }

bool CMarkupDocument::parse() {
    elements_.assign(1, Element());
    size_t pos = 0;
    bool ok = parseLevel(pos, 0, 0);
    text_.clear();  // everything lives in the element table now
    if (!ok) elements_.clear();
    return ok;
}

bool CMarkupDocument::fail(const wchar_t* message, size_t pos) {
    errorMessage_ = std::wstring(message).substr(0, kMaxErrorMessage);
    errorLocation_ = pos < text_.size() ? text_.substr(pos, kMaxErrorLocation) : std::wstring();
    return false;
}

void CMarkupDocument::skipWhitespace(size_t& pos) const {
    while (pos < text_.size() && text_[pos] <= L' ') ++pos;
}

// One level of siblings under `parent` (0: the top of the document). Returns at "</" for the caller to
// check, or at the end of the text where that is allowed.
bool CMarkupDocument::parseLevel(size_t& pos, int parent, int depth) {
    if (depth > kMaxDepth) return fail(L"Elements nested too deeply", pos);
    int previous = 0;
    for (;;) {
        skipWhitespace(pos);
        if (at(pos) == L'\0') {
            // The end of the text is fine at the top and among the root's children.
            return parent <= 1 ? true : fail(L"Expected start tag", pos);
        }
        if (at(pos) != L'<') return fail(L"Expected start tag", pos);
        if (at(pos + 1) == L'/') return true;
        if (at(pos + 1) == L'!' || at(pos + 1) == L'?') {
            const wchar_t* close = at(pos + 1) == L'!' ? L"->" : L"?>";
            size_t end = text_.find(close, pos + 2);
            pos = end == std::wstring::npos ? text_.size() : end + 2;
            continue;
        }
        ++pos;

        int index = int(elements_.size());
        elements_.emplace_back();
        elements_[size_t(index)].parent = parent;
        if (previous) {
            elements_[size_t(previous)].next = index;
        } else if (parent) {
            elements_[size_t(parent)].child = index;
        }
        previous = index;

        size_t nameStart = pos;
        while (isNameChar(at(pos))) ++pos;
        if (pos == nameStart) return fail(L"Error parsing element name", pos);
        std::wstring name = text_.substr(nameStart, pos - nameStart);
        elements_[size_t(index)].name = name;

        if (!parseAttributes(pos, elements_[size_t(index)])) return false;
        skipWhitespace(pos);
        if (at(pos) == L'/' && at(pos + 1) == L'>') {
            pos += 2;
            continue;
        }
        if (at(pos) != L'>') return fail(L"Expected start-tag closing", pos);
        ++pos;

        elements_[size_t(index)].text = readData(pos, L'<');
        if (at(pos) == L'\0') {
            // The root may end with its start tag or text.
            return index == 1 ? true : fail(L"Expected end-tag start", pos);
        }
        if (at(pos + 1) != L'/') {
            if (!parseLevel(pos, index, depth + 1)) return false;
            if (at(pos) == L'\0') return true;  // only the root's children may run to the end
        }
        pos += 2;  // "</"
        if (text_.compare(pos, name.size(), name) != 0) return fail(L"Unmatched closing tag", pos);
        pos += name.size();
        skipWhitespace(pos);
        if (at(pos) != L'>') return fail(L"Unmatched closing tag", pos);
        ++pos;
    }
}

bool CMarkupDocument::parseAttributes(size_t& pos, Element& element) {
    skipWhitespace(pos);
    while (at(pos) != L'\0' && at(pos) != L'>' && at(pos) != L'/') {
        size_t nameStart = pos;
        while (isNameChar(at(pos))) ++pos;
        std::wstring name = text_.substr(nameStart, pos - nameStart);
        skipWhitespace(pos);
        if (at(pos) != L'=') return fail(L"Error while parsing attributes", pos);
        ++pos;
        skipWhitespace(pos);
        if (at(pos) != L'"') return fail(L"Expected attribute value", pos);
        ++pos;
        std::wstring value = readData(pos, L'"');
        if (at(pos) == L'\0') return fail(L"Error while parsing attribute string", pos);
        ++pos;
        if (element.attributes.size() < size_t(kMaxAttributes)) element.attributes.emplace_back(name, value);
        skipWhitespace(pos);
    }
    return true;
}

std::wstring CMarkupDocument::readData(size_t& pos, wchar_t end) {
    static constexpr struct {
        std::wstring_view entity;
        wchar_t character;
    } kEntities[] = {{L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
    std::wstring data;
    while (pos < text_.size() && text_[pos] != end) {
        if (text_[pos] == L'&') {
            bool replaced = false;
            for (const auto& e : kEntities) {
                if (text_.compare(pos, e.entity.size(), e.entity) == 0) {
                    data += e.character;
                    pos += e.entity.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced) continue;
        }
        data += text_[pos++];
    }
    return data;
}

}  // namespace SkinUI
