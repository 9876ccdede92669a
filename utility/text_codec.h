#pragma once
// Conversions between wide text and byte encodings. The system's "ANSI code page" is UTF-8 here, so no
// conversion loses characters; invalid bytes become U+FFFD.
#include <string>

namespace utility {

inline constexpr unsigned kCodePageAnsi = 0;
inline constexpr unsigned kCodePageUtf8 = 65001;

// count: number of input units, or -1 for zero-terminated input (the terminator is not converted).
// A null pointer or a negative count other than -1 gives an empty result. Every code page is read as UTF-8.
std::wstring multiByteToWide(const char* text, int count, unsigned codePage);
std::string wideToMultiByte(const wchar_t* text, int count, unsigned codePage);

std::wstring ansiToWide(const std::string& text);
std::wstring utf8ToWide(const std::string& text);
std::string wideToAnsi(const std::wstring& text);
std::string wideToUtf8(const std::wstring& text);
std::string ansiToUtf8(const std::string& text);

}  // namespace utility
