#include "common/utf8.h"

namespace common {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = kReplacement;
    if (cp > 0x10FFFF) cp = kReplacement;
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::wstring utf8ToWide(std::string_view in) {
    std::wstring out;
    out.reserve(in.size());
    size_t i = 0;
    const size_t n = in.size();
    while (i < n) {
        unsigned char b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            out.push_back(wchar_t(b));
            ++i;
            continue;
        }
        int need = 0;
        uint32_t cp = 0;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            cp = b & 0x0F;
            if (b == 0xE0) lo = 0xA0;   // no overlong forms
            if (b == 0xED) hi = 0x9F;   // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            cp = b & 0x07;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;   // nothing above U+10FFFF
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        int got = 0;
        bool ok = true;
        while (got < need) {
            if (j >= n) {
                ok = false;
                break;
            }
            unsigned char c = static_cast<unsigned char>(in[j]);
            unsigned char min = got == 0 ? lo : 0x80;
            unsigned char max = got == 0 ? hi : 0xBF;
            if (c < min || c > max) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
            ++j;
            ++got;
        }
        if (!ok) {
            out.push_back(kReplacement);
            i = j;  // skip the maximal invalid subpart
            continue;
        }
        out.push_back(wchar_t(cp));
        i = j;
    }
    return out;
}

std::string wideToUtf8(std::wstring_view in) {
    std::string out;
    out.reserve(in.size());
    for (wchar_t wc : in) appendUtf8(out, uint32_t(wc));
    return out;
}

size_t utf8PrefixLength(std::string_view s, size_t maxBytes) {
    if (s.size() <= maxBytes) return s.size();
    size_t end = maxBytes;
    // Step back over continuation bytes to the start of the character that would be split.
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
    return end;
}

}  // namespace common
