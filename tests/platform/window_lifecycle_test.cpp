// A window's life: closing and destroying (also from inside its own messages), timers, posted messages,
// focus between windows, size changes and state, the rounded shape, and the modal loop.
#include <gtest/gtest.h>

#include "window_recorder.h"

namespace {

using namespace platform;
using window_test::HeadlessWindowTest;
using Lines = std::vector<std::string>;

class WindowLife : public HeadlessWindowTest {};

TEST_F(WindowLife, UnhandledCloseRequestDestroysHandledOneKeepsTheWindow) {
    bool keep = true;
    rec.react = [&](Window&, const WindowEvent& e) { return keep && e.message == Message::Close; };
    auto w = makeWindow();
    w->requestClose();
    w->pump();
    EXPECT_FALSE(w->isDestroyed());
    EXPECT_TRUE(w->isVisible());
    keep = false;
    w->requestClose();
    w->pump();
    EXPECT_TRUE(w->isDestroyed());
    EXPECT_EQ(rec.only({"Close", "Destroy", "Final"}), (Lines{"Close", "Close", "Destroy", "Final"}));
}

TEST_F(WindowLife, WindowDeletedFromItsOwnMessageDropsEverythingAfter) {
    std::unique_ptr<HeadlessWindow> w;
    rec.react = [&](Window& win, const WindowEvent& e) {
        if (e.message == Message::KeyDown) win.destroy();
        return true;
    };
    rec.onFinal = [&](Window&) { w.reset(); };  // the toolkit deletes its window object here
    w = makeWindow();
    w->setTimer(1, 1);
    w->postMessage(Message(uint32_t(Message::User) + 1));
    w->pressKey(Key::Escape);
    w->click(10, 50);
    ASSERT_TRUE(w->pump() == false);
    EXPECT_EQ(w, nullptr);
    settle(50);
    EXPECT_EQ(rec.log, (Lines{"KeyDown 27", "Destroy", "Final"}));
}

TEST_F(WindowLife, DestroyEndsTimersPostsAndTooltipAndSendsNothingMore) {
    auto w = makeWindow();
    ASSERT_TRUE(w->setTimer(3, 5));
    w->showTooltip(L"tip", Point{10, 10}, 0);
    w->postMessage(Message(uint32_t(Message::User) + 7), 1, 2);
    w->destroy();
    w->destroy();
    EXPECT_FALSE(w->tooltipVisible());
    EXPECT_FALSE(w->setTimer(4, 5));
    w->click(10, 50);
    w->pump();
    settle(50);
    EXPECT_EQ(rec.log, (Lines{"Destroy", "Final"}));
}

TEST_F(WindowLife, TimersTickWithTheirIdUntilKilled) {
    auto w = makeWindow();
    ASSERT_TRUE(w->setTimer(5, 5));
    ASSERT_TRUE(w->setTimer(9, 5));
    ASSERT_TRUE(MainLoop::runUntil([&] { return rec.count("Timer") >= 6; }, 10000));
    EXPECT_GE(rec.only({"Timer"}).size(), 6u);
    for (const auto& line : rec.only({"Timer"})) EXPECT_TRUE(line == "Timer 5" || line == "Timer 9") << line;
    w->killTimer(5);
    w->killTimer(9);
    w->killTimer(42);  // unknown ids are ignored
    rec.log.clear();
    settle(60);
    EXPECT_EQ(rec.count("Timer"), 0);
}

TEST_F(WindowLife, SettingATimerAgainRestartsItInsteadOfAddingOne) {
    auto w = makeWindow();
    ASSERT_TRUE(w->setTimer(5, 400));
    ASSERT_TRUE(w->setTimer(5, 10));
    ASSERT_TRUE(MainLoop::runUntil([&] { return rec.count("Timer") >= 3; }, 10000));
    w->killTimer(5);
    rec.log.clear();
    settle(500);  // the 400 ms timer, had it survived, would tick now
    EXPECT_EQ(rec.count("Timer"), 0);
}

TEST_F(WindowLife, PostedMessagesArriveLaterInOrder) {
    auto w = makeWindow();
    w->postMessage(Message(uint32_t(Message::User) + 1), 10, 20);
    w->postMessage(Message::Timer, 77);
    w->postMessage(Message(uint32_t(Message::User) + 2), -1, 0);
    EXPECT_EQ(rec.log, Lines{});
    ASSERT_TRUE(MainLoop::runUntil([&] { return rec.count("User+2") == 1; }, 10000));
    EXPECT_EQ(rec.only({"User+1", "User+2", "Timer"}), (Lines{"User+1 10 20", "Timer 77", "User+2 -1 0"}));
}

TEST_F(WindowLife, PostToADeletedWindowIsDropped) {
    auto w = makeWindow();
    w->postMessage(Message(uint32_t(Message::User) + 1));
    w.reset();
    settle(20);
    EXPECT_EQ(rec.count("User+1"), 0);
}

TEST_F(WindowLife, FocusMovesBetweenWindowsAndShowingWithoutActivationTakesNone) {
    window_test::Recorder recB, recC;
    auto a = makeWindow();
    auto b = createHeadlessWindow({.title = L"b"}, &recB);
    auto c = createHeadlessWindow({.title = L"c"}, &recC);
    ASSERT_TRUE(a->hasFocus());
    b->show(true);
    c->show(false);
    EXPECT_EQ(rec.only({"Activate", "SetFocus", "KillFocus"}), (Lines{"Activate 0", "KillFocus"}));
    EXPECT_EQ(recB.only({"Activate", "SetFocus", "KillFocus"}), (Lines{"Activate 1", "SetFocus"}));
    EXPECT_EQ(recC.only({"Activate", "SetFocus", "KillFocus"}), Lines{});
    EXPECT_EQ(HeadlessWindow::focusedWindow(), b.get());
    b->hide();
    EXPECT_FALSE(b->hasFocus());
    EXPECT_EQ(HeadlessWindow::focusedWindow(), nullptr);
    c->focus();
    EXPECT_TRUE(c->hasFocus());
    c.reset();  // deleting the focused window leaves no dangling focus
    EXPECT_EQ(HeadlessWindow::focusedWindow(), nullptr);
}

TEST_F(WindowLife, DesktopResizeAndMoveReportOnceAndResizeTheSurface) {
    auto w = makeWindow({.bounds = {10, 20, 330, 260}});
    w->resizeTo(400, 300);
    w->moveTo(50, 60);
    w->moveTo(50, 60);
    w->pump();
    EXPECT_EQ(rec.only({"Size", "Move"}), (Lines{"Size 400x300", "Move 50,60"}));
    EXPECT_EQ(w->bounds(), (Rect{50, 60, 450, 360}));
    EXPECT_EQ(cairo_image_surface_get_width(w->surface()), 400);
    EXPECT_EQ(cairo_image_surface_get_height(w->surface()), 300);
    EXPECT_EQ(w->dirtyRect(), (Rect{0, 0, 400, 300}));
}

TEST_F(WindowLife, MaximizeFillsTheWorkAreaAndRestoreStepsBackThroughTheStates) {
    setHeadlessWorkArea({0, 0, 800, 570});
    auto w = makeWindow({.bounds = {100, 50, 420, 290}});
    w->maximize();
    EXPECT_EQ(w->sizeState(), SizeState::Maximized);
    EXPECT_EQ(w->bounds(), (Rect{0, 0, 800, 570}));
    w->minimize();
    w->restore();  // back to maximised, as it was before minimising
    EXPECT_EQ(w->sizeState(), SizeState::Maximized);
    w->restore();
    EXPECT_EQ(w->sizeState(), SizeState::Restored);
    EXPECT_EQ(w->bounds(), (Rect{100, 50, 420, 290}));
    EXPECT_EQ(rec.only({"Size", "Move"}), (Lines{"Size 800x570 max", "Move 0,0", "Size 800x570 min",
                                                 "Size 800x570 max", "Size 320x240", "Move 100,50"}));
    setHeadlessWorkArea({0, 0, 1024, 768});
}

TEST_F(WindowLife, RoundCornersFollowTheSize) {
    auto w = makeWindow();
    w->setRoundCorners({20, 20});
    EXPECT_EQ(w->shape(), roundedRectRegion({320, 240}, {20, 20}));
    w->resizeTo(200, 100);
    w->pump();
    EXPECT_EQ(w->shape(), roundedRectRegion({200, 100}, {20, 20}));
    w->setRoundCorners({0, 0});
    EXPECT_TRUE(w->shape().empty());
}

// Does the region cover point p?
bool covers(const std::vector<Rect>& rows, Point p) {
    for (const Rect& r : rows)
        if (r.contains(p)) return true;
    return false;
}

TEST(RoundedRegion, CutsTheCornersAndKeepsTheRest) {
    struct Case {
        Size size, ellipse;
        std::vector<Point> inside, outside;
    };
    const Case cases[] = {
        {{100, 50},
         {20, 20},
         {{50, 0}, {0, 25}, {99, 25}, {50, 49}, {10, 10}, {3, 3}},
         {{0, 0}, {99, 0}, {0, 49}, {99, 49}, {1, 1}}},
        {{100, 50}, {6, 6}, {{3, 0}, {1, 1}, {96, 48}}, {{0, 0}, {99, 49}}},
        // An ellipse larger than the window makes a pill: the middle of each end stays.
        {{100, 20}, {200, 200}, {{0, 10}, {99, 9}, {50, 0}}, {{0, 0}, {5, 0}, {99, 19}}},
    };
    for (const Case& c : cases) {
        auto rows = roundedRectRegion(c.size, c.ellipse);
        for (Point p : c.inside) EXPECT_TRUE(covers(rows, p)) << p.x << "," << p.y;
        for (Point p : c.outside) EXPECT_FALSE(covers(rows, p)) << p.x << "," << p.y;
        // Rows never overlap and stay inside the window.
        int lastBottom = 0;
        for (const Rect& r : rows) {
            EXPECT_GE(r.top, lastBottom);
            EXPECT_GE(r.left, 0);
            EXPECT_LE(r.right, c.size.width);
            lastBottom = r.bottom;
        }
        EXPECT_LE(lastBottom, c.size.height);
    }
    EXPECT_TRUE(roundedRectRegion({100, 50}, {0, 20}).empty());
    EXPECT_TRUE(roundedRectRegion({0, 0}, {20, 20}).empty());
}

// ---- the modal loop ----

// Ends the test's outer loop after `ms` if nothing else did, and says whether it had to.
class Watchdog {
public:
    explicit Watchdog(uint32_t ms) {
        timer_ = MainLoop::addTimer(ms, [this] {
            fired_ = true;
            MainLoop::quit();
        });
    }
    ~Watchdog() { MainLoop::removeTimer(timer_); }
    bool fired() const { return fired_; }

private:
    uint64_t timer_;
    bool fired_ = false;
};

TEST(ModalLoop, EndReturnsItsCodeAndEndingBeforeRunReturnsAtOnce) {
    ModalLoop loop;
    MainLoop::post([&] { loop.end(7); });
    EXPECT_EQ(loop.run(), 7);
    EXPECT_FALSE(loop.running());

    ModalLoop early;
    early.end(3);
    EXPECT_EQ(early.run(), 3);
}

TEST(ModalLoop, AnOuterLoopEndedDuringAnInnerOneEndsAfterIt) {
    ModalLoop outer, inner;
    std::vector<std::string> order;
    MainLoop::post([&] {
        MainLoop::post([&] {
            outer.end(1);  // the inner loop keeps running
            MainLoop::post([&] {
                order.push_back("inner still running");
                inner.end(2);
            });
        });
        order.push_back("inner returned " + std::to_string(inner.run()));
    });
    Watchdog dog(10000);
    int code = outer.run();
    ASSERT_FALSE(dog.fired());
    EXPECT_EQ(code, 1);
    EXPECT_EQ(order, (std::vector<std::string>{"inner still running", "inner returned 2"}));
}

TEST(ModalLoop, QuitRequestEndsTheModalLoopAndTheLoopAroundIt) {
    int modalResult = 0;
    bool outerEnded = false;
    MainLoop::post([&] {
        ModalLoop modal;
        MainLoop::post([] { MainLoop::quit(); });
        modalResult = modal.run(-5);
    });
    Watchdog dog(10000);
    MainLoop::run();
    outerEnded = !dog.fired();
    EXPECT_EQ(modalResult, -5);
    EXPECT_TRUE(outerEnded) << "the quit request did not reach the loop outside the modal loop";
}

}  // namespace
