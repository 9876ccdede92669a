#include <gtest/gtest.h>

#include "common/utf8.h"

namespace {

TEST(Utf8, RoundTripsEveryPlane) {
    std::wstring text = L"a\x00E9\x4E2D\U0001F600z";
    EXPECT_EQ(common::wideToUtf8(text), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
    EXPECT_EQ(common::utf8ToWide(common::wideToUtf8(text)), text);
}

TEST(Utf8, InvalidInputBecomesReplacementCharacters) {
    struct Case {
        std::string in;
        std::wstring out;
    } cases[] = {
        {"\xFF", L"\xFFFD"},
        {"a\x80z", L"a\xFFFDz"},
        {"\xC0\xAF", L"\xFFFD\xFFFD"},              // overlong "/"
        {"\xED\xA0\x80", L"\xFFFD\xFFFD\xFFFD"},    // a surrogate
        {"\xE4\xB8", L"\xFFFD"},                    // truncated at the end
        {"\xE4\xB8x", L"\xFFFDx"},                  // truncated before ASCII
        {"\xF4\x90\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD"},  // above U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(common::utf8ToWide(c.in), c.out) << c.in;
}

TEST(Utf8, UnencodableWideValuesBecomeReplacement) {
    std::wstring bad;
    bad.push_back(wchar_t(0xD800));
    bad.push_back(wchar_t(0x110000));
    EXPECT_EQ(common::wideToUtf8(bad), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, PrefixNeverSplitsACharacter) {
    std::string s = "ab\xE4\xB8\xAD";  // 5 bytes
    EXPECT_EQ(common::utf8PrefixLength(s, 10), 5u);
    EXPECT_EQ(common::utf8PrefixLength(s, 5), 5u);
    EXPECT_EQ(common::utf8PrefixLength(s, 4), 2u);
    EXPECT_EQ(common::utf8PrefixLength(s, 3), 2u);
    EXPECT_EQ(common::utf8PrefixLength(s, 2), 2u);
}

}  // namespace
