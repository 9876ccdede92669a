#pragma once
// Top-level windows for the skinned toolkit. The toolkit draws everything itself; a window only gives it
// a surface to paint on, input as our own messages, and the frame behaviour of a borderless window
// (caption drags, resize zones, state changes) carried out by the desktop.
//
// Two providers sit behind this interface: GTK 3 when a display can be opened, and a headless one (an
// in-memory surface with a synthetic event queue, platform/window_headless.h) for tests and for runs
// without a display. Everything here runs on the UI thread (the thread running platform::MainLoop);
// timers and posted messages go through that loop.
//
// No GTK, GDK or X type appears here: Cairo is the toolkit's drawing library, so paint messages hand over a
// cairo_t and icons come as Cairo image surfaces.
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// Left and top inside, right and bottom outside.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool operator==(const Rect&) const = default;
};

enum class Message : uint32_t {
    // Life and frame
    Destroy = 1,  // the window is going away; still usable during the call, gone after it
    Close,        // the user or the desktop asked to close; unhandled, the window is destroyed
    Size,         // `size` (client size) or `sizeState` changed
    Move,         // `point` is the window's new top-left corner on the screen
    Activate,     // `active`: the window became, or stopped being, the active window
    SetFocus,     // the keyboard focus entered the window
    KillFocus,    // the keyboard focus left the window
    Paint,        // `cairo` is clipped to `rect` and prefilled (see Window::setTranslucent); paint into it

    // Pointer; `point` is in client coordinates, `keyState` holds the buttons and modifiers
    MouseEnter,    // the pointer came over the window
    MouseMove,
    MouseLeave,    // the pointer left the window; held back while a button is down or the mouse is captured
    MouseHover,    // the pointer rested for the time given to trackHover (one-shot)
    LButtonDown,
    LButtonUp,
    LButtonDblClk,  // replaces the second LButtonDown of a double click
    RButtonDown,
    RButtonUp,      // unhandled, it is followed by ContextMenu
    MButtonDown,
    MButtonUp,
    MouseWheel,     // `wheelDelta`
    ContextMenu,
    SetCursor,      // before a move over the client area; unhandled (no setCursor during it), the arrow is shown
    CaptureLost,    // the capture ended without releaseCapture (another program took the pointer)

    // Keyboard and text
    KeyDown,     // `key`, `keyState`, `imeComposing`
    KeyUp,
    Char,        // `character`: one character of typed or input-method text (control keys come as KeyDown only)
    ImePreedit,  // `text`: the input method's composition (empty when it ends)

    Timer,  // `wParam` is the id given to setTimer

    // Messages of the toolkit's own, posted with postMessage: User + n.
    User = 0x8000,
};

// Buttons and modifiers held at the time of a message.
namespace keystate {
inline constexpr uint32_t LeftButton = 1;
inline constexpr uint32_t RightButton = 2;
inline constexpr uint32_t Shift = 4;
inline constexpr uint32_t Control = 8;
inline constexpr uint32_t MiddleButton = 16;
inline constexpr uint32_t Alt = 32;
}  // namespace keystate

// Key codes: digits and letters are their ASCII codes ('0'..'9', 'A'..'Z'); the rest are named.
enum class Key : uint32_t {
    None = 0,
    Backspace = 0x08,
    Tab = 0x09,
    Return = 0x0D,
    Escape = 0x1B,
    Space = 0x20,
    Left = 0x100,
    Up,
    Right,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
    Insert,
    Delete,
    Shift,
    Control,
    Alt,
    Menu,
    F1 = 0x120,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    Other = 0x1FF,  // a key without a code of its own; its text still arrives as Char
};

// One wheel notch; MouseWheel carries multiples of it, positive when turned away from the user.
inline constexpr int kWheelNotch = 120;

enum class SizeState { Restored, Minimized, Maximized };

struct WindowEvent {
    Message message = Message::User;
    Point point{};
    uint32_t keyState = 0;
    Key key = Key::None;
    bool imeComposing = false;  // KeyDown while the input method holds a composition
    char32_t character = 0;
    std::wstring text{};
    int wheelDelta = 0;
    Size size{};
    SizeState sizeState = SizeState::Restored;
    bool active = false;
    intptr_t wParam = 0;
    intptr_t lParam = 0;
    uint32_t time = 0;  // platform::tickCount() when the message was dispatched
    cairo_t* cairo = nullptr;
    Rect rect{};
};

// Where a point of the window lies, as the window's owner sees it. Caption and the edges are carried out
// by the desktop (a move or resize drag); a press there never reaches the window as LButtonDown.
enum class HitArea { Client, Caption, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

enum class Cursor {
    Arrow,
    Hand,
    IBeam,
    Wait,
    Progress,
    Cross,
    SizeWE,
    SizeNS,
    SizeNWSE,
    SizeNESW,
    SizeAll,
    NotAllowed,
};

class Window;

// The owner of a window's behaviour (the toolkit's window object). One per window; must outlive it or
// destroy it first.
class WindowHandler {
public:
    virtual ~WindowHandler() = default;
    // Every message. Returns true when handled; some messages have a default action when not (Close,
    // SetCursor, RButtonUp). The window may be destroyed from inside; its object is deleted only in
    // onFinalMessage.
    virtual bool onMessage(Window& window, const WindowEvent& event) = 0;
    // Where `clientPoint` lies. Asked when the left button goes down and while the pointer moves with no
    // button held (for the cursor). MouseMove is sent over every area, caption and edges included.
    virtual HitArea hitTest(Window& window, Point clientPoint) {
        (void)window;
        (void)clientPoint;
        return HitArea::Client;
    }
    // The last call for a window, after Destroy and after the platform window is gone. The handler may
    // delete the Window object (and itself) here.
    virtual void onFinalMessage(Window& window) { (void)window; }
};

enum class WindowProvider { Gtk, Headless };

struct WindowOptions {
    std::wstring title{};
    Rect bounds{0, 0, 640, 480};  // on the screen; the whole window is client area
    Window* owner = nullptr;      // stays above its owner (transient-for); must outlive this window
    bool resizable = false;       // edge hit areas start resize drags only when set
    bool translucent = false;     // see Window::setTranslucent
    bool doubleClicks = true;     // a second click soon after the first gives LButtonDblClk
    bool taskbar = true;          // false: kept off the taskbar and pager (boxes, pop-ups)
};

class Window {
public:
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual WindowProvider provider() const = 0;
    virtual WindowHandler* handler() const = 0;
    virtual Window* owner() const = 0;

    // Showing and state. A hidden window gets no input.
    virtual void show(bool activate) = 0;  // activate=false: shown without taking the focus
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    virtual void minimize() = 0;
    virtual void maximize() = 0;
    virtual void restore() = 0;  // from minimised or maximised
    virtual SizeState sizeState() const = 0;
    virtual void setTopMost(bool topMost) = 0;
    virtual bool isTopMost() const = 0;
    // A disabled window drops all mouse and keyboard input (an owner while its box is open).
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void focus() = 0;  // makes it the active window with the keyboard focus
    virtual bool hasFocus() const = 0;
    // Destroy, the platform window goes, then onFinalMessage. Later calls do nothing.
    virtual void destroy() = 0;
    virtual bool isDestroyed() const = 0;

    // Geometry. The window has no frame of its own: its bounds are its client area on the screen.
    virtual Rect bounds() const = 0;
    virtual void setBounds(const Rect& screenRect) = 0;
    virtual Rect clientRect() const = 0;  // 0, 0, width, height
    virtual Point clientToScreen(Point p) const = 0;
    virtual Point screenToClient(Point p) const = 0;
    virtual void setSizeLimits(Size minimum, Size maximum) = 0;  // 0 = no limit

    // Appearance
    virtual void setTitle(const std::wstring& title) = 0;
    virtual std::wstring title() const = 0;
    virtual void setIcon(cairo_surface_t* image) = 0;  // an image surface; null removes it
    // Translucent (layered) windows paint with alpha: the Paint context starts fully transparent when a
    // compositor shows the alpha, else over the theme background. Opaque windows start on that background.
    virtual void setTranslucent(bool translucent) = 0;
    virtual bool isComposited() const = 0;  // alpha reaches the screen
    virtual void setOpacity(uint8_t opacity) = 0;  // whole-window alpha, 255 = opaque (needs a compositor)
    virtual uint8_t opacity() const = 0;
    // Cuts the window to a rounded rectangle (corner ellipse `ellipse`; 0,0 = square); kept across resizes.
    virtual void setRoundCorners(Size ellipse) = 0;
    virtual void setCursor(Cursor cursor) = 0;
    virtual Cursor cursor() const = 0;
    virtual void invalidate() = 0;
    virtual void invalidate(const Rect& clientRect) = 0;

    // Pointer. While captured, pointer messages keep coming when the pointer is outside the window.
    virtual void setCapture() = 0;
    virtual void releaseCapture() = 0;
    virtual bool hasCapture() const = 0;
    // One MouseHover after the pointer rests `delayMs` inside the window; cancelled by MouseLeave.
    virtual void trackHover(uint32_t delayMs) = 0;
    // Where the text being edited is, so the input method places its candidate list there.
    virtual void setTextInputArea(const Rect& clientRect) = 0;

    // A small pop-up text near `clientAnchor` (placed just below it, kept on the screen); `maxWidth` > 0
    // wraps it. Replaces any tooltip of this window.
    virtual void showTooltip(const std::wstring& text, Point clientAnchor, int maxWidth) = 0;
    virtual void hideTooltip() = 0;

    // Timers: Timer messages with `wParam` = id every `periodMs`. Setting an id again restarts it. False when
    // the loop refuses the timer or the window is destroyed.
    virtual bool setTimer(uint32_t id, uint32_t periodMs) = 0;
    virtual void killTimer(uint32_t id) = 0;
    // Queues a message for this window on the UI loop, after everything already queued. Dropped when the
    // window is destroyed first. Any message, typically User + n.
    void postMessage(Message message, intptr_t wParam = 0, intptr_t lParam = 0) { post(message, wParam, lParam); }

protected:
    Window() = default;
    virtual void post(Message message, intptr_t wParam, intptr_t lParam) = 0;
};

// Chooses the provider, once per process: headless when asked (`forceHeadless`, or NIMBARO_HEADLESS=1 in
// the environment) or when no display can be opened; GTK otherwise. Later calls return the first choice.
// UI thread.
WindowProvider initWindowing(bool forceHeadless = false);
// The chosen provider (choosing it with the defaults when nobody did).
WindowProvider windowProvider();

// A new window of the chosen provider, hidden. `handler` must not be null.
std::unique_ptr<Window> createWindow(const WindowOptions& options, WindowHandler* handler);

// The usable area of the screen (without panels) of the monitor that shows most of `near`, or of the
// primary monitor when `near` is null.
Rect workArea(const Window* near = nullptr);

// Runs the UI loop until end() is called or a quit request (MainLoop::quit) arrives; nests. The loop for
// a modal dialog: disable the owner, show the dialog, run, enable the owner.
class ModalLoop {
public:
    ModalLoop() = default;
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;
    // Returns the code given to end(), or `quitCode` when a quit request ended it (the request is then
    // passed on to the loop outside, as a quit during a modal dialog ends the whole program).
    int run(int quitCode = -1);
    // Ends run() with `code`; an inner loop still running ends first. Before run(), run() returns at once.
    void end(int code);
    bool running() const { return running_; }

private:
    bool running_ = false;
    bool ended_ = false;
    int code_ = 0;
};

}  // namespace platform
