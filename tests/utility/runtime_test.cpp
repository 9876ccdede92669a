#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/main_loop.h"
#include "platform/system.h"
#include "support/test_env.h"
#include "utility/ui_dispatcher.h"
#include "utility/worker_thread.h"

using namespace utility;
using testing_support::runUiUntil;

namespace {

// Counts runs and releases of a task, and where it ran.
struct Probe {
    std::atomic<int> runs{0};
    std::atomic<int> releases{0};
    std::atomic<uint32_t> ranOn{0};
};

class ProbeTask : public Runable {
public:
    explicit ProbeTask(Probe& p) : p_(p) {}
    ~ProbeTask() override { ++p_.releases; }
    void run() override {
        p_.ranOn = platform::currentThreadId();
        ++p_.runs;
    }

private:
    Probe& p_;
};

class Runtime : public ::testing::Test {
protected:
    void SetUp() override { initRuntime(); }
};

TEST_F(Runtime, TaskPostedFromWorkerRunsOnceOnTheUiThread) {
    Probe probe;
    UiPoster poster;
    std::thread worker([&] { poster.post(new ProbeTask(probe)); });
    worker.join();
    ASSERT_TRUE(runUiUntil([&] { return probe.releases == 1; }));
    platform::MainLoop::drain();
    EXPECT_EQ(probe.runs, 1);
    EXPECT_EQ(probe.ranOn, platform::currentThreadId());
}

TEST_F(Runtime, CancelAllDropsOnlyThatPostersQueuedTasks) {
    Probe cancelled, other, afterCancel;
    UiPoster a, b;
    a.post(new ProbeTask(cancelled));
    a.post(new ProbeTask(cancelled));
    b.post(new ProbeTask(other));
    a.cancelAll();
    ASSERT_TRUE(runUiUntil([&] { return cancelled.releases == 2 && other.releases == 1; }));
    EXPECT_EQ(cancelled.runs, 0);
    EXPECT_EQ(other.runs, 1);
    // Once the cancelled tasks are gone, a new post brings the count from -1 back to 0 and runs.
    a.post(new ProbeTask(afterCancel));
    ASSERT_TRUE(runUiUntil([&] { return afterCancel.releases == 1; }));
    EXPECT_EQ(afterCancel.runs, 1);
}

TEST_F(Runtime, PostsRunInOrderAndMayPostAgain) {
    std::vector<int> order;
    UiPoster poster;
    for (int i = 0; i < 5; ++i) poster.post([&order, i] { order.push_back(i); });
    poster.post([&] { poster.post([&] { order.push_back(99); }); });
    ASSERT_TRUE(runUiUntil([&] { return order.size() == 6; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 99}));
}

TEST_F(Runtime, TimerRunsUntilStoppedThenReleasesItsTask) {
    Probe probe;
    UiTimer timer;
    ASSERT_TRUE(timer.start(10, new ProbeTask(probe)));
    ASSERT_TRUE(runUiUntil([&] { return probe.runs >= 3; }));
    timer.stop();
    EXPECT_EQ(probe.releases, 1);
    int runs = probe.runs;
    // Another timer proves the loop kept turning while the stopped one stayed silent.
    Probe witness;
    UiTimer other;
    ASSERT_TRUE(other.start(10, new ProbeTask(witness)));
    ASSERT_TRUE(runUiUntil([&] { return witness.runs >= 5; }));
    EXPECT_EQ(probe.runs, runs);
    timer.stop();  // stopping a stopped timer does nothing
    EXPECT_EQ(probe.releases, 1);
}

TEST_F(Runtime, TimerStartRefusesZeroPeriodAndEmptyTask) {
    Probe probe;
    UiTimer timer;
    EXPECT_FALSE(timer.start(0, new ProbeTask(probe)));
    EXPECT_EQ(probe.releases, 1);
    EXPECT_FALSE(timer.start(10, static_cast<Runable*>(nullptr)));
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(Runtime, TimerIdsStartAtOneAndAreNeverReused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: no timer was made before
    auto firstIds = [] {
        initRuntime();
        UiTimer a;
        UiTimer b;
        bool ok = a.start(1000, [] {}) && a.id() == 1;
        a.stop();
        ok = ok && b.start(1000, [] {}) && b.id() == 2;
        std::exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(firstIds(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Runtime, WorkerStopJoinsACooperativeTask) {
    Probe probe;
    WorkerThread worker;
    std::atomic<bool> sawStop{false};
    ASSERT_TRUE(worker.start(makeRunable([&] {
        sawStop = worker.waitForStop(60000);
        ++probe.runs;
    })));
    Probe refusedProbe;
    auto* refused = new ProbeTask(refusedProbe);
    EXPECT_FALSE(worker.start(refused)) << "a second start is refused";
    EXPECT_EQ(refusedProbe.releases, 0) << "the refused task stays with the caller";
    refused->release();
    worker.requestStop();
    worker.stop(10000);
    EXPECT_TRUE(worker.lastStopJoined());
    EXPECT_TRUE(sawStop);
    EXPECT_EQ(probe.runs, 1);
    EXPECT_FALSE(worker.isAttached());
}

TEST_F(Runtime, WorkerStopAbandonsATaskThatIgnoresTheRequest) {
    Probe probe;
    std::atomic<bool> release{false};
    auto worker = std::make_unique<WorkerThread>();
    class Stubborn : public ProbeTask {
    public:
        Stubborn(Probe& p, std::atomic<bool>& r) : ProbeTask(p), r_(r) {}
        void run() override {
            while (!r_) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ProbeTask::run();
        }

    private:
        std::atomic<bool>& r_;
    };
    ASSERT_TRUE(worker->start(new Stubborn(probe, release)));
    worker->requestStop();
    auto before = std::chrono::steady_clock::now();
    worker->stop(200);
    auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_GE(waited, std::chrono::milliseconds(150));
    EXPECT_FALSE(worker->lastStopJoined());
    EXPECT_EQ(probe.releases, 0) << "the running task must stay alive";
    worker.reset();  // the owner is gone; the thread must not touch it
    release = true;
    for (int i = 0; i < 1000 && probe.releases == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(probe.runs, 1);
    EXPECT_EQ(probe.releases, 1);
}

TEST_F(Runtime, LaunchTrackedCollectsTheJobOnTheUiThread) {
    std::atomic<bool> ran{false};
    launchTracked([&] { ran = true; });
    ASSERT_TRUE(runUiUntil([&] { return ran.load(); }));
    platform::MainLoop::drain();
}

}  // namespace
