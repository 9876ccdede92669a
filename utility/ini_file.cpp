#include "utility/ini_file.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/log.h"
#include "platform/system.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

namespace utility {

namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring trimmed(const std::wstring& text) {
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

wchar_t lowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

bool sameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

bool hasLineBreakOrNul(const std::wstring& text) { return text.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos; }

// Quotes keep blanks at the ends and ';' from being read as a comment.
std::wstring storedValue(const std::wstring& value) {
    if (value.empty()) return value;
    bool quote = isBlank(value.front()) || isBlank(value.back()) || value.find(L';') != std::wstring::npos ||
                 value.front() == L'"';
    return quote ? L"\"" + value + L"\"" : value;
}

}  // namespace

bool IniFile::load(const std::wstring& path) {
    sections_.clear();
    std::ifstream in(ufile::toNative(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    parse(text.str());
    return true;
}

void IniFile::parse(const std::string& utf8) {
    sections_.clear();
    sections_.push_back(Section{L"", false, {}});
    size_t pos = 0;
    if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < utf8.size()) {
        size_t end = utf8.find('\n', pos);
        if (end == std::string::npos) end = utf8.size();
        std::string raw = utf8.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();

        std::wstring line = trimmed(utf8ToWide(raw));
        if (!line.empty() && line.front() == L'[') {
            size_t close = line.find(L']');
            if (close != std::wstring::npos) {
                sections_.push_back(Section{trimmed(line.substr(1, close - 1)), true, {}});
                continue;
            }
        }
        size_t eq = line.find(L'=');
        bool comment = !line.empty() && (line.front() == L';' || line.front() == L'#');
        if (!comment && eq != std::wstring::npos && eq > 0) {
            Line entry;
            entry.isEntry = true;
            entry.key = trimmed(line.substr(0, eq));
            entry.value = parseValue(trimmed(line.substr(eq + 1)));
            if (!entry.key.empty()) {
                sections_.back().lines.push_back(std::move(entry));
                continue;
            }
        }
        sections_.back().lines.push_back(Line{false, {}, {}, raw});
    }
}

std::wstring IniFile::parseValue(const std::wstring& text) const {
    if (comments_ == Comments::WholeLine) {
        if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') return text.substr(1, text.size() - 2);
        return text;
    }
    if (text.size() >= 2 && text.front() == L'"') {
        // "quoted value" ; comment
        for (size_t close = 1; close < text.size(); ++close) {
            if (text[close] != L'"') continue;
            std::wstring rest = trimmed(text.substr(close + 1));
            if (rest.empty() || rest.front() == L';') return text.substr(1, close - 1);
        }
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L';' && (i == 0 || isBlank(text[i - 1]))) return trimmed(text.substr(0, i));
    }
    return text;
}

std::string IniFile::serialize() const {
    std::string out;
    for (const Section& s : sections_) {
        if (s.hasHeader) out += "[" + wideToUtf8(s.name) + "]\n";
        for (const Line& l : s.lines) {
            out += l.isEntry ? wideToUtf8(l.key) + "=" + wideToUtf8(storedValue(l.value)) : l.raw;
            out += "\n";
        }
    }
    return out;
}

bool IniFile::save(const std::wstring& path) const {
    namespace fs = std::filesystem;
    static std::atomic<unsigned> counter{0};
    fs::path target(ufile::toNative(path));
    fs::path temp = target;
    temp += ".tmp" + std::to_string(platform::currentThreadId()) + "-" + std::to_string(++counter);
    std::string bytes = serialize();
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            NLOG(L"write ini file failed %s", path);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        NLOG(L"replace ini file failed %s error = %d", path, ec.value());
        return false;
    }
    return true;
}

const IniFile::Section* IniFile::findSection(const std::wstring& name) const {
    for (const Section& s : sections_)
        if ((s.hasHeader || name.empty()) && sameName(s.name, name)) return &s;
    return nullptr;
}

IniFile::Section* IniFile::findSection(const std::wstring& name) {
    return const_cast<Section*>(static_cast<const IniFile*>(this)->findSection(name));
}

bool IniFile::get(const std::wstring& section, const std::wstring& key, std::wstring& value) const {
    const Section* s = findSection(section);
    if (!s) return false;
    for (const Line& l : s->lines) {
        if (l.isEntry && sameName(l.key, key)) {
            value = l.value;
            return true;
        }
    }
    return false;
}

std::wstring IniFile::value(const std::wstring& section, const std::wstring& key, const std::wstring& fallback) const {
    std::wstring v;
    return get(section, key, v) ? v : fallback;
}

bool IniFile::set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    std::wstring k = trimmed(key);
    if (k.empty() || k != key || hasLineBreakOrNul(key) || hasLineBreakOrNul(value) || hasLineBreakOrNul(section))
        return false;
    if (k.find(L'=') != std::wstring::npos || k.front() == L'[' || k.front() == L';' || k.front() == L'#')
        return false;
    if (section.find(L']') != std::wstring::npos || trimmed(section) != section) return false;

    if (sections_.empty()) sections_.push_back(Section{L"", false, {}});
    Section* s = findSection(section);
    if (!s) {
        sections_.push_back(Section{section, true, {}});
        s = &sections_.back();
    }
    size_t insertAt = 0;
    for (size_t i = 0; i < s->lines.size(); ++i) {
        Line& l = s->lines[i];
        if (!l.isEntry) continue;
        if (sameName(l.key, key)) {
            l.value = value;
            return true;
        }
        insertAt = i + 1;
    }
    // After the last entry, so a blank line or comment that closes the section stays last.
    s->lines.insert(s->lines.begin() + long(insertAt), Line{true, key, value, {}});
    return true;
}

bool IniFile::remove(const std::wstring& section, const std::wstring& key) {
    Section* s = findSection(section);
    if (!s) return false;
    for (auto it = s->lines.begin(); it != s->lines.end(); ++it) {
        if (it->isEntry && sameName(it->key, key)) {
            s->lines.erase(it);
            return true;
        }
    }
    return false;
}

bool IniFile::removeSection(const std::wstring& section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
        if (it->hasHeader && sameName(it->name, section)) {
            sections_.erase(it);
            return true;
        }
    }
    return false;
}

std::vector<std::wstring> IniFile::sections() const {
    std::vector<std::wstring> names;
    for (const Section& s : sections_) {
        if (!s.hasHeader) continue;
        bool seen = false;
        for (const auto& n : names) seen = seen || sameName(n, s.name);
        if (!seen) names.push_back(s.name);
    }
    return names;
}

std::vector<std::wstring> IniFile::keys(const std::wstring& section) const {
    std::vector<std::wstring> names;
    const Section* s = findSection(section);
    if (!s) return names;
    for (const Line& l : s->lines) {
        if (!l.isEntry) continue;
        bool seen = false;
        for (const auto& n : names) seen = seen || sameName(n, l.key);
        if (!seen) names.push_back(l.key);
    }
    return names;
}

}  // namespace utility
