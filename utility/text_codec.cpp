#include "utility/text_codec.h"

#include <cstring>
#include <cwchar>

#include "common/utf8.h"

namespace utility {

std::wstring multiByteToWide(const char* text, int count, unsigned) {
    if (!text || (count < 0 && count != -1)) return {};
    size_t n = count == -1 ? std::strlen(text) : size_t(count);
    return common::utf8ToWide(std::string_view(text, n));
}

std::string wideToMultiByte(const wchar_t* text, int count, unsigned) {
    if (!text || (count < 0 && count != -1)) return {};
    size_t n = count == -1 ? std::wcslen(text) : size_t(count);
    return common::wideToUtf8(std::wstring_view(text, n));
}

std::wstring ansiToWide(const std::string& text) {
    return multiByteToWide(text.data(), int(text.size()), kCodePageAnsi);
}
std::wstring utf8ToWide(const std::string& text) {
    return multiByteToWide(text.data(), int(text.size()), kCodePageUtf8);
}
std::string wideToAnsi(const std::wstring& text) {
    return wideToMultiByte(text.data(), int(text.size()), kCodePageAnsi);
}
std::string wideToUtf8(const std::wstring& text) {
    return wideToMultiByte(text.data(), int(text.size()), kCodePageUtf8);
}
std::string ansiToUtf8(const std::string& text) {
    std::wstring wide = ansiToWide(text);
    if (wide.empty()) return {};
    return wideToUtf8(wide);
}

}  // namespace utility
