#pragma once
// A thread that runs one Runable and can be asked to stop and be joined with a time-out.
//
// A thread that outlives the time-out of stop() cannot be killed safely on POSIX: it is detached and
// abandoned, and its task is released by that thread when run() returns. The owner goes on as if the
// thread had been terminated, so a task must not rely on its owner after the owner's stop().
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "utility/runable.h"

namespace utility {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread();  // stop(0) when still attached
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Owner thread: start, stop, isAttached. Any thread: requestStop, isStopRequested, waitForStop.
    // False, leaving the task with the caller, when a thread is already attached.
    bool start(Runable* task);
    // Sets the stop flag and wakes waitForStop(). Any thread.
    void requestStop();
    bool isStopRequested() const;
    // Sleeps until a stop is requested or `ms` passed; true when a stop was requested. For the task.
    bool waitForStop(uint32_t ms) const;
    // Joins the thread for up to `timeoutMs`; abandons it after that. Releases the task. Does not request
    // the stop itself.
    void stop(uint32_t timeoutMs);
    // Whether a thread is attached (started and not yet stopped).
    bool isAttached() const { return state_ != nullptr; }
    // Whether the last thread ended by itself within its stop() time-out (false when it was abandoned).
    bool lastStopJoined() const { return lastStopJoined_; }

private:
    struct State;
    std::shared_ptr<State> state_;
    bool lastStopJoined_ = true;
    std::atomic<bool> stopRequested_{false};
    mutable std::mutex stopLock_;
    mutable std::condition_variable stopEvent_;
};

}  // namespace utility
