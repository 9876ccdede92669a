#include <gtest/gtest.h>

#include "utility/strings.h"
#include "utility/text_codec.h"

using namespace utility;

namespace {

TEST(Strings, TrimOnlySpaces) {
    struct Case {
        std::wstring in, out;
    } cases[] = {{L"  a b  ", L"a b"}, {L"", L""}, {L"   ", L""}, {L"\ta\t", L"\ta\t"}, {L"x", L"x"}};
    for (auto c : cases) {
        trim(c.in);
        EXPECT_EQ(c.in, c.out);
    }
}

TEST(Strings, ToLowerChangesAsciiOnly) {
    std::wstring s = L"AbC\x00C4\x0416";
    toLower(s);
    EXPECT_EQ(s, L"abc\x00C4\x0416");
}

TEST(Strings, SplitKeepsEmptyPieces) {
    struct Case {
        std::wstring text, delimiter;
        std::vector<std::wstring> pieces;
    } cases[] = {
        {L"a, b,,c", L",", {L"a", L"b", L"", L"c"}},
        {L"a|b|", L"|", {L"a", L"b", L""}},
        {L"abc", L",", {L"abc"}},
        {L"", L",", {}},
        {L"a,b", L"", {}},
        {L"k=v || x=y", L"||", {L"k=v", L"x=y"}},
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> out;
        split(c.text, c.delimiter, out);
        EXPECT_EQ(out, c.pieces) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(Strings, ParseKeyValues) {
    StringMap map;
    parseKeyValues({L"  Lang = zh_CN ", L"no separator", L" =empty key", L"Path=/a=b", L"lang=en_US"}, L"=", map);
    std::wstring v;
    ASSERT_TRUE(lookup(map, L"lang", v));
    EXPECT_EQ(v, L"en_US");  // the later line wins
    ASSERT_TRUE(lookup(map, L"path", v));
    EXPECT_EQ(v, L"/a=b");
    EXPECT_FALSE(lookup(map, L"Lang", v));
    EXPECT_EQ(map.size(), 2u);

    StringMap first;
    parseKeyValues({L"  Lang = zh_CN "}, L"=", first);
    ASSERT_TRUE(lookup(first, L"lang", v));
    EXPECT_EQ(v, L"zh_CN");
}

TEST(Strings, IsAllDigits) {
    EXPECT_TRUE(isAllDigits(L""));
    EXPECT_TRUE(isAllDigits(L"0123456789"));
    EXPECT_FALSE(isAllDigits(L"12a"));
    EXPECT_FALSE(isAllDigits(L" 1"));
    EXPECT_FALSE(isAllDigits(L"\x0661"));  // Arabic-Indic one is not an ASCII digit
}

TEST(TextCodec, PrimitivesHonourCounts) {
    const char* text = "h\xC3\xA9llo";
    EXPECT_EQ(multiByteToWide(text, -1, kCodePageUtf8), L"h\x00E9llo");
    EXPECT_EQ(multiByteToWide(text, 3, kCodePageUtf8), L"h\x00E9");
    EXPECT_EQ(multiByteToWide(text, 2, kCodePageUtf8), L"h\xFFFD");
    EXPECT_EQ(multiByteToWide(text, -2, kCodePageUtf8), L"");
    EXPECT_EQ(multiByteToWide(nullptr, -1, kCodePageUtf8), L"");
    EXPECT_EQ(wideToMultiByte(L"ab", -1, kCodePageAnsi), "ab");
    EXPECT_EQ(wideToMultiByte(L"ab", -3, kCodePageAnsi), "");
}

TEST(TextCodec, AnsiIsUtf8AndLosesNothing) {
    std::wstring text = L"\x4E2D\x6587 \x0130";
    EXPECT_EQ(ansiToWide(wideToAnsi(text)), text);
    EXPECT_EQ(ansiToUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(ansiToUtf8(""), "");
    EXPECT_EQ(utf8ToWide("\xFF"), L"\xFFFD");
}

}  // namespace
