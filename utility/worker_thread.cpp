#include "utility/worker_thread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace utility {

struct WorkerThread::State {
    std::mutex lock;
    std::condition_variable changed;
    bool finished = false;
    bool abandoned = false;
    Runable* task = nullptr;
    std::thread thread;
};

WorkerThread::~WorkerThread() { stop(0); }

bool WorkerThread::start(Runable* task) {
    if (state_) return false;
    stopRequested_ = false;
    auto state = std::make_shared<State>();
    state->task = task;
    // The thread holds its own reference, so an abandoned thread never touches freed state.
    state->thread = std::thread([state] {
        if (state->task) state->task->run();
        Runable* leftover = nullptr;
        {
            std::lock_guard<std::mutex> g(state->lock);
            state->finished = true;
            if (state->abandoned) {
                leftover = state->task;
                state->task = nullptr;
            }
        }
        state->changed.notify_all();
        if (leftover) leftover->release();
    });
    state_ = std::move(state);
    return true;
}

void WorkerThread::requestStop() {
    {
        std::lock_guard<std::mutex> g(stopLock_);
        stopRequested_ = true;
    }
    stopEvent_.notify_all();
}

bool WorkerThread::isStopRequested() const { return stopRequested_.load(); }

bool WorkerThread::waitForStop(uint32_t ms) const {
    std::unique_lock<std::mutex> g(stopLock_);
    return stopEvent_.wait_for(g, std::chrono::milliseconds(ms), [&] { return stopRequested_.load(); });
}

void WorkerThread::stop(uint32_t timeoutMs) {
    auto state = std::move(state_);
    if (!state) return;
    Runable* task = nullptr;
    bool joined;
    {
        std::unique_lock<std::mutex> g(state->lock);
        joined = state->changed.wait_for(g, std::chrono::milliseconds(timeoutMs), [&] { return state->finished; });
        if (joined) {
            task = state->task;
            state->task = nullptr;
        } else {
            state->abandoned = true;  // the thread releases its task when run() returns
        }
    }
    if (joined) {
        if (state->thread.joinable()) state->thread.join();
    } else {
        state->thread.detach();
    }
    lastStopJoined_ = joined;
    if (task) task->release();
}

}  // namespace utility
