#include "utility/ui_dispatcher.h"

#include <list>

#include "common/log.h"
#include "common/log_record.h"
#include "platform/main_loop.h"
#include "platform/system.h"

namespace utility {
namespace {
UiDispatcher* g_dispatcher = nullptr;
}

UiDispatcher* UiDispatcher::instance() { return g_dispatcher; }

UiDispatcher::UiDispatcher() : ownerThread_(platform::currentThreadId()) {}

bool UiDispatcher::isUiThread() const { return platform::currentThreadId() == ownerThread_; }

void UiDispatcher::post(const UiPoster* poster, Runable* task) {
    if (!task) return;
    {
        std::lock_guard<std::mutex> g(lock_);
        auto it = pendingPosts_.find(poster);
        if (it == pendingPosts_.end())
            pendingPosts_.emplace(poster, 1);
        else
            ++it->second;
    }
    platform::MainLoop::post([this, poster, task] { onPosted(poster, task); });
}

void UiDispatcher::cancelAll(const UiPoster* poster) {
    std::lock_guard<std::mutex> g(lock_);
    auto it = pendingPosts_.find(poster);
    if (it != pendingPosts_.end()) it->second = -1;
}

void UiDispatcher::onPosted(const UiPoster* poster, Runable* task) {
    bool runIt = false;
    {
        std::lock_guard<std::mutex> g(lock_);
        auto it = pendingPosts_.find(poster);
        if (it != pendingPosts_.end() && it->second >= 0) {
            --it->second;
            runIt = true;
        }
    }
    if (runIt) task->run();  // outside the lock: a task may post again
    task->release();
}

unsigned UiDispatcher::setTimer(unsigned periodMs, Runable* task) {
    unsigned id = ++lastTimerId_;
    uint64_t handle = platform::MainLoop::addTimer(periodMs, [this, id] { onTimer(id); });
    if (handle == 0) return 0;
    timers_[id] = Timer{task, handle};
    return id;
}

void UiDispatcher::onTimer(unsigned id) {
    auto it = timers_.find(id);
    if (it != timers_.end() && it->second.task) it->second.task->run();
}

void UiDispatcher::killTimer(unsigned id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    Timer t = it->second;
    timers_.erase(it);
    platform::MainLoop::removeTimer(t.handle);
    if (t.task) t.task->release();
}

void UiPoster::post(Runable* task) const {
    if (UiDispatcher* d = UiDispatcher::instance()) {
        d->post(this, task);
    } else if (task) {
        task->release();  // no UI thread to run it on
    }
}

void UiPoster::cancelAll() const {
    if (UiDispatcher* d = UiDispatcher::instance()) d->cancelAll(this);
}

bool UiTimer::start(unsigned periodMs, Runable* task) {
    UiDispatcher* d = UiDispatcher::instance();
    if (periodMs == 0 || !task || !d) {
        if (task) task->release();
        return false;
    }
    unsigned id = d->setTimer(periodMs, task);
    if (id == 0) {
        task->release();
        return false;
    }
    id_ = id;
    return true;
}

void UiTimer::stop() {
    if (id_ == 0) return;
    if (UiDispatcher* d = UiDispatcher::instance()) d->killTimer(id_);
    id_ = 0;
}

void initRuntime() {
    common::setLogSink(&common::writeLogRecord);
    if (!g_dispatcher) g_dispatcher = new UiDispatcher;  // lives to process end
}

const UiPoster& processPoster() {
    static UiPoster* poster = new UiPoster;
    return *poster;
}

void postToUi(std::function<void()> task) { processPoster().post(std::move(task)); }

namespace {
std::list<std::future<void>>& trackedFutures() {
    static std::list<std::future<void>> futures;  // destroyed at exit, waiting for running jobs
    return futures;
}
}  // namespace

void launchTracked(std::function<void()> job) {
    auto& futures = trackedFutures();
    auto pos = futures.emplace(futures.end());
    *pos = std::async(std::launch::async, [job = std::move(job), pos] {
        if (job) job();
        postToUi([pos] {
            if (pos->valid()) pos->wait();
            trackedFutures().erase(pos);
        });
    });
}

}  // namespace utility
