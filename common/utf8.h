#pragma once
// Strict UTF-8 <-> wide text codec, independent of the process locale.
// Invalid input (bad bytes, overlong forms, surrogates, values above U+10FFFF) becomes U+FFFD,
// one replacement per maximal invalid subpart.
#include <string>
#include <string_view>

namespace common {

std::wstring utf8ToWide(std::string_view utf8);
std::string wideToUtf8(std::wstring_view wide);

// Length of the longest prefix of `utf8` of at most `maxBytes` bytes that does not split a character.
size_t utf8PrefixLength(std::string_view utf8, size_t maxBytes);

}  // namespace common
