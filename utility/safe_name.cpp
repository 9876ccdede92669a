#include "utility/safe_name.h"

namespace utility {

std::optional<std::wstring> safeFileName(const std::wstring& name) {
    if (name.empty() || name.size() > 200 || name == L"." || name.find(L"..") != std::wstring::npos) return std::nullopt;
    for (wchar_t c : name) {
        if (c == L'/' || c == L'\\' || c < 0x20 || c == 0x7F) return std::nullopt;
    }
    return name;
}

}  // namespace utility
