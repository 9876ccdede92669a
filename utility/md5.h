#pragma once
// MD5 digests as 32 lower-case hex digits.
#include <string>

namespace utility {

std::string md5Hex(const std::string& bytes);
// Digest of a file's content; empty when the file cannot be read.
std::string md5HexOfFile(const std::wstring& path);

}  // namespace utility
