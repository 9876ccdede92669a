#pragma once
// An exclusive advisory lock on a lock file, held for the life of the object (blocking until obtained).
#include <string>

namespace platform {

class FileLock {
public:
    explicit FileLock(const std::string& lockFilePath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace platform
