#include "utility/window_ipc.h"

#include <cerrno>

#include "common/log.h"
#include "platform/instance_ipc.h"
#include "utility/text_codec.h"

namespace utility {

// A file lock cannot be shared between processes the way an existing named mutex can be opened, so a
// lock held elsewhere gives -1 whatever failIfExists says; the installer always asks with failIfExists.
int createSingleInstanceMutex(const std::wstring& name, bool, bool) {
    platform::NamedLockResult r = platform::createNamedLock(wideToUtf8(name));
    return r.handle;
}

void closeSingleInstanceMutex(int handle) { platform::closeNamedLock(handle); }

WindowIPC::WindowIPC() = default;
WindowIPC::~WindowIPC() = default;

bool WindowIPC::create(const std::wstring& className, IWindowIPCHandle* handler) {
    std::string name = wideToUtf8(className);
    auto receiver = platform::IpcReceiver::create(
        name, [this](const platform::IpcMessage& m) { dispatch(m.message, uintptr_t(m.wParam), intptr_t(m.lParam)); });
    if (!receiver) return false;
    receiver_ = std::move(receiver);
    target_ = name;
    handler_ = handler;
    return true;
}

void WindowIPC::dispatch(unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (message <= kWmUser && message != kWmCopyData) return;
    if (handler_) handler_->onHandleWindowIPC(message, wParam, lParam);
}

bool WindowIPC::open(const std::wstring& className, const std::wstring& windowName) {
    target_.clear();
    int error = 0;
    std::string name = wideToUtf8(className);
    if (!name.empty() && platform::ipcPeerExists(name, &error)) {
        target_ = name;
        return true;
    }
    if (error != 0 && error != ECONNREFUSED && error != ENOENT)
        NLOG(L"className:%s, windowName:%s, error:%d", className, windowName, error);
    return false;
}

bool WindowIPC::postMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (target_.empty()) return false;
    platform::IpcMessage m;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    return platform::ipcSend(target_, m);
}

}  // namespace utility
