#pragma once
// CWindowWnd: a thin owner of one platform window. It creates the window, receives every message of it
// (HandleMessage), and is told last when the window is gone (OnFinalMessage). Derived windows override
// HandleMessage; what they leave unhandled gets the platform's default (a close request destroys the
// window). UI thread.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/window.h"
#include "skinui/ui_events.h"

namespace platform {
class ModalLoop;
}

namespace SkinUI {

// Window style bits the toolkit reads (the values of the platform this design came from).
namespace wndstyle {
inline constexpr uint32_t kPopup = 0x80000000;
inline constexpr uint32_t kChild = 0x40000000;
inline constexpr uint32_t kVisible = 0x10000000;
inline constexpr uint32_t kClipSiblings = 0x04000000;
inline constexpr uint32_t kClipChildren = 0x02000000;
inline constexpr uint32_t kCaption = 0x00C00000;  // title bar and border
inline constexpr uint32_t kSysMenu = 0x00080000;
inline constexpr uint32_t kThickFrame = 0x00040000;  // the edges resize the window
inline constexpr uint32_t kExTopMost = 0x00000008;
inline constexpr uint32_t kExToolWindow = 0x00000080;  // kept off the taskbar
inline constexpr uint32_t kExLayered = 0x00080000;
}  // namespace wndstyle

// Class style bit: a second click soon after the first is a double click.
inline constexpr unsigned kClassStyleDoubleClicks = 8;

class CWindowWnd : public platform::WindowHandler {
public:
    CWindowWnd();
    ~CWindowWnd() override;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    // The platform window; null before Create and after the window is gone.
    platform::Window* GetHWND() const { return window_.get(); }

    // Creates the window over `owner` (may be null) with the title `name`, then sends it uimsg::kCreate
    // (derived windows build their content there). `style` kVisible shows it at once. Null on failure.
    platform::Window* Create(platform::Window* owner, const std::wstring& name, uint32_t style, uint32_t exStyle,
                             int x = 0, int y = 0, int cx = 0, int cy = 0);
    platform::Window* Create(platform::Window* owner, const std::wstring& name, uint32_t style, uint32_t exStyle,
                             const platform::Rect& bounds);

    // Posts the close request with `code` as its wParam; unhandled, it destroys the window.
    void Close(int code = 0);
    // Hides, shows and activates (`takeFocus`), or shows without activating.
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Disables the owner, shows the window and runs the UI loop until the window is gone; returns the code
    // of the close request that ended it (0 for a request without one, -1 without a window). The object may
    // be deleted when this returns (OnFinalMessage).
    int ShowModal();
    // Centres the window over its owner (over the work area when it has none or the owner is minimised),
    // kept inside the work area. Size unchanged, not activated.
    void CenterWindow();
    // The window icon from a PNG skin file; false when it cannot be read.
    bool SetIcon(const std::wstring& pngSkinFile);
    void ResizeClient(int cx, int cy);

    // Delivers a message to HandleMessage at once, as the platform would.
    intptr_t SendMessage(platform::Message message, intptr_t wParam = 0, intptr_t lParam = 0);
    void PostMessage(platform::Message message, intptr_t wParam = 0, intptr_t lParam = 0);

    // The style given to Create (GetStyle of WindowImplBase takes the caption bits off).
    uint32_t GetWindowStyle() const { return style_; }
    uint32_t GetWindowExStyle() const { return exStyle_; }
    // wParam of the last close request.
    int GetCloseCode() const { return closeCode_; }

protected:
    virtual std::wstring_view GetWindowClassName() const = 0;
    virtual std::wstring_view GetSuperClassName() const { return {}; }
    virtual unsigned GetClassStyle() const { return 0; }
    // Every message of the window. Leaving `handled` false lets the platform's default happen.
    virtual intptr_t HandleMessage(const platform::WindowEvent& event, bool& handled);
    // The window is gone (GetHWND() is null); the object may delete itself here.
    virtual void OnFinalMessage(platform::Window* window);
    // Where a client point lies for the frame (caption drag, resize edges); the client area by default.
    virtual platform::HitArea OnHitTest(platform::Point clientPoint);

private:
    // platform::WindowHandler
    bool onMessage(platform::Window& window, const platform::WindowEvent& event) final;
    platform::HitArea hitTest(platform::Window& window, platform::Point clientPoint) final;
    void onFinalMessage(platform::Window& window) final;
    // HandleMessage plus the default of an unhandled close request. False when the object is gone after it.
    bool dispatch(const platform::WindowEvent& event, bool& handled, intptr_t& result);

    std::unique_ptr<platform::Window> window_;
    std::shared_ptr<bool> alive_;
    uint32_t style_ = 0;
    uint32_t exStyle_ = 0;
    int closeCode_ = 0;
    platform::ModalLoop* modal_ = nullptr;
};

}  // namespace SkinUI
