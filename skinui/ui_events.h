#pragma once
// The records the paint manager hands around: control events (TEventUI, from the manager to one control's
// DoEvent) and notifications (TNotifyMsg, from a control to the window's notifiers), the listener
// interfaces, and the toolkit's own window messages.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"

namespace SkinUI {

class CControlUI;

// Control event types. The numbers are part of the toolkit's contract with controls.
enum UiEventType : int {
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_DBLCLICK = 16,
    UIEVENT_CONTEXTMENU = 17,
    UIEVENT_SCROLLWHEEL = 18,
    UIEVENT_KILLFOCUS = 20,
    UIEVENT_SETFOCUS = 21,
    UIEVENT_WINDOWSIZE = 22,
    UIEVENT_SETCURSOR = 23,
    UIEVENT_TIMER = 24,
    UIEVENT_IMECOMPOSITION = 40,
};
// Mouse events are the types from UIEVENT_MOUSEMOVE to UIEVENT_SCROLLWHEEL.
inline bool IsMouseEvent(int type) { return type >= UIEVENT_MOUSEMOVE && type <= UIEVENT_SCROLLWHEEL; }

// Key-state bits of events: platform::keystate (1 left button, 2 right button, 4 Shift, 8 Control, 32 Alt).

// One event for one control. Which fields matter depends on the type:
//   key down/up: `key` (and `chKey`, the same code as a character when it has one);
//   character: `chKey`;
//   mouse events: `ptMouse` (client coordinates), `wKeyState`;
//   scroll wheel: `wParam` = the wheel delta (multiples of platform::kWheelNotch, positive away from the user);
//   timer: `wParam` = the control's own timer id, `lParam` = the platform timer id;
//   input-method composition: `sText` (empty when the composition ends).
struct TEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;
    uint32_t dwTimestamp = 0;
    platform::Point ptMouse{};
    platform::Key key = platform::Key::None;
    char32_t chKey = 0;
    uint32_t wKeyState = 0;
    intptr_t wParam = 0;
    intptr_t lParam = 0;
    std::wstring sText{};
};
using TEventMsg = TEventUI;

// A notification ("click", "setfocus", ...) as delivered to notifiers.
struct TNotifyMsg {
    std::wstring sType;
    std::wstring sVirtualWnd;  // filled only when some control of the window declares a virtual window
    CControlUI* pSender = nullptr;
    uint32_t dwTimestamp = 0;
    platform::Point ptMouse{};
    intptr_t wParam = 0;
    intptr_t lParam = 0;
};
using TNotifyUI = TNotifyMsg;

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyMsg& msg) = 0;
};

// Sees a window's messages before the paint manager does. Setting `handled` ends processing with the result.
class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    virtual intptr_t MessageHandler(const platform::WindowEvent& event, bool& handled) = 0;
};

// Sees input messages before they are dispatched at all (keyboard accelerators). True consumes the message.
class ITranslateAccelerator {
public:
    virtual ~ITranslateAccelerator() = default;
    virtual bool TranslateAccelerator(const platform::WindowEvent& event) = 0;
};

// The toolkit's own window messages (platform::Message::User + n).
namespace uimsg {
// Drains the asynchronous notification queue and the delayed-cleanup list; posted at most once at a time.
inline constexpr platform::Message kAsyncNotify = platform::Message(uint32_t(platform::Message::User) + 1);
// Sent once right after the platform window exists: the window builds its layout.
inline constexpr platform::Message kCreate = platform::Message(uint32_t(platform::Message::User) + 0x10);
// wParam is one of the sc:: commands below.
inline constexpr platform::Message kSysCommand = platform::Message(uint32_t(platform::Message::User) + 0x11);
// Messages of a window's own code start here.
inline constexpr uint32_t kFirstApplicationMessage = uint32_t(platform::Message::User) + 0x400;
}  // namespace uimsg

// System commands (wParam of uimsg::kSysCommand).
namespace sc {
inline constexpr intptr_t kMinimize = 0xF020;
inline constexpr intptr_t kMaximize = 0xF030;
inline constexpr intptr_t kClose = 0xF060;
inline constexpr intptr_t kRestore = 0xF120;
}  // namespace sc

// A list of listeners; each returns whether processing goes on. Calling it runs them in order and stops at
// the first that returns false; the result tells whether all of them let processing go on.
template <typename Arg>
class CEventSource {
public:
    using Listener = std::function<bool(Arg)>;
    void operator+=(Listener listener) { listeners_.push_back(std::move(listener)); }
    void Clear() { listeners_.clear(); }
    bool IsEmpty() const { return listeners_.empty(); }
    bool operator()(Arg arg) const {
        // A copy: a listener may add listeners.
        std::vector<Listener> listeners = listeners_;
        for (const Listener& l : listeners) {
            if (!l(arg)) return false;
        }
        return true;
    }

private:
    std::vector<Listener> listeners_;
};

}  // namespace SkinUI
