#pragma once
// Reading attribute values of layouts, windows and attribute lists. Every reader accepts any text and
// never reads past its end.
#include <cstdint>
#include <string_view>

namespace SkinUI {

struct SkinSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const SkinSize&) const = default;
};

struct SkinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const SkinRect&) const = default;
};

// Decimal integer: leading whitespace and a sign allowed, trailing text ignored, no digits gives 0.
// Values beyond the int range are clamped.
int ParseInteger(std::wstring_view text);

// "a,b" and "l,t,r,b": the first number is read in decimal; each further number starts one character
// after the end of the previous one, so any single separator works. Missing numbers count as 0.
SkinSize ParseSize(std::wstring_view text);
SkinRect ParseRect(std::wstring_view text);

// "#AARRGGBB" (leading whitespace and one "#" skipped, "0X" accepted), read as one hexadecimal number.
// Text without hexadecimal digits gives 0.
uint32_t ParseColor(std::wstring_view text);

// Control attributes: true only for exactly "true".
bool ParseBool(std::wstring_view text);
// Window, font, image and default attributes: "true" in any letter case.
bool ParseBoolIgnoreCase(std::wstring_view text);

// ASCII letter case is ignored; other characters compare as they are.
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);

}  // namespace SkinUI
