#pragma once
// Single-instance lock and a tiny message channel between instances of the same user.
//
// The lock is an flock'd file "<name>.lock" in the user's runtime folder (the temp folder with the user id
// in the name when there is none); it is released when the process ends. The channel is a Unix datagram
// socket in the abstract namespace whose address is derived from the same folder and name, so
// instances that share a runtime folder find each other. Messages carry (message, wParam, lParam), and
// only messages from the same user are accepted.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

struct NamedLockResult {
    int handle = -1;             // >= 0 when the lock was obtained
    bool alreadyHeld = false;    // another process holds it
    int error = 0;               // errno of a failure other than "held"
};
NamedLockResult createNamedLock(const std::string& name);
void closeNamedLock(int handle);

struct IpcMessage {
    uint32_t message = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

// The receiving end, watched by the UI main loop: `onMessage` runs on the UI thread.
class IpcReceiver {
public:
    // Null when the address is taken or the socket cannot be made (`error` gets errno).
    static std::unique_ptr<IpcReceiver> create(const std::string& name, std::function<void(const IpcMessage&)> onMessage,
                                               int* error = nullptr);
    ~IpcReceiver();
    IpcReceiver(const IpcReceiver&) = delete;
    IpcReceiver& operator=(const IpcReceiver&) = delete;

private:
    IpcReceiver() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Sends one message to the receiver of `name`. False with `error` = errno when there is none
// (ECONNREFUSED) or sending failed.
bool ipcSend(const std::string& name, const IpcMessage& message, int* error = nullptr);
// Whether a receiver of `name` exists; `error` = errno when not (ECONNREFUSED: nobody listens).
bool ipcPeerExists(const std::string& name, int* error = nullptr);

}  // namespace platform
