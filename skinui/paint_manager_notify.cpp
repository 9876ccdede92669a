// [notifications] of CPaintManagerUI: notifiers, synchronous delivery and the asynchronous queue, which
// coalesces repeated notifications and is drained (with the delayed-cleanup list) by one posted message.
#include <algorithm>

#include "platform/system.h"
#include "skinui/control.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (!notifier || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) return false;
    notifiers_.push_back(notifier);
    return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) { return std::erase(notifiers_, notifier) > 0; }

void CPaintManagerUI::SendNotify(CControlUI* control, const std::wstring& type, intptr_t wParam, intptr_t lParam,
                                 bool async, bool allowRepeat) {
    TNotifyMsg msg;
    msg.pSender = control;
    msg.sType = type;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async, allowRepeat);
}

void CPaintManagerUI::SendNotify(TNotifyMsg& msg, bool async, bool allowRepeat) {
    msg.ptMouse = lastMousePos_;
    msg.dwTimestamp = platform::tickCount();
    if (usedVirtualWnd_) {
        msg.sVirtualWnd.clear();
        for (CControlUI* c = msg.pSender; c; c = c->GetParent()) {
            if (!c->GetVirtualWnd().empty()) {
                msg.sVirtualWnd = c->GetVirtualWnd();
                break;
            }
        }
    }
    if (!async) {
        deliver(msg);
        return;
    }
    if (!allowRepeat) {
        for (TNotifyMsg& queued : asyncNotify_) {
            if (queued.pSender != msg.pSender || queued.sType != msg.sType) continue;
            queued.wParam = msg.wParam;
            queued.lParam = msg.lParam;
            queued.ptMouse = msg.ptMouse;
            queued.dwTimestamp = msg.dwTimestamp;
            return;
        }
    }
    asyncNotify_.push_back(msg);
    postAsyncNotify();
}

void CPaintManagerUI::deliver(TNotifyMsg& msg) {
    // The sender's listeners cannot keep the notifiers from hearing it.
    if (msg.pSender) msg.pSender->OnNotify(msg);
    std::vector<INotifyUI*> notifiers = notifiers_;
    for (INotifyUI* notifier : notifiers) {
        // A notifier removed by an earlier one hears nothing more.
        if (std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) continue;
        notifier->Notify(msg);
    }
}

void CPaintManagerUI::postAsyncNotify() {
    if (asyncPosted_ || !window_) return;
    asyncPosted_ = true;
    window_->postMessage(uimsg::kAsyncNotify);
}

void CPaintManagerUI::drainAsyncNotifications() {
    asyncPosted_ = false;
    // Notifications sent while this batch is delivered go into a new batch with a message of its own;
    // ReapObjects takes a deleted sender's entries out of both. Appended, not swapped: a modal loop inside
    // a handler drains the rest of this batch first.
    delivering_.insert(delivering_.end(), asyncNotify_.begin(), asyncNotify_.end());
    asyncNotify_.clear();
    while (!delivering_.empty()) {
        TNotifyMsg msg = std::move(delivering_.front());
        delivering_.pop_front();
        deliver(msg);
    }
    std::vector<CControlUI*> cleanup;
    cleanup.swap(delayedCleanup_);
    for (CControlUI* control : cleanup) delete control;
}

}  // namespace SkinUI
