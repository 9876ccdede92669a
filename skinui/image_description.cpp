#include "skinui/image_description.h"

#include <algorithm>

namespace SkinUI {

namespace {

bool isSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

void apply(TImageDescription& d, std::wstring_view key, std::wstring_view value, bool& usesRes, std::wstring& resType) {
    if (key == L"file") {
        d.name = value;
        usesRes = false;
        d.resType.clear();
    } else if (key == L"res") {
        d.name = value;
        usesRes = true;
    } else if (key == L"restype") {
        resType = value;
    } else if (key == L"color") {
        d.name = value;
        usesRes = false;
        d.resType = kColorResourceType;
    } else if (key == L"dest") {
        d.dest = ParseRect(value);
    } else if (key == L"source") {
        d.source = ParseRect(value);
    } else if (key == L"corner" || key == L"scale9") {
        d.corner = ParseRect(value);
    } else if (key == L"mask") {
        d.mask = ParseColor(value);
    } else if (key == L"fade") {
        d.fade = std::clamp(ParseInteger(value), 0, 255);
    } else if (key == L"hole") {
        d.hole = ParseBool(value);
    } else if (key == L"xtiled") {
        d.xtiled = ParseBool(value);
    } else if (key == L"ytiled") {
        d.ytiled = ParseBool(value);
    } else if (key == L"hsl") {
        d.hsl = ParseBool(value);
    }
}

}  // namespace

TImageDescription ParseImageDescription(std::wstring_view text) {
    TImageDescription d;
    if (text.find(L'=') == std::wstring_view::npos) {
        d.name = text;
        return d;
    }
    bool usesRes = false;
    std::wstring resType;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && isSpace(text[i])) ++i;
        size_t keyStart = i;
        while (i < n && text[i] != L'=' && !isSpace(text[i])) ++i;
        std::wstring_view key = text.substr(keyStart, i - keyStart);
        while (i < n && isSpace(text[i])) ++i;
        if (i >= n || text[i] != L'=') break;
        ++i;
        while (i < n && isSpace(text[i])) ++i;
        if (i >= n || text[i] != L'\'') break;
        size_t valueStart = ++i;
        while (i < n && text[i] != L'\'') ++i;
        if (i >= n) break;  // an unclosed value is not an item
        std::wstring_view value = text.substr(valueStart, i - valueStart);
        ++i;
        if (!value.empty()) apply(d, key, value, usesRes, resType);
        // Only a single space after the closing quote lets the next item be read.
        if (i >= n || text[i] != L' ') break;
        ++i;
    }
    if (usesRes) d.resType = resType;
    return d;
}

}  // namespace SkinUI
