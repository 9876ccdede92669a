#include "skinui/combo.h"

#include <algorithm>

#include "skinui/button.h"
#include "skinui/combo_wnd.h"
#include "skinui/paint_manager.h"
#include "skinui/render_color.h"
#include "skinui/render_text.h"

namespace SkinUI {

namespace {

CListLabelElementUI* listItemOf(CControlUI* control) {
    return control ? static_cast<CListLabelElementUI*>(control->GetInterface(L"ListItem")) : nullptr;
}

}  // namespace

CComboUI::CComboUI() { SetKeyboardEnabled(true); }

CComboUI::~CComboUI() {
    // Normally the window's Destroy has taken the drop-down already; a combo deleted on its own lets it
    // close by itself.
    if (drop_) {
        CComboWnd* drop = drop_;
        dropDownClosed(drop);
        drop->owner_ = nullptr;
        drop->Close();
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (CListLabelElementUI* item = listItemOf(GetItemAt(i))) item->SetOwner(nullptr);
    }
}

void* CComboUI::GetInterface(std::wstring_view name) {
    if (name == L"Combo") return this;
    if (name == L"IListOwner") return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterface(name);
}

unsigned CComboUI::GetControlFlags() const { return IsEnabled() && IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0; }

bool CComboUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (drop_) return true;
    CPaintManagerUI* manager = GetManager();
    if (!manager || !manager->GetPaintWindow()) return false;
    auto* drop = new CComboWnd(this);
    if (!drop->Open(DropBoxBounds())) {
        delete drop;
        return false;
    }
    drop_ = drop;
    // The combo's window tells us of clicks elsewhere and of its own end while the list is open.
    manager->AddPreMessageFilter(this);
    filterManager_ = manager;
    state_ |= ButtonState::Pushed;
    Invalidate();
    manager->SendNotify(this, L"dropdown");
    return true;
}

void CComboUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    if (drop_ && manager != GetManager()) {
        // Leaving the window: the list may be busy delivering this very change, so it closes later.
        CComboWnd* drop = drop_;
        dropDownClosed(drop);
        drop->owner_ = nullptr;
        drop->Close();
    }
    CContainerUI::SetManager(manager, parent, init);
    for (int i = 0; i < GetCount(); ++i) {
        if (CListLabelElementUI* item = listItemOf(GetItemAt(i))) item->SetOwner(this);
    }
}

void CComboUI::SetEnabled(bool enabled) {
    CContainerUI::SetEnabled(enabled);
    if (!enabled) {
        CloseDropDown();
        state_ &= ~(ButtonState::Hot | ButtonState::Pushed);
    }
}

void CComboUI::SetVisible(bool visible) {
    CContainerUI::SetVisible(visible);
    if (!IsVisible()) CloseDropDown();
}

void CComboUI::SetInternVisible(bool visible) {
    CContainerUI::SetInternVisible(visible);
    if (!IsVisible()) CloseDropDown();
}

// ---- items ----

int CComboUI::nextSelectable(int from, int step) const {
    for (int i = from + step; i >= 0 && i < GetCount(); i += step) {
        CControlUI* item = GetItemAt(i);
        if (listItemOf(item) && item->IsEnabled() && item->IsOwnVisible()) return i;
    }
    return -1;
}

bool CComboUI::SelectItem(int index, bool takeFocus) {
    if (index < -1 || index >= GetCount()) return false;
    if (index >= 0) {
        CControlUI* item = GetItemAt(index);
        if (!listItemOf(item) || !item->IsEnabled()) return false;
    }
    if (takeFocus) SetFocus();
    if (index == curSel_) return true;
    int old = curSel_;
    if (CListLabelElementUI* item = listItemOf(GetItemAt(old))) item->Select(false);
    if (CListLabelElementUI* item = listItemOf(GetItemAt(index))) item->Select(true);
    curSel_ = index;
    if (drop_) drop_->SyncSelection();
    Invalidate();
    if (GetManager()) GetManager()->SendNotify(this, L"itemselect", index, old);
    return true;
}

void CComboUI::renumber() {
    for (int i = 0; i < GetCount(); ++i) {
        CListLabelElementUI* item = listItemOf(GetItemAt(i));
        if (!item) continue;
        item->SetOwner(this);
        item->SetIndex(i);
        item->Select(i == curSel_);
    }
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (index <= curSel_) ++curSel_;
    renumber();
    if (drop_) drop_->Rebuild();
    Invalidate();
    return true;
}

bool CComboUI::RemoveAt(int index, bool keep) {
    CControlUI* control = GetItemAt(index);
    if (!control) return false;
    if (CListLabelElementUI* item = listItemOf(control)) {
        item->SetOwner(nullptr);
        item->Select(false);
    }
    if (!CContainerUI::RemoveAt(index, keep)) return false;
    // The selection stays on its item; without it, nothing is selected.
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
    renumber();
    if (drop_) drop_->Rebuild();
    Invalidate();
    return true;
}

void CComboUI::RemoveAll() {
    for (int i = 0; i < GetCount(); ++i) {
        if (CListLabelElementUI* item = listItemOf(GetItemAt(i))) item->SetOwner(nullptr);
    }
    curSel_ = -1;
    CContainerUI::RemoveAll();
    if (drop_) drop_->Rebuild();
    Invalidate();
}

// ---- drop-down ----

void CComboUI::CloseDropDown() {
    if (drop_) drop_->Close();
}

void CComboUI::dropDownClosed(CComboWnd* drop) {
    if (drop != drop_) return;
    drop_ = nullptr;
    if (filterManager_) filterManager_->RemovePreMessageFilter(this);
    filterManager_ = nullptr;
    state_ &= ~ButtonState::Pushed;
    Invalidate();
}

void CComboUI::destroyDropDown() {
    CComboWnd* drop = drop_;
    if (!drop) return;
    dropDownClosed(drop);
    drop->owner_ = nullptr;
    delete drop;
}

platform::Rect CComboUI::DropBoxBounds() const {
    platform::Window* window = GetManager() ? GetManager()->GetPaintWindow() : nullptr;
    if (!window) return {};
    int cx = dropBoxSize_.cx > 0 ? dropBoxSize_.cx : RectWidth(rcItem_);
    int cy = dropBoxSize_.cy > 0 ? dropBoxSize_.cy : 150;
    platform::Point below = window->clientToScreen({rcItem_.left, rcItem_.bottom});
    platform::Rect bounds{below.x, below.y, below.x + cx, below.y + cy};
    platform::Rect work = platform::workArea(window);
    if (work.empty()) return bounds;
    if (bounds.bottom > work.bottom) {
        int top = window->clientToScreen({rcItem_.left, rcItem_.top}).y;
        if (top - cy >= work.top) bounds = {below.x, top - cy, below.x + cx, top};
    }
    if (bounds.right > work.right) {
        int shift = std::min(bounds.right - work.right, bounds.left - work.left);
        if (shift > 0) {
            bounds.left -= shift;
            bounds.right -= shift;
        }
    }
    return bounds;
}

intptr_t CComboUI::MessageHandler(const platform::WindowEvent& event, bool& handled) {
    handled = false;
    using platform::Message;
    switch (event.message) {
        case Message::Destroy:
            // The list is owned by this window: it must not outlive it.
            destroyDropDown();
            break;
        case Message::LButtonDown:
        case Message::LButtonDblClk:
        case Message::RButtonDown:
        case Message::Move:
        case Message::Size:
            // The press goes on to the combo, which will not open again while the list is still closing.
            CloseDropDown();
            break;
        default: break;
    }
    return 0;
}

// ---- painting and events ----

CControlUI* CComboUI::FindControl(FindControlProc proc, void* data, unsigned flags) {
    if (flags & UIFIND_HITTEST) return CControlUI::FindControl(proc, data, flags);
    return CContainerUI::FindControl(proc, data, flags);
}

void CComboUI::SetPos(SkinRect rc, bool needInvalidate) { CControlUI::SetPos(rc, needInvalidate); }

void CComboUI::DoPaint(cairo_t* cr, const SkinRect& paint) { CControlUI::DoPaint(cr, paint); }

void CComboUI::DoEvent(TEventUI& event) {
    using namespace ButtonState;
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        CContainerUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            CControlUI::DoEvent(event);
            Invalidate();
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (IsEnabled() && RectContainsPoint(rcItem_, event.ptMouse)) Activate();
            return;
        case UIEVENT_BUTTONUP:
        case UIEVENT_MOUSEMOVE: return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                state_ |= Hot;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            if (state_ & Hot) {
                state_ &= ~Hot;
                Invalidate();
            }
            return;
        case UIEVENT_KEYDOWN: {
            if (!IsEnabled()) return;
            using platform::Key;
            bool alt = (event.wKeyState & platform::keystate::Alt) != 0;
            if (event.key == Key::F4 || event.key == Key::Space || event.key == Key::Return ||
                (alt && event.key == Key::Down)) {
                Activate();
                return;
            }
            if (event.key == Key::Up || event.key == Key::Down) {
                int next = nextSelectable(curSel_, event.key == Key::Up ? -1 : 1);
                if (next >= 0) SelectItem(next);
                return;
            }
            break;
        }
        case UIEVENT_SCROLLWHEEL: {
            if (!IsEnabled() || drop_) return;
            int next = nextSelectable(curSel_, event.wParam > 0 ? -1 : 1);
            if (next >= 0) SelectItem(next);
            return;
        }
        default: break;
    }
    CControlUI::DoEvent(event);
}

void CComboUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    auto image = [&](TDrawInfo& info) {
        info.Set(value);
        Invalidate();
    };
    if (listInfo_.SetAttribute(name, value)) {
        NeedUpdate();
        if (drop_) drop_->Rebuild();
    } else if (name == L"textpadding") {
        textPadding_ = ParseRect(value);
        Invalidate();
    } else if (name == L"showtext") {
        showText_ = ParseBool(value);
        Invalidate();
    } else if (name == L"showtextcolor") {
        // "true": the shown text takes the items' text colour instead of the combo's.
        showTextColor_ = ParseBool(value);
        Invalidate();
    } else if (name == L"textcolor") {
        textColor_ = ParseColor(value);
        Invalidate();
    } else if (name == L"hotbkcolor") hotBkColor_ = ParseColor(value);
    else if (name == L"pushedbkcolor") pushedBkColor_ = ParseColor(value);
    else if (name == L"normalimage") image(normalImage_);
    else if (name == L"hotimage") image(hotImage_);
    else if (name == L"pushedimage") image(pushedImage_);
    else if (name == L"focusedimage") image(focusedImage_);
    else if (name == L"disabledimage") image(disabledImage_);
    else if (name.ends_with(L"EnlargeImage")) {}  // never in that mode
    else if (name == L"dropbox") dropBoxAttributes_ = value;
    else if (name == L"dropboxsize") {
        SkinSize size = ParseSize(value);
        dropBoxSize_ = {std::max(0, size.cx), std::max(0, size.cy)};
    } else CContainerUI::SetAttribute(name, value);
}

void CComboUI::PaintBkColor(cairo_t* cr) {
    uint32_t color = 0;
    if (IsEnabled() && (state_ & ButtonState::Pushed)) color = pushedBkColor_;
    else if (IsEnabled() && (state_ & ButtonState::Hot)) color = hotBkColor_;
    if (color == 0) {
        CContainerUI::PaintBkColor(cr);
        return;
    }
    DrawColor(cr, rcPaint_, color);
}

void CComboUI::PaintStatusImage(cairo_t* cr) {
    using namespace ButtonState;
    bool drawn = false;
    if (!IsEnabled()) drawn = DrawImage(cr, disabledImage_);
    else if (state_ & Pushed) drawn = DrawImage(cr, pushedImage_);
    else if (state_ & Hot) drawn = DrawImage(cr, hotImage_);
    else if (IsFocused()) drawn = DrawImage(cr, focusedImage_);
    if (!drawn) DrawImage(cr, normalImage_);
}

void CComboUI::PaintText(cairo_t* cr) {
    if (!showText_) return;
    CControlUI* item = GetItemAt(curSel_);
    if (!item) return;
    std::wstring text = item->GetText();
    if (text.empty()) return;
    SkinRect rc = DeflateRect(rcItem_, textPadding_);
    if (IsEmptyRect(rc)) return;
    CPaintManagerUI* manager = GetManager();
    uint32_t color = textColor_;
    if (showTextColor_ && listInfo_.textColor) color = listInfo_.textColor;
    if (!IsEnabled()) color = manager ? manager->GetDefaultDisabledColor() : 0xFFA7A6AA;
    if (color == 0) color = manager ? manager->GetDefaultFontColor() : 0xFF000000;
    unsigned style = TextStyle::VCenter | TextStyle::SingleLine | TextStyle::EndEllipsis;
    DrawText(cr, manager, rc, text, color, listInfo_.font, style);
}

}  // namespace SkinUI
