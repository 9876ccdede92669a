// [events] of CPaintManagerUI: the window's messages turned into control events, the keyboard focus,
// capture, hover and tooltip, message filters and translators, and the message loop.
#include <algorithm>

#include "platform/main_loop.h"
#include "platform/system.h"
#include "skinui/control.h"
#include "skinui/language_table.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

namespace {

// The hover delay once a tooltip has been shown: the platform's usual initial tooltip delay.
constexpr uint32_t kTooltipInitialDelayMs = 500;

bool isMouseMessage(platform::Message m) {
    using platform::Message;
    switch (m) {
        case Message::MouseEnter:
        case Message::MouseMove:
        case Message::MouseLeave:
        case Message::MouseHover:
        case Message::LButtonDown:
        case Message::LButtonUp:
        case Message::LButtonDblClk:
        case Message::RButtonDown:
        case Message::RButtonUp:
        case Message::MButtonDown:
        case Message::MButtonUp:
        case Message::MouseWheel:
        case Message::ContextMenu:
        case Message::SetCursor: return true;  // it comes before the move to its point
        default: return false;
    }
}

}  // namespace

void CPaintManagerUI::sendEvent(CControlUI* control, int type, const platform::WindowEvent& from) {
    if (!control) return;
    TEventUI event;
    event.Type = type;
    event.pSender = control;
    event.dwTimestamp = from.time ? from.time : platform::tickCount();
    event.ptMouse = isMouseMessage(from.message) ? from.point : lastMousePos_;
    event.key = from.key;
    event.chKey = from.message == platform::Message::Char ? from.character : char32_t(from.key);
    event.wKeyState = from.keyState;
    if (type == UIEVENT_SCROLLWHEEL) {
        event.wParam = from.wheelDelta;
    } else if (type == UIEVENT_CONTEXTMENU) {
        event.wParam = from.point.x;
        event.lParam = from.point.y;
    } else if (type == UIEVENT_IMECOMPOSITION) {
        event.sText = from.text;
    }
    control->Event(event);
}

bool CPaintManagerUI::MessageHandler(const platform::WindowEvent& event, intptr_t& result) {
    using platform::Message;
    result = 0;
    if (!window_) return false;
    if (isMouseMessage(event.message)) lastMousePos_ = event.point;

    // A copy: a filter may remove itself.
    std::vector<IMessageFilterUI*> filters = preMessageFilters_;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        intptr_t answer = filter->MessageHandler(event, handled);
        if (handled) {
            result = answer;
            return true;
        }
    }

    if (event.message == uimsg::kAsyncNotify) {
        drainAsyncNotifications();
        return true;
    }
    switch (event.message) {
        case Message::Paint:
            onPaint(event);
            return true;
        case Message::Size:
            if (focus_) sendEvent(focus_, UIEVENT_WINDOWSIZE, event);
            if (root_) root_->NeedUpdate();
            updateNeeded_ = true;
            if (layered_) Invalidate();
            return true;
        case Message::Timer: return onTimer(event);
        case Message::MouseMove: return onMouseMove(event);
        case Message::MouseLeave: onMouseLeave(event); return false;
        case Message::MouseHover: onMouseHover(event); return true;
        case Message::LButtonDown: onButtonDown(event, UIEVENT_BUTTONDOWN); return true;
        case Message::LButtonDblClk: onButtonDown(event, UIEVENT_DBLCLICK); return true;
        case Message::LButtonUp: onButtonUp(event); return true;
        case Message::CaptureLost: {
            // The press ends without a release of ours: the target hears a release far outside itself,
            // so it clears its pressed state and does not take it for a click.
            CControlUI* target = eventClick_;
            eventClick_ = nullptr;
            platform::WindowEvent release = event;
            release.point = {-1, -1};
            release.message = Message::LButtonUp;
            sendEvent(target, UIEVENT_BUTTONUP, release);
            return true;
        }
        case Message::RButtonDown: {
            CControlUI* control = FindControl(event.point);
            if (!control || control->GetManager() != this) return false;
            control->SetFocus();
            sendEvent(control, UIEVENT_RBUTTONDOWN, event);
            return true;
        }
        case Message::ContextMenu: {
            CControlUI* control = FindControl(event.point);
            if (!control || control->GetManager() != this) return false;
            sendEvent(control, UIEVENT_CONTEXTMENU, event);
            return true;
        }
        case Message::MouseWheel: {
            CControlUI* control = FindControl(event.point);
            if (!control || control->GetManager() != this) return false;
            sendEvent(control, UIEVENT_SCROLLWHEEL, event);
            return true;
        }
        case Message::KeyDown:
            if (!focus_) return false;
            eventKey_ = focus_;
            sendEvent(focus_, UIEVENT_KEYDOWN, event);
            return false;
        case Message::KeyUp: {
            CControlUI* target = eventKey_;
            eventKey_ = nullptr;
            if (!target) return false;
            sendEvent(target, UIEVENT_KEYUP, event);
            return false;
        }
        case Message::Char:
            if (!focus_) return false;
            sendEvent(focus_, UIEVENT_CHAR, event);
            return false;
        case Message::ImePreedit:
            if (!focus_) return false;
            sendEvent(focus_, UIEVENT_IMECOMPOSITION, event);
            return false;
        case Message::Close: onClose(); return false;
        case Message::SetCursor: return onSetCursor(event);
        default: return false;
    }
}

bool CPaintManagerUI::onMouseMove(const platform::WindowEvent& event) {
    if (!mouseTracking_) {
        window_->trackHover(tooltipShown_ ? kTooltipInitialDelayMs : uint32_t(std::max(hoverTime_, 1)));
        mouseTracking_ = true;
    }
    CControlUI* newHover = FindControl(event.point);
    if (newHover && newHover->GetManager() != this) return false;
    if (newHover != eventHover_ && eventHover_) {
        CControlUI* old = eventHover_;
        eventHover_ = nullptr;
        sendEvent(old, UIEVENT_MOUSELEAVE, event);
        window_->hideTooltip();
    }
    if (newHover != eventHover_ && newHover) {
        eventHover_ = newHover;
        sendEvent(newHover, UIEVENT_MOUSEENTER, event);
    }
    // While a button is held the pressed control follows the pointer, wherever it is.
    if (eventClick_) {
        sendEvent(eventClick_, UIEVENT_MOUSEMOVE, event);
    } else if (eventHover_) {
        sendEvent(eventHover_, UIEVENT_MOUSEMOVE, event);
    }
    return true;
}

void CPaintManagerUI::onMouseLeave(const platform::WindowEvent& event) {
    window_->hideTooltip();
    mouseTracking_ = false;
    CControlUI* old = eventHover_;
    eventHover_ = nullptr;
    sendEvent(old, UIEVENT_MOUSELEAVE, event);
}

void CPaintManagerUI::onMouseHover(const platform::WindowEvent& event) {
    mouseTracking_ = false;
    CControlUI* hover = FindControl(event.point);
    if (!hover) return;
    if (eventHover_) sendEvent(eventHover_, UIEVENT_MOUSEHOVER, event);
    std::wstring tip = hover->GetToolTip();
    if (tip.empty()) return;
    ResolveText(tip);
    window_->showTooltip(tip, event.point, tooltipMaxWidth_ > 0 ? tooltipMaxWidth_ : 0);
    tooltipShown_ = true;
}

void CPaintManagerUI::onButtonDown(const platform::WindowEvent& event, int type) {
    if (!IsNoActivate() && !window_->hasFocus()) window_->focus();
    CControlUI* control = FindControl(event.point);
    if (!control || control->GetManager() != this) return;
    eventClick_ = control;
    control->SetFocus();
    SetCapture();
    // The focus change may have taken the control out of the window.
    if (eventClick_ != control) return;
    sendEvent(control, type, event);
}

void CPaintManagerUI::onButtonUp(const platform::WindowEvent& event) {
    ReleaseCapture();
    CControlUI* target = eventClick_;
    if (!target) return;
    sendEvent(target, UIEVENT_BUTTONUP, event);
    eventClick_ = nullptr;
}

void CPaintManagerUI::onClose() {
    platform::WindowEvent last;
    last.message = platform::Message::MouseLeave;
    last.point = lastMousePos_;
    CControlUI* hover = eventHover_;
    eventHover_ = nullptr;
    sendEvent(hover, UIEVENT_MOUSELEAVE, last);
    CControlUI* click = eventClick_;
    eventClick_ = nullptr;
    last.message = platform::Message::LButtonUp;
    sendEvent(click, UIEVENT_BUTTONUP, last);
    SetFocus(nullptr);
    if (window_->hasFocus() && window_->owner()) window_->owner()->focus();
    window_->hideTooltip();
}

bool CPaintManagerUI::onSetCursor(const platform::WindowEvent& event) {
    CControlUI* control = FindControl(event.point);
    if (!control || control->GetManager() != this) return false;
    if ((control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) return false;
    sendEvent(control, UIEVENT_SETCURSOR, event);
    return true;
}

void CPaintManagerUI::SetFocus(CControlUI* control, bool focusWindow) {
    if (focusWindow && window_ && !window_->hasFocus() && control != focus_ && !IsNoActivate()) window_->focus();
    if (control == focus_) return;
    if (CControlUI* old = focus_) {
        focus_ = nullptr;
        platform::WindowEvent from;
        sendEvent(old, UIEVENT_KILLFOCUS, from);
        SendNotify(old, L"killfocus");
        // A listener moved the focus meanwhile: that move stands.
        if (focus_) return;
    }
    if (!control || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()) return;
    focus_ = control;
    platform::WindowEvent from;
    sendEvent(control, UIEVENT_SETFOCUS, from);
    SendNotify(control, L"setfocus");
}

void CPaintManagerUI::SetCapture() {
    if (window_) window_->setCapture();
}

void CPaintManagerUI::ReleaseCapture() {
    if (window_) window_->releaseCapture();
}

bool CPaintManagerUI::IsCaptured() const { return window_ && window_->hasCapture(); }

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
    if (!filter || std::find(preMessageFilters_.begin(), preMessageFilters_.end(), filter) != preMessageFilters_.end())
        return false;
    preMessageFilters_.push_back(filter);
    return true;
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    return std::erase(preMessageFilters_, filter) > 0;
}

bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    if (!translator || std::find(translators_.begin(), translators_.end(), translator) != translators_.end())
        return false;
    translators_.push_back(translator);
    return true;
}

bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    return std::erase(translators_, translator) > 0;
}

void CPaintManagerUI::MessageLoop() { platform::MainLoop::run(); }

bool CPaintManagerUI::TranslateMessage(const platform::Window* window, const platform::WindowEvent& event) {
    if (!window) return false;
    for (CPaintManagerUI* manager : GetPaintManagers()) {
        if (manager->window_ != window) continue;
        std::vector<ITranslateAccelerator*> translators = manager->translators_;
        for (ITranslateAccelerator* translator : translators) {
            if (translator->TranslateAccelerator(event)) return true;
        }
        return false;
    }
    return false;
}

}  // namespace SkinUI
