#include "skinui/attribute_values.h"

#include <climits>
#include <cstddef>
#include <vector>

namespace SkinUI {

namespace {

bool isSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
wchar_t lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

// strtol over a view: sets `end` to the first character not used (0 when nothing was read).
long long readDecimal(std::wstring_view text, size_t start, size_t& end) {
    size_t i = start;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    size_t digits = i;
    long long value = 0;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
        if (value < (1LL << 40)) value = value * 10 + (text[i] - L'0');  // further digits only saturate
        ++i;
    }
    if (i == digits) {
        end = start;
        return 0;
    }
    end = i;
    return negative ? -value : value;
}

int clampInt(long long v) { return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : int(v)); }

std::vector<int> readNumbers(std::wstring_view text, size_t count) {
    std::vector<int> numbers(count, 0);
    size_t pos = 0;
    for (size_t n = 0; n < count; ++n) {
        if (n > 0) {
            if (pos >= text.size()) break;  // the separator would lie beyond the text
            ++pos;
        }
        size_t end = pos;
        numbers[n] = clampInt(readDecimal(text, pos, end));
        pos = end;
    }
    return numbers;
}

}  // namespace

int ParseInteger(std::wstring_view text) {
    size_t end = 0;
    return clampInt(readDecimal(text, 0, end));
}

SkinSize ParseSize(std::wstring_view text) {
    std::vector<int> n = readNumbers(text, 2);
    return {n[0], n[1]};
}

SkinRect ParseRect(std::wstring_view text) {
    std::vector<int> n = readNumbers(text, 4);
    return {n[0], n[1], n[2], n[3]};
}

uint32_t ParseColor(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    if (i < text.size() && text[i] == L'#') ++i;
    while (i < text.size() && isSpace(text[i])) ++i;
    if (i + 1 < text.size() && text[i] == L'0' && lower(text[i + 1]) == L'x') i += 2;
    uint32_t value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        wchar_t c = lower(text[i]);
        int digit = (c >= L'0' && c <= L'9') ? c - L'0' : (c >= L'a' && c <= L'f') ? c - L'a' + 10 : -1;
        if (digit < 0) break;
        if (value >> 28) overflow = true;
        value = (value << 4) | uint32_t(digit);
    }
    return overflow ? 0xFFFFFFFFu : value;  // like strtoul, too many digits saturate
}

bool ParseBool(std::wstring_view text) { return text == L"true"; }

bool ParseBoolIgnoreCase(std::wstring_view text) { return EqualsIgnoreCase(text, L"true"); }

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace SkinUI
