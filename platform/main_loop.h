#pragma once
// The UI thread's event loop. It is the GLib main context of the process; whichever thread runs it is the
// UI thread. Posting is safe from any thread; timers and runs belong to the UI thread.
#include <cstdint>
#include <functional>

namespace platform {

class MainLoop {
public:
    // Queues `task` to run on the UI thread, after every task queued before it. Any thread.
    static void post(std::function<void()> task);

    // A repeating timer on the UI thread. Returns a handle (never 0), or 0 on failure. UI thread.
    static uint64_t addTimer(uint32_t periodMs, std::function<void()> tick);
    // Removes a timer; unknown handles are ignored. The tick function is destroyed at once. UI thread.
    static void removeTimer(uint64_t handle);

    // Runs until quit() (or a termination signal, see below). Nested runs are allowed; quit ends the innermost.
    static void run();
    // Ends the innermost run(); from any thread. A quit with no run() active ends the next run() at once.
    static void quit();

    // Makes SIGINT and SIGTERM behave like quit(). UI thread, once.
    static void quitOnTerminationSignals();

    // Runs pending work until `done` is true or `timeoutMs` passed; returns done(). For tests and
    // modal waits on the UI thread.
    static bool runUntil(const std::function<bool()>& done, uint32_t timeoutMs);

    // Runs whatever is ready without blocking. UI thread.
    static void drain();
};

}  // namespace platform
