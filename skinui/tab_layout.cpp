#include "skinui/tab_layout.h"

#include <algorithm>

#include "skinui/paint_manager.h"

namespace SkinUI {

void* CTabLayoutUI::GetInterface(std::wstring_view name) {
    if (name == L"TabLayout") return this;
    return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (curSel_ == -1 && control->IsVisible()) {
        curSel_ = index;
        return true;
    }
    if (curSel_ != -1 && index <= curSel_) ++curSel_;
    control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool keep) { return RemoveAt(GetItemIndex(control), keep); }

bool CTabLayoutUI::RemoveAt(int index, bool keep) {
    if (!CContainerUI::RemoveAt(index, keep)) return false;
    afterRemoval(index);
    return true;
}

void CTabLayoutUI::RemoveAll() {
    curSel_ = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

void CTabLayoutUI::afterRemoval(int index) {
    if (curSel_ > index) {
        --curSel_;
        return;
    }
    if (curSel_ != index) return;
    // The shown page went: the first page takes its place.
    curSel_ = GetCount() > 0 ? 0 : -1;
    if (curSel_ == 0) GetItemAt(0)->SetVisible(true);
    NeedParentUpdate();
}

bool CTabLayoutUI::SelectItem(int index, bool notify) {
    if (index < 0 || index >= GetCount()) return false;
    if (index == curSel_) return true;
    int old = curSel_;
    curSel_ = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (i != index) {
            page->SetVisible(false);
            continue;
        }
        page->SetVisible(true);
        page->SetFocus();
    }
    NeedParentUpdate();
    if (GetManager() && notify) GetManager()->SendNotify(this, L"tabselect", curSel_, old);
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* page, bool notify) { return SelectItem(GetItemIndex(page), notify); }

void CTabLayoutUI::SetPos(SkinRect rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    SkinRect inner = InnerRect();
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (!page->IsVisible()) continue;
        if (page->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        if (i != curSel_) continue;
        SkinRect padding = page->GetPadding();
        SkinRect room{inner.left + padding.left, inner.top + padding.top, inner.right - padding.right,
                            inner.bottom - padding.bottom};
        SkinSize available{RectWidth(room), RectHeight(room)};
        SkinSize size = page->EstimateSize(available);
        if (size.cx == 0) size.cx = std::max(0, available.cx);
        if (size.cx < page->GetMinWidth()) size.cx = page->GetMinWidth();
        if (size.cx > page->GetMaxWidth()) size.cx = page->GetMaxWidth();
        if (size.cy == 0) size.cy = std::max(0, available.cy);
        if (size.cy < page->GetMinHeight()) size.cy = page->GetMinHeight();
        if (size.cy > page->GetMaxHeight()) size.cy = page->GetMaxHeight();
        page->SetPos({room.left, room.top, room.left + size.cx, room.top + size.cy}, false);
    }
}

void CTabLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"selectedid") {
        SelectItem(ParseInteger(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
