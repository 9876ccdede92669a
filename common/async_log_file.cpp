#include "common/async_log_file.h"

#include <cstdlib>
#include <vector>

namespace common {
namespace {
std::atomic<AsyncLogFile*> g_logFile{nullptr};
std::mutex g_openLock;
}  // namespace

AsyncLogFile::AsyncLogFile(std::string path, Limits limits) : path_(std::move(path)), limits_(limits) {
    writer_ = std::thread([this] { writerLoop(); });
}

AsyncLogFile::~AsyncLogFile() { stop(); }

void AsyncLogFile::append(const std::string& record) {
    // Only a throttle: a slightly stale size is fine, the read itself is atomic.
    if (pendingSize_.load(std::memory_order_relaxed) > limits_.flushThreshold) return;
    bool wakeWriter = false;
    {
        std::lock_guard<std::mutex> g(lock_);
        if (stopRequested_) return;
        pending_ += record;
        pendingSize_.store(pending_.size(), std::memory_order_relaxed);
        wakeWriter = pending_.size() >= limits_.flushThreshold;
    }
    if (wakeWriter) wake_.notify_one();
}

void AsyncLogFile::stop() {
    std::call_once(stopOnce_, [this] {
        {
            std::lock_guard<std::mutex> g(lock_);
            stopRequested_ = true;
        }
        wake_.notify_one();
        if (writer_.joinable()) writer_.join();
    });
}

AsyncLogFile* AsyncLogFile::instance() { return g_logFile.load(); }

void AsyncLogFile::writerLoop() {
    std::FILE* file = std::fopen(path_.c_str(), "a+b");
    if (file) {
        unsigned char bom[2] = {0, 0};
        std::rewind(file);
        size_t got = std::fread(bom, 1, 2, file);
        if (got == 2 && bom[0] == 0xFF && bom[1] == 0xFE) {
            // A UTF-16 log of an older writer: start the file anew.
            std::fclose(file);
            file = std::fopen(path_.c_str(), "w+b");
        }
        if (file) {
            std::clearerr(file);
            std::fseek(file, 0, SEEK_END);
        }
    }

    std::unique_lock<std::mutex> g(lock_);
    for (;;) {
        wake_.wait_for(g, std::chrono::milliseconds(limits_.intervalMs),
                       [this] { return stopRequested_ || pending_.size() >= limits_.flushThreshold; });
        writeBatch(file);
        if (stopRequested_) break;
    }
    g.unlock();
    if (file) std::fclose(file);
}

void AsyncLogFile::writeBatch(std::FILE*& file) {
    if (pending_.empty()) return;
    if (file) {
        std::fwrite(pending_.data(), 1, pending_.size(), file);
        std::fflush(file);
    }
    pending_.clear();
    pendingSize_.store(0, std::memory_order_relaxed);
    if (!file) return;

    std::fseek(file, 0, SEEK_END);
    long end = std::ftell(file);
    if (end < 0 || uint64_t(end) < limits_.trimThreshold) return;

    // Keep the newest trimKeep bytes. The file is reopened in append-and-read mode so later trims of
    // this run can read its tail again.
    uint64_t keep = std::min<uint64_t>(limits_.trimKeep, uint64_t(end));
    std::vector<char> tail(keep, 0);
    std::fseek(file, long(uint64_t(end) - keep), SEEK_SET);
    size_t got = std::fread(tail.data(), 1, tail.size(), file);
    std::fclose(file);
    file = std::fopen(path_.c_str(), "w+b");
    if (!file) return;
    std::fwrite(tail.data(), 1, got, file);
    std::fflush(file);
    std::fclose(file);
    file = std::fopen(path_.c_str(), "a+b");
}

void openLogFile(const std::string& path) {
    if (path.empty()) return;
    std::lock_guard<std::mutex> g(g_openLock);
    if (g_logFile.load()) return;
    // Never destroyed: threads may log until the process ends. The exit hook writes what is pending.
    g_logFile.store(new AsyncLogFile(path));
    std::atexit(flushLogFile);
}

void flushLogFile() {
    if (AsyncLogFile* f = g_logFile.load()) f->stop();
}

}  // namespace common
