// The scroll bar: the layout of its parts, the mouse (buttons with their repeat, track paging, thumb
// dragging, the wheel), a bar scrolling its container's content, clamping, attributes and state images.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <limits>

#include "skinui/render_image.h"
#include "skinui/scroll_bar.h"
#include "skinui_windows/toolkit_test_support.h"
#include "support/test_env.h"

namespace {

using namespace toolkit_test;
using Part = CScrollBarUI::Part;
using State = CScrollBarUI::ImageState;

std::string str(const SkinRect& r) {
    char text[64];
    std::snprintf(text, sizeof text, "{%d,%d,%d,%d}", r.left, r.top, r.right, r.bottom);
    return text;
}

platform::Point centre(const SkinRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Layout: a list of eight 50-pixel rows in a 200-pixel high box (range 200) with its own bar at x 104..120;
// beside it a free vertical bar at {120,0,136,132} and a free horizontal one at {120,132,220,148}.
const wchar_t kLayout[] = LR"(<Window size="240,200">
  <HorizontalLayout>
    <VerticalLayout name="list" width="120" vscrollbar="true">
      <Control name="row0" height="50"/><Control name="row1" height="50"/><Control height="50"/>
      <Control height="50"/><Control height="50"/><Control height="50"/><Control height="50"/>
      <Control name="row7" height="50"/>
    </VerticalLayout>
    <VerticalLayout>
      <ScrollBar name="free" width="16" height="132" range="500" linesize="10"/>
      <ScrollBar name="hfree" hor="true" width="100" range="100" linesize="5" thumbcolor="#FF123456"/>
      <Control/>
    </VerticalLayout>
  </HorizontalLayout>
</Window>)";

class ScrollBars : public HeadlessToolkitTest {
protected:
    void TearDown() override { CImageTable::Shared().Clear(); }

    static CScrollBarUI* bar(TestWindow& window, const std::wstring& name) {
        return dynamic_cast<CScrollBarUI*>(find(window, name));
    }
    static CScrollBarUI* listBar(TestWindow& window) {
        auto* list = dynamic_cast<CContainerUI*>(find(window, L"list"));
        return list ? list->GetVerticalScrollBar() : nullptr;
    }
    static void press(TestWindow& window, platform::Point p) {
        window.headless().mouseMove(p.x, p.y);
        window.headless().mouseDown(platform::MouseButton::Left, p.x, p.y);
        settle(window);
    }
    static void release(TestWindow& window, platform::Point p) {
        window.headless().mouseUp(platform::MouseButton::Left, p.x, p.y);
        settle(window);
    }
    static void click(TestWindow& window, platform::Point p) {
        window.headless().click(p.x, p.y);
        settle(window);
    }
};

// ---- geometry ----

TEST(ScrollBarLayout, PartsFollowRangeAndPosition) {
    struct Case {
        const char* what;
        SkinRect bar;
        bool horizontal;
        int range, pos;
        bool show1, show2;
        SkinRect button1, button2, track, thumb, rail;
    };
    const Case cases[] = {
        // Track 168 of a 200 bar showing 200 of 400: the thumb is half the track.
        {"top", {0, 0, 16, 200}, false, 200, 0, true, true,
         {0, 0, 16, 16}, {0, 184, 16, 200}, {0, 16, 16, 184}, {0, 16, 16, 100}, {0, 50, 16, 66}},
        {"middle", {0, 0, 16, 200}, false, 200, 100, true, true,
         {0, 0, 16, 16}, {0, 184, 16, 200}, {0, 16, 16, 184}, {0, 58, 16, 142}, {0, 92, 16, 108}},
        {"end", {0, 0, 16, 200}, false, 200, 200, true, true,
         {0, 0, 16, 16}, {0, 184, 16, 200}, {0, 16, 16, 184}, {0, 100, 16, 184}, {0, 134, 16, 150}},
        {"nothing to scroll", {0, 0, 16, 200}, false, 0, 0, true, true,
         {0, 0, 16, 16}, {0, 184, 16, 200}, {0, 16, 16, 184}, {0, 16, 16, 184}, {0, 92, 16, 108}},
        {"huge range keeps a minimum thumb", {0, 0, 16, 200}, false, 100000, 50000, true, true,
         {0, 0, 16, 16}, {0, 184, 16, 200}, {0, 16, 16, 184}, {0, 92, 16, 108}, {0, 92, 16, 108}},
        {"horizontal", {10, 50, 110, 66}, true, 100, 50, true, true,
         {10, 50, 26, 66}, {94, 50, 110, 66}, {26, 50, 94, 66}, {43, 50, 77, 66}, {52, 50, 68, 66}},
        {"no buttons", {0, 0, 16, 100}, false, 300, 300, false, false,
         {}, {}, {0, 0, 16, 100}, {0, 75, 16, 100}, {0, 79, 16, 95}},
        {"one button, range and position below 0", {0, 0, 16, 100}, false, -5, -7, true, false,
         {0, 0, 16, 16}, {}, {0, 16, 16, 100}, {0, 16, 16, 100}, {0, 50, 16, 66}},
        {"track shorter than the minimum thumb", {0, 0, 16, 40}, false, 1000, 0, true, true,
         {0, 0, 16, 16}, {0, 24, 16, 40}, {0, 16, 16, 24}, {0, 16, 16, 24}, {0, 16, 16, 24}},
        {"shorter than its buttons", {0, 0, 16, 20}, false, 100, 50, true, true,
         {0, 0, 16, 10}, {0, 10, 16, 20}, {}, {}, {}},
        {"upside down", {0, 100, 16, 0}, false, 100, 50, true, true, {}, {}, {}, {}, {}},
        {"no thickness", {0, 0, 0, 100}, false, 100, 50, true, true, {}, {}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TScrollBarParts parts = LayoutScrollBar(c.bar, c.horizontal, c.range, c.pos, c.show1, c.show2);
        EXPECT_EQ(str(parts.button1), str(c.button1));
        EXPECT_EQ(str(parts.button2), str(c.button2));
        EXPECT_EQ(str(parts.track), str(c.track));
        EXPECT_EQ(str(parts.thumb), str(c.thumb));
        EXPECT_EQ(str(parts.rail), str(c.rail));
    }
}

// ---- mouse ----

TEST_F(ScrollBars, AHeldButtonStepsByTheLineAndRepeatsUntilReleased) {
    auto window = open(kLayout);
    CScrollBarUI* free = bar(*window, L"free");
    ASSERT_NE(free, nullptr);
    const platform::Point down = centre(free->GetParts().button2);

    press(*window, down);
    EXPECT_EQ(free->GetScrollPos(), 10) << "one line at once";
    EXPECT_TRUE(free->GetButton2State() & CScrollBarUI::kPushed);
    ASSERT_TRUE(testing_support::runUiUntil([&] { return free->GetScrollPos() >= 40; }));
    release(*window, down);
    const int stopped = free->GetScrollPos();
    EXPECT_EQ(stopped % 10, 0);
    EXPECT_FALSE(free->GetButton2State() & CScrollBarUI::kPushed);
    int reported = -1;
    for (const TNotifyMsg& msg : window->messages) {
        if (msg.sType == L"scroll" && msg.pSender == free) reported = int(msg.wParam);
    }
    EXPECT_EQ(reported, stopped) << "the last \"scroll\" carries the final position";

    // The repeat timer is gone: it can be started anew, and a late tick moves nothing.
    CPaintManagerUI& pm = window->GetPaintManager();
    EXPECT_TRUE(pm.SetTimer(free, CScrollBarUI::kRepeatTimerId, 100000));
    pm.KillTimer(free, CScrollBarUI::kRepeatTimerId);
    TEventUI tick;
    tick.Type = UIEVENT_TIMER;
    tick.wParam = CScrollBarUI::kRepeatTimerId;
    tick.ptMouse = down;
    free->Event(tick);
    EXPECT_EQ(free->GetScrollPos(), stopped);

    // A quick click moves exactly one line.
    click(*window, centre(free->GetParts().button1));
    EXPECT_EQ(free->GetScrollPos(), stopped - 10);
}

TEST_F(ScrollBars, AClickOnTheTrackPagesTowardsIt) {
    auto window = open(kLayout);
    CScrollBarUI* free = bar(*window, L"free");
    ASSERT_NE(free, nullptr);
    ASSERT_EQ(free->PageSize(), 132);
    const SkinRect track = free->GetParts().track;
    const platform::Point nearStart{(track.left + track.right) / 2, track.top + 2};
    const platform::Point nearEnd{(track.left + track.right) / 2, track.bottom - 2};
    struct Step {
        platform::Point at;
        int expected;
    };
    const Step steps[] = {
        {nearEnd, 132}, {nearEnd, 264}, {nearStart, 132}, {nearEnd, 264},
        {nearEnd, 396}, {nearEnd, 500},  // clamped at the range
        {nearStart, 368},
    };
    for (const Step& step : steps) {
        click(*window, step.at);
        EXPECT_EQ(free->GetScrollPos(), step.expected) << "after a click at y " << step.at.y;
    }
}

// Repeat ticks sent by hand, with the pointer where the test puts it.
TEST_F(ScrollBars, RepeatingGoesOnOnlyWhileThePointerIsWhereItPressed) {
    auto window = open(kLayout);
    CScrollBarUI* free = bar(*window, L"free");
    ASSERT_NE(free, nullptr);
    auto ticks = [&](int count, platform::Point at) {
        for (int i = 0; i < count; ++i) {
            TEventUI tick;
            tick.Type = UIEVENT_TIMER;
            tick.wParam = CScrollBarUI::kRepeatTimerId;
            tick.ptMouse = at;
            free->Event(tick);
        }
    };

    // Held below the thumb at y 70: pages of 132 until the thumb (20 pixels for 500) covers the pointer.
    const platform::Point inTrack{128, 70};
    press(*window, inTrack);
    window->GetPaintManager().KillTimer(free, CScrollBarUI::kRepeatTimerId);  // only these ticks count
    EXPECT_EQ(free->GetScrollPos(), 132);
    ticks(CScrollBarUI::kRepeatDelayTicks - 1, inTrack);
    EXPECT_EQ(free->GetScrollPos(), 132) << "no repeat before the delay";
    ticks(10, inTrack);
    EXPECT_EQ(free->GetScrollPos(), 264);
    EXPECT_TRUE(RectContainsPoint(free->GetParts().thumb, inTrack));
    release(*window, inTrack);

    // Held on button 1, moved off it and back.
    const platform::Point onButton = centre(free->GetParts().button1);
    press(*window, onButton);
    window->GetPaintManager().KillTimer(free, CScrollBarUI::kRepeatTimerId);
    EXPECT_EQ(free->GetScrollPos(), 254);
    ticks(CScrollBarUI::kRepeatDelayTicks, {128, 100});
    EXPECT_EQ(free->GetScrollPos(), 254) << "off the button";
    ticks(3, onButton);
    EXPECT_EQ(free->GetScrollPos(), 224);
    release(*window, onButton);
}

TEST_F(ScrollBars, DraggingTheThumbMovesThePositionProportionally) {
    auto window = open(kLayout);
    struct Case {
        const wchar_t* name;
        int moved;  // pixels along the bar
        int expected;
    };
    // "free": track 100, thumb 20, range 500: a pixel is 6.25. "hfree": track 68, thumb 34, range 100.
    const Case cases[] = {
        {L"free", 40, 250}, {L"free", 13, 81}, {L"free", 200, 500}, {L"free", -30, 0},
        {L"hfree", 17, 50}, {L"hfree", 34, 100}, {L"hfree", 1000, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.name) + " by " + std::to_string(c.moved));
        CScrollBarUI* scrollBar = bar(*window, c.name);
        ASSERT_NE(scrollBar, nullptr);
        scrollBar->SetScrollPos(0);
        settle(*window);
        const platform::Point from = centre(scrollBar->GetParts().thumb);
        press(*window, from);
        EXPECT_EQ(scrollBar->GetScrollPos(), 0) << "pressing the thumb does not scroll";
        const platform::Point to = scrollBar->IsHorizontal() ? platform::Point{from.x + c.moved, from.y}
                                                             : platform::Point{from.x, from.y + c.moved};
        window->headless().mouseMove(to.x, to.y);
        settle(*window);
        EXPECT_EQ(scrollBar->GetScrollPos(), c.expected);
        EXPECT_TRUE(scrollBar->GetThumbState() & CScrollBarUI::kPushed) << "pushed while dragged, wherever the pointer";
        release(*window, to);
        EXPECT_FALSE(scrollBar->GetThumbState() & CScrollBarUI::kPushed);
        EXPECT_EQ(scrollBar->GetScrollPos(), c.expected);
    }
}

TEST_F(ScrollBars, HotStatesFollowThePointer) {
    auto window = open(kLayout);
    CScrollBarUI* free = bar(*window, L"free");
    ASSERT_NE(free, nullptr);
    const TScrollBarParts parts = free->GetParts();
    struct Case {
        platform::Point at;
        unsigned button1, button2, thumb;
    };
    const unsigned hot = CScrollBarUI::kHot;
    const Case cases[] = {
        {centre(parts.button1), hot, 0, 0},
        {centre(parts.thumb), 0, 0, hot},
        {centre(parts.button2), 0, hot, 0},
        {{parts.button2.left + 1, parts.track.bottom - 5}, 0, 0, 0},  // bare track
        {{10, 10}, 0, 0, 0},                                        // off the bar
    };
    for (const Case& c : cases) {
        window->headless().mouseMove(c.at.x, c.at.y);
        settle(*window);
        SCOPED_TRACE(std::to_string(c.at.x) + "," + std::to_string(c.at.y));
        EXPECT_EQ(free->GetButton1State(), c.button1);
        EXPECT_EQ(free->GetButton2State(), c.button2);
        EXPECT_EQ(free->GetThumbState(), c.thumb);
    }
}

TEST_F(ScrollBars, TheWheelOverABarScrollsItsAxisByLines) {
    auto window = open(kLayout);
    CScrollBarUI* hfree = bar(*window, L"hfree");
    ASSERT_NE(hfree, nullptr);
    hfree->SetAttribute(L"scrollunit", L"2");
    const platform::Point over = centre(hfree->GetParts().track);
    window->headless().wheel(-platform::kWheelNotch, over.x, over.y);
    settle(*window);
    EXPECT_EQ(hfree->GetScrollPos(), 10) << "a notch is two lines of 5";
    window->headless().wheel(-3 * platform::kWheelNotch, over.x, over.y);
    settle(*window);
    EXPECT_EQ(hfree->GetScrollPos(), 40);
    window->headless().wheel(5 * platform::kWheelNotch, over.x, over.y);
    settle(*window);
    EXPECT_EQ(hfree->GetScrollPos(), 0);

    // Extreme deltas and steps end at the ends.
    hfree->SetLineSize(std::numeric_limits<int>::max());
    hfree->SetScrollUnit(std::numeric_limits<int>::max());
    for (intptr_t delta : {std::numeric_limits<intptr_t>::min(), std::numeric_limits<intptr_t>::max()}) {
        TEventUI wheel;
        wheel.Type = UIEVENT_SCROLLWHEEL;
        wheel.wParam = delta;
        wheel.ptMouse = over;
        hfree->Event(wheel);
        EXPECT_EQ(hfree->GetScrollPos(), delta < 0 ? 100 : 0);
    }

    // A disabled bar leaves the wheel to its parent and does not move.
    hfree->SetEnabled(false);
    window->headless().wheel(-platform::kWheelNotch, over.x, over.y);
    settle(*window);
    EXPECT_EQ(hfree->GetScrollPos(), 0);
}

// ---- with an owner ----

TEST_F(ScrollBars, AContainersBarMovesTheContent) {
    auto window = open(kLayout);
    CScrollBarUI* vbar = listBar(*window);
    ASSERT_NE(vbar, nullptr);
    ASSERT_TRUE(vbar->IsVisible());
    ASSERT_EQ(vbar->GetScrollRange(), 200);
    ASSERT_EQ(str(vbar->GetPos()), str({104, 0, 120, 200}));
    CControlUI* row0 = find(*window, L"row0");
    CControlUI* row7 = find(*window, L"row7");
    auto list = dynamic_cast<CContainerUI*>(find(*window, L"list"));

    struct Step {
        const char* what;
        std::function<void()> act;
        int expected;
    };
    const Step steps[] = {
        {"button down", [&] { click(*window, centre(vbar->GetParts().button2)); }, 8},
        {"thumb drag by 42 of 84 free pixels",
         [&] {
             const platform::Point from = centre(vbar->GetParts().thumb);
             press(*window, from);
             window->headless().mouseMove(from.x, from.y + 42);
             settle(*window);
             release(*window, {from.x, from.y + 42});
         },
         108},
        {"wheel over the bar", [&] {
             const platform::Point p = centre(vbar->GetParts().track);
             window->headless().wheel(-platform::kWheelNotch, p.x, p.y);
             settle(*window);
         }, 116},
        {"track below the thumb", [&] { click(*window, {112, vbar->GetParts().track.bottom - 1}); }, 200},
        {"button down at the end", [&] { click(*window, centre(vbar->GetParts().button2)); }, 200},
        {"track above the thumb", [&] { click(*window, {112, vbar->GetParts().track.top + 1}); }, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(vbar->GetScrollPos(), step.expected);
        EXPECT_EQ(list->GetScrollPos().cy, step.expected);
        EXPECT_EQ(row0->GetPos().top, -step.expected);
        EXPECT_EQ(row7->GetPos().top, 350 - step.expected);
    }
}

// ---- model ----

TEST_F(ScrollBars, PositionStaysInsideTheRange) {
    auto window = open(kLayout);
    CScrollBarUI* free = bar(*window, L"free");
    ASSERT_NE(free, nullptr);
    struct Case {
        int range, pos, expectedRange, expectedPos;
    };
    const Case cases[] = {
        {500, -5, 500, 0}, {500, 9999, 500, 500}, {500, 300, 500, 300},
        {50, 300, 50, 50},  // a smaller range pulls the position in
        {-3, 10, 0, 0},
    };
    for (const Case& c : cases) {
        free->SetScrollRange(c.range);
        free->SetScrollPos(c.pos);
        EXPECT_EQ(free->GetScrollRange(), c.expectedRange) << c.range << " " << c.pos;
        EXPECT_EQ(free->GetScrollPos(), c.expectedPos) << c.range << " " << c.pos;
        settle(*window);  // paints with it
    }
    free->SetScrollRange(100);
    free->ScrollBy(int64_t(1) << 40);
    EXPECT_EQ(free->GetScrollPos(), 100);
    free->ScrollBy(-(int64_t(1) << 40));
    EXPECT_EQ(free->GetScrollPos(), 0);

    // Through the owner as well: neither end is passed.
    CScrollBarUI* vbar = listBar(*window);
    ASSERT_NE(vbar, nullptr);
    vbar->ScrollBy(1000);
    EXPECT_EQ(vbar->GetScrollPos(), 200);
    EXPECT_EQ(find(*window, L"row0")->GetPos().top, -200);
    vbar->PageUp();
    vbar->PageUp();
    EXPECT_EQ(find(*window, L"row0")->GetPos().top, 0);
}

TEST(ScrollBarAttributes, AreParsed) {
    CScrollBarUI bar;
    // Built-in images until a skin says otherwise: four 8 x 8 states side by side.
    EXPECT_EQ(bar.GetImage(Part::Button1, State::Normal), L"file='scroll_button1.png' source='0,0,8,8' mask='#FFFF00FF'");
    EXPECT_EQ(bar.GetImage(Part::Thumb, State::Hot), L"file='scroll_thumb.png' source='8,0,16,8' mask='#FFFF00FF'");
    EXPECT_EQ(bar.GetImage(Part::Rail, State::Pushed), L"file='scroll_tail.png' source='16,0,24,8' mask='#FFFF00FF'");
    EXPECT_EQ(bar.GetImage(Part::Bk, State::Disabled), L"file='scroll_back.png' source='24,0,32,8' mask='#FFFF00FF'");

    bar.ApplyAttributeList(L"value=\"300\" range=\"400\" linesize=\"12\" scrollunit=\"3\" showbutton1=\"false\" "
                           L"button1color=\"#FF010203\" button2color=\"#FF040506\" thumbcolor=\"#FF070809\" hor=\"true\"");
    EXPECT_EQ(bar.GetScrollRange(), 400);
    EXPECT_EQ(bar.GetScrollPos(), 300) << "a value given before the range is not lost";
    EXPECT_EQ(bar.GetLineSize(), 12);
    EXPECT_EQ(bar.GetScrollUnit(), 3);
    EXPECT_FALSE(bar.IsShowButton1());
    EXPECT_TRUE(bar.IsShowButton2());
    EXPECT_EQ(bar.GetButton1Color(), 0xFF010203u);
    EXPECT_EQ(bar.GetButton2Color(), 0xFF040506u);
    EXPECT_EQ(bar.GetThumbColor(), 0xFF070809u);
    EXPECT_TRUE(bar.IsHorizontal());
    EXPECT_EQ(bar.GetFixedHeight(), CScrollBarUI::kDefaultSize);
    EXPECT_EQ(bar.GetFixedWidth(), 0);

    const std::pair<const wchar_t*, Part> parts[] = {
        {L"button1", Part::Button1}, {L"button2", Part::Button2}, {L"thumb", Part::Thumb},
        {L"rail", Part::Rail}, {L"bk", Part::Bk}};
    const std::pair<const wchar_t*, State> states[] = {
        {L"normal", State::Normal}, {L"hot", State::Hot}, {L"pushed", State::Pushed}, {L"disabled", State::Disabled}};
    for (const auto& [partName, part] : parts) {
        for (const auto& [stateName, state] : states) {
            const std::wstring name = std::wstring(partName) + stateName + L"image";
            bar.SetAttribute(name, L"file='" + name + L".png'");
            EXPECT_EQ(bar.GetImage(part, state), L"file='" + name + L".png'") << narrow(name);
        }
    }

    // Nonsense stays harmless.
    bar.ApplyAttributeList(L"linesize=\"-4\" scrollunit=\"0\" range=\"-1\" value=\"-9\"");
    EXPECT_EQ(bar.GetLineSize(), 1);
    EXPECT_EQ(bar.GetScrollUnit(), 1);
    EXPECT_EQ(bar.GetScrollRange(), 0);
    EXPECT_EQ(bar.GetScrollPos(), 0);
    EXPECT_TRUE(bar.GetCustomAttribute(L"thumbhotimage").empty()) << "known names are not custom attributes";
}

TEST_F(ScrollBars, ASkinsDefaultListsStyleAContainersBars) {
    auto window = open(LR"(<Window size="100,100">
  <Default name="VScrollBar" value="linesize=&quot;20&quot; thumbnormalimage=&quot;v.png&quot;"/>
  <Default name="HScrollBar" value="thumbcolor=&quot;#FF00FF00&quot; showbutton2=&quot;false&quot;"/>
  <VerticalLayout name="list" vscrollbar="true" hscrollbar="true" hscrollbarstyle="linesize=&quot;3&quot;"/>
</Window>)");
    auto* list = dynamic_cast<CContainerUI*>(find(*window, L"list"));
    ASSERT_NE(list, nullptr);
    CScrollBarUI* vbar = list->GetVerticalScrollBar();
    CScrollBarUI* hbar = list->GetHorizontalScrollBar();
    ASSERT_TRUE(vbar && hbar);
    EXPECT_EQ(vbar->GetLineSize(), 20);
    EXPECT_EQ(vbar->GetImage(Part::Thumb, State::Normal), L"v.png");
    EXPECT_EQ(vbar->GetImage(Part::Thumb, State::Hot), L"file='scroll_thumb.png' source='8,0,16,8' mask='#FFFF00FF'");
    EXPECT_EQ(hbar->GetThumbColor(), 0xFF00FF00u);
    EXPECT_FALSE(hbar->IsShowButton2());
    EXPECT_EQ(hbar->GetLineSize(), 3) << "the container's style comes after the default list";
    EXPECT_TRUE(hbar->IsHorizontal());
}

// ---- painting ----

// The premultiplied pixel of the window's surface.
uint32_t pixel(TestWindow& window, platform::Point p) {
    cairo_surface_t* surface = window.headless().surface();
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface) + p.y * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const uint32_t*>(row)[p.x];
}

std::string hex(uint32_t p) {
    char text[16];
    std::snprintf(text, sizeof text, "#%08X", p);
    return text;
}

// A distinct opaque colour for each part and state of the test strips.
uint32_t stripColor(Part part, State state) {
    return 0xFF000000u | uint32_t(40 + 40 * int(part)) << 16 | uint32_t(50 + 50 * int(state)) << 8 | 0x30u;
}

// The built-in descriptions read scroll_*.png; these strips stand in for a skin's files. The rail's left
// half is mask magenta, so the thumb shows through it there.
void registerStrips() {
    const std::pair<const wchar_t*, Part> files[] = {
        {L"scroll_button1.png", Part::Button1}, {L"scroll_button2.png", Part::Button2},
        {L"scroll_thumb.png", Part::Thumb}, {L"scroll_tail.png", Part::Rail}, {L"scroll_back.png", Part::Bk}};
    for (const auto& [file, part] : files) {
        std::vector<uint8_t> rgba;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 32; ++x) {
                uint32_t c = stripColor(part, State(x / 8));
                if (part == Part::Rail && x % 8 < 4) c = 0xFFFF00FF;
                rgba.insert(rgba.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
            }
        }
        CImageTable::Shared().Add(file, L"", 0xFFFF00FF, MakeImage(rgba.data(), 32, 8, 0xFFFF00FF));
    }
}

TEST_F(ScrollBars, WithoutImageFilesABarDrawsNothingOfItsOwn) {
    auto window = open(kLayout);
    CScrollBarUI* free = bar(*window, L"free");
    ASSERT_NE(free, nullptr);
    const SkinRect r = free->GetPos();
    for (int y = r.top; y < r.bottom; y += 3) {
        for (int x = r.left; x < r.right; x += 3) {
            ASSERT_EQ(hex(pixel(*window, {x, y})), hex(platform::HeadlessWindow::kBackground)) << x << "," << y;
        }
    }
}

TEST_F(ScrollBars, EachPartPaintsTheImageOfItsState) {
    registerStrips();
    auto window = open(kLayout);
    CScrollBarUI* free = bar(*window, L"free");
    ASSERT_NE(free, nullptr);
    const TScrollBarParts parts = free->GetParts();
    ASSERT_EQ(str(parts.thumb), str({120, 16, 136, 36}));
    ASSERT_EQ(str(parts.rail), str({120, 18, 136, 34}));
    const platform::Point button1 = centre(parts.button1), button2 = centre(parts.button2);
    const platform::Point thumbOnly{128, 17}, railLeft{121, 26}, railRight{133, 26}, bare{128, 100};

    struct Expect {
        platform::Point at;
        Part part;
        State state;
    };
    auto check = [&](const char* what, std::initializer_list<Expect> expects) {
        SCOPED_TRACE(what);
        for (const Expect& e : expects) {
            EXPECT_EQ(hex(pixel(*window, e.at)), hex(stripColor(e.part, e.state))) << e.at.x << "," << e.at.y;
        }
    };

    check("at rest, at the top", {{button1, Part::Button1, State::Disabled},
                                  {button2, Part::Button2, State::Normal},
                                  {thumbOnly, Part::Thumb, State::Normal},
                                  {railLeft, Part::Thumb, State::Normal},
                                  {railRight, Part::Rail, State::Normal},
                                  {bare, Part::Bk, State::Normal}});

    window->headless().mouseMove(thumbOnly.x, thumbOnly.y);
    settle(*window);
    check("hovering the thumb", {{button2, Part::Button2, State::Normal},
                                 {thumbOnly, Part::Thumb, State::Hot},
                                 {railRight, Part::Rail, State::Hot},
                                 {bare, Part::Bk, State::Hot}});

    press(*window, button2);
    check("holding button 2", {{button1, Part::Button1, State::Normal},
                               {button2, Part::Button2, State::Pushed},
                               {bare, Part::Bk, State::Pushed}});
    release(*window, button2);

    free->SetScrollPos(free->GetScrollRange());
    free->SetEnabled(false);
    settle(*window);
    const TScrollBarParts end = free->GetParts();
    check("disabled at the end", {{button1, Part::Button1, State::Disabled},
                                  {button2, Part::Button2, State::Disabled},
                                  {{end.thumb.right - 3, centre(end.thumb).y}, Part::Rail, State::Disabled},
                                  {{end.thumb.left + 1, end.thumb.top + 1}, Part::Thumb, State::Disabled},
                                  {{128, 50}, Part::Bk, State::Disabled}});

    // A part without images shows its colour.
    CScrollBarUI* hfree = bar(*window, L"hfree");
    ASSERT_NE(hfree, nullptr);
    for (State state : {State::Normal, State::Hot, State::Pushed, State::Disabled}) {
        hfree->SetImage(Part::Thumb, state, L"");
        hfree->SetImage(Part::Rail, state, L"");
    }
    settle(*window);
    EXPECT_EQ(hex(pixel(*window, centre(hfree->GetParts().thumb))), "#FF123456");
}

}  // namespace
