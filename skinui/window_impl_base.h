#pragma once
// WindowImplBase: the base of every skinned window. A derived window names its layout (GetSkinFile); on
// creation the base builds it, applies the layout's window attributes, hands the tree to its paint manager
// and calls InitWindow. From then on the window reacts to notifications (its message map, see
// notify_pump.h) and finds controls by name through GetPaintManager().FindControl.
//
// The base also gives the borderless frame its behaviour: the "caption" and "sizebox" zones, the
// "closebtn"/"minbtn"/"maxbtn"/"restorebtn" buttons, Escape closing with 1, and system commands.
// A layout that cannot be built is fatal: a message box, then exit code 1.
#include <string>

#include "skinui/dialog_builder.h"
#include "skinui/notify_pump.h"
#include "skinui/paint_manager.h"
#include "skinui/window_wnd.h"

namespace SkinUI {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    WindowImplBase();
    ~WindowImplBase() override;

    CPaintManagerUI& GetPaintManager() { return m_pm; }
    const CPaintManagerUI& GetPaintManager() const { return m_pm; }

    // INotifyUI: through the message maps.
    void Notify(TNotifyMsg& msg) override;
    // IMessageFilterUI, the keyboard pre-filter: Return and Escape go to ResponseDefaultKeyEvent first; the
    // message is not marked handled, so the key still reaches the focused control.
    intptr_t MessageHandler(const platform::WindowEvent& event, bool& handled) override;
    // IDialogBuilderCallback: no classes of its own.
    CControlUI* CreateControl(const std::wstring& className) override;

    // The window's style without the caption bits.
    uint32_t GetStyle() const { return GetWindowStyle() & ~wndstyle::kCaption; }

protected:
    unsigned GetClassStyle() const override { return kClassStyleDoubleClicks; }
    intptr_t HandleMessage(const platform::WindowEvent& event, bool& handled) override;
    // Unregisters the window from its manager and makes the manager forget the tree's root and the window.
    void OnFinalMessage(platform::Window* window) override;
    platform::HitArea OnHitTest(platform::Point clientPoint) override { return OnNcHitTest(clientPoint); }

    // Called once after the tree is adopted.
    virtual void InitWindow() {}
    // "closebtn": Close(1); "minbtn", "maxbtn", "restorebtn": the system command.
    virtual void OnClick(TNotifyMsg& msg);
    virtual std::wstring GetSkinFolder() = 0;
    virtual std::wstring GetSkinFile() = 0;
    // Escape: Close(1) and 1; every other key 0.
    virtual intptr_t ResponseDefaultKeyEvent(platform::Key key);

    // Message handlers: each gets `handled` preset to true; clearing it passes the message on.
    virtual intptr_t OnCreate(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnClose(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnDestroy(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnSize(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnSetFocus(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnKillFocus(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnKeyDown(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnChar(const platform::WindowEvent& event, bool& handled);
    // wParam is one of the sc:: commands.
    virtual intptr_t OnSysCommand(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnMouseMove(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnLButtonDown(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnLButtonUp(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnMouseWheel(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t OnMouseHover(const platform::WindowEvent& event, bool& handled);
    virtual intptr_t HandleCustomMessage(const platform::WindowEvent& event, bool& handled);
    // The frame zones: resize edges from "sizebox" (not while maximised), then the "caption" rectangle,
    // where a point over a control other than a button, option or text drags the window.
    virtual platform::HitArea OnNcHitTest(platform::Point clientPoint);

    CPaintManagerUI m_pm;

    SKINUI_DECLARE_NOTIFY_MAP()

private:
    intptr_t dispatchFrameMessage(const platform::WindowEvent& event, bool& handled);
    void applyWindowAttributes();
    // "maxbtn"/"restorebtn" follow the maximised state.
    void followMaximized(bool maximized);

    bool maximized_ = false;
};

}  // namespace SkinUI
