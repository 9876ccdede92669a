#include "skinui/combo_wnd.h"

#include "skinui/combo.h"
#include "skinui/vertical_layout.h"

namespace SkinUI {

CComboWnd::CComboWnd(CComboUI* owner) : owner_(owner), info_(owner->GetListInfo()) {}

CComboWnd::~CComboWnd() {
    deleting_ = true;
    // While the manager and this class are still there to hear it.
    if (GetHWND()) GetHWND()->destroy();
}

bool CComboWnd::Open(const platform::Rect& bounds) {
    CPaintManagerUI* manager = owner_ ? owner_->GetManager() : nullptr;
    platform::Window* ownerWindow = manager ? manager->GetPaintWindow() : nullptr;
    if (!ownerWindow) return false;
    if (!Create(ownerWindow, L"", wndstyle::kPopup, wndstyle::kExToolWindow | wndstyle::kExTopMost, bounds)) {
        return false;
    }
    ShowWindow(true, true);
    return true;
}

int CComboWnd::GetCurSel() const { return owner_ ? owner_->GetCurSel() : -1; }

bool CComboWnd::SelectItem(int index, bool takeFocus) {
    CComboUI* owner = owner_;
    if (!owner) return false;
    Close();
    return owner->SelectItem(index, takeFocus);
}

void CComboWnd::Rebuild() {
    if (!list_ || !owner_) return;
    info_ = owner_->GetListInfo();
    list_->RemoveAll();
    for (int i = 0; i < owner_->GetCount(); ++i) {
        CControlUI* item = owner_->GetItemAt(i);
        auto* shown = new CListLabelElementUI();
        shown->SetOwner(this);
        shown->SetIndex(i);
        shown->SetName(item->GetName());
        shown->SetText(item->GetText());
        shown->SetToolTip(item->GetToolTip());
        shown->SetEnabled(item->IsEnabled());
        shown->SetVisible(item->IsOwnVisible());
        shown->SetFixedHeight(item->GetFixedHeight());
        if (auto* label = static_cast<CLabelUI*>(item->GetInterface(L"Label"))) {
            shown->SetFont(label->GetFont());
            shown->SetTextColor(label->GetTextColor());
            shown->SetDisabledTextColor(label->GetDisabledTextColor());
            shown->SetShowHtml(label->IsShowHtml());
        }
        list_->Add(shown);
    }
    SyncSelection();
}

void CComboWnd::SyncSelection() {
    if (!list_) return;
    int selected = GetCurSel();
    CListLabelElementUI* shownSelected = nullptr;
    for (int i = 0; i < list_->GetCount(); ++i) {
        auto* shown = static_cast<CListLabelElementUI*>(list_->GetItemAt(i)->GetInterface(L"ListItem"));
        if (!shown) continue;
        shown->Select(shown->GetIndex() == selected);
        if (shown->GetIndex() == selected) shownSelected = shown;
    }
    // Scrolled into view once laid out; before the first layout the list starts at the top.
    if (!shownSelected || IsEmptyRect(shownSelected->GetPos()) || !list_->GetVerticalScrollBar()) return;
    const SkinRect item = shownSelected->GetPos();
    const SkinRect& box = list_->GetPos();
    SkinSize pos = list_->GetScrollPos();
    if (item.bottom > box.bottom) pos.cy += item.bottom - box.bottom;
    else if (item.top < box.top) pos.cy -= box.top - item.top;
    else return;
    list_->SetScrollPos(pos);
}

intptr_t CComboWnd::HandleMessage(const platform::WindowEvent& event, bool& handled) {
    using platform::Key;
    using platform::Message;
    if (event.message == uimsg::kCreate) {
        handled = true;
        m_pm.Init(GetHWND());
        // The items are drawn with the combo's window fonts.
        if (CPaintManagerUI* manager = owner_ ? owner_->GetManager() : nullptr) {
            const TFontInfo& font = manager->GetDefaultFontInfo();
            m_pm.SetDefaultFont(font.face, font.size, font.bold, font.underline, font.italic, false);
            if (const TFontInfo* item = manager->GetFont(info_.font)) {
                m_pm.AddFont(info_.font, item->face, item->size, item->bold, item->underline, item->italic, false);
            }
        }
        list_ = new CVerticalLayoutUI();
        list_->SetBkColor(0xFFFFFFFF);
        list_->SetBorderColor(0xFF808080);
        list_->SetBorderSize(1);
        list_->SetInset({1, 1, 1, 1});
        m_pm.AttachDialog(list_);
        list_->EnableScrollBar(true, false);
        if (owner_) list_->ApplyAttributeList(owner_->GetDropBoxAttributeList());
        Rebuild();
        return 0;
    }
    switch (event.message) {
        case Message::KillFocus:
            // A click elsewhere on the desktop.
            Close();
            break;
        case Message::Destroy:
            hadFocus_ = GetHWND() && GetHWND()->hasFocus();
            break;
        case Message::KeyDown:
            if (event.key == Key::Escape || event.key == Key::Return) {
                Close();
                handled = true;
                return 0;
            }
            if ((event.key == Key::Up || event.key == Key::Down) && owner_) {
                int next = owner_->nextSelectable(owner_->GetCurSel(), event.key == Key::Up ? -1 : 1);
                if (next >= 0) owner_->SelectItem(next);
                handled = true;
                return 0;
            }
            break;
        default: break;
    }
    intptr_t result = 0;
    if (m_pm.MessageHandler(event, result)) {
        handled = true;
        return result;
    }
    return CWindowWnd::HandleMessage(event, handled);
}

void CComboWnd::OnFinalMessage(platform::Window*) {
    m_pm.ReapObjects(m_pm.GetRoot());
    m_pm.RemoveAllTimers();
    m_pm.Init(nullptr);
    CComboUI* owner = owner_;
    owner_ = nullptr;
    if (owner) {
        owner->dropDownClosed(this);
        // The focus goes back where it came from, unless the user took it elsewhere.
        CPaintManagerUI* manager = owner->GetManager();
        if (hadFocus_ && manager && manager->GetPaintWindow()) manager->GetPaintWindow()->focus();
    }
    if (!deleting_) delete this;
}

}  // namespace SkinUI
