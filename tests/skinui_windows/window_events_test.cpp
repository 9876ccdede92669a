// A skinned window's input through its paint manager, on the headless provider: hover, clicks, focus,
// the notification queue, control timers, Escape, the frame's hit test and controls removed in a handler.
#include <gtest/gtest.h>

#include "support/test_env.h"
#include "toolkit_test_support.h"

namespace {

using namespace toolkit_test;
using Lines = std::vector<std::string>;

// 640 x 400, caption 0,0,220,180 (above y 180, left of x 420):
//
//   0        100      200                                        640
//   +--------+--------+------------------------------------------+ 0
//   |   a    |   b    |  (spacer)                                |
//   +--------+--------+------------------------------------------+ 40
//   |  filler (Control)                                           |
//   +-------------------------------------------------------------+ 140
//   |  c                                                          |
//   +-------------------------------------------------------------+ 170
//   |  rest (Control)                                             |
//   +-------------------------------------------------------------+ 400
const wchar_t kLayout[] = LR"(<Window size="640,400" caption="0,0,220,180">
  <VerticalLayout name="root">
    <HorizontalLayout name="bar" height="40">
      <ProbeButton name="a" width="100"/>
      <ProbeButton name="b" width="100"/>
      <Control/>
    </HorizontalLayout>
    <VerticalLayout name="panel">
      <Control name="filler" height="100"/>
      <ProbeButton name="c" height="30"/>
      <Control name="rest"/>
    </VerticalLayout>
  </VerticalLayout>
</Window>)";

using WindowEvents = HeadlessToolkitTest;

TEST_F(WindowEvents, TheLayoutTakesTheWindowSizeAndSendsWindowInitOnce) {
    auto window = std::make_unique<TestWindow>(kLayout);
    ASSERT_NE(window->Create(nullptr, L"test", wndstyle::kPopup, 0), nullptr);
    EXPECT_EQ(window->GetHWND()->clientRect(), (platform::Rect{0, 0, 640, 400}));
    window->ShowWindow();
    settle(*window);
    window->GetHWND()->invalidate();
    settle(*window);
    EXPECT_EQ(notesOf(*window, {"windowinit"}), Lines{"windowinit root"});
    EXPECT_EQ(find(*window, L"c")->GetPos(), (SkinRect{0, 140, 640, 170}));
    EXPECT_EQ(find(*window, L"b")->GetPos(), (SkinRect{100, 0, 200, 40}));
}

TEST_F(WindowEvents, HoverEntersAndLeavesEachControl) {
    auto window = open(kLayout);
    moveTo(*window, L"a");
    moveTo(*window, L"b");
    window->headless().pointerLeave();
    settle(*window);
    EXPECT_EQ(journalOf({"enter", "leave"}), (Lines{"enter a", "leave a", "enter b", "leave b"}));
    EXPECT_EQ(window->GetPaintManager().GetHoverControl(), nullptr);
}

TEST_F(WindowEvents, ClickNeedsThePressAndTheReleaseInside) {
    auto window = open(kLayout);
    clickOn(*window, L"a");
    EXPECT_EQ(notesOf(*window, {"click"}), Lines{"click a"});

    // Pressed on b, dragged onto c and released there: b hears the release but no click happens.
    window->notes.clear();
    journal().clear();
    platform::Point b = centreOf(*window, L"b"), c = centreOf(*window, L"c");
    window->headless().mouseMove(b.x, b.y);
    window->headless().mouseDown(platform::MouseButton::Left, b.x, b.y);
    window->headless().mouseMove(c.x, c.y);
    window->headless().mouseUp(platform::MouseButton::Left, c.x, c.y);
    settle(*window);
    EXPECT_EQ(notesOf(*window, {"click"}), Lines{});
    EXPECT_EQ(journalOf({"down", "up"}), (Lines{"down b", "up b"}));
}

TEST_F(WindowEvents, FocusMovesWithSetFocusAndKillFocus) {
    auto window = open(kLayout);
    clickOn(*window, L"a");
    clickOn(*window, L"c");
    EXPECT_EQ(notesOf(*window, {"setfocus", "killfocus"}), (Lines{"setfocus a", "killfocus a", "setfocus c"}));
    EXPECT_EQ(window->GetPaintManager().GetFocus(), find(*window, L"c"));
    EXPECT_TRUE(find(*window, L"c")->IsFocused());

    // Hiding the layout that holds the focused control takes the focus away.
    window->notes.clear();
    find(*window, L"panel")->SetVisible(false);
    EXPECT_EQ(notesOf(*window, {"setfocus", "killfocus"}), Lines{"killfocus c"});
    EXPECT_EQ(window->GetPaintManager().GetFocus(), nullptr);
    EXPECT_FALSE(find(*window, L"c")->IsFocused());

    // Invisible and disabled controls are refused.
    window->GetPaintManager().SetFocus(find(*window, L"c"));
    find(*window, L"b")->SetEnabled(false);
    window->GetPaintManager().SetFocus(find(*window, L"b"));
    EXPECT_EQ(window->GetPaintManager().GetFocus(), nullptr);
}

TEST_F(WindowEvents, AsynchronousNotificationsAreCoalescedPerSenderAndType) {
    auto window = open(kLayout);
    CPaintManagerUI& pm = window->GetPaintManager();
    CControlUI* c = find(*window, L"c");
    CControlUI* a = find(*window, L"a");
    for (int i = 0; i < 10; ++i) pm.SendNotify(c, L"scroll", i, 100 + i, true, false);
    pm.SendNotify(a, L"scroll", 1, 2, true, false);  // another sender: a notification of its own
    EXPECT_EQ(notesOf(*window, {"scroll"}), Lines{}) << "delivered before the queue was drained";
    settle(*window);
    ASSERT_EQ(notesOf(*window, {"scroll"}), (Lines{"scroll c", "scroll a"}));
    EXPECT_EQ(window->messages[0].wParam, 9);
    EXPECT_EQ(window->messages[0].lParam, 109);

    // Repeats allowed: each one is delivered.
    window->notes.clear();
    for (int i = 0; i < 3; ++i) pm.SendNotify(c, L"scroll", i, 0, true, true);
    settle(*window);
    EXPECT_EQ(notesOf(*window, {"scroll"}).size(), 3u);
}

TEST_F(WindowEvents, ATimerIdSetTwiceFailsUnlessKilled) {
    auto window = open(kLayout);
    CPaintManagerUI& pm = window->GetPaintManager();
    CControlUI* c = find(*window, L"c");
    EXPECT_TRUE(pm.SetTimer(c, 7, 10));
    EXPECT_FALSE(pm.SetTimer(c, 7, 10));
    EXPECT_TRUE(pm.SetTimer(find(*window, L"a"), 7, 1000));  // the same id of another control
    EXPECT_TRUE(pm.KillTimer(c, 7));
    EXPECT_TRUE(pm.SetTimer(c, 7, 10));

    ASSERT_TRUE(testing_support::runUiUntil([&] { return !notesOf(*window, {"timer"}).empty(); }, 10000));
    EXPECT_EQ(notesOf(*window, {"timer"}).front(), "timer c");
    EXPECT_EQ(window->messages.back().wParam, 7);
    EXPECT_EQ(window->messages.back().lParam, 17) << "the first platform timer id of a window";

    // All timers of a control go with KillTimer(control): nothing fires afterwards.
    pm.KillTimer(c);
    window->notes.clear();
    EXPECT_FALSE(pm.KillTimer(c, 7));
    testing_support::runUiUntil([] { return false; }, 60);
    EXPECT_EQ(notesOf(*window, {"timer"}), Lines{});
}

TEST_F(WindowEvents, EscapeClosesWithCodeOneAndStillReachesTheFocusedControl) {
    auto window = open(kLayout);
    clickOn(*window, L"c");
    window->headless().pressKey(platform::Key::Escape);
    settle(*window);
    EXPECT_TRUE(window->finalSeen);
    EXPECT_EQ(window->GetHWND(), nullptr);
    EXPECT_EQ(window->GetCloseCode(), 1);
    EXPECT_EQ(journalOf({"key"}), Lines{"key c " + std::to_string(uint32_t(platform::Key::Escape))});
}

TEST_F(WindowEvents, CloseButtonClosesWithCodeOne) {
    auto window = open(LR"(<Window size="200,100"><HorizontalLayout><ProbeButton name="closebtn"/></HorizontalLayout></Window>)");
    clickOn(*window, L"closebtn");
    EXPECT_TRUE(window->finalSeen);
    EXPECT_EQ(window->GetCloseCode(), 1);
}

struct HitCase {
    const char* name;
    platform::Point point;
    platform::HitArea expected;
};

void PrintTo(const HitCase& c, std::ostream* os) { *os << c.name; }

class FrameHitTest : public HeadlessToolkitTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(FrameHitTest, CaptionAndSizeBoxZones) {
    std::wstring layout = kLayout;
    layout.replace(layout.find(L"caption"), 0, L"sizebox=\"4,4,4,4\" ");
    auto window = open(layout);
    EXPECT_EQ(window->OnNcHitTest(GetParam().point), GetParam().expected);
}

using platform::HitArea;
INSTANTIATE_TEST_SUITE_P(Zones, FrameHitTest,
                         ::testing::Values(HitCase{"RightOfTheCaptionInset", {500, 50}, HitArea::Client},
                                           HitCase{"OverAPlainControl", {100, 50}, HitArea::Caption},
                                           HitCase{"OverAButtonInTheBar", {50, 20}, HitArea::Client},
                                           HitCase{"OverAButtonLower", {100, 150}, HitArea::Client},
                                           HitCase{"OverTheSpacerInTheBar", {300, 20}, HitArea::Caption},
                                           HitCase{"JustLeftOfTheRightInset", {419, 100}, HitArea::Caption},
                                           HitCase{"AtTheRightInset", {420, 100}, HitArea::Client},
                                           HitCase{"BelowTheCaption", {100, 180}, HitArea::Client},
                                           HitCase{"TopLeftCorner", {1, 1}, HitArea::TopLeft},
                                           HitCase{"TopEdge", {300, 2}, HitArea::Top},
                                           HitCase{"TopRightCorner", {638, 1}, HitArea::TopRight},
                                           HitCase{"LeftEdge", {1, 200}, HitArea::Left},
                                           HitCase{"BottomEdge", {300, 398}, HitArea::Bottom}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowEvents, APressInTheCaptionDragsTheWindowAndOnAButtonClicks) {
    auto window = open(kLayout);
    window->headless().mouseMove(100, 50);
    window->headless().mouseDown(platform::MouseButton::Left, 100, 50);
    settle(*window);
    EXPECT_EQ(window->headless().lastDrag(), platform::HeadlessWindow::Drag::Move);
    window->headless().mouseUp(platform::MouseButton::Left, 100, 50);
    window->headless().clearLastDrag();
    clickOn(*window, L"a");
    EXPECT_EQ(window->headless().lastDrag(), platform::HeadlessWindow::Drag::None);
    EXPECT_EQ(notesOf(*window, {"click"}), Lines{"click a"});
}

TEST_F(WindowEvents, NamesGoToTheLaterSiblingAndToTheContainerOverItsChild) {
    auto window = open(LR"(<Window size="200,100"><VerticalLayout>
        <Control name="twin" userdata="first"/>
        <Control name="twin" userdata="second"/>
        <HorizontalLayout name="box" userdata="outer"><Control name="box" userdata="inner"/></HorizontalLayout>
      </VerticalLayout></Window>)");
    EXPECT_EQ(find(*window, L"twin")->GetUserData(), L"second");
    EXPECT_EQ(find(*window, L"box")->GetUserData(), L"outer");
    EXPECT_EQ(window->GetPaintManager().FindControl(L"none"), nullptr);
}

TEST_F(WindowEvents, AControlRemovedInItsOwnClickIsDeletedAfterTheMessage) {
    auto window = open(kLayout);
    bool aliveInHandler = false;
    window->onNote = [&](TNotifyMsg& msg) {
        if (msg.sType != L"click" || msg.pSender->GetName() != L"b") return;
        auto* bar = static_cast<IContainerUI*>(find(*window, L"bar")->GetInterface(L"IContainer"));
        ASSERT_TRUE(bar->Remove(msg.pSender));
        aliveInHandler = journalOf({"deleted"}).empty();
        EXPECT_EQ(window->GetPaintManager().FindControl(L"b"), nullptr) << "the name goes at once";
    };
    clickOn(*window, L"b");
    EXPECT_TRUE(aliveInHandler);
    EXPECT_EQ(journalOf({"deleted"}), Lines{"deleted b"});
    // The spacer moved into b's place at the next layout.
    EXPECT_EQ(find(*window, L"a")->GetPos(), (SkinRect{0, 0, 100, 40}));
}

TEST_F(WindowEvents, ALayoutThatCannotBeLoadedEndsTheProcessWithCodeOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TestWindow window(LR"(<Window size="10,10"><Control name='single'/></Window>)");
            window.Create(nullptr, L"broken", wndstyle::kPopup, 0);
        },
        ::testing::ExitedWithCode(1), "SkinUI: load resource errr\\. location:.* msg:Expected attribute value");
}

}  // namespace

namespace {

using namespace toolkit_test;

using WindowFrame = HeadlessToolkitTest;

TEST_F(WindowFrame, MaximiseAndRestoreButtonsFollowTheWindowState) {
    auto window = open(LR"(<Window size="300,200" roundcorner="10,10"><HorizontalLayout height="30">
        <ProbeButton name="maxbtn" width="30"/>
        <ProbeButton name="restorebtn" width="30" visible="false"/>
        <ProbeButton name="minbtn" width="30"/>
      </HorizontalLayout></Window>)");
    CControlUI* maxButton = find(*window, L"maxbtn");
    CControlUI* restoreButton = find(*window, L"restorebtn");
    EXPECT_FALSE(window->headless().shape().empty()) << "the round corners cut the window";

    clickOn(*window, L"maxbtn");
    EXPECT_EQ(window->GetHWND()->sizeState(), platform::SizeState::Maximized);
    EXPECT_FALSE(maxButton->IsVisible());
    EXPECT_TRUE(restoreButton->IsVisible());

    clickOn(*window, L"restorebtn");
    EXPECT_EQ(window->GetHWND()->sizeState(), platform::SizeState::Restored);
    EXPECT_TRUE(maxButton->IsVisible());
    EXPECT_FALSE(restoreButton->IsVisible());

    clickOn(*window, L"minbtn");
    EXPECT_EQ(window->GetHWND()->sizeState(), platform::SizeState::Minimized);
    window->GetHWND()->restore();
    settle(*window);
    EXPECT_FALSE(window->headless().shape().empty()) << "restored with its round corners";
}

TEST_F(WindowFrame, CenterWindowPlacesTheWindowInTheMiddleOfTheWorkArea) {
    platform::setHeadlessWorkArea({0, 0, 1024, 768});
    auto window = open(LR"(<Window size="640,400"><Control/></Window>)");
    window->CenterWindow();
    EXPECT_EQ(window->GetHWND()->bounds(), (platform::Rect{192, 184, 832, 584}));
    // Larger than the work area: kept at its top-left corner.
    window->ResizeClient(2000, 1000);
    window->CenterWindow();
    EXPECT_EQ(window->GetHWND()->bounds().left, 0);
    EXPECT_EQ(window->GetHWND()->bounds().top, 0);
}

}  // namespace

namespace {

using namespace toolkit_test;

using ControlTimers = HeadlessToolkitTest;

// Platform ids run modulo 255 from 17: after 254 the counter comes round to ids that running timers hold.
// A new timer must not take over one of them (it would restart it and its ticks would go to the old owner).
TEST_F(ControlTimers, PlatformIdsThatComeRoundSkipRunningTimers) {
    auto window = open(kLayout);
    CPaintManagerUI& pm = window->GetPaintManager();
    CControlUI* a = find(*window, L"a");
    CControlUI* b = find(*window, L"b");
    for (uint32_t id = 1; id <= 10; ++id) ASSERT_TRUE(pm.SetTimer(a, id, 100000));  // platform ids 17..26
    for (int i = 0; i < 244; ++i) {  // 27..254, then 1..16: the next id would be 17 again
        ASSERT_TRUE(pm.SetTimer(b, 1, 100000));
        pm.KillTimer(b);
    }
    ASSERT_TRUE(pm.SetTimer(b, 99, 10));
    ASSERT_TRUE(testing_support::runUiUntil([&] { return !notesOf(*window, {"timer"}).empty(); }, 10000));
    EXPECT_EQ(notesOf(*window, {"timer"}).front(), "timer b");
    EXPECT_EQ(window->messages.back().wParam, 99);
    EXPECT_EQ(window->messages.back().lParam, 27);
}

}  // namespace
