#include "platform/main_loop.h"

#include <glib-unix.h>
#include <glib.h>

#include <atomic>
#include <csignal>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

namespace platform {
namespace {

// One FIFO of posted tasks; a single idle source drains it so the order of posts is kept exactly.
struct PostQueue {
    std::mutex lock;
    std::deque<std::function<void()>> tasks;
    bool sourceArmed = false;
};

PostQueue& postQueue() {
    static auto* q = new PostQueue;  // lives to process end: workers may post during exit
    return *q;
}

gboolean drainPosts(gpointer) {
    PostQueue& q = postQueue();
    // Run only what was queued when this dispatch began; tasks posted meanwhile wait for the next round,
    // so a task that re-posts itself cannot starve timers and input.
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard<std::mutex> g(q.lock);
        batch.swap(q.tasks);
        q.sourceArmed = false;
    }
    for (auto& task : batch) {
        if (task) task();
    }
    return G_SOURCE_REMOVE;
}

struct TimerEntry {
    GSource* source = nullptr;
    std::function<void()> tick;
};

std::map<uint64_t, TimerEntry>& timers() {
    static auto* t = new std::map<uint64_t, TimerEntry>;
    return *t;
}
uint64_t g_nextTimer = 0;

gboolean onTimer(gpointer data) {
    uint64_t handle = uint64_t(uintptr_t(data));
    auto it = timers().find(handle);
    if (it == timers().end()) return G_SOURCE_REMOVE;
    // Copy: the tick may remove its own timer.
    auto tick = it->second.tick;
    tick();
    return G_SOURCE_CONTINUE;
}

std::mutex g_loopLock;
std::vector<GMainLoop*> g_loops;  // innermost last
std::atomic<int> g_pendingQuits{0};

}  // namespace

void MainLoop::post(std::function<void()> task) {
    PostQueue& q = postQueue();
    bool arm = false;
    {
        std::lock_guard<std::mutex> g(q.lock);
        q.tasks.push_back(std::move(task));
        if (!q.sourceArmed) {
            q.sourceArmed = true;
            arm = true;
        }
    }
    if (arm) {
        GSource* s = g_idle_source_new();
        g_source_set_priority(s, G_PRIORITY_DEFAULT);
        g_source_set_callback(s, drainPosts, nullptr, nullptr);
        g_source_attach(s, g_main_context_default());
        g_source_unref(s);
    }
}

uint64_t MainLoop::addTimer(uint32_t periodMs, std::function<void()> tick) {
    if (!tick) return 0;
    uint64_t handle = ++g_nextTimer;
    GSource* s = g_timeout_source_new(periodMs);
    g_source_set_callback(s, onTimer, reinterpret_cast<gpointer>(uintptr_t(handle)), nullptr);
    if (g_source_attach(s, g_main_context_default()) == 0) {
        g_source_unref(s);
        return 0;
    }
    timers()[handle] = TimerEntry{s, std::move(tick)};
    return handle;
}

void MainLoop::removeTimer(uint64_t handle) {
    auto it = timers().find(handle);
    if (it == timers().end()) return;
    GSource* s = it->second.source;
    auto tick = std::move(it->second.tick);
    timers().erase(it);
    g_source_destroy(s);
    g_source_unref(s);
}

void MainLoop::run() {
    if (g_pendingQuits.load() > 0) {
        --g_pendingQuits;
        return;
    }
    GMainLoop* loop = g_main_loop_new(g_main_context_default(), FALSE);
    {
        std::lock_guard<std::mutex> g(g_loopLock);
        g_loops.push_back(loop);
    }
    g_main_loop_run(loop);
    {
        std::lock_guard<std::mutex> g(g_loopLock);
        for (auto it = g_loops.begin(); it != g_loops.end(); ++it) {
            if (*it == loop) {
                g_loops.erase(it);
                break;
            }
        }
    }
    g_main_loop_unref(loop);
}

void MainLoop::quit() {
    std::lock_guard<std::mutex> g(g_loopLock);
    if (g_loops.empty()) {
        ++g_pendingQuits;
        return;
    }
    g_main_loop_quit(g_loops.back());
    g_main_context_wakeup(g_main_context_default());
}

static gboolean onTerminationSignal(gpointer) {
    MainLoop::quit();
    return G_SOURCE_CONTINUE;
}

void MainLoop::quitOnTerminationSignals() {
    g_unix_signal_add(SIGINT, onTerminationSignal, nullptr);
    g_unix_signal_add(SIGTERM, onTerminationSignal, nullptr);
}

bool MainLoop::runUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
    gint64 deadline = g_get_monotonic_time() + gint64(timeoutMs) * 1000;
    GMainContext* ctx = g_main_context_default();
    while (!done()) {
        if (g_get_monotonic_time() >= deadline) return done();
        // Wake at least every 10 ms to re-check the deadline and the condition.
        GSource* tick = g_timeout_source_new(10);
        g_source_set_callback(tick, [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(tick, ctx);
        g_main_context_iteration(ctx, TRUE);
        g_source_destroy(tick);
        g_source_unref(tick);
    }
    return true;
}

void MainLoop::drain() {
    GMainContext* ctx = g_main_context_default();
    while (g_main_context_iteration(ctx, FALSE)) {
    }
}

}  // namespace platform
