#pragma once
// A lock and its scoped guard, with an early release.
#include <mutex>

namespace utility {

class CriticalSection {
public:
    void enter() { mutex_.lock(); }
    void leave() { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

class AutoLock {
public:
    explicit AutoLock(CriticalSection* cs) : cs_(cs) {
        if (cs_) cs_->enter();
    }
    ~AutoLock() { release(); }
    AutoLock(const AutoLock&) = delete;
    AutoLock& operator=(const AutoLock&) = delete;

    void release() {
        if (cs_) {
            cs_->leave();
            cs_ = nullptr;
        }
    }

private:
    CriticalSection* cs_;
};

}  // namespace utility
