#include "utility/strings.h"

namespace utility {

void trim(std::wstring& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        text.clear();
        return;
    }
    size_t last = text.find_last_not_of(L' ');
    text = text.substr(first, last - first + 1);
}

void toLower(std::wstring& text) {
    for (auto& c : text) {
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    }
}

void split(const std::wstring& text, const std::wstring& delimiter, std::vector<std::wstring>& out) {
    if (text.empty() || delimiter.empty()) return;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(delimiter, start);
        std::wstring piece = text.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start);
        trim(piece);
        out.push_back(std::move(piece));
        if (at == std::wstring::npos) break;
        start = at + delimiter.size();
    }
}

void parseKeyValues(const std::vector<std::wstring>& lines, const std::wstring& separator, StringMap& out) {
    if (separator.empty()) return;
    for (const auto& line : lines) {
        size_t at = line.find(separator);
        if (at == std::wstring::npos) continue;
        std::wstring key = line.substr(0, at);
        trim(key);
        toLower(key);
        if (key.empty()) continue;
        std::wstring value = line.substr(at + separator.size());
        trim(value);
        out[key] = value;
    }
}

bool lookup(const StringMap& map, const std::wstring& key, std::wstring& value) {
    auto it = map.find(key);
    if (it == map.end()) return false;
    value = it->second;
    return true;
}

bool isAllDigits(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
    }
    return true;
}

}  // namespace utility
