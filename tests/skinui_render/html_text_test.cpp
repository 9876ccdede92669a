// Formatted text: tags, links, wrapping, ellipsis, alignment and the pixels of underline and hover.
#include <gtest/gtest.h>

#include "render_test_support.h"
#include "skinui/language_table.h"
#include "skinui/paint_manager.h"
#include "skinui/render_html.h"
#include "skinui/render_image.h"
#include "skinui/render_text.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace render_test;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;

// One line per piece is hard to read in a failure; this packs a layout into "text{attributes}|...".
std::string describe(const THtmlLayout& layout, uint32_t baseColor) {
    std::string out;
    for (const THtmlPiece& p : layout.pieces) {
        if (!out.empty()) out += "|";
        out += p.kind == THtmlPiece::Kind::Image ? "<img>" : utility::wideToUtf8(p.text);
        if (p.font.bold) out += "{b}";
        if (p.font.italic) out += "{i}";
        if (p.font.underline) out += "{u}";
        if (p.font.size != 12) out += "{" + std::to_string(p.font.size) + "px}";
        if (p.selected) out += "{s}";
        if (p.color != baseColor) out += "{" + hex(p.color) + "}";
        if (p.link >= 0) out += "{a" + std::to_string(p.link) + "}";
        if (p.line > 0) out += "{line " + std::to_string(p.line) + "}";
    }
    return out;
}

class HtmlText : public CleanToolkit {
protected:
    THtmlLayout layout(const std::wstring& text, SkinRect rect = {0, 0, 400, 40},
                       unsigned style = TextStyle::SingleLine, const THtmlTextOptions& options = {}) {
        Canvas canvas(1, 1);
        return LayoutHtmlText(canvas.cr(), &manager_, rect, text, kRed, -1, style, options);
    }
    std::string describe(const std::wstring& text, SkinRect rect = {0, 0, 400, 40},
                         unsigned style = TextStyle::SingleLine) {
        return ::describe(layout(text, rect, style), kRed);
    }
    CPaintManagerUI manager_;
};

TEST_F(HtmlText, TagsChangeTheStyleOfWhatTheyEnclose) {
    manager_.AddFont(1, L"", 20, false, false, false, false);
    const std::string link = hex(manager_.GetDefaultLinkFontColor());
    struct Case {
        const wchar_t* text;
        std::string pieces;
    } cases[] = {
        {L"plain text", "plain text"},
        {L"a <b>bold</b> c", "a |bold{b}| c"},
        {L"{b}braces{/b} too", "braces{b}| too"},
        {L"<i>it</i><u>under</u>", "it{i}|under{u}"},
        {L"<c #FF00FF00>green</c> <c 0000ff>blue</c>", "green{#FF00FF00}| |blue{#000000FF}"},
        // "<u #666666>" underlines in the current colour: the colour in the tag is not applied.
        {L"the <u #666666>license</u>", "the |license{u}"},
        // An unknown font index is the default font, so the blank and "default" are one run.
        {L"<f 1>big</f> <f 7>default</f>", "big{20px}| default"},
        {L"<f Serif 16 bold italic>made</f>", "made{b}{i}{16px}"},
        {L"<s>picked</s> not", "picked{s}| not"},
        {L"<b>nested <i>both</i></b>", "nested {b}|both{b}{i}"},
        // Closing an outer tag closes what was opened inside it.
        {L"<b>x<i>y</b>z", "x{b}|y{b}{i}|z"},
        {L"<a t>link</a> text", "link{" + link + "}{a0}| text"},
        {L"<a t><c #FF00FF00>green link</c></a>", "green link{#FF00FF00}{a0}"},
        {L"<r><b>raw</b> {x 5}</r> done", "<b>raw</b> {x 5} done"},
        {L"one<n>two", "one|two{line 1}"},
        // Not tags: drawn as text.
        {L"a < b and {xy} <B> <ab> <b", "a < b and {xy} <B> <ab> <b"},
        {L"<h 5>unknown<z>letters", "unknownletters"},
        {L"</b>stray close", "stray close"},
    };
    for (const Case& c : cases) EXPECT_EQ(describe(c.text), c.pieces) << utility::wideToUtf8(c.text);
}

TEST_F(HtmlText, PenMovesLineHeightsParagraphsAndVerticalPlace) {
    THtmlLayout moved = layout(L"a<x 20>b");
    ASSERT_EQ(moved.pieces.size(), 2u);
    EXPECT_EQ(moved.pieces[1].rect.left, moved.pieces[0].rect.right + 20);

    const int line = GetFontHeight(&manager_, -1);
    THtmlLayout tall = layout(L"<y 40>a<n>b", {0, 0, 400, 200}, TextStyle::Top);
    ASSERT_EQ(tall.lines, 2);
    EXPECT_EQ(tall.size.cy, 80);

    THtmlLayout paragraphs = layout(L"a<p 10>b</p>c", {0, 0, 400, 200}, TextStyle::Top);
    ASSERT_EQ(paragraphs.lines, 3);
    EXPECT_EQ(paragraphs.size.cy, 3 * line + 20);
    // Paragraphs at the start or one after the other leave no empty lines, only their spacing.
    THtmlLayout leading = layout(L"<p 5>a</p><p 7>b</p>", {0, 0, 400, 200}, TextStyle::Top);
    ASSERT_EQ(leading.lines, 2);
    EXPECT_EQ(leading.size.cy, 5 + line + 12 + line);
    EXPECT_EQ(leading.pieces[0].rect.top, 5);
    EXPECT_EQ(leading.pieces[1].rect.top, 5 + line + 5 + 7);
    // A line break always makes its line, even an empty one.
    EXPECT_EQ(layout(L"<n>a", {0, 0, 400, 200}, TextStyle::Top).lines, 2);

    // In a 40 pixel line: bottom by default, then centre and top.
    THtmlLayout placed = layout(L"<y 40>a<v center>b<v top>c", {0, 0, 400, 200}, TextStyle::Top);
    ASSERT_EQ(placed.pieces.size(), 3u);
    EXPECT_EQ(placed.pieces[0].rect.bottom, 40);
    EXPECT_EQ(placed.pieces[1].rect.top, (40 - line) / 2);
    EXPECT_EQ(placed.pieces[2].rect.top, 0);
}

TEST_F(HtmlText, LinksReportTheirRectanglesAndTargets) {
    const SkinRect rect = {10, 20, 410, 60};
    THtmlLayout two = layout(L"Read <a https://example.test/terms>terms</a> and <a privacy>privacy policy</a>.", rect,
                             TextStyle::SingleLine | TextStyle::Top);
    ASSERT_EQ(two.links.size(), 2u);
    EXPECT_EQ(two.links[0].target, L"https://example.test/terms");
    EXPECT_EQ(two.links[1].target, L"privacy");
    EXPECT_EQ(two.links[0].link, 0);
    EXPECT_EQ(two.links[1].link, 1);
    // Each rectangle covers exactly its link's text on the line.
    for (const THtmlPiece& p : two.pieces) {
        if (p.link < 0) continue;
        const SkinRect& r = two.links[size_t(p.link)].rect;
        EXPECT_EQ(r.left, p.rect.left);
        EXPECT_EQ(r.right, p.rect.right);
    }
    EXPECT_GT(two.links[0].rect.left, rect.left);
    EXPECT_EQ(two.links[0].rect.top, rect.top);
    EXPECT_GT(two.links[1].rect.left, two.links[0].rect.right);

    // A link wrapped over lines reports one part per line, all of the same link.
    THtmlLayout wrapped = layout(L"<a x>one two three four five six</a>", {0, 0, 70, 200}, TextStyle::WordBreak);
    ASSERT_GE(wrapped.links.size(), 2u);
    for (size_t i = 0; i < wrapped.links.size(); ++i) {
        EXPECT_EQ(wrapped.links[i].link, 0);
        EXPECT_LE(wrapped.links[i].rect.right, 70);
        if (i > 0) {
            EXPECT_GT(wrapped.links[i].rect.top, wrapped.links[i - 1].rect.top);
        }
    }

    // DrawHtmlText hands out at most the caller's number of parts.
    Canvas canvas(420, 70);
    SkinRect drawRect = rect;
    std::vector<THtmlLink> reported;
    THtmlTextOptions options;
    options.maxLinks = 1;
    DrawHtmlText(canvas.cr(), &manager_, drawRect, L"<a a>first</a> <a b>second</a>", kRed, -1,
                 TextStyle::SingleLine, options, &reported);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].target, L"a");
}

TEST_F(HtmlText, TheLinkUnderTheMouseTakesTheHoverColour) {
    manager_.SetWindowAttribute(L"linkfontcolor", L"#FF0000FF");
    manager_.SetWindowAttribute(L"linkhoverfontcolor", L"#FF00C000");
    const std::wstring text = L"<a one>first</a> <a two>second <c #FF202020>dark</c></a>";
    const SkinRect rect = {0, 0, 400, 40};
    THtmlLayout plain = layout(text, rect);
    ASSERT_EQ(plain.links.size(), 2u);
    const SkinRect second = plain.links[1].rect;

    THtmlTextOptions options;
    options.hasMouse = true;
    options.mouseX = (second.left + second.right) / 2;
    options.mouseY = (second.top + second.bottom) / 2;
    EXPECT_EQ(::describe(layout(text, rect, TextStyle::SingleLine, options), kRed),
              "first{#FF0000FF}{a0}| |second {#FF00C000}{a1}|dark{#FF202020}{a1}");
    // Pixels: green ink inside the hovered link, none in the other.
    Canvas canvas(400, 40);
    SkinRect drawRect = rect;
    DrawHtmlText(canvas.cr(), &manager_, drawRect, text, kRed, -1, TextStyle::SingleLine, options);
    auto greenish = [](uint32_t p) { return green(p) > red(p) + 60 && green(p) > blue(p) + 60; };
    const SkinRect first = plain.links[0].rect;
    EXPECT_GT(canvas.count(second.left, second.top, second.right, second.bottom, greenish), 5);
    EXPECT_EQ(canvas.count(first.left, first.top, first.right, first.bottom, greenish), 0);
}

TEST_F(HtmlText, UnderlineDrawsALineUnderTheTextInItsOwnColour) {
    const std::wstring tagged = L"the <u #666666>license</u>";
    const SkinRect rect = {0, 0, 300, 40};
    THtmlLayout l = layout(tagged, rect);
    ASSERT_EQ(l.pieces.size(), 2u);
    const SkinRect word = l.pieces[1].rect;
    // A row under "license" inked nearly all the way across tells an underline from the glyphs.
    auto underlinedRows = [&](const std::wstring& text) {
        Canvas canvas(300, 40);
        SkinRect r = rect;
        DrawHtmlText(canvas.cr(), &manager_, r, text, kRed, -1, TextStyle::SingleLine);
        int rows = 0;
        for (int y = 0; y < 40; ++y) {
            int inked = canvas.count(word.left, y, word.right, y + 1, [](uint32_t p) { return p != kWhite; });
            if (inked * 10 >= (word.right - word.left) * 9) ++rows;
        }
        // No grey: the tag's #666666 is not used, everything is red over white.
        EXPECT_EQ(canvas.count(0, 0, 300, 40,
                               [](uint32_t p) { return p != kWhite && (green(p) != blue(p) || red(p) < 200); }),
                  0);
        return rows;
    };
    EXPECT_GE(underlinedRows(tagged), 1);
    EXPECT_EQ(underlinedRows(L"the license"), 0);
}

TEST_F(HtmlText, WordBreakEllipsisAndAlignment) {
    using namespace TextStyle;
    const std::wstring text = L"one two three four five six seven";
    const int line = GetFontHeight(&manager_, -1);

    THtmlLayout wrapped = layout(text, {0, 0, 70, 400}, WordBreak);
    EXPECT_GE(wrapped.lines, 3);
    for (const THtmlPiece& p : wrapped.pieces) {
        EXPECT_LE(p.rect.right, 70) << utility::wideToUtf8(p.text);
        EXPECT_NE(p.text.front(), L' ') << "line " << p.line << " starts with a blank";
    }

    // A word wider than the line is broken between characters.
    THtmlLayout broken = layout(L"Supercalifragilisticexpialidocious", {0, 0, 50, 400}, WordBreak);
    EXPECT_GE(broken.lines, 3);
    for (const THtmlPiece& p : broken.pieces) EXPECT_LE(p.rect.right, 50);

    THtmlLayout cut = layout(text, {0, 0, 70, 40}, SingleLine | EndEllipsis);
    ASSERT_FALSE(cut.pieces.empty());
    EXPECT_EQ(cut.lines, 1);
    EXPECT_EQ(cut.pieces.back().kind, THtmlPiece::Kind::Ellipsis);
    EXPECT_EQ(cut.pieces.back().text, L"...");
    for (const THtmlPiece& p : cut.pieces) EXPECT_LE(p.rect.right, 70);

    // Multi-line: the lines that fit, the last one ending with "...".
    THtmlLayout twoLines = layout(text, {0, 0, 70, 2 * line + 3}, WordBreak | EndEllipsis);
    EXPECT_EQ(twoLines.lines, 2);
    EXPECT_EQ(twoLines.pieces.back().kind, THtmlPiece::Kind::Ellipsis);
    EXPECT_EQ(twoLines.pieces.back().line, 1);

    // What fits needs no ellipsis; without the flag long text is only clipped.
    EXPECT_EQ(layout(L"short", {0, 0, 200, 40}, SingleLine | EndEllipsis).pieces.back().kind, THtmlPiece::Kind::Text);
    EXPECT_EQ(layout(text, {0, 0, 70, 40}, SingleLine).pieces.back().kind, THtmlPiece::Kind::Text);

    THtmlLayout centred = layout(L"mid", {0, 0, 200, 60}, SingleLine | Center | VCenter);
    const SkinRect& r = centred.pieces[0].rect;
    EXPECT_NEAR(r.left, 200 - r.right, 1);
    EXPECT_NEAR(r.top, 60 - r.bottom, 1);
    THtmlLayout right = layout(L"end", {0, 0, 200, 60}, SingleLine | Right | Bottom);
    EXPECT_EQ(right.pieces[0].rect.right, 200);
    EXPECT_EQ(right.pieces[0].rect.bottom, 60);

    Canvas canvas(1, 1);
    SkinRect measured = {5, 5, 75, 5};
    DrawHtmlText(canvas.cr(), &manager_, measured, text, kRed, -1, WordBreak | CalcRect);
    EXPECT_EQ(measured.bottom - measured.top, wrapped.size.cy);
    EXPECT_EQ(measured.right - measured.left, wrapped.size.cx);
}

TEST_F(HtmlText, AFormattedStringFromTheTableHasItsTagsInterpreted) {
    SetLanguageString(L"protocol_accept", L"I accept the <a licence>license</a>");
    THtmlLayout l = layout(L"@protocol_accept");
    EXPECT_EQ(::describe(l, kRed), "I accept the |license{" + hex(manager_.GetDefaultLinkFontColor()) + "}{a0}");
    ASSERT_EQ(l.links.size(), 1u);
    EXPECT_EQ(l.links[0].target, L"licence");
}

TEST_F(HtmlText, InlineImagesNeedAnImageTable) {
    testing_support::TempDir temp;
    auto png = pngOf(6, 4, [](int, int) { return 0xFF00FF00u; });
    testing_support::writeFile(temp.file("dot.png"), std::string(png.begin(), png.end()));
    const std::wstring text = L"ok <i file='" + utility::utf8ToWide(temp.file("dot.png")) + L"'> done";

    CImageTable images;
    THtmlTextOptions options;
    options.images = &images;
    THtmlLayout withImage = layout(text, {0, 0, 400, 40}, TextStyle::SingleLine, options);
    ASSERT_EQ(::describe(withImage, kRed), "ok |<img>| done");
    const SkinRect& r = withImage.pieces[1].rect;
    EXPECT_EQ(r.right - r.left, 6);
    EXPECT_EQ(r.bottom - r.top, 4);
    EXPECT_EQ(::describe(layout(text), kRed), "ok  done");

    Canvas canvas(400, 40);
    SkinRect drawRect = {0, 0, 400, 40};
    DrawHtmlText(canvas.cr(), &manager_, drawRect, text, kRed, -1, TextStyle::SingleLine, options);
    EXPECT_EQ(hex(canvas.at(r.left + 3, r.top + 2)), hex(0xFF00FF00));
}

TEST_F(HtmlText, HostileMarkupEndsWithoutHarm) {
    std::wstring deep;
    for (int i = 0; i < 5000; ++i) deep += L"<b><c #FF000000>";
    deep += L"x";
    std::wstring longWord(20000, L'w');
    const std::wstring cases[] = {
        deep,
        L"<", L"{", L"</", L"<a", L"<a ", L"<i file='", L"<i file='missing.png'>", L"<f 999999999999>x</f>",
        L"<x -99999>x", L"<y -5>x", L"<p -3>x", L"a<x 99999999999>b<x 99999999999>c<x 99999999999>d",
        L"<y 99999999999>a<n>b<n>c<n>d<p 99999999999>e</p>f", L"<f Sans 99999999999 bold>giant</f>", L"<r>never closed <b>", std::wstring(L"\0<b>\0", 5),
        longWord,
    };
    for (const std::wstring& text : cases) {
        for (unsigned style : {TextStyle::SingleLine | TextStyle::EndEllipsis, TextStyle::WordBreak | TextStyle::EndEllipsis,
                               TextStyle::WordBreak}) {
            Canvas canvas(100, 40);
            SkinRect rect = {0, 0, 100, 40};
            DrawHtmlText(canvas.cr(), &manager_, rect, text, kRed, -1, style);
        }
    }
}

}  // namespace
