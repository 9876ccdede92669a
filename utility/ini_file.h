#pragma once
// An INI document: "[section]" headers, "key=value" lines, ';' (or '#') comment lines, UTF-8 text.
// Section and key names match without regard to ASCII letter case, the first occurrence wins, and the
// spelling, order, comments and unknown lines of a loaded file survive a save. Used for the deployment
// settings, the emulator's "data.ini" and the user registry file.
//
// Values: surrounding blanks are trimmed; a value wrapped in double quotes is unwrapped, so blanks at the
// ends and ';' survive (set() adds the quotes when needed). With Comments::Inline (hand-written files such
// as the deployment settings) a ';' after a blank, or after a closing quote, starts a comment; every value
// set() accepts reads back unchanged with Comments::WholeLine.
//
// Not thread-safe: one object belongs to one thread at a time.
#include <string>
#include <vector>

namespace utility {

class IniFile {
public:
    enum class Comments { WholeLine, Inline };

    explicit IniFile(Comments comments = Comments::WholeLine) : comments_(comments) {}

    // Replaces the document with the file's content. False (empty document) when it cannot be read.
    bool load(const std::wstring& path);
    // Replaces the document with `utf8` (a byte-order mark is skipped, "\r\n" and "\n" both end lines).
    void parse(const std::string& utf8);
    std::string serialize() const;
    // Writes the whole document to a temporary file beside `path`, then renames it over `path`, so readers
    // see the old or the new file, never a part. Logs and returns false on failure; creates no folders.
    bool save(const std::wstring& path) const;

    bool get(const std::wstring& section, const std::wstring& key, std::wstring& value) const;
    // The value, or `fallback` when the key is missing.
    std::wstring value(const std::wstring& section, const std::wstring& key, const std::wstring& fallback = {}) const;
    // Adds or replaces a value (a missing section is appended). False, changing nothing, for text a file
    // cannot hold: line breaks or NUL anywhere, an empty key, a key with '=' or one that starts with '[', ';'
    // or '#', a section name with ']'.
    bool set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    // True when something was removed.
    bool remove(const std::wstring& section, const std::wstring& key);
    bool removeSection(const std::wstring& section);

    std::vector<std::wstring> sections() const;
    std::vector<std::wstring> keys(const std::wstring& section) const;

private:
    struct Line {
        bool isEntry = false;
        std::wstring key, value;  // entries
        std::string raw;          // everything else, written back unchanged
    };
    struct Section {
        std::wstring name;
        bool hasHeader = true;  // false for the lines before the first header
        std::vector<Line> lines;
    };

    const Section* findSection(const std::wstring& name) const;
    Section* findSection(const std::wstring& name);
    std::wstring parseValue(const std::wstring& text) const;

    Comments comments_;
    std::vector<Section> sections_;
};

}  // namespace utility
