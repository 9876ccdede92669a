#include "skinui/window_impl_base.h"

#include <cstdlib>

#include "common/log.h"
#include "platform/dialogs.h"
#include "skinui/control.h"

namespace SkinUI {

SKINUI_BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
SKINUI_NOTIFY_TYPE(L"click", OnClick)
SKINUI_END_NOTIFY_MAP()

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() {
    // Close a window still open while the manager and this class are there to hear it.
    if (GetHWND()) GetHWND()->destroy();
}

void WindowImplBase::Notify(TNotifyMsg& msg) { NotifyPump(msg); }

intptr_t WindowImplBase::MessageHandler(const platform::WindowEvent& event, bool&) {
    if (event.message != platform::Message::KeyDown) return 0;
    if (event.key != platform::Key::Return && event.key != platform::Key::Escape) return 0;
    return ResponseDefaultKeyEvent(event.key);
}

CControlUI* WindowImplBase::CreateControl(const std::wstring&) { return nullptr; }

void WindowImplBase::OnClick(TNotifyMsg& msg) {
    if (!msg.pSender) return;
    std::wstring name = msg.pSender->GetName();
    if (name == L"closebtn") {
        Close(1);
    } else if (name == L"minbtn") {
        SendMessage(uimsg::kSysCommand, sc::kMinimize);
    } else if (name == L"maxbtn") {
        SendMessage(uimsg::kSysCommand, sc::kMaximize);
    } else if (name == L"restorebtn") {
        SendMessage(uimsg::kSysCommand, sc::kRestore);
    }
}

intptr_t WindowImplBase::ResponseDefaultKeyEvent(platform::Key key) {
    if (key != platform::Key::Escape) return 0;
    Close(1);
    return 1;
}

intptr_t WindowImplBase::HandleMessage(const platform::WindowEvent& event, bool& handled) {
    handled = true;
    intptr_t result = 0;
    if (event.message == uimsg::kCreate) {
        result = OnCreate(event, handled);
    } else if (event.message == uimsg::kSysCommand) {
        result = OnSysCommand(event, handled);
    } else {
        result = dispatchFrameMessage(event, handled);
    }
    if (handled) return result;
    result = HandleCustomMessage(event, handled);
    if (handled) return result;
    if (m_pm.MessageHandler(event, result)) {
        handled = true;
        return result;
    }
    return CWindowWnd::HandleMessage(event, handled);
}

intptr_t WindowImplBase::dispatchFrameMessage(const platform::WindowEvent& event, bool& handled) {
    using platform::Message;
    switch (event.message) {
        case Message::Destroy: return OnDestroy(event, handled);
        case Message::Size: return OnSize(event, handled);
        case Message::SetFocus: return OnSetFocus(event, handled);
        case Message::KillFocus: return OnKillFocus(event, handled);
        case Message::Close: return OnClose(event, handled);
        case Message::KeyDown: return OnKeyDown(event, handled);
        case Message::Char: return OnChar(event, handled);
        case Message::MouseMove: return OnMouseMove(event, handled);
        case Message::LButtonDown: return OnLButtonDown(event, handled);
        case Message::LButtonUp: return OnLButtonUp(event, handled);
        case Message::MouseWheel: return OnMouseWheel(event, handled);
        case Message::MouseHover: return OnMouseHover(event, handled);
        default: handled = false; return 0;
    }
}

void WindowImplBase::OnFinalMessage(platform::Window*) {
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    m_pm.ReapObjects(m_pm.GetRoot());
    m_pm.RemoveAllTimers();
    m_pm.Init(nullptr);
}

intptr_t WindowImplBase::OnCreate(const platform::WindowEvent&, bool& handled) {
    handled = true;
    m_pm.Init(GetHWND());
    m_pm.AddPreMessageFilter(this);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(GetSkinFile(), this, &m_pm);
    if (!root) {
        const CMarkupDocument& markup = builder.GetMarkup();
        std::wstring text = L"load resource errr. location:" + markup.GetLastErrorLocation() + L" msg:" +
                            markup.GetLastErrorMessage();
        NLOG(L"%s", text);
        platform::messageBox(nullptr, text, L"SkinUI", platform::MessageIcon::Error);
        std::exit(1);
    }
    applyWindowAttributes();
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    InitWindow();
    return 0;
}

void WindowImplBase::applyWindowAttributes() {
    platform::Window* window = GetHWND();
    SkinSize size = m_pm.GetInitSize();
    if (size.cx > 0 && size.cy > 0) ResizeClient(size.cx, size.cy);
    SkinSize minimum = m_pm.GetMinInfo(), maximum = m_pm.GetMaxInfo();
    if (minimum.cx > 0 || minimum.cy > 0 || maximum.cx > 0 || maximum.cy > 0) {
        window->setSizeLimits({minimum.cx, minimum.cy}, {maximum.cx, maximum.cy});
    }
    SkinSize round = m_pm.GetRoundCorner();
    if (round.cx > 0 && round.cy > 0) window->setRoundCorners({round.cx, round.cy});
    if (m_pm.GetOpacity() != 255) m_pm.SetOpacity(m_pm.GetOpacity());
    if (m_pm.IsLayered() && (GetWindowStyle() & wndstyle::kChild) == 0) m_pm.SetLayered(true);
    maximized_ = window->sizeState() == platform::SizeState::Maximized;
}

intptr_t WindowImplBase::OnClose(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnDestroy(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnSize(const platform::WindowEvent& event, bool& handled) {
    // The round corners stay with the platform window across resizes; what follows the size here is the
    // pair of maximise and restore buttons, whoever maximised the window.
    bool maximized = event.sizeState == platform::SizeState::Maximized;
    if (event.sizeState != platform::SizeState::Minimized && maximized != maximized_) {
        maximized_ = maximized;
        followMaximized(maximized);
    }
    handled = false;
    return 0;
}

void WindowImplBase::followMaximized(bool maximized) {
    CControlUI* maxButton = m_pm.FindControl(L"maxbtn");
    if (!maxButton) maxButton = m_pm.FindControl(L"maxbtnxx");
    CControlUI* restoreButton = m_pm.FindControl(L"restorebtn");
    if (!restoreButton) restoreButton = m_pm.FindControl(L"restorebtnxx");
    if (!maxButton || !restoreButton) return;
    maxButton->SetVisible(!maximized);
    restoreButton->SetVisible(maximized);
}

intptr_t WindowImplBase::OnSetFocus(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnKillFocus(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnKeyDown(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnChar(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnSysCommand(const platform::WindowEvent& event, bool& handled) {
    handled = true;
    platform::Window* window = GetHWND();
    if (!window) return 0;
    switch (event.wParam) {
        case sc::kClose: SendMessage(platform::Message::Close); break;
        case sc::kMinimize: window->minimize(); break;
        case sc::kMaximize: window->maximize(); break;
        case sc::kRestore: window->restore(); break;
        default: handled = false; break;
    }
    return 0;
}

intptr_t WindowImplBase::OnMouseMove(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnLButtonDown(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnLButtonUp(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnMouseWheel(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::OnMouseHover(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

intptr_t WindowImplBase::HandleCustomMessage(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

platform::HitArea WindowImplBase::OnNcHitTest(platform::Point pt) {
    using platform::HitArea;
    platform::Window* window = GetHWND();
    if (!window) return HitArea::Client;
    platform::Rect client = window->clientRect();
    if (window->sizeState() != platform::SizeState::Maximized) {
        SkinRect box = m_pm.GetSizeBox();
        if (pt.y < client.top + box.top) {
            if (pt.x < client.left + box.left) return HitArea::TopLeft;
            if (pt.x > client.right - box.right) return HitArea::TopRight;
            return HitArea::Top;
        }
        if (pt.y > client.bottom - box.bottom) {
            if (pt.x < client.left + box.left) return HitArea::BottomLeft;
            if (pt.x > client.right - box.right) return HitArea::BottomRight;
            return HitArea::Bottom;
        }
        if (pt.x < client.left + box.left) return HitArea::Left;
        if (pt.x > client.right - box.right) return HitArea::Right;
    }
    SkinRect caption = m_pm.GetCaptionRect();
    if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
        pt.y < caption.bottom) {
        CControlUI* control = m_pm.FindControl(pt);
        if (control) {
            std::wstring_view cls = control->GetClass();
            if (!EqualsIgnoreCase(cls, L"Button") && !EqualsIgnoreCase(cls, L"Option") &&
                !EqualsIgnoreCase(cls, L"Text")) {
                return HitArea::Caption;
            }
        }
    }
    return HitArea::Client;
}

}  // namespace SkinUI
