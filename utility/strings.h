#pragma once
// String utilities used to parse the command line and key=value texts.
#include <map>
#include <string>
#include <vector>

namespace utility {

using StringMap = std::map<std::wstring, std::wstring>;

// Removes leading and trailing spaces (only ' ', not tabs).
void trim(std::wstring& text);
// Lower-cases ASCII letters only.
void toLower(std::wstring& text);
// Pieces between delimiters, each trimmed; empty pieces are kept, and the rest after the last delimiter is
// always added. Nothing is added for an empty text or delimiter.
void split(const std::wstring& text, const std::wstring& delimiter, std::vector<std::wstring>& out);
// "key<sep>value" lines into `out`: key trimmed and lower-cased, value trimmed; lines without the
// separator or with an empty key are skipped; later keys replace earlier ones.
void parseKeyValues(const std::vector<std::wstring>& lines, const std::wstring& separator, StringMap& out);
bool lookup(const StringMap& map, const std::wstring& key, std::wstring& value);
// True when every character is a decimal digit, also for an empty text.
bool isAllDigits(const std::wstring& text);

}  // namespace utility
