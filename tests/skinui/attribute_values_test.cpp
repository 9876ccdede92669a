#include "skinui/attribute_values.h"

#include <gtest/gtest.h>

#include <climits>

#include "utility/text_codec.h"

using namespace SkinUI;

namespace {

std::string narrow(std::wstring_view w) { return utility::wideToUtf8(std::wstring(w)); }

TEST(AttributeValues, Integers) {
    struct Case {
        std::wstring_view text;
        int value;
    } cases[] = {
        {L"12", 12},
        {L"  -7px", -7},
        {L"+3", 3},
        {L"", 0},
        {L"abc", 0},
        {L"- 5", 0},
        {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << narrow(c.text);
}

TEST(AttributeValues, PairsAndRectanglesTakeAnySingleSeparatorAndMissingNumbersAreZero) {
    struct Case {
        std::wstring_view text;
        SkinRect rect;
    } cases[] = {
        {L"1,2,3,4", {1, 2, 3, 4}},   {L"1 2;3x4", {1, 2, 3, 4}}, {L"0,0,220,180", {0, 0, 220, 180}},
        {L"-1,-2,3", {-1, -2, 3, 0}}, {L"640", {640, 0, 0, 0}},   // nothing is read past the end of the text
        {L"5,", {5, 0, 0, 0}},        {L"1,,3,4", {1, 0, 3, 4}},  // an empty number reads as 0 and the next one starts
                                                                  // past its separator
        {L"", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseRect(c.text), c.rect) << narrow(c.text);
    EXPECT_EQ(ParseSize(L"640,400"), (SkinSize{640, 400}));
    EXPECT_EQ(ParseSize(L"640"), (SkinSize{640, 0}));
}

TEST(AttributeValues, Colours) {
    struct Case {
        std::wstring_view text;
        uint32_t value;
    } cases[] = {
        {L"#FFC3C4C7", 0xFFC3C4C7},
        {L"#00C9CBD0", 0x00C9CBD0},
        {L" #ff4a6271", 0xFF4A6271},
        {L"0XFFFFFFFF", 0xFFFFFFFF},
        {L"0xffff00ff", 0xFFFF00FF},
        {L"FF0000", 0x00FF0000},
        {L"#", 0},
        {L"zz", 0},
        {L"#123456789", 0xFFFFFFFF},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseColor(c.text), c.value) << narrow(c.text);
}

TEST(AttributeValues, Booleans) {
    EXPECT_TRUE(ParseBool(L"true"));
    EXPECT_FALSE(ParseBool(L"True"));
    EXPECT_FALSE(ParseBool(L"1"));
    EXPECT_FALSE(ParseBool(L" true"));
    EXPECT_TRUE(ParseBoolIgnoreCase(L"TRUE"));
    EXPECT_FALSE(ParseBoolIgnoreCase(L"yes"));
}

}  // namespace
