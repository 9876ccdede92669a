// The rich edit view in headless windows: its scroll bar follows the text, the keys and the wheel scroll
// what is drawn, read-only refuses editing, and the text stays inside its padding.
#include <gtest/gtest.h>

#include <cairo.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <cstdint>
#include <string>
#include <vector>

#include "skinui/render_text.h"
#include "skinui/rich_edit.h"
#include "skinui/scroll_bar.h"
#include "skinui_windows/toolkit_test_support.h"

namespace {

using namespace toolkit_test;
using Lines = std::vector<std::string>;

const wchar_t kLayout[] = LR"(<Window size="400,320">
  <Font id="1" name="Sans" size="1000"/>
  <VerticalLayout name="root" bkcolor="#FFFFFFFF">
    <RichEdit name="licence" height="120" vscrollbar="true" readonly="true" textpadding="6,4,6,4" textcolor="#FF000000"/>
    <RichEdit name="note" height="60" vscrollbar="true" wantreturn="true" textcolor="#FF000000"/>
    <RichEdit name="line" height="30" multiline="false" wantreturn="true"/>
    <HorizontalLayout height="90">
      <RichEdit name="clip" width="200" textpadding="10,8,12,6" textcolor="#FF000000"/>
      <Control/>
    </HorizontalLayout>
    <Control/>
  </VerticalLayout>
</Window>)";

using RichEdit = HeadlessToolkitTest;

CRichEditUI* richEdit(TestWindow& window, const std::wstring& name) {
    auto* control = dynamic_cast<CRichEditUI*>(window.GetPaintManager().FindControl(name));
    EXPECT_NE(control, nullptr) << narrow(name);
    return control;
}

// A licence-like text: numbered paragraphs of ordinary words.
std::wstring licenceText(int paragraphs) {
    std::wstring text;
    for (int i = 1; i <= paragraphs; ++i) {
        text += std::to_wstring(i) + L". The licensee may install and use the software on any number of devices "
                                     L"owned by the licensee, subject to the terms below.\r\n";
    }
    return text;
}

// One row-major copy of the window's pixels.
struct Snapshot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Snapshot snapshot(TestWindow& window) {
    cairo_surface_t* surface = window.headless().surface();
    cairo_surface_flush(surface);
    Snapshot shot;
    shot.width = cairo_image_surface_get_width(surface);
    shot.height = cairo_image_surface_get_height(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < shot.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        shot.pixels.insert(shot.pixels.end(), row, row + shot.width);
    }
    return shot;
}

// Ink: text drawn in black on white, antialiased edges included.
bool isInk(uint32_t p) { return ((p >> 16) & 0xFF) < 160; }

int inkIn(const Snapshot& shot, const SkinRect& r) {
    int n = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, shot.height); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, shot.width); ++x) n += isInk(shot.at(x, y)) ? 1 : 0;
    return n;
}

TEST_F(RichEdit, TheBarShowsOnlyForTextTallerThanTheViewWithTheExcessAsRange) {
    auto window = open(kLayout);
    auto* licence = richEdit(*window, L"licence");
    ASSERT_NE(licence, nullptr);
    CScrollBarUI* bar = licence->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    const int visible = RectHeight(licence->GetPos()) - 8;  // less the text padding

    licence->SetText(L"Short terms.");
    settle(*window);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(licence->GetScrollRange().cy, 0);
    EXPECT_EQ(licence->GetTextHeight(), licence->GetLineHeight());

    licence->SetText(licenceText(40));
    settle(*window);
    ASSERT_TRUE(bar->IsVisible());
    // Every paragraph wraps to at least two lines in this width.
    EXPECT_GE(licence->GetTextHeight(), 80 * licence->GetLineHeight());
    EXPECT_EQ(bar->GetScrollRange(), licence->GetTextHeight() - visible);
    // The bar takes its room from the text, at the right edge.
    EXPECT_EQ(bar->GetPos().right, licence->GetPos().right);
    EXPECT_EQ(licence->GetTextRect().right, bar->GetPos().left - 6);

    // A wider window wraps into fewer lines.
    int range = bar->GetScrollRange();
    window->headless().resizeTo(600, 320);
    settle(*window);
    EXPECT_LT(bar->GetScrollRange(), range);
    EXPECT_EQ(bar->GetScrollRange(), licence->GetTextHeight() - visible);

    // Back to a short text: the bar goes and the text has the whole width again.
    licence->SetText(L"Short terms.");
    settle(*window);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(licence->GetTextRect().right, licence->GetPos().right - 6);
}

TEST_F(RichEdit, WheelAndKeysScrollTheDrawnTextAndStopAtTheEnds) {
    auto window = open(kLayout);
    auto* licence = richEdit(*window, L"licence");
    ASSERT_NE(licence, nullptr);
    licence->SetText(licenceText(40));
    settle(*window);
    const int line = licence->GetLineHeight();
    const int page = RectHeight(licence->GetTextRect());
    const int range = licence->GetScrollRange().cy;
    ASSERT_GT(range, 3 * page);
    const platform::Point centre = centreOf(*window, L"licence");

    // Scrolled by d, the text rectangle shows what was d rows lower before.
    const SkinRect area = licence->GetTextRect();
    auto expectShiftedBy = [&](const Snapshot& before, const Snapshot& after, int d) {
        int compared = 0, differing = 0;
        for (int y = std::max(area.top, area.top - d); y < std::min(area.bottom, area.bottom - d); ++y)
            for (int x = area.left; x < area.right; ++x, ++compared)
                differing += after.at(x, y) != before.at(x, y + d) ? 1 : 0;
        EXPECT_GT(compared, 0);
        EXPECT_EQ(differing, 0) << "scrolled by " << d;
    };
    Snapshot top = snapshot(*window);
    ASSERT_GT(inkIn(top, area), 0);

    window->headless().wheel(-platform::kWheelNotch, centre.x, centre.y);
    settle(*window);
    EXPECT_EQ(licence->GetScrollPos().cy, 3 * line);
    expectShiftedBy(top, snapshot(*window), 3 * line);
    window->headless().wheel(10 * platform::kWheelNotch, centre.x, centre.y);
    settle(*window);
    EXPECT_EQ(licence->GetScrollPos().cy, 0);
    EXPECT_EQ(snapshot(*window).pixels, top.pixels);

    // The keys act once the view has the focus, even a read-only one.
    window->headless().pressKey(platform::Key::Down);
    settle(*window);
    EXPECT_EQ(licence->GetScrollPos().cy, 0);
    clickOn(*window, L"licence");
    ASSERT_TRUE(licence->IsFocused());

    struct Step {
        platform::Key key;
        int expected;
    };
    const Step steps[] = {
        {platform::Key::Up, 0},                     // already at the top
        {platform::Key::Down, line},
        {platform::Key::PageDown, line + page},
        {platform::Key::PageUp, line},
        {platform::Key::End, range},
        {platform::Key::Down, range},               // already at the end
        {platform::Key::PageDown, range},
        {platform::Key::Up, range - line},
        {platform::Key::Home, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE("key " + std::to_string(uint32_t(step.key)) + " to " + std::to_string(step.expected));
        Snapshot before = snapshot(*window);
        int from = licence->GetScrollPos().cy;
        window->headless().pressKey(step.key);
        settle(*window);
        EXPECT_EQ(licence->GetScrollPos().cy, step.expected);
        int moved = step.expected - from;
        if (std::abs(moved) < page) expectShiftedBy(before, snapshot(*window), moved);
    }
    EXPECT_EQ(snapshot(*window).pixels, top.pixels);

    // Window code scrolls through the same clamps.
    licence->EndDown();
    EXPECT_EQ(licence->GetScrollPos().cy, range);
    licence->SetScrollPos({0, -50});
    EXPECT_EQ(licence->GetScrollPos().cy, 0);
    licence->SetScrollPos({0, range + 500});
    EXPECT_EQ(licence->GetScrollPos().cy, range);
}

TEST_F(RichEdit, ReadOnlyRefusesEditingWhileAnEditableOneReportsItsChanges) {
    auto window = open(kLayout);
    auto* licence = richEdit(*window, L"licence");
    auto* note = richEdit(*window, L"note");
    ASSERT_TRUE(licence && note);

    licence->SetText(L"Terms");
    clickOn(*window, L"licence");
    window->headless().typeText(L"xy");
    window->headless().pressKey(platform::Key::Backspace);
    window->headless().pressKey(platform::Key::Delete);
    window->headless().pressKey(platform::Key::Return);
    window->headless().pressKey(platform::Key::Home);
    window->headless().pressKey(platform::Key::Delete);
    settle(*window);
    EXPECT_EQ(licence->GetText(), L"Terms");
    EXPECT_FALSE(licence->InsertText(L"z"));
    EXPECT_EQ(licence->GetText(), L"Terms");
    EXPECT_EQ(notesOf(*window, {"textchanged", "return"}), Lines{});
    // Window code still sets the text of a read-only view.
    licence->AppendText(L" apply.");
    EXPECT_EQ(licence->GetText(), L"Terms apply.");

    clickOn(*window, L"note");
    window->headless().typeText(L"ab");
    window->headless().pressKey(platform::Key::Backspace);
    window->headless().pressKey(platform::Key::Return);
    window->headless().typeText(L"c");
    settle(*window);
    EXPECT_EQ(note->GetText(), L"a\nc");
    EXPECT_EQ(notesOf(*window, {"textchanged", "return"}),
              (Lines{"textchanged note", "textchanged note", "textchanged note", "textchanged note", "return note",
                     "textchanged note"}));
    EXPECT_EQ(note->GetTextHeight(), 2 * note->GetLineHeight());

    // Typing goes in at the caret; Backspace takes a "\r\n" as one line break.
    note->SetText(L"one\r\ntwo");
    note->SetCaret(5);
    window->notes.clear();
    window->headless().pressKey(platform::Key::Backspace);
    window->headless().typeText(L"+");
    window->headless().pressKey(platform::Key::Left);
    window->headless().pressKey(platform::Key::Left);
    window->headless().typeText(L"-");
    settle(*window);
    EXPECT_EQ(note->GetText(), L"on-e+two");
    EXPECT_EQ(notesOf(*window, {"textchanged"}).size(), 3u);

    // A click puts the caret before the character under the pointer.
    note->SetText(L"one\ntwo");
    settle(*window);
    const SkinRect area = note->GetTextRect();
    const int line = note->GetLineHeight();
    window->headless().click(area.left + 1, area.top + line / 2);
    window->headless().typeText(L"X");
    window->headless().click(area.left + 1, area.top + line + line / 2);
    window->headless().typeText(L"Y");
    window->headless().click(area.right - 2, area.top + line / 2);
    window->headless().typeText(L"Z");
    settle(*window);
    EXPECT_EQ(note->GetText(), L"XoneZ\nYtwo");

    // Typing past the bottom keeps the caret's line in view.
    note->SetText(L"");
    note->SetCaret(0);
    for (int i = 0; i < 12; ++i) window->headless().pressKey(platform::Key::Return);
    window->headless().typeText(L"last");
    settle(*window);
    ASSERT_GT(note->GetScrollRange().cy, 0);
    EXPECT_EQ(note->GetScrollPos().cy, note->GetScrollRange().cy);

    // The text beam shows over a view one can type in, the arrow over a read-only one.
    const std::pair<const wchar_t*, platform::Cursor> cursors[] = {
        {L"note", platform::Cursor::IBeam},
        {L"licence", platform::Cursor::Arrow},
    };
    for (const auto& [name, expected] : cursors) {
        moveTo(*window, name);
        EXPECT_EQ(window->GetHWND()->cursor(), expected) << narrow(name);
    }

    // Control characters are not text; a disabled view takes nothing.
    EXPECT_FALSE(note->InsertText(std::wstring(L"\x01\x1b\x7f")));
    note->SetEnabled(false);
    EXPECT_FALSE(note->InsertText(L"x"));
}

TEST_F(RichEdit, SingleLineKeepsOneLineAndTurnsReturnIntoANotificationOnly) {
    auto window = open(kLayout);
    auto* line = richEdit(*window, L"line");
    ASSERT_NE(line, nullptr);
    EXPECT_FALSE(line->IsMultiLine());
    line->SetText(L"one\ntwo\r\nthree");
    settle(*window);
    EXPECT_EQ(line->GetTextHeight(), line->GetLineHeight());
    EXPECT_EQ(line->GetText(), L"one\ntwo\r\nthree");  // shown on one line, kept as set

    clickOn(*window, L"line");
    window->headless().pressKey(platform::Key::End);
    window->headless().pressKey(platform::Key::Return);
    settle(*window);
    EXPECT_EQ(line->GetText(), L"one\ntwo\r\nthree");
    EXPECT_EQ(notesOf(*window, {"textchanged", "return"}), Lines{"return line"});
    EXPECT_FALSE(line->InsertText(L"\r\n"));

    line->SetMultiLine(true);
    EXPECT_EQ(line->GetTextHeight(), 3 * line->GetLineHeight());
}

TEST(RichEditAttributes, EachAttributeReachesItsSetting) {
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        std::function<bool(const CRichEditUI&)> holds;
    };
    const Case cases[] = {
        {L"readonly", L"true", [](const CRichEditUI& r) { return r.IsReadOnly(); }},
        {L"password", L"true", [](const CRichEditUI& r) { return r.IsPasswordMode(); }},
        {L"wanttab", L"true", [](const CRichEditUI& r) { return r.IsWantTab(); }},
        {L"wantreturn", L"true", [](const CRichEditUI& r) { return r.IsWantReturn() && (r.GetControlFlags() & UIFLAG_WANTRETURN); }},
        {L"wantctrlreturn", L"true", [](const CRichEditUI& r) { return r.IsWantCtrlReturn(); }},
        {L"transparent", L"false", [](const CRichEditUI& r) { return !r.IsTransparent(); }},
        {L"rich", L"false", [](const CRichEditUI& r) { return !r.IsRich(); }},
        {L"autovscroll", L"true", [](const CRichEditUI& r) { return r.IsAutoVScroll(); }},
        {L"autohscroll", L"true", [](const CRichEditUI& r) { return r.IsAutoHScroll(); }},
        {L"multiline", L"false", [](const CRichEditUI& r) { return !r.IsMultiLine(); }},
        {L"multiline", L"true", [](const CRichEditUI& r) { return r.IsMultiLine(); }},
        {L"multiline", L"no", [](const CRichEditUI& r) { return r.IsMultiLine(); }},  // only "false" turns it off
        {L"align", L"center", [](const CRichEditUI& r) { return r.GetAlign() == TextStyle::Center; }},
        {L"align", L"right", [](const CRichEditUI& r) { return r.GetAlign() == TextStyle::Right; }},
        {L"align", L"left", [](const CRichEditUI& r) { return r.GetAlign() == TextStyle::Left; }},
        {L"font", L"3", [](const CRichEditUI& r) { return r.GetFont() == 3; }},
        {L"textcolor", L"#FF102030", [](const CRichEditUI& r) { return r.GetTextColor() == 0xFF102030; }},
        {L"textpadding", L"1,2,3,4",
         [](const CRichEditUI& r) { return r.GetTextPadding() == SkinRect{1, 2, 3, 4}; }},
        {L"vscrollbar", L"true", [](const CRichEditUI& r) { return r.GetVerticalScrollBar() != nullptr; }},
        {L"hscrollbar", L"true", [](const CRichEditUI& r) { return r.GetHorizontalScrollBar() != nullptr; }},
        // Names of the base classes go on to them.
        {L"inset", L"5,6,7,8", [](const CRichEditUI& r) { return r.GetInset() == SkinRect{5, 6, 7, 8}; }},
        {L"bkcolor", L"#FF00FF00", [](const CRichEditUI& r) { return r.GetBkColor() == 0xFF00FF00; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.name) + "=" + narrow(c.value));
        CRichEditUI edit;
        edit.SetAttribute(c.name, c.value);
        EXPECT_TRUE(c.holds(edit));
    }
    CRichEditUI plain;
    EXPECT_TRUE(plain.IsMultiLine());
    EXPECT_FALSE(plain.IsReadOnly());
    EXPECT_TRUE(plain.IsTransparent());
    EXPECT_EQ(plain.GetClass(), L"RichEdit");
    EXPECT_EQ(plain.GetInterface(L"RichEdit"), &plain);
}

TEST_F(RichEdit, TextIsDrawnInsideThePaddingAndNeverOutsideTheControl) {
    auto window = open(kLayout);
    auto* clip = richEdit(*window, L"clip");
    ASSERT_NE(clip, nullptr);
    const SkinRect item = clip->GetPos();
    const SkinRect text = clip->GetTextRect();
    ASSERT_EQ(text, (SkinRect{item.left + 10, item.top + 8, item.right - 12, item.bottom - 6}));

    struct Case {
        const char* what;
        std::wstring text;
        const wchar_t* align;
    };
    const Case cases[] = {
        {"a long text without a bar", licenceText(20), L"left"},
        {"one word wider than the view", std::wstring(400, L'W'), L"left"},
        {"right-aligned", L"Right\nside", L"right"},
        {"Chinese", L"用户许可协议：请仔细阅读以下条款。用户许可协议：请仔细阅读以下条款。", L"center"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clip->SetAttribute(L"align", c.align);
        clip->SetText(c.text);
        settle(*window);
        Snapshot shot = snapshot(*window);
        EXPECT_GT(inkIn(shot, text), 20);
        // The padding band and everything outside the control stay blank.
        const SkinRect bands[] = {
            {item.left, item.top, item.right, text.top},
            {item.left, text.bottom, item.right, item.bottom},
            {item.left, text.top, text.left, text.bottom},
            {text.right, text.top, item.right, text.bottom},
            {0, 0, shot.width, item.top},
            {0, item.bottom, shot.width, shot.height},
            {item.right, item.top, shot.width, item.bottom},
        };
        for (const SkinRect& band : bands) {
            EXPECT_EQ(inkIn(shot, band), 0) << band.left << "," << band.top << "," << band.right << "," << band.bottom;
        }
    }

    // Right alignment puts the ink against the right padding, none near the left.
    clip->SetAttribute(L"align", L"right");
    clip->SetText(L"Right");
    settle(*window);
    Snapshot shot = snapshot(*window);
    EXPECT_EQ(inkIn(shot, {text.left, text.top, text.left + RectWidth(text) / 2, text.bottom}), 0);
    EXPECT_GT(inkIn(shot, {text.right - 20, text.top, text.right, text.bottom}), 0);
}

TEST_F(RichEdit, HostileTextAndFontsAreLaidOutInBoundedTime) {
    auto window = open(kLayout);
    auto* licence = richEdit(*window, L"licence");
    ASSERT_NE(licence, nullptr);

    struct Case {
        const char* what;
        std::wstring text;
        int font;
    };
    std::wstring manyBreaks(200000, L'\n');
    std::wstring mixed;
    for (int i = 0; i < 3000; ++i) mixed += L"word " + std::wstring(size_t(i % 97), L'x') + L"\r";
    std::wstring longWords;
    for (int i = 0; i < 250; ++i) longWords += L"see " + std::wstring(1000, L'x') + L" here\n";
    const Case cases[] = {
        {"a very long text", licenceText(3000), -1},
        {"many long words", longWords, -1},
        {"one very long word", std::wstring(300000, L'W'), -1},
        {"line breaks only", manyBreaks, -1},
        {"lone carriage returns", mixed, -1},
        {"a huge font", licenceText(10), 1},
        {"a huge font and a long word", std::wstring(5000, L'M'), 1},
        {"more than is shown", std::wstring(CRichEditUI::kMaxShownChars + 10, L'a'), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto started = std::chrono::steady_clock::now();
        licence->SetAttribute(L"font", std::to_wstring(c.font));
        licence->SetText(c.text);
        settle(*window);
        window->headless().wheel(-platform::kWheelNotch, 10, 10);
        licence->EndDown();
        settle(*window);
        auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_LT(seconds, 30.0);
        EXPECT_EQ(licence->GetText().size(), c.text.size());
        EXPECT_GT(licence->GetTextHeight(), 0);
        EXPECT_EQ(licence->GetScrollPos().cy, licence->GetScrollRange().cy);
    }
}

}  // namespace
