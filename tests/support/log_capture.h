#pragma once
// Captures log records (text only) for the life of the object; records may come from any thread.
#include <mutex>
#include <string>
#include <vector>

#include "common/log.h"

namespace testing_support {

class LogCapture {
public:
    LogCapture() {
        instance() = this;
        common::setLogSink(&LogCapture::sink);
    }
    ~LogCapture() {
        common::setLogSink(nullptr);
        std::lock_guard<std::mutex> g(lock());
        instance() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::wstring> lines() const {
        std::lock_guard<std::mutex> g(lock());
        return lines_;
    }
    // Whether any record contains `text`.
    bool contains(const std::wstring& text) const {
        for (const auto& l : lines())
            if (l.find(text) != std::wstring::npos) return true;
        return false;
    }
    void clear() {
        std::lock_guard<std::mutex> g(lock());
        lines_.clear();
    }
    // All records, one per line, for failure messages.
    std::string dump() const {
        std::string out;
        for (const auto& l : lines()) {
            for (wchar_t c : l) out += c < 0x80 ? char(c) : '?';
            out += '\n';
        }
        return out;
    }

private:
    static LogCapture*& instance() {
        static LogCapture* current = nullptr;
        return current;
    }
    static std::mutex& lock() {
        static std::mutex m;
        return m;
    }
    static void sink(const char*, int, const wchar_t* text) {
        std::lock_guard<std::mutex> g(lock());
        if (instance()) instance()->lines_.emplace_back(text);
    }

    std::vector<std::wstring> lines_;
};

}  // namespace testing_support
