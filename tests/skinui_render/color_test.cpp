// Colour fills, gradients, borders and the colour theme.
#include <gtest/gtest.h>

#include "render_test_support.h"
#include "skinui/color_theme.h"
#include "skinui/render_color.h"
#include "skinui/resource_module.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace render_test;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

TEST(ColorFill, OpaqueFillsReplaceAndTranslucentOnesBlend) {
    struct Case {
        uint32_t color;
        uint32_t expected;
    } cases[] = {
        {0xFF102030, 0xFF102030},
        {0x80000000, 0xFF7F7F7F},
        {0x00FF0000, kWhite},  // no alpha: nothing
        {0, kWhite},
    };
    for (const Case& c : cases) {
        Canvas canvas(10, 10);
        DrawColor(canvas.cr(), {2, 2, 8, 8}, c.color);
        EXPECT_TRUE(near(canvas.at(5, 5), c.expected, 1)) << hex(c.color) << " gave " << hex(canvas.at(5, 5));
        EXPECT_EQ(canvas.at(1, 1), kWhite);
        EXPECT_EQ(canvas.at(8, 8), kWhite);  // the right and bottom edges are outside
    }
}

TEST(ColorFill, GradientsRunFromFirstToSecondColour) {
    Canvas vertical(10, 100);
    DrawGradient(vertical.cr(), {0, 0, 10, 100}, 0xFF000000, 0xFF0000FF, true, 16);
    EXPECT_LE(blue(vertical.at(5, 0)), 3);
    EXPECT_NEAR(blue(vertical.at(5, 50)), 128, 4);
    EXPECT_GE(blue(vertical.at(5, 99)), 252);
    EXPECT_EQ(vertical.at(0, 50), vertical.at(9, 50));

    Canvas horizontal(100, 10);
    DrawGradient(horizontal.cr(), {0, 0, 100, 10}, 0xFFFF0000, 0xFF00FF00, false, 16);
    EXPECT_GE(red(horizontal.at(0, 5)), 252);
    EXPECT_GE(green(horizontal.at(99, 5)), 252);

    // The alpha is the mean of both: fully transparent and opaque make half.
    Canvas blended(10, 10);
    DrawGradient(blended.cr(), {0, 0, 10, 10}, 0x00000000, 0xFF000000, true, 16);
    EXPECT_NEAR(red(blended.at(5, 9)), 128, 2);
    Canvas none(10, 10);
    DrawGradient(none.cr(), {0, 0, 10, 10}, 0x00000000, 0x00FFFFFF, true, 16);
    EXPECT_EQ(none.countNot(kWhite), 0);
}

TEST(ColorFill, BackgroundColoursOneTwoOrThree) {
    Canvas none(10, 100);
    DrawBkColor(none.cr(), {0, 0, 10, 100}, 0, 0xFF000000, 0xFF000000);  // no first colour: nothing
    EXPECT_EQ(none.countNot(kWhite), 0);

    Canvas one(10, 100);
    DrawBkColor(one.cr(), {0, 0, 10, 100}, 0xFF336699, 0, 0);
    EXPECT_EQ(one.at(5, 0), 0xFF336699u);
    EXPECT_EQ(one.at(5, 99), 0xFF336699u);

    Canvas two(10, 100);
    DrawBkColor(two.cr(), {0, 0, 10, 100}, 0xFF000000, 0xFFFFFFFF, 0);
    EXPECT_LE(red(two.at(5, 0)), 3);
    EXPECT_GE(red(two.at(5, 99)), 252);

    // Three: black to white in the upper half, white back to black in the lower.
    Canvas three(10, 100);
    DrawBkColor(three.cr(), {0, 0, 10, 100}, 0xFF000000, 0xFFFFFFFF, 0xFF000000);
    EXPECT_LE(red(three.at(5, 0)), 6);
    EXPECT_GE(red(three.at(5, 49)), 249);
    EXPECT_GE(red(three.at(5, 50)), 249);
    EXPECT_LE(red(three.at(5, 99)), 6);
}

TBorderStyle border(SkinRect widths, uint32_t color, uint32_t focus = 0, SkinSize round = {}) {
    TBorderStyle b;
    b.widths = widths;
    b.color = color;
    b.focusColor = focus;
    b.round = round;
    return b;
}

TEST(Borders, WidthsColoursAndShapes) {
    const uint32_t kBorder = 0xFF0000FF, kFocus = 0xFFFF0000;
    // 20 x 20 control at (5, 5).
    const SkinRect rect = {5, 5, 25, 25};
    struct Case {
        const char* what;
        TBorderStyle border;
        bool focused;
        std::vector<std::pair<std::pair<int, int>, uint32_t>> pixels;
    } cases[] = {
        {"width 1", border({1, 1, 1, 1}, kBorder), false,
         {{{5, 5}, kBorder}, {{24, 24}, kBorder}, {{6, 6}, kWhite}, {{4, 4}, kWhite}, {{25, 25}, kWhite}}},
        {"width 3 lies inside", border({3, 3, 3, 3}, kBorder), false,
         {{{5, 15}, kBorder}, {{7, 15}, kBorder}, {{8, 15}, kWhite}, {{22, 15}, kBorder}, {{21, 15}, kWhite}}},
        {"focus colour while focused", border({1, 1, 1, 1}, kBorder, kFocus), true, {{{5, 15}, kFocus}}},
        {"focus colour alone, not focused", border({1, 1, 1, 1}, 0, kFocus), false, {{{5, 15}, kWhite}}},
        {"left width 0 draws nothing", border({0, 2, 2, 2}, kBorder), false, {{{15, 5}, kWhite}, {{24, 15}, kWhite}}},
        {"sides of their own width", border({1, 0, 4, 2}, kBorder), false,
         {{{5, 15}, kBorder}, {{6, 15}, kWhite}, {{15, 5}, kWhite}, {{21, 15}, kBorder}, {{20, 15}, kWhite},
          {{15, 23}, kBorder}, {{15, 22}, kWhite}}},
        {"round", border({1, 1, 1, 1}, kBorder, 0, {10, 10}), false,
         {{{5, 5}, kWhite}, {{15, 5}, kBorder}, {{5, 15}, kBorder}}},
    };
    for (const Case& c : cases) {
        Canvas canvas(30, 30);
        DrawBorder(canvas.cr(), rect, c.border, c.focused);
        for (const auto& [point, color] : c.pixels) {
            EXPECT_TRUE(near(canvas.at(point.first, point.second), color, 1))
                << c.what << " at " << point.first << "," << point.second << ": " << hex(canvas.at(point.first, point.second));
        }
    }
}

TEST(Borders, RoundClipKeepsCornersClear) {
    Canvas canvas(20, 20);
    cairo_save(canvas.cr());
    ClipRoundRect(canvas.cr(), {0, 0, 20, 20}, {12, 12});
    DrawColor(canvas.cr(), {0, 0, 20, 20}, 0xFF000000);
    cairo_restore(canvas.cr());
    EXPECT_EQ(canvas.at(0, 0), kWhite);
    EXPECT_EQ(canvas.at(19, 19), kWhite);
    EXPECT_EQ(canvas.at(10, 0), 0xFF000000u);
    EXPECT_EQ(canvas.at(10, 10), 0xFF000000u);
}

TEST(Lines, OneWideLinesCoverTheirRowWithoutTheEndPoint) {
    Canvas canvas(10, 10);
    DrawLine(canvas.cr(), 2, 4, 8, 4, 1, 0xFF000000);
    EXPECT_EQ(canvas.count(0, 0, 10, 10, [](uint32_t p) { return p == 0xFF000000u; }), 6);
    EXPECT_EQ(canvas.at(2, 4), 0xFF000000u);
    EXPECT_EQ(canvas.at(8, 4), kWhite);
    Canvas dashed(40, 3);
    DrawLine(dashed.cr(), 0, 1, 40, 1, 1, 0xFF000000, PenStyle::Dash);
    int inked = dashed.count(0, 0, 40, 3, [](uint32_t p) { return p != 0xFFFFFFFFu; });
    EXPECT_GT(inked, 10);
    EXPECT_LT(inked, 40);
    Canvas none(10, 3);
    DrawLine(none.cr(), 0, 1, 10, 1, 1, 0xFF000000, PenStyle::Null);
    EXPECT_EQ(none.countNot(kWhite), 0);
}

// "colors.ini" lies beside the executable.
class ThemeColors : public CleanToolkit {
protected:
    void start(const std::string* colorsIni) {
        if (colorsIni) testing_support::writeFile(temp_.file("colors.ini"), *colorsIni);
        module_ = std::make_unique<CResourceModule>(utility::utf8ToWide(temp_.file("installer")));
        CPaintManagerUI::SetInstance(module_.get());  // loads the theme
    }
    testing_support::TempDir temp_;
    std::unique_ptr<CResourceModule> module_;
};

TEST_F(ThemeColors, BuiltInListWithoutColorsIni) {
    start(nullptr);
    EXPECT_EQ(hex(GetThemeColor(4)), hex(0xFFF5F5F5));
    EXPECT_EQ(hex(GetThemeColor(0)), hex(0xFF16171F));
    EXPECT_EQ(hex(GetThemeColor(6)), hex(0xFFEAEAEB));
    EXPECT_EQ(GetThemeColor(7), 0u);
    EXPECT_EQ(GetThemeColor(-1), 0u);

    // bkcolorIndex 4 paints that colour; index 7 paints nothing.
    Canvas canvas(4, 4, 0xFF000000);
    DrawBkColor(canvas.cr(), {0, 0, 2, 4}, GetThemeColor(4), 0, 0);
    DrawBkColor(canvas.cr(), {2, 0, 4, 4}, GetThemeColor(7), 0, 0);
    EXPECT_EQ(hex(canvas.at(0, 0)), hex(0xFFF5F5F5));
    EXPECT_EQ(hex(canvas.at(3, 0)), hex(0xFF000000));
}

TEST_F(ThemeColors, ColorsIniReplacesTheListKeyByKey) {
    const std::string ini = "[setting]\ncontent=FF000000\nmainToolbar=\nsetupBottomBar=#FF123456\n";
    start(&ini);
    struct Case {
        int index;
        uint32_t color;
    } cases[] = {
        {0, 0xFF06061F},  // empty: its own default, not the built-in colour
        {1, 0xFF20203A}, {2, 0xFF1F1F39}, {3, 0xFF06061F},
        {4, 0xFF000000},  // "content"
        {5, 0xFF20203A}, {6, 0xFF123456}, {7, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(hex(GetThemeColor(c.index)), hex(c.color)) << c.index;
    EXPECT_EQ(GetThemeColorTexts().size(), 7u);
}

TEST_F(ThemeColors, AColorsIniWithoutTheSectionGivesItsDefaults) {
    const std::string ini = "[other]\ncontent=FF000000\n";
    start(&ini);
    EXPECT_EQ(hex(GetThemeColor(4)), hex(0xFF20203A));
    EXPECT_EQ(hex(GetThemeColor(6)), hex(0xFF36364D));
}

}  // namespace
