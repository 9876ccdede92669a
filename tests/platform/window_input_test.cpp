// Pointer and keyboard input of a window, driven through the headless provider (the translation is the one
// the GTK provider uses): enter/leave, capture, double clicks, caption and resize drags, cursors, keys.
#include <gtest/gtest.h>

#include "window_recorder.h"

namespace {

using namespace platform;
using window_test::HeadlessWindowTest;
using Lines = std::vector<std::string>;

constexpr int kCaptionBottom = 40;

HitArea captionOnTop(Point p) { return p.y < kCaptionBottom ? HitArea::Caption : HitArea::Client; }

struct PointerCase {
    const char* name;
    std::function<void(HeadlessWindow&)> input;
    Lines expected;  // enter, leave, button and capture messages
};

void PrintTo(const PointerCase& c, std::ostream* os) { *os << c.name; }

class PointerTracking : public HeadlessWindowTest, public ::testing::WithParamInterface<PointerCase> {};

TEST_P(PointerTracking, DeliversEnterLeaveAndButtonsInOrder) {
    rec.hit = captionOnTop;
    auto w = makeWindow();
    GetParam().input(*w);
    w->pump();
    EXPECT_EQ(rec.only({"MouseEnter", "MouseLeave", "LButtonDown", "LButtonUp", "LButtonDblClk", "CaptureLost"}),
              GetParam().expected);
}

const PointerCase kPointerCases[] = {
    {"PassOver",
     [](HeadlessWindow& w) {
         w.mouseMove(10, 50);
         w.mouseMove(20, 60);
         w.pointerLeave();
         w.pointerLeave();
     },
     {"MouseEnter 10,50", "MouseLeave 20,60"}},
    {"ReleasedOutsideAfterDraggingOut",
     [](HeadlessWindow& w) {
         w.mouseMove(10, 50);
         w.mouseDown(MouseButton::Left, 10, 50);
         w.mouseMove(-5, 50);
         w.pointerLeave();
         w.mouseUp(MouseButton::Left, -5, 50);
     },
     {"MouseEnter 10,50", "LButtonDown 10,50", "LButtonUp -5,50", "MouseLeave -5,50"}},
    {"BackInsideBeforeTheRelease",
     [](HeadlessWindow& w) {
         w.mouseMove(10, 50);
         w.mouseDown(MouseButton::Left, 10, 50);
         w.mouseMove(-5, 50);
         w.pointerLeave();
         w.pointerEnter(5, 50);
         w.mouseMove(6, 50);
         w.mouseUp(MouseButton::Left, 6, 50);
     },
     {"MouseEnter 10,50", "LButtonDown 10,50", "LButtonUp 6,50"}},
    {"GrabElsewhereTakesThePointerMidPress",
     [](HeadlessWindow& w) {
         w.mouseMove(10, 50);
         w.mouseDown(MouseButton::Left, 10, 50);
         w.pointerLeave(true);
         w.mouseUp(MouseButton::Left, 10, 50);
     },
     {"MouseEnter 10,50", "LButtonDown 10,50", "MouseLeave 10,50"}},
    {"CaptionDragLeavesByGrabAndComesBackOnUngrab",
     [](HeadlessWindow& w) {
         w.mouseMove(50, 20);
         w.mouseDown(MouseButton::Left, 50, 20);
         w.pointerLeave(true);
         w.mouseUp(MouseButton::Left, 50, 20);
         w.pointerEnter(50, 20, true);
     },
     {"MouseEnter 50,20", "MouseLeave 50,20", "MouseEnter 50,20"}},
    {"NoFreshLeaveAfterAGrabMotionReenters",
     [](HeadlessWindow& w) {
         w.mouseMove(10, 50);
         w.pointerLeave(true);
         w.mouseMove(12, 52);
     },
     {"MouseEnter 10,50", "MouseLeave 10,50", "MouseEnter 12,52"}},
    {"ReleaseOfAPressMadeElsewhereIsDropped",
     [](HeadlessWindow& w) {
         w.mouseMove(10, 50);
         w.mouseUp(MouseButton::Left, 10, 50);
     },
     {"MouseEnter 10,50"}},
    {"DoubleClick",
     [](HeadlessWindow& w) { w.doubleClick(30, 60); },
     {"MouseEnter 30,60", "LButtonDown 30,60", "LButtonUp 30,60", "LButtonDblClk 30,60", "LButtonUp 30,60"}},
    {"SeparateClicksStaySingle",
     [](HeadlessWindow& w) {
         w.click(30, 60);
         w.click(30, 60);
     },
     {"MouseEnter 30,60", "LButtonDown 30,60", "LButtonUp 30,60", "LButtonDown 30,60", "LButtonUp 30,60"}},
    {"PressWithoutMotionEntersFirst",
     [](HeadlessWindow& w) {
         w.mouseDown(MouseButton::Left, 30, 60);
         w.mouseUp(MouseButton::Left, 30, 60);
     },
     {"MouseEnter 30,60", "LButtonDown 30,60", "LButtonUp 30,60"}},
};

INSTANTIATE_TEST_SUITE_P(Window, PointerTracking, ::testing::ValuesIn(kPointerCases),
                         [](const auto& info) { return std::string(info.param.name); });

class WindowInput : public HeadlessWindowTest {};

TEST_F(WindowInput, LeaveAfterReleasingCaptureComesAfterTheButtonUpHandlerReturned) {
    rec.react = [&](Window& w, const WindowEvent& e) {
        if (e.message == Message::LButtonDown) w.setCapture();
        if (e.message == Message::LButtonUp) {
            w.releaseCapture();
            rec.log.push_back("released");
        }
        return false;
    };
    auto w = makeWindow();
    w->mouseMove(10, 50);
    w->mouseDown(MouseButton::Left, 10, 50);
    w->mouseMove(400, 50);  // outside, still ours while held
    w->pointerLeave();
    w->mouseUp(MouseButton::Left, 400, 50);
    w->pump();
    EXPECT_EQ(rec.only({"MouseMove", "LButtonUp", "released", "MouseLeave"}),
              (Lines{"MouseMove 10,50", "MouseMove 400,50", "LButtonUp 400,50", "released", "MouseLeave 400,50"}));
    EXPECT_FALSE(w->hasCapture());
}

TEST_F(WindowInput, CaptureWithoutAButtonGrabsThePointerUntilReleased) {
    auto w = makeWindow();
    w->mouseMove(10, 50);
    w->pump();
    w->setCapture();
    EXPECT_TRUE(w->pointerIsGrabbed());
    w->pointerLeave(true);  // our own grab: the pointer went nowhere
    w->pointerLeave();
    w->mouseMove(-20, 50);
    w->pump();
    EXPECT_EQ(rec.only({"MouseLeave", "CaptureLost", "MouseMove"}), (Lines{"MouseMove 10,50", "MouseMove -20,50"}));
    w->releaseCapture();
    EXPECT_FALSE(w->pointerIsGrabbed());
    EXPECT_EQ(rec.only({"MouseLeave"}), (Lines{"MouseLeave -20,50"}));
}

TEST_F(WindowInput, AnotherProgramTakingThePointerEndsTheCapture) {
    auto w = makeWindow();
    w->mouseMove(10, 50);
    w->mouseDown(MouseButton::Left, 10, 50);
    w->pump();
    w->setCapture();
    w->grabBroken();
    w->mouseUp(MouseButton::Left, 10, 50);
    w->pump();
    EXPECT_FALSE(w->hasCapture());
    EXPECT_EQ(rec.only({"CaptureLost", "LButtonUp"}), (Lines{"CaptureLost"}));
}

TEST_F(WindowInput, HoverFiresOnceAfterTheRestAndNotAfterLeaving) {
    rec.react = [](Window& w, const WindowEvent& e) {
        if (e.message == Message::MouseMove) w.trackHover(20);  // as the toolkit re-arms on every move
        return false;
    };
    auto w = makeWindow();
    w->mouseMove(30, 60);
    ASSERT_TRUE(platform::MainLoop::runUntil([&] { return rec.count("MouseHover") == 1; }, 10000));
    settle(150);
    EXPECT_EQ(rec.only({"MouseHover"}), (Lines{"MouseHover 30,60"}));

    rec.log.clear();
    w->mouseMove(80, 90);
    w->pointerLeave();
    w->pump();
    settle(150);
    EXPECT_EQ(rec.only({"MouseHover", "MouseLeave"}), (Lines{"MouseLeave 80,90"}));
}

TEST_F(WindowInput, HoverWaitsForThePointerToRest) {
    rec.react = [](Window& w, const WindowEvent& e) {
        if (e.message == Message::MouseEnter) w.trackHover(500);  // armed once, on entering
        return false;
    };
    auto w = makeWindow();
    w->mouseMove(30, 60);
    w->pump();
    // Moves beyond the slack restart the delay; the hover reports where the pointer came to rest.
    for (int i = 1; i <= 5; ++i) {
        settle(10);
        w->mouseMove(30 + 10 * i, 60);
        w->pump();
    }
    ASSERT_TRUE(platform::MainLoop::runUntil([&] { return rec.count("MouseHover") == 1; }, 10000));
    EXPECT_EQ(rec.only({"MouseHover"}), (Lines{"MouseHover 80,60"}));
}

struct PressCase {
    const char* name;
    HitArea area;
    bool resizable;
    bool maximized;
    HeadlessWindow::Drag drag;  // None: the press reaches the window
};

void PrintTo(const PressCase& c, std::ostream* os) { *os << c.name; }

class PressOnHitArea : public HeadlessWindowTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(PressOnHitArea, StartsTheDesktopDragOrReachesTheWindow) {
    const PressCase& c = GetParam();
    rec.hit = [&](Point) { return c.area; };
    auto w = makeWindow({.resizable = c.resizable});
    if (c.maximized) w->maximize();
    w->click(100, 100);
    w->pump();
    EXPECT_EQ(w->lastDrag(), c.drag);
    if (c.drag == HeadlessWindow::Drag::Resize) {
        EXPECT_EQ(w->lastDragEdge(), c.area);
    }
    int expectedPresses = c.drag == HeadlessWindow::Drag::None ? 1 : 0;
    EXPECT_EQ(rec.count("LButtonDown"), expectedPresses);
    EXPECT_EQ(rec.count("LButtonUp"), expectedPresses);
}

const PressCase kPressCases[] = {
    {"Client", HitArea::Client, true, false, HeadlessWindow::Drag::None},
    {"CaptionMoves", HitArea::Caption, false, false, HeadlessWindow::Drag::Move},
    {"CaptionMovesWhenMaximizedToo", HitArea::Caption, true, true, HeadlessWindow::Drag::Move},
    {"CornerResizes", HitArea::BottomRight, true, false, HeadlessWindow::Drag::Resize},
    {"EdgeResizes", HitArea::Top, true, false, HeadlessWindow::Drag::Resize},
    {"EdgeOfAFixedWindowIsClient", HitArea::Left, false, false, HeadlessWindow::Drag::None},
    {"EdgeOfAMaximizedWindowIsClient", HitArea::Right, true, true, HeadlessWindow::Drag::None},
};

INSTANTIATE_TEST_SUITE_P(Window, PressOnHitArea, ::testing::ValuesIn(kPressCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowInput, CursorFollowsTheHandlerWithTheArrowAsDefaultAndSizeShapesOnEdges) {
    bool setHand = true;
    rec.hit = [](Point p) { return p.x < 4 ? HitArea::Left : captionOnTop(p); };
    rec.react = [&](Window& w, const WindowEvent& e) {
        if (e.message != Message::SetCursor || !setHand) return false;
        w.setCursor(Cursor::Hand);
        return true;
    };
    auto w = makeWindow({.resizable = true});
    w->mouseMove(100, 100);
    w->pump();
    EXPECT_EQ(w->cursor(), Cursor::Hand);
    EXPECT_EQ(rec.only({"SetCursor"}), (Lines{"SetCursor"}));

    w->mouseMove(2, 100);  // the left edge: the window itself never hears SetCursor there
    w->pump();
    EXPECT_EQ(w->cursor(), Cursor::SizeWE);
    EXPECT_EQ(rec.count("SetCursor"), 1);

    setHand = false;
    w->mouseMove(100, 120);
    w->pump();
    EXPECT_EQ(w->cursor(), Cursor::Arrow);

    setHand = true;
    w->mouseMove(100, 10);  // caption
    w->pump();
    EXPECT_EQ(w->cursor(), Cursor::Arrow);
}

TEST_F(WindowInput, DisabledWindowLosesHoverAndHearsNoInputUntilEnabled) {
    auto w = makeWindow();
    w->mouseMove(10, 50);
    w->pump();
    w->setEnabled(false);
    EXPECT_EQ(rec.only({"MouseLeave"}), (Lines{"MouseLeave 10,50"}));
    rec.log.clear();

    w->click(20, 60);
    w->pressKey(Key::Escape);
    w->typeText(L"a");
    w->wheel(kWheelNotch, 20, 60);
    w->pump();
    EXPECT_EQ(rec.log, Lines{});

    w->setEnabled(true);
    w->mouseMove(21, 61);
    w->pump();
    EXPECT_EQ(rec.only({"MouseEnter"}), (Lines{"MouseEnter 21,61"}));
}

TEST_F(WindowInput, HiddenWindowHearsNoInput) {
    auto w = makeWindow();
    w->hide();
    rec.log.clear();
    w->click(20, 60);
    w->pressKey(Key::Return);
    w->pump();
    EXPECT_EQ(rec.log, Lines{});
}

TEST_F(WindowInput, RightClickAsksForTheContextMenuUnlessTheReleaseWasHandled) {
    bool handleUp = false;
    rec.react = [&](Window&, const WindowEvent& e) { return handleUp && e.message == Message::RButtonUp; };
    auto w = makeWindow();
    w->mouseDown(MouseButton::Right, 40, 70);
    w->mouseUp(MouseButton::Right, 40, 70);
    w->pump();
    handleUp = true;
    w->mouseDown(MouseButton::Right, 41, 70);
    w->mouseUp(MouseButton::Right, 41, 70);
    w->pump();
    EXPECT_EQ(rec.only({"RButtonDown", "RButtonUp", "ContextMenu"}),
              (Lines{"RButtonDown 40,70", "RButtonUp 40,70", "ContextMenu 40,70", "RButtonDown 41,70",
                     "RButtonUp 41,70"}));
}

TEST_F(WindowInput, ButtonAndModifierBitsTravelWithTheMessages) {
    auto w = makeWindow();
    w->mouseDown(MouseButton::Left, 10, 50, keystate::Shift);
    w->mouseMove(12, 50, keystate::Shift | keystate::LeftButton);
    w->mouseUp(MouseButton::Left, 12, 50, keystate::Control);
    w->keyDown(Key('A'), keystate::Control);
    w->wheel(-kWheelNotch, 12, 50);
    w->pump();
    std::vector<std::pair<std::string, uint32_t>> seen;
    for (const auto& e : rec.events)
        if (e.message != Message::SetCursor && e.message != Message::MouseEnter)
            seen.emplace_back(window_test::describe(e), e.keyState);
    using keystate::Control, keystate::LeftButton, keystate::Shift;
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, uint32_t>>{{"LButtonDown 10,50", LeftButton | Shift},
                                                                    {"MouseMove 12,50", LeftButton | Shift},
                                                                    {"LButtonUp 12,50", Control},
                                                                    {"KeyDown 65", Control},
                                                                    {"MouseWheel -120 12,50", 0}}));
}

TEST_F(WindowInput, KeysTextAndInputMethodText) {
    auto w = makeWindow();
    w->pressKey(Key::Escape);
    w->typeText(L"a\u00e9\u4e2d\U0001F600");
    w->imePreedit(L"ni");
    w->imeCommit(L"\u4f60\u597d");
    w->pump();
    EXPECT_EQ(rec.log, (Lines{"KeyDown 27", "KeyUp 27", "Char 97", "Char 233", "Char 20013", "Char 128512",
                              "ImePreedit 'ni'", "ImePreedit ''", "Char 20320", "Char 22909"}));
}

}  // namespace
