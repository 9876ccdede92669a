#pragma once
// The provider-neutral half of a window: state, timers, posted messages, and the translation of raw
// pointer, key and frame input into our messages (enter/leave/hover, capture, double clicks, caption and
// resize drags, cursors, disabling). A provider feeds raw input in and carries out the native* requests;
// the headless provider feeds synthetic input through the very same path, so its tests cover this logic.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"

namespace platform {

// How a crossing came about. Grab: a grab elsewhere (a desktop move/resize drag, a modal dialog) took the
// pointer; no fresh leave follows when it ends, so it counts as leaving at once. Ungrab: that grab ended.
enum class Crossing { Normal, Grab, Ungrab };

enum class MouseButton { Left, Middle, Right };

// A rounded rectangle of `size` with corner ellipse `ellipse`, as rows of rectangles (top to bottom).
// Empty when the ellipse is 0 in either direction (no cut).
std::vector<Rect> roundedRectRegion(Size size, Size ellipse);

class WindowBase : public Window {
public:
    ~WindowBase() override;

    WindowHandler* handler() const override { return handler_; }
    Window* owner() const override { return owner_; }

    void show(bool activate) override;
    void hide() override;
    bool isVisible() const override { return visible_; }
    void minimize() override;
    void maximize() override;
    void restore() override;
    SizeState sizeState() const override { return sizeState_; }
    void setTopMost(bool topMost) override;
    bool isTopMost() const override { return topMost_; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    void focus() override;
    bool hasFocus() const override { return focused_; }
    void destroy() override;
    bool isDestroyed() const override { return destroying_; }

    Rect bounds() const override { return bounds_; }
    void setBounds(const Rect& screenRect) override;
    Rect clientRect() const override { return Rect{0, 0, bounds_.width(), bounds_.height()}; }
    Point clientToScreen(Point p) const override { return Point{p.x + bounds_.left, p.y + bounds_.top}; }
    Point screenToClient(Point p) const override { return Point{p.x - bounds_.left, p.y - bounds_.top}; }
    void setSizeLimits(Size minimum, Size maximum) override;

    void setTitle(const std::wstring& title) override;
    std::wstring title() const override { return title_; }
    void setIcon(cairo_surface_t* image) override;
    void setTranslucent(bool translucent) override;
    void setOpacity(uint8_t opacity) override;
    uint8_t opacity() const override { return opacity_; }
    void setRoundCorners(Size ellipse) override;
    void setCursor(Cursor cursor) override;
    Cursor cursor() const override { return cursor_; }
    void invalidate() override { invalidate(clientRect()); }
    void invalidate(const Rect& clientRect) override;

    void setCapture() override;
    void releaseCapture() override;
    bool hasCapture() const override { return captured_; }
    void trackHover(uint32_t delayMs) override;
    void setTextInputArea(const Rect& clientRect) override;

    void showTooltip(const std::wstring& text, Point clientAnchor, int maxWidth) override;
    void hideTooltip() override;

    bool setTimer(uint32_t id, uint32_t periodMs) override;
    void killTimer(uint32_t id) override;

    bool translucent() const { return translucent_; }
    bool tooltipVisible() const { return tooltipVisible_; }
    const std::wstring& tooltipText() const { return tooltipText_; }

protected:
    WindowBase(const WindowOptions& options, WindowHandler* handler);
    void post(Message message, intptr_t wParam, intptr_t lParam) override;

    // Requests to the platform. None of them sends a message.
    virtual void nativeShow(bool activate) = 0;
    virtual void nativeHide() = 0;
    virtual void nativeDestroy() = 0;  // the platform window goes away for good
    virtual void nativeSetBounds(const Rect& screenRect) = 0;
    virtual void nativeMinimize() = 0;
    virtual void nativeMaximize() = 0;
    virtual void nativeRestore() = 0;
    virtual void nativeSetTopMost(bool topMost) = 0;
    virtual void nativeFocus() = 0;
    virtual void nativeSetSizeLimits(Size minimum, Size maximum) = 0;
    virtual void nativeSetTitle(const std::wstring& title) = 0;
    virtual void nativeSetIcon(cairo_surface_t* image) = 0;
    virtual void nativeSetOpacity(uint8_t opacity) = 0;
    virtual void nativeSetShape(const std::vector<Rect>& rows) = 0;  // empty: the whole window
    virtual void nativeSetCursor(Cursor cursor) = 0;
    virtual void nativeInvalidate(const Rect& clientRect) = 0;
    virtual bool nativeGrabPointer(bool grab) = 0;
    virtual void nativeBeginMoveDrag(MouseButton button, Point screen, uint32_t time) = 0;
    virtual void nativeBeginResizeDrag(HitArea edge, MouseButton button, Point screen, uint32_t time) = 0;
    virtual void nativeShowTooltip(const std::wstring& text, Point screenAnchor, int maxWidth) = 0;
    virtual void nativeHideTooltip() = 0;
    virtual void nativeSetTextInputArea(const Rect& clientRect) = 0;
    virtual uint32_t doubleClickTime() const { return 400; }
    virtual int doubleClickDistance() const { return 4; }

    // Raw input from the provider, already in client coordinates. `time` is the event's own clock in ms.
    void feedMotion(Point p, uint32_t keyState);
    void feedCrossing(bool enter, Crossing mode, Point p, uint32_t keyState);
    void feedButton(MouseButton button, bool press, Point p, uint32_t keyState, uint32_t time);
    void feedWheel(int delta, Point p, uint32_t keyState);
    void feedKey(bool press, Key key, uint32_t keyState, bool composing);
    void feedText(const std::u32string& text);
    void feedPreedit(const std::wstring& text);
    void feedFocus(bool focused);
    void feedConfigure(const Rect& screenBounds);
    void feedSizeState(SizeState state);
    // New bounds and state together: one Size message when either changed, Move when the origin did.
    void feedFrame(const Rect& screenBounds, SizeState state);
    void feedCloseRequest();
    void feedGrabBroken();
    void feedPaint(cairo_t* cr, const Rect& dirty);
    // The platform window went away without destroy(): Destroy and onFinalMessage follow.
    void feedNativeDestroyed();

    // Sends one message to the handler; returns its answer. Nothing is sent once the window is gone.
    bool dispatch(WindowEvent& event);
    // Shared with posted closures: null once the window object is gone.
    std::shared_ptr<WindowBase*> selfRef() const { return self_; }
    bool acceptsInput() const { return !destroying_ && enabled_ && visible_; }
    bool pointerGrabbed() const { return grabbed_; }
    const Rect& textInputArea() const { return textInputArea_; }
    // Tells providers to stop touching the handler: set before their teardown.
    void markNativeGone() { nativeGone_ = true; }
    bool nativeGone() const { return nativeGone_; }

private:
    void leave();
    void releaseAfterInput();
    void updateCursor(Point p);
    void restartHover(Point p);
    void cancelHover();
    void applyShape();
    void killAllTimers();
    void finishDestroy();

    WindowHandler* handler_;
    Window* owner_;
    std::shared_ptr<WindowBase*> self_;

    std::wstring title_;
    Rect bounds_;
    bool resizable_;
    bool doubleClicks_;
    bool visible_ = false;
    bool enabled_ = true;
    bool focused_ = false;
    bool topMost_ = false;
    bool translucent_;
    uint8_t opacity_ = 255;
    SizeState sizeState_ = SizeState::Restored;
    Size roundEllipse_;
    Cursor cursor_ = Cursor::Arrow;
    Rect textInputArea_;

    bool destroying_ = false;
    bool nativeGone_ = false;
    int dispatchDepth_ = 0;

    // Pointer
    bool inside_ = false;
    bool pointerOutside_ = false;  // seen outside while a button was held or the mouse captured
    uint32_t heldButtons_ = 0;     // keystate bits of presses delivered to the handler
    bool captured_ = false;
    bool grabbed_ = false;         // captured with a pointer grab of our own
    bool leaveCheckPending_ = false;
    Point lastPoint_{-1, -1};
    bool lastClickValid_ = false;
    uint32_t lastClickTime_ = 0;
    Point lastClickPoint_;
    uint64_t hoverTimer_ = 0;
    uint32_t hoverDelay_ = 0;
    Point hoverAnchor_;

    bool tooltipVisible_ = false;
    std::wstring tooltipText_;

    std::map<uint32_t, uint64_t> timers_;  // id -> MainLoop timer handle
};

}  // namespace platform
