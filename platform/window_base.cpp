#include "platform/window_base.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>

#include "platform/main_loop.h"
#include "platform/system.h"

namespace platform {
namespace {

constexpr uint32_t kModifierBits = keystate::Shift | keystate::Control | keystate::Alt;
// A resting pointer may tremble this far without restarting the hover delay.
constexpr int kHoverSlack = 2;

bool isEdge(HitArea a) { return a != HitArea::Client && a != HitArea::Caption; }

Cursor edgeCursor(HitArea a) {
    switch (a) {
        case HitArea::Left:
        case HitArea::Right: return Cursor::SizeWE;
        case HitArea::Top:
        case HitArea::Bottom: return Cursor::SizeNS;
        case HitArea::TopLeft:
        case HitArea::BottomRight: return Cursor::SizeNWSE;
        case HitArea::TopRight:
        case HitArea::BottomLeft: return Cursor::SizeNESW;
        default: return Cursor::Arrow;
    }
}

uint32_t buttonBit(MouseButton b) {
    switch (b) {
        case MouseButton::Left: return keystate::LeftButton;
        case MouseButton::Right: return keystate::RightButton;
        case MouseButton::Middle: return keystate::MiddleButton;
    }
    return 0;
}

WindowEvent makeEvent(Message m) {
    WindowEvent e;
    e.message = m;
    return e;
}

// True when the window object was deleted or destroyed during a dispatch.
bool gone(const std::shared_ptr<WindowBase*>& self) { return !*self || (*self)->isDestroyed(); }

}  // namespace

std::vector<Rect> roundedRectRegion(Size size, Size ellipse) {
    std::vector<Rect> rows;
    if (ellipse.width <= 0 || ellipse.height <= 0 || size.width <= 0 || size.height <= 0) return rows;
    double rx = std::min(ellipse.width, size.width) / 2.0;
    double ry = std::min(ellipse.height, size.height) / 2.0;
    for (int y = 0; y < size.height; ++y) {
        double centre = y + 0.5;
        double d = 0;
        if (centre < ry) d = ry - centre;
        else if (centre > size.height - ry) d = centre - (size.height - ry);
        int inset = 0;
        if (d > 0) {
            double t = d / ry;
            inset = int(std::lround(rx - rx * std::sqrt(std::max(0.0, 1.0 - t * t))));
        }
        if (!rows.empty() && rows.back().left == inset && rows.back().bottom == y) {
            rows.back().bottom = y + 1;
            continue;
        }
        if (size.width - 2 * inset <= 0) continue;
        rows.push_back(Rect{inset, y, size.width - inset, y + 1});
    }
    return rows;
}

WindowBase::WindowBase(const WindowOptions& options, WindowHandler* handler)
    : handler_(handler),
      owner_(options.owner),
      self_(std::make_shared<WindowBase*>(this)),
      title_(options.title),
      bounds_(options.bounds),
      resizable_(options.resizable),
      doubleClicks_(options.doubleClicks),
      translucent_(options.translucent) {
    assert(handler && "a window needs a handler");
    if (bounds_.right < bounds_.left) bounds_.right = bounds_.left;
    if (bounds_.bottom < bounds_.top) bounds_.bottom = bounds_.top;
}

WindowBase::~WindowBase() {
    *self_ = nullptr;
    killAllTimers();
    cancelHover();
}

bool WindowBase::dispatch(WindowEvent& event) {
    if (destroying_ && event.message != Message::Destroy) return false;
    event.time = tickCount();
    auto self = self_;
    ++dispatchDepth_;
    bool handled = handler_->onMessage(*this, event);
    if (!*self) return handled;
    --dispatchDepth_;
    if (dispatchDepth_ == 0 && leaveCheckPending_) {
        leaveCheckPending_ = false;
        releaseAfterInput();
    }
    return handled;
}

// ---- showing and state ----

void WindowBase::show(bool activate) {
    if (destroying_) return;
    bool wasVisible = visible_;
    visible_ = true;
    nativeShow(activate);
    if (!wasVisible) invalidate();
}

void WindowBase::hide() {
    if (destroying_ || !visible_) return;
    auto self = self_;
    heldButtons_ = 0;
    if (captured_) releaseCapture();
    if (inside_) leave();
    if (gone(self)) return;
    visible_ = false;
    nativeHide();
}

void WindowBase::minimize() {
    if (!destroying_) nativeMinimize();
}

void WindowBase::maximize() {
    if (!destroying_) nativeMaximize();
}

void WindowBase::restore() {
    if (!destroying_) nativeRestore();
}

void WindowBase::setTopMost(bool topMost) {
    if (destroying_) return;
    topMost_ = topMost;
    nativeSetTopMost(topMost);
}

void WindowBase::setEnabled(bool enabled) {
    if (destroying_ || enabled_ == enabled) return;
    if (!enabled) {
        auto self = self_;
        // Nothing may stay half-pressed or hovered in a window that no longer hears the mouse.
        heldButtons_ = 0;
        pointerOutside_ = false;
        if (captured_) {
            captured_ = false;
            if (grabbed_) nativeGrabPointer(false);
            grabbed_ = false;
        }
        if (inside_) leave();
        if (gone(self)) return;
    }
    enabled_ = enabled;
}

void WindowBase::focus() {
    if (destroying_ || !visible_) return;
    nativeFocus();
}

void WindowBase::destroy() {
    if (destroying_) return;
    destroying_ = true;
    auto self = self_;
    killAllTimers();
    cancelHover();
    if (tooltipVisible_) {
        tooltipVisible_ = false;
        nativeHideTooltip();
    }
    if (grabbed_) nativeGrabPointer(false);
    grabbed_ = captured_ = false;
    WindowEvent e = makeEvent(Message::Destroy);
    dispatch(e);
    if (!*self) return;
    if (!nativeGone_) nativeDestroy();
    nativeGone_ = true;
    finishDestroy();
}

void WindowBase::feedNativeDestroyed() {
    if (destroying_) return;
    destroying_ = true;
    nativeGone_ = true;
    auto self = self_;
    killAllTimers();
    cancelHover();
    tooltipVisible_ = false;
    grabbed_ = captured_ = false;
    WindowEvent e = makeEvent(Message::Destroy);
    dispatch(e);
    if (!*self) return;
    finishDestroy();
}

void WindowBase::finishDestroy() {
    visible_ = false;
    focused_ = false;
    // Last statement: the handler may delete this object.
    handler_->onFinalMessage(*this);
}

// ---- geometry and appearance ----

void WindowBase::setBounds(const Rect& screenRect) {
    if (destroying_) return;
    Rect r = screenRect;
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    nativeSetBounds(r);
    feedConfigure(r);
}

void WindowBase::setSizeLimits(Size minimum, Size maximum) {
    if (!destroying_) nativeSetSizeLimits(minimum, maximum);
}

void WindowBase::setTitle(const std::wstring& title) {
    if (destroying_) return;
    title_ = title;
    nativeSetTitle(title);
}

void WindowBase::setIcon(cairo_surface_t* image) {
    if (!destroying_) nativeSetIcon(image);
}

void WindowBase::setTranslucent(bool translucent) {
    if (destroying_ || translucent_ == translucent) return;
    translucent_ = translucent;
    invalidate();
}

void WindowBase::setOpacity(uint8_t opacity) {
    if (destroying_) return;
    opacity_ = opacity;
    nativeSetOpacity(opacity);
}

void WindowBase::setRoundCorners(Size ellipse) {
    if (destroying_) return;
    roundEllipse_ = ellipse;
    applyShape();
}

void WindowBase::applyShape() {
    if (destroying_ || sizeState_ == SizeState::Minimized) return;
    Rect c = clientRect();
    nativeSetShape(roundedRectRegion(Size{c.width(), c.height()}, roundEllipse_));
}

void WindowBase::setCursor(Cursor cursor) {
    if (destroying_ || cursor == cursor_) return;
    cursor_ = cursor;
    nativeSetCursor(cursor);
}

void WindowBase::invalidate(const Rect& r) {
    if (destroying_) return;
    Rect c = clientRect();
    Rect clipped{std::max(r.left, c.left), std::max(r.top, c.top), std::min(r.right, c.right),
                 std::min(r.bottom, c.bottom)};
    if (clipped.empty()) return;
    nativeInvalidate(clipped);
}

// ---- pointer ----

void WindowBase::setCapture() {
    if (destroying_ || captured_) return;
    captured_ = true;
    // While a button is held the pointer is ours already; only a capture without one needs a grab.
    if (heldButtons_ == 0) grabbed_ = nativeGrabPointer(true);
}

void WindowBase::releaseCapture() {
    if (!captured_) return;
    captured_ = false;
    if (grabbed_) {
        grabbed_ = false;
        nativeGrabPointer(false);
    }
    // Inside a message the leave waits until that message is done, so it never arrives in the middle of it.
    if (dispatchDepth_ > 0) leaveCheckPending_ = true;
    else releaseAfterInput();
}

void WindowBase::releaseAfterInput() {
    if (heldButtons_ != 0 || captured_ || !pointerOutside_) return;
    pointerOutside_ = false;
    if (inside_) leave();
}

void WindowBase::leave() {
    inside_ = false;
    cancelHover();
    WindowEvent e = makeEvent(Message::MouseLeave);
    e.point = lastPoint_;
    dispatch(e);
}

void WindowBase::trackHover(uint32_t delayMs) {
    if (destroying_ || !inside_) return;
    hoverDelay_ = std::max<uint32_t>(delayMs, 1);
    restartHover(lastPoint_);
}

void WindowBase::restartHover(Point p) {
    cancelHover();
    hoverAnchor_ = p;
    auto self = self_;
    hoverTimer_ = MainLoop::addTimer(hoverDelay_, [self] {
        WindowBase* w = *self;
        if (!w) return;
        MainLoop::removeTimer(w->hoverTimer_);  // one-shot
        w->hoverTimer_ = 0;
        if (!w->inside_ || !w->acceptsInput()) return;
        WindowEvent e = makeEvent(Message::MouseHover);
        e.point = w->lastPoint_;
        e.keyState = w->heldButtons_;
        w->dispatch(e);
    });
}

void WindowBase::cancelHover() {
    if (hoverTimer_ == 0) return;
    MainLoop::removeTimer(hoverTimer_);
    hoverTimer_ = 0;
}

void WindowBase::updateCursor(Point p) {
    auto self = self_;
    HitArea area = handler_->hitTest(*this, p);
    if (gone(self)) return;
    if (isEdge(area)) {
        setCursor(resizable_ && sizeState_ != SizeState::Maximized ? edgeCursor(area) : Cursor::Arrow);
        return;
    }
    if (area == HitArea::Caption) {
        setCursor(Cursor::Arrow);
        return;
    }
    WindowEvent e = makeEvent(Message::SetCursor);
    e.point = p;
    e.keyState = heldButtons_;
    bool handled = dispatch(e);
    if (gone(self)) return;
    if (!handled) setCursor(Cursor::Arrow);
}

void WindowBase::feedMotion(Point p, uint32_t keyState) {
    if (!acceptsInput()) return;
    auto self = self_;
    bool within = clientRect().contains(p);
    lastPoint_ = p;
    if (heldButtons_ != 0 || captured_) {
        pointerOutside_ = !within;
    } else if (!within) {
        // Without a button or capture the pointer cannot move outside and still reach us: it has left.
        if (inside_) leave();
        return;
    }
    uint32_t ks = (keyState & kModifierBits) | heldButtons_;
    if (!inside_ && within) {
        inside_ = true;
        WindowEvent e = makeEvent(Message::MouseEnter);
        e.point = p;
        e.keyState = ks;
        dispatch(e);
        if (gone(self)) return;
    }
    if (heldButtons_ == 0 && !captured_) {
        updateCursor(p);
        if (gone(self)) return;
    }
    if (hoverTimer_ != 0 &&
        (std::abs(p.x - hoverAnchor_.x) > kHoverSlack || std::abs(p.y - hoverAnchor_.y) > kHoverSlack))
        restartHover(p);
    WindowEvent e = makeEvent(Message::MouseMove);
    e.point = p;
    e.keyState = ks;
    dispatch(e);
}

void WindowBase::feedCrossing(bool enter, Crossing mode, Point p, uint32_t keyState) {
    if (!acceptsInput()) return;
    // Our own capture grab moves the pointer nowhere.
    if (grabbed_ && mode != Crossing::Normal) return;
    if (enter) {
        if (mode == Crossing::Grab) return;
        pointerOutside_ = false;
        if (!inside_ && clientRect().contains(p)) feedMotion(p, keyState);
        return;
    }
    if (mode == Crossing::Grab) {
        // Someone else holds the pointer now (a desktop drag, a modal dialog). Its release goes to them and
        // no fresh leave reaches us when they let go, so the pointer counts as gone now.
        auto self = self_;
        heldButtons_ = 0;
        pointerOutside_ = false;
        if (captured_) {
            captured_ = false;
            WindowEvent e = makeEvent(Message::CaptureLost);
            e.point = lastPoint_;
            dispatch(e);
            if (gone(self)) return;
        }
        if (inside_) leave();
        return;
    }
    if (heldButtons_ != 0 || captured_) {
        pointerOutside_ = true;  // the leave waits for the release
        return;
    }
    if (inside_) leave();
}

void WindowBase::feedButton(MouseButton button, bool press, Point p, uint32_t keyState, uint32_t time) {
    if (!acceptsInput()) return;
    auto self = self_;
    uint32_t bit = buttonBit(button);
    uint32_t modifiers = keyState & kModifierBits;
    lastPoint_ = p;

    if (press) {
        if (button == MouseButton::Left && heldButtons_ == 0 && !captured_) {
            HitArea area = handler_->hitTest(*this, p);
            if (gone(self)) return;
            bool drag = area == HitArea::Caption ||
                        (isEdge(area) && resizable_ && sizeState_ != SizeState::Maximized);
            if (drag) {
                // The desktop moves or sizes the window; the press and its release are not ours.
                cancelHover();
                lastClickValid_ = false;
                if (area == HitArea::Caption) nativeBeginMoveDrag(button, clientToScreen(p), time);
                else nativeBeginResizeDrag(area, button, clientToScreen(p), time);
                return;
            }
        }
        if (!inside_ && clientRect().contains(p)) {
            inside_ = true;
            WindowEvent enter = makeEvent(Message::MouseEnter);
            enter.point = p;
            enter.keyState = modifiers | heldButtons_;
            dispatch(enter);
            if (gone(self)) return;
        }
        heldButtons_ |= bit;
        pointerOutside_ = false;
        Message m = Message::MButtonDown;
        if (button == MouseButton::Right) m = Message::RButtonDown;
        if (button == MouseButton::Left) {
            bool twice = doubleClicks_ && lastClickValid_ && time - lastClickTime_ <= doubleClickTime() &&
                         std::abs(p.x - lastClickPoint_.x) <= doubleClickDistance() &&
                         std::abs(p.y - lastClickPoint_.y) <= doubleClickDistance();
            m = twice ? Message::LButtonDblClk : Message::LButtonDown;
            lastClickValid_ = !twice;
            lastClickTime_ = time;
            lastClickPoint_ = p;
        }
        WindowEvent e = makeEvent(m);
        e.point = p;
        e.keyState = modifiers | heldButtons_;
        dispatch(e);
        return;
    }

    // A release whose press we did not deliver (a desktop drag, another window's press) is not ours.
    if ((heldButtons_ & bit) == 0) return;
    heldButtons_ &= ~bit;
    pointerOutside_ = !clientRect().contains(p);
    Message m = button == MouseButton::Left    ? Message::LButtonUp
                : button == MouseButton::Right ? Message::RButtonUp
                                               : Message::MButtonUp;
    WindowEvent e = makeEvent(m);
    e.point = p;
    e.keyState = modifiers | heldButtons_;
    bool handled = dispatch(e);
    if (gone(self)) return;
    if (button == MouseButton::Right && !handled) {
        WindowEvent menu = makeEvent(Message::ContextMenu);
        menu.point = p;
        menu.keyState = modifiers | heldButtons_;
        dispatch(menu);
        if (gone(self)) return;
    }
    releaseAfterInput();
}

void WindowBase::feedWheel(int delta, Point p, uint32_t keyState) {
    if (!acceptsInput() || delta == 0) return;
    WindowEvent e = makeEvent(Message::MouseWheel);
    e.point = p;
    e.keyState = (keyState & kModifierBits) | heldButtons_;
    e.wheelDelta = delta;
    dispatch(e);
}

void WindowBase::feedGrabBroken() {
    if (destroying_) return;
    heldButtons_ = 0;
    grabbed_ = false;
    if (!captured_) return;
    captured_ = false;
    WindowEvent e = makeEvent(Message::CaptureLost);
    e.point = lastPoint_;
    dispatch(e);
}

// ---- keyboard ----

void WindowBase::feedKey(bool press, Key key, uint32_t keyState, bool composing) {
    if (!acceptsInput()) return;
    WindowEvent e = makeEvent(press ? Message::KeyDown : Message::KeyUp);
    e.keyState = (keyState & kModifierBits) | heldButtons_;
    e.key = key;
    e.imeComposing = composing;
    dispatch(e);
}

void WindowBase::feedText(const std::u32string& text) {
    auto self = self_;
    for (char32_t c : text) {
        if (gone(self) || !acceptsInput()) return;
        WindowEvent e = makeEvent(Message::Char);
        e.keyState = heldButtons_;
        e.character = c;
        dispatch(e);
    }
}

void WindowBase::feedPreedit(const std::wstring& text) {
    if (!acceptsInput()) return;
    WindowEvent e = makeEvent(Message::ImePreedit);
    e.text = text;
    dispatch(e);
}

void WindowBase::setTextInputArea(const Rect& r) {
    if (destroying_) return;
    textInputArea_ = r;
    nativeSetTextInputArea(r);
}

// ---- frame ----

void WindowBase::feedFocus(bool focused) {
    if (destroying_ || focused_ == focused) return;
    focused_ = focused;
    auto self = self_;
    WindowEvent a = makeEvent(Message::Activate);
    a.active = focused;
    dispatch(a);
    if (gone(self)) return;
    WindowEvent f = makeEvent(focused ? Message::SetFocus : Message::KillFocus);
    dispatch(f);
}

void WindowBase::feedConfigure(const Rect& r) { feedFrame(r, sizeState_); }

void WindowBase::feedSizeState(SizeState state) { feedFrame(bounds_, state); }

void WindowBase::feedFrame(const Rect& r, SizeState state) {
    if (destroying_ || (r == bounds_ && state == sizeState_)) return;
    auto self = self_;
    Rect old = bounds_;
    bool resized = old.width() != r.width() || old.height() != r.height() || state != sizeState_;
    bounds_ = r;
    sizeState_ = state;
    if (resized) {
        if (state == SizeState::Minimized) cancelHover();
        applyShape();
        WindowEvent e = makeEvent(Message::Size);
        e.size = Size{r.width(), r.height()};
        e.sizeState = state;
        dispatch(e);
        if (gone(self)) return;
        invalidate();
    }
    if (old.left != r.left || old.top != r.top) {
        WindowEvent e = makeEvent(Message::Move);
        e.point = Point{r.left, r.top};
        dispatch(e);
    }
}

void WindowBase::feedCloseRequest() {
    if (destroying_) return;
    auto self = self_;
    WindowEvent e = makeEvent(Message::Close);
    bool handled = dispatch(e);
    if (gone(self)) return;
    if (!handled) destroy();
}

void WindowBase::feedPaint(cairo_t* cr, const Rect& dirty) {
    if (destroying_) return;
    WindowEvent e = makeEvent(Message::Paint);
    e.cairo = cr;
    e.rect = dirty;
    dispatch(e);
}

// ---- tooltip, timers, posts ----

void WindowBase::showTooltip(const std::wstring& text, Point clientAnchor, int maxWidth) {
    if (destroying_) return;
    tooltipText_ = text;
    tooltipVisible_ = true;
    nativeShowTooltip(text, clientToScreen(clientAnchor), maxWidth);
}

void WindowBase::hideTooltip() {
    if (!tooltipVisible_) return;
    tooltipVisible_ = false;
    nativeHideTooltip();
}

bool WindowBase::setTimer(uint32_t id, uint32_t periodMs) {
    if (destroying_) return false;
    killTimer(id);
    auto self = self_;
    uint64_t handle = MainLoop::addTimer(std::max<uint32_t>(periodMs, 1), [self, id] {
        WindowBase* w = *self;
        if (!w || w->destroying_) return;
        WindowEvent e = makeEvent(Message::Timer);
        e.wParam = intptr_t(id);
        w->dispatch(e);
    });
    if (handle == 0) return false;
    timers_[id] = handle;
    return true;
}

void WindowBase::killTimer(uint32_t id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    MainLoop::removeTimer(it->second);
    timers_.erase(it);
}

void WindowBase::killAllTimers() {
    for (auto& [id, handle] : timers_) MainLoop::removeTimer(handle);
    timers_.clear();
}

void WindowBase::post(Message message, intptr_t wParam, intptr_t lParam) {
    if (destroying_) return;
    auto self = self_;
    MainLoop::post([self, message, wParam, lParam] {
        WindowBase* w = *self;
        if (!w || w->destroying_) return;
        WindowEvent e = makeEvent(message);
        e.wParam = wParam;
        e.lParam = lParam;
        w->dispatch(e);
    });
}

}  // namespace platform
