#pragma once
// Running work on the UI thread: posted tasks counted per poster (so one owner's queued tasks can be
// dropped without touching another's) and repeating timers with ids from 1. The dispatcher sits on the
// UI thread's main loop (platform::MainLoop).
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <type_traits>

#include "utility/runable.h"

namespace utility {

class UiPoster;

class UiDispatcher {
public:
    // The process-wide dispatcher, or null before initRuntime.
    static UiDispatcher* instance();

    // Counts the task under `poster` and queues it. Any thread. Ownership passes to the dispatcher.
    void post(const UiPoster* poster, Runable* task);
    // Marks `poster` cancelled: its queued tasks are released without running. Any thread.
    void cancelAll(const UiPoster* poster);

    // UI thread. Returns the new timer id (never reused), or 0 on failure (the task stays with the caller).
    unsigned setTimer(unsigned periodMs, Runable* task);
    // UI thread. Unknown ids are ignored; the timer's task is released.
    void killTimer(unsigned id);

    bool isUiThread() const;

private:
    friend void initRuntime();
    UiDispatcher();
    void onPosted(const UiPoster* poster, Runable* task);
    void onTimer(unsigned id);

    struct Timer {
        Runable* task = nullptr;
        uint64_t handle = 0;
    };

    std::mutex lock_;
    uint32_t ownerThread_;
    std::map<unsigned, Timer> timers_;
    unsigned lastTimerId_ = 0;
    std::map<const UiPoster*, int32_t> pendingPosts_;
};

// Embedded in every object that posts to the UI thread; its address keys the counting.
class UiPoster {
public:
    UiPoster() = default;
    UiPoster(const UiPoster&) = delete;
    UiPoster& operator=(const UiPoster&) = delete;
    void post(Runable* task) const;
    template <typename F>
        requires std::is_invocable_v<F>
    void post(F f) const {
        post(makeRunable(std::move(f)));
    }
    void cancelAll() const;
};

// A repeating UI timer owned by one object.
class UiTimer {
public:
    UiTimer() = default;
    ~UiTimer() { stop(); }
    UiTimer(const UiTimer&) = delete;
    UiTimer& operator=(const UiTimer&) = delete;

    // False for a period of 0 or no task (the task is then released). A running timer is not stopped first.
    bool start(unsigned periodMs, Runable* task);
    template <typename F>
        requires std::is_invocable_v<F>
    bool start(unsigned periodMs, F f) {
        return start(periodMs, makeRunable(std::move(f)));
    }
    void stop();
    unsigned id() const { return id_; }
    bool isRunning() const { return id_ != 0; }

private:
    unsigned id_ = 0;
};

// Installs the log sink, then creates the dispatcher on the calling (UI) thread. Once; later calls do nothing.
void initRuntime();

// Posts through the process-wide poster.
void postToUi(std::function<void()> task);
const UiPoster& processPoster();

// Runs `job` asynchronously; when it ends, its future is collected on the UI thread. Futures of jobs still
// running at process exit are waited for.
void launchTracked(std::function<void()> job);

}  // namespace utility
