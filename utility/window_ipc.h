#pragma once
// Single instance and the message channel between instances. The first instance holds a named lock and
// opens a receiving endpoint; a later start fails to get the lock, finds the endpoint and posts to it.
// All calls on the UI thread.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class IpcReceiver;
}

namespace utility {

inline constexpr unsigned kWmUser = 1024;
inline constexpr unsigned kWmCopyData = 0x004A;

class IWindowIPCHandle {
public:
    virtual int onHandleWindowIPC(unsigned message, uintptr_t wParam, intptr_t lParam) = 0;

protected:
    ~IWindowIPCHandle() = default;
};

// A lock handle (>= 0) or -1. With failIfExists, a lock held by another process gives -1; a lock that
// cannot be made at all also gives -1.
int createSingleInstanceMutex(const std::wstring& name, bool initialOwner, bool failIfExists);
void closeSingleInstanceMutex(int handle);

class WindowIPC {
public:
    WindowIPC();
    ~WindowIPC();
    WindowIPC(const WindowIPC&) = delete;
    WindowIPC& operator=(const WindowIPC&) = delete;

    // Opens the receiving endpoint named `className`; messages above 1024 and the copy-data message reach
    // `handler` on the UI thread. False when the endpoint cannot be opened.
    bool create(const std::wstring& className, IWindowIPCHandle* handler);
    // Finds a peer's endpoint by class name; the window name is not used here (an empty class matches
    // nothing). Logs failures other than "nobody there".
    bool open(const std::wstring& className, const std::wstring& windowName);
    // False when no endpoint was found or created.
    bool postMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

    // Delivers a message as the endpoint would (also used by the receiving side).
    void dispatch(unsigned message, uintptr_t wParam, intptr_t lParam);

private:
    std::string target_;  // name of the endpoint posted to
    std::unique_ptr<platform::IpcReceiver> receiver_;
    IWindowIPCHandle* handler_ = nullptr;
};

}  // namespace utility
