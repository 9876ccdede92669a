#pragma once
// The log file: records are queued in memory and written by one writer thread in batches
// (every 500 ms, or at once when 10240 bytes are pending). The file is cut to its last 2 MiB
// when it reaches 50 MiB. A file that starts with a UTF-16 byte-order mark is emptied on open.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace common {

class AsyncLogFile {
public:
    struct Limits {
        size_t flushThreshold = 10240;
        uint64_t trimThreshold = 52428800;  // 50 MiB
        uint64_t trimKeep = 2097152;        // 2 MiB
        unsigned intervalMs = 500;
    };

    AsyncLogFile(std::string path, Limits limits);
    explicit AsyncLogFile(std::string path) : AsyncLogFile(std::move(path), Limits{}) {}
    ~AsyncLogFile();  // stops the writer after a last flush
    AsyncLogFile(const AsyncLogFile&) = delete;
    AsyncLogFile& operator=(const AsyncLogFile&) = delete;

    // Queues one finished record; dropped when more than flushThreshold bytes are already pending.
    void append(const std::string& record);

    // Writes what is pending and ends the writer thread. Later records are dropped. Idempotent.
    void stop();

    // The process-wide log file opened by openLogFile, or null.
    static AsyncLogFile* instance();

private:
    void writerLoop();
    void writeBatch(std::FILE*& file);

    const std::string path_;
    const Limits limits_;
    bool stopRequested_ = false;
    std::string pending_;
    std::atomic<size_t> pendingSize_{0};
    std::mutex lock_;
    std::condition_variable wake_;
    std::thread writer_;
    std::once_flag stopOnce_;
};

// Creates the process-wide log file for `path` (a UTF-8 path). Does nothing when the path is empty or a
// log file is already open. Its pending records are written when the process exits normally.
void openLogFile(const std::string& path);

// Writes the pending records of the process-wide log file and stops its writer (exit path).
void flushLogFile();

}  // namespace common
