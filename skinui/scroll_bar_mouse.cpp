// CScrollBarUI: the mouse. A press on a button or the track scrolls at once and arms the repeat timer; a
// press on the thumb starts a drag; hot states follow the pointer.
#include <algorithm>
#include <cstdlib>
#include <limits>

#include "skinui/paint_manager.h"
#include "skinui/scroll_bar.h"

namespace SkinUI {

void CScrollBarUI::releaseMouse() {
    stopRepeat();
    hold_ = Hold::None;
    hot_ = false;
    button1State_ = button2State_ = thumbState_ = 0;
}

void CScrollBarUI::SetEnabled(bool enabled) {
    if (!enabled) releaseMouse();
    CControlUI::SetEnabled(enabled);
}

void CScrollBarUI::SetVisible(bool visible) {
    // An owner hides its bar when the content comes to fit, possibly while a button is held.
    if (!visible) releaseMouse();
    CControlUI::SetVisible(visible);
}

void CScrollBarUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        CControlUI::DoEvent(event);
        return;
    }
    const platform::Point p = event.ptMouse;
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK: {
            if (!IsEnabled()) return;
            const TScrollBarParts parts = GetParts();
            if (RectContainsPoint(parts.button1, p)) {
                press(Hold::Button1, p);
            } else if (RectContainsPoint(parts.button2, p)) {
                press(Hold::Button2, p);
            } else if (RectContainsPoint(parts.thumb, p)) {
                press(Hold::Thumb, p);
            } else if (RectContainsPoint(parts.track, p)) {
                int thumbStart = horizontal_ ? parts.thumb.left : parts.thumb.top;
                press(along(p) < thumbStart ? Hold::TrackBefore : Hold::TrackAfter, p);
            }
            return;
        }
        case UIEVENT_MOUSEMOVE: {
            if (hold_ == Hold::Thumb) {
                const TScrollBarParts parts = GetParts();
                const int free = horizontal_ ? RectWidth(parts.track) - RectWidth(parts.thumb)
                                             : RectHeight(parts.track) - RectHeight(parts.thumb);
                if (free > 0 && range_ > 0) {
                    const int64_t moved = int64_t(along(p) - dragStartMouse_) * range_;
                    // Rounded to the nearest position, so that the thumb stays under the pointer.
                    const int64_t step = (moved + (moved >= 0 ? free / 2 : -free / 2)) / free;
                    scrollTo(int64_t(dragStartPos_) + step);
                }
            }
            updateHot(p, IsEnabled() && RectContainsPoint(rcItem_, p));
            return;
        }
        case UIEVENT_BUTTONUP: release(p); return;
        case UIEVENT_MOUSEENTER: updateHot(p, IsEnabled()); return;
        case UIEVENT_MOUSELEAVE: updateHot(p, false); return;
        case UIEVENT_SCROLLWHEEL: {
            if (!IsEnabled()) break;
            // Capped before multiplying: a skin's huge unit or line size must not overflow.
            const int64_t notches = std::clamp<int64_t>(std::abs(int64_t(event.wParam) / platform::kWheelNotch), 1,
                                                        std::numeric_limits<int>::max());
            const int64_t pixels = std::min<int64_t>(notches * scrollUnit_, std::numeric_limits<int>::max()) * lineSize_;
            ScrollBy(event.wParam > 0 ? -pixels : pixels);
            return;
        }
        case UIEVENT_TIMER:
            if (uint32_t(event.wParam) == kRepeatTimerId) {
                repeat(p);
                return;
            }
            break;
        default: break;
    }
    CControlUI::DoEvent(event);
}

void CScrollBarUI::press(Hold hold, platform::Point at) {
    hold_ = hold;
    repeatTicks_ = 0;
    switch (hold) {
        case Hold::Button1:
            setPartState(button1State_, button1State_ | kPushed);
            LineUp();
            break;
        case Hold::Button2:
            setPartState(button2State_, button2State_ | kPushed);
            LineDown();
            break;
        case Hold::TrackBefore: PageUp(); break;
        case Hold::TrackAfter: PageDown(); break;
        case Hold::Thumb:
            setPartState(thumbState_, thumbState_ | kPushed);
            dragStartMouse_ = along(at);
            dragStartPos_ = pos_;
            return;
        case Hold::None: return;
    }
    if (GetManager()) GetManager()->SetTimer(this, kRepeatTimerId, kRepeatIntervalMs);
}

void CScrollBarUI::repeat(platform::Point at) {
    if (hold_ == Hold::None || hold_ == Hold::Thumb) {
        stopRepeat();
        return;
    }
    if (++repeatTicks_ < kRepeatDelayTicks) return;
    // Held but moved off what was pressed: wait until the pointer comes back.
    const TScrollBarParts parts = GetParts();
    switch (hold_) {
        case Hold::Button1:
            if (RectContainsPoint(parts.button1, at)) LineUp();
            break;
        case Hold::Button2:
            if (RectContainsPoint(parts.button2, at)) LineDown();
            break;
        case Hold::TrackBefore:
            // Paging stops once the thumb has reached the pointer.
            if (RectContainsPoint(parts.track, at) && along(at) < (horizontal_ ? parts.thumb.left : parts.thumb.top)) {
                PageUp();
            }
            break;
        case Hold::TrackAfter:
            if (RectContainsPoint(parts.track, at) &&
                along(at) >= (horizontal_ ? parts.thumb.right : parts.thumb.bottom)) {
                PageDown();
            }
            break;
        default: break;
    }
}

void CScrollBarUI::release(platform::Point at) {
    if (hold_ == Hold::None) return;
    stopRepeat();
    hold_ = Hold::None;
    setPartState(button1State_, button1State_ & ~kPushed);
    setPartState(button2State_, button2State_ & ~kPushed);
    setPartState(thumbState_, thumbState_ & ~kPushed);
    updateHot(at, IsEnabled() && RectContainsPoint(rcItem_, at));
}

void CScrollBarUI::stopRepeat() {
    if (GetManager()) GetManager()->KillTimer(this, kRepeatTimerId);
    repeatTicks_ = 0;
}

void CScrollBarUI::updateHot(platform::Point at, bool inside) {
    if (hot_ != inside) {
        hot_ = inside;
        Invalidate();
    }
    const TScrollBarParts parts = GetParts();
    auto follow = [&](unsigned& state, const SkinRect& rect, Hold held) {
        const bool over = inside && RectContainsPoint(rect, at);
        unsigned value = (state & ~(kHot | kPushed)) | (over ? kHot : 0);
        // A held button looks pushed only while the pointer is on it; a dragged thumb stays pushed.
        if (hold_ == held && (over || held == Hold::Thumb)) value |= kPushed;
        setPartState(state, value);
    };
    follow(button1State_, parts.button1, Hold::Button1);
    follow(button2State_, parts.button2, Hold::Button2);
    follow(thumbState_, parts.thumb, Hold::Thumb);
}

void CScrollBarUI::setPartState(unsigned& state, unsigned value) {
    if (state == value) return;
    state = value;
    Invalidate();
}

}  // namespace SkinUI
