// [timers] of CPaintManagerUI: control timers on platform timers of the window. Each control timer (control,
// id) owns one platform timer id handed out from a counter that starts at 4096 and runs modulo 255, so
// the first id is 17.
#include <algorithm>

#include "skinui/control.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

uint32_t CPaintManagerUI::nextTimerId() {
    // After 255 timers the counter comes round again: skip ids that still belong to a timer (and 0), so that
    // a new timer never takes over a running one.
    for (int tries = 0; tries < 256; ++tries) {
        timerCounter_ = (timerCounter_ + 1) % 255;
        uint32_t id = timerCounter_;
        if (id == 0) continue;
        bool used = std::any_of(timers_.begin(), timers_.end(), [id](const TimerInfo& t) { return t.platformId == id; });
        if (!used) return id;
    }
    return 0;
}

bool CPaintManagerUI::SetTimer(CControlUI* control, uint32_t id, uint32_t elapseMs) {
    if (!control || !window_) return false;
    for (TimerInfo& timer : timers_) {
        if (timer.sender != control || timer.localId != id) continue;
        if (!timer.killed) return false;
        if (!window_->setTimer(timer.platformId, elapseMs)) return false;
        timer.killed = false;
        return true;
    }
    uint32_t platformId = nextTimerId();
    if (platformId == 0 || !window_->setTimer(platformId, elapseMs)) return false;
    timers_.push_back(TimerInfo{control, id, platformId, false});
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, uint32_t id) {
    for (TimerInfo& timer : timers_) {
        if (timer.sender != control || timer.localId != id) continue;
        if (!timer.killed && window_) window_->killTimer(timer.platformId);
        timer.killed = true;
        return true;
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
    std::erase_if(timers_, [this, control](const TimerInfo& timer) {
        if (timer.sender != control) return false;
        if (!timer.killed && window_) window_->killTimer(timer.platformId);
        return true;
    });
}

void CPaintManagerUI::RemoveAllTimers() {
    for (const TimerInfo& timer : timers_) {
        if (!timer.killed && window_) window_->killTimer(timer.platformId);
    }
    timers_.clear();
}

bool CPaintManagerUI::onTimer(const platform::WindowEvent& event) {
    for (const TimerInfo& timer : timers_) {
        if (timer.platformId != uint32_t(event.wParam) || timer.killed) continue;
        TEventUI ev;
        ev.Type = UIEVENT_TIMER;
        ev.pSender = timer.sender;
        ev.dwTimestamp = event.time;
        ev.ptMouse = lastMousePos_;
        ev.wParam = timer.localId;
        ev.lParam = timer.platformId;
        timer.sender->Event(ev);
        return true;
    }
    return false;
}

}  // namespace SkinUI
