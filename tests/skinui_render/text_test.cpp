// Plain text: style flags, measuring, fonts, "@" texts and CJK text.
#include <gtest/gtest.h>

#include <climits>

#include "render_test_support.h"
#include "skinui/language_table.h"
#include "skinui/paint_manager.h"
#include "skinui/render_effect_text.h"
#include "skinui/render_font.h"
#include "skinui/render_text.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace render_test;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

struct Ink {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
    bool any() const { return right >= left; }
};

Ink inkOf(Canvas& canvas) {
    Ink ink;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.at(x, y) == kWhite) continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

class Text : public CleanToolkit {
protected:
    Ink draw(const std::wstring& text, SkinRect rect, unsigned style, int font = -1, uint32_t color = kBlack,
             int width = 200, int height = 60) {
        Canvas canvas(width, height);
        DrawText(canvas.cr(), &manager_, rect, text, color, font, style);
        return inkOf(canvas);
    }
    SkinRect measure(const std::wstring& text, SkinRect rect, unsigned style, int font = -1) {
        Canvas canvas(1, 1);
        DrawText(canvas.cr(), &manager_, rect, text, kBlack, font, style | TextStyle::CalcRect);
        return rect;
    }
    CPaintManagerUI manager_;
};

TEST_F(Text, AlignmentPlacesTheTextInsideTheRectangle) {
    using namespace TextStyle;
    const SkinRect rect = {0, 0, 200, 60};
    const unsigned one = SingleLine;
    Ink left = draw(L"WWW", rect, one | Left | Top);
    Ink center = draw(L"WWW", rect, one | Center | VCenter);
    Ink right = draw(L"WWW", rect, one | Right | Bottom);
    ASSERT_TRUE(left.any() && center.any() && right.any());
    EXPECT_LE(left.left, 2);
    EXPECT_LE(left.top, 8);
    EXPECT_NEAR(center.left, 199 - center.right, 3);
    EXPECT_NEAR(center.top, 59 - center.bottom, 4);
    EXPECT_GE(right.right, 196);
    EXPECT_GE(right.bottom, 52);
    // Same text, same size wherever it is placed.
    EXPECT_EQ(left.right - left.left, right.right - right.left);
}

TEST_F(Text, MeasuringWithWordBreakSingleLineAndEllipsis) {
    using namespace TextStyle;
    const std::wstring text = L"the quick brown fox jumps over the lazy dog";
    const int line = GetFontHeight(&manager_, -1);
    ASSERT_GT(line, 8);

    SkinRect single = measure(text, {10, 10, 90, 10}, SingleLine);
    EXPECT_GT(single.right - single.left, 80);  // needs more than it has
    EXPECT_EQ(single.bottom - single.top, line);
    EXPECT_EQ(single.left, 10);
    EXPECT_EQ(single.top, 10);

    SkinRect wrapped = measure(text, {0, 0, 80, 0}, WordBreak);
    EXPECT_LE(wrapped.right, 80);
    EXPECT_GE(wrapped.bottom, 3 * line);

    SkinRect cut = measure(text, {0, 0, 80, 0}, SingleLine | EndEllipsis);
    EXPECT_LE(cut.right, 80);
    EXPECT_GT(cut.right, 40);
    EXPECT_EQ(cut.bottom, line);

    // Wrapped with ellipsis: only the lines that fit, the last one cut.
    SkinRect twoLines = measure(text, {0, 0, 80, 2 * line}, WordBreak | EndEllipsis);
    EXPECT_LE(twoLines.bottom, 2 * line);

    // A single line shows line breaks as blanks; otherwise they start new lines.
    EXPECT_EQ(measure(L"two\nlines", {}, SingleLine).bottom, line);
    EXPECT_EQ(measure(L"two\nlines", {}, SingleLine).right, measure(L"two lines", {}, SingleLine).right);
    EXPECT_EQ(measure(L"two\nlines", {}, 0).bottom, 2 * line);

    // "&" is shown as itself, never taken as a mnemonic marker.
    EXPECT_GT(measure(L"&A", {}, SingleLine).right, measure(L"A", {}, SingleLine).right);
}

TEST_F(Text, EllipsisChangesWhatIsDrawnAndNothingLeavesTheRectangle) {
    using namespace TextStyle;
    const std::wstring text = L"the quick brown fox jumps over the lazy dog";
    Canvas clipped(120, 30), cut(120, 30);
    SkinRect rect = {10, 5, 90, 25};
    DrawText(clipped.cr(), &manager_, rect, text, kBlack, -1, SingleLine | VCenter);
    DrawText(cut.cr(), &manager_, rect, text, kBlack, -1, SingleLine | VCenter | EndEllipsis);
    Ink a = inkOf(clipped), b = inkOf(cut);
    ASSERT_TRUE(a.any() && b.any());
    for (const Ink& ink : {a, b}) {
        EXPECT_GE(ink.left, 10);
        EXPECT_LE(ink.right, 89);
        EXPECT_GE(ink.top, 5);
        EXPECT_LE(ink.bottom, 24);
    }
    int differing = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) differing += clipped.at(x, y) != cut.at(x, y);
    EXPECT_GT(differing, 10);
}

TEST_F(Text, ColourAlphaIsIgnored) {
    Canvas canvas(100, 30);
    SkinRect rect = {0, 0, 100, 30};
    DrawText(canvas.cr(), &manager_, rect, L"WWW", 0x00FF0000, -1, TextStyle::SingleLine);
    EXPECT_GT(canvas.count(0, 0, 100, 30, [](uint32_t p) { return red(p) > 200 && green(p) < 60; }), 5);
}

TEST_F(Text, FontsByIndexWithTheDefaultForUnknownOnes) {
    manager_.AddFont(1, L"", 30, true, false, false, false);
    const int normal = GetFontHeight(&manager_, -1);
    EXPECT_GT(GetFontHeight(&manager_, 1), normal + 10);
    EXPECT_EQ(GetFontHeight(&manager_, 9), normal);
    EXPECT_GT(measure(L"Install", {}, TextStyle::SingleLine, 1).right,
              measure(L"Install", {}, TextStyle::SingleLine, 9).right);
    manager_.SetDefaultFont(L"", 20, false, false, false, false);
    EXPECT_GT(GetFontHeight(&manager_, 9), normal);
}

TEST_F(Text, AtIdentifiersAreResolvedWhenDrawn) {
    SetLanguageString(L"Button_install_now", L"Install now");
    const SkinRect rect = {0, 0, 200, 40};
    Canvas byId(200, 40), literal(200, 40);
    SkinRect r1 = rect, r2 = rect;
    DrawText(byId.cr(), &manager_, r1, L"@Button_install_now", kBlack, -1, TextStyle::SingleLine);
    DrawText(literal.cr(), &manager_, r2, L"Install now", kBlack, -1, TextStyle::SingleLine);
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) differing += byId.at(x, y) != literal.at(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(byId.countNot(kWhite), 20);
    // An unknown identifier is drawn as written.
    EXPECT_GT(measure(L"@nothing_here", {}, TextStyle::SingleLine).right, 0);
}

TEST_F(Text, ChineseTextFindsAFaceInTheUiLanguage) {
    CPaintManagerUI::SetCurrentLanguage(L"zh_CN", L"en_US");
    manager_.AddFont(2, L"微软雅黑", 14, false, false, false, false);
    const std::wstring text = L"安装游戏";
    // Every character has a glyph: no boxes for missing ones.
    {
        Canvas canvas(1, 1);
        render_font::LayoutPtr layout = render_font::MakeLayout(canvas.cr(), render_font::FontOf(&manager_, 2), text);
        EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout.get()), 0);
        EXPECT_STREQ(pango_language_to_string(pango_context_get_language(pango_layout_get_context(layout.get()))),
                     "zh-cn");
    }
    Ink ink = draw(text, {0, 0, 200, 60}, TextStyle::SingleLine | TextStyle::VCenter, 2);
    ASSERT_TRUE(ink.any());
    EXPECT_GT(ink.right - ink.left, 4 * 10);  // four full-width characters of 14 pixels
}

TEST(TextLanguage, UiLocalesToPangoLanguages) {
    struct Case {
        const wchar_t* locale;
        const char* tag;
    } cases[] = {
        {L"zh_CN", "zh-cn"}, {L"zh_TW", "zh-tw"}, {L"ja_JP", "ja"},     {L"ko_KR", "ko"},  {L"en_US", "en-us"},
        {L"ko", "ko"},       {L"kok_IN", "kok-in"}, {L"pt_BR.UTF-8", "pt-br"}, {L"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(TextLanguageOf(c.locale), c.tag) << utility::wideToUtf8(c.locale);
}

}  // namespace

namespace {

using EffectText = Text;

struct EffectCase {
    const char* name;
    TEffectText effect;
    uint32_t expectedInk;  // a colour only this effect puts down
};

TEST_F(EffectText, EachEffectPutsItsColourAroundTheGlyphsAndStaysInsideTheRectangle) {
    constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;
    auto with = [](auto change) {
        TEffectText effect;
        change(effect);
        return effect;
    };
    const EffectCase cases[] = {
        {"shadow", with([&](TEffectText& e) {
             e.shadow = true;
             e.shadowColorA = kRed;
             e.shadowOffset = {4, 4};
         }),
         kRed},
        {"stroke", with([&](TEffectText& e) {
             e.stroke = true;
             e.strokeColor = kBlue;
         }),
         kBlue},
        {"glow", with([&](TEffectText& e) {
             e.luminous = true;
             e.shadowColorA = kGreen;
             e.luminousFuzzy = 4;
         }),
         kGreen},
    };
    auto near = [](uint32_t pixel, uint32_t colour) {
        auto channel = [](uint32_t c, int shift) { return int((c >> shift) & 0xFF); };
        for (int shift : {0, 8, 16})
            if (std::abs(channel(pixel, shift) - channel(colour, shift)) > 90) return false;
        return true;
    };
    for (const EffectCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(200, 60);
        const SkinRect rect{20, 10, 180, 50};
        DrawEffectText(canvas.cr(), &manager_, rect, L"Effect", kBlack, -1, TextStyle::SingleLine | TextStyle::VCenter,
                       c.effect);
        EXPECT_GT(canvas.count(0, 0, 200, 60, [&](uint32_t p) { return near(p, c.expectedInk); }), 10);
        EXPECT_GT(canvas.count(0, 0, 200, 60, [&](uint32_t p) { return near(p, kBlack); }), 10);
        // Nothing outside the rectangle.
        EXPECT_EQ(canvas.count(0, 0, 200, 10, [](uint32_t p) { return p != kWhite; }), 0);
        EXPECT_EQ(canvas.count(0, 50, 200, 60, [](uint32_t p) { return p != kWhite; }), 0);
        EXPECT_EQ(canvas.count(0, 0, 20, 60, [](uint32_t p) { return p != kWhite; }), 0);
    }
}

TEST_F(EffectText, AGradientRunsFromTheTextColourToTheSecondAlongTheAngle) {
    TEffectText effect;
    effect.textColor1 = 0xFFFF0000;  // black on the left to red on the right
    Canvas canvas(240, 60);
    DrawEffectText(canvas.cr(), &manager_, SkinRect{0, 0, 240, 60}, L"MMMMMMMMMM", kBlack, -1,
                   TextStyle::SingleLine | TextStyle::VCenter | TextStyle::Center, effect);
    Ink ink = inkOf(canvas);
    ASSERT_TRUE(ink.any());
    auto redness = [&](int left, int right) {
        long sum = 0, n = 0;
        for (int y = ink.top; y <= ink.bottom; ++y)
            for (int x = left; x < right; ++x) {
                uint32_t p = canvas.at(x, y);
                if (p == kWhite) continue;
                sum += red(p) - green(p);  // antialiased edges towards white raise both alike
                ++n;
            }
        return n ? double(sum) / double(n) : 0.0;
    };
    int third = (ink.right - ink.left) / 3;
    EXPECT_LT(redness(ink.left, ink.left + third) + 60, redness(ink.right - third, ink.right + 1));
}

}  // namespace
