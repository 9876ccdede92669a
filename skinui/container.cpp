#include "skinui/container.h"

#include <algorithm>

#include "skinui/paint_manager.h"
#include "skinui/scroll_bar.h"

namespace SkinUI {

namespace {

BoxAlign parseAlign(const std::wstring& value, const wchar_t* start, const wchar_t* center, const wchar_t* end,
                    BoxAlign current) {
    if (value == start) return BoxAlign::Start;
    if (value == center) return BoxAlign::Center;
    if (value == end) return BoxAlign::End;
    return current;
}

}  // namespace

BoxChild BoxChildOf(CControlUI* control) {
    BoxChild child;
    child.padding = control->GetPadding();
    child.fixed = {control->GetFixedWidth(), control->GetFixedHeight()};
    child.min = {control->GetMinWidth(), control->GetMinHeight()};
    child.max = {control->GetMaxWidth(), control->GetMaxHeight()};
    child.estimate = [control](SkinSize available) { return control->EstimateSize(available); };
    return child;
}

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    delayedDestroy_ = false;  // the children go with the container, now
    RemoveAll();
    delete vbar_;
    delete hbar_;
}

void* CContainerUI::GetInterface(std::wstring_view name) {
    if (name == L"IContainer") return static_cast<IContainerUI*>(this);
    if (name == L"Container") return this;
    return CControlUI::GetInterface(name);
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    for (CControlUI* item : items_) item->SetManager(manager, this, init);
    if (vbar_) vbar_->SetManager(manager, this, init);
    if (hbar_) hbar_->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

// ---- children ----

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return items_[size_t(index)];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i] == control) return int(i);
    }
    return -1;
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (!control || index < 0 || index > GetCount() || GetItemIndex(control) >= 0) return false;
    items_.insert(items_.begin() + index, control);
    if (GetManager()) {
        GetManager()->InitControls(control, this);
    } else {
        control->SetManager(nullptr, this, false);
    }
    control->SetInternVisible(IsVisible());
    NeedUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* control, bool keep) { return RemoveAt(GetItemIndex(control), keep); }

bool CContainerUI::RemoveAt(int index, bool keep) {
    CControlUI* control = GetItemAt(index);
    if (!control) return false;
    items_.erase(items_.begin() + index);
    NeedUpdate();
    takeOut(control, keep);
    return true;
}

void CContainerUI::RemoveAll() {
    std::vector<CControlUI*> items;
    items.swap(items_);
    for (CControlUI* item : items) takeOut(item, false);
    NeedUpdate();
}

void CContainerUI::takeOut(CControlUI* control, bool keep) {
    CPaintManagerUI* manager = GetManager();
    // A control leaving the tree keeps no focus, hover, timers or name entries in the window.
    if (manager) manager->ForgetControlTree(control);
    if (keep || !autoDestroy_) {
        control->SetManager(nullptr, nullptr, false);
    } else if (delayedDestroy_ && manager) {
        manager->AddDelayedCleanup(control);
    } else {
        delete control;
    }
}

// ---- layout attributes ----

void CContainerUI::SetInset(SkinRect inset) {
    inset_ = inset;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
    childPadding_ = padding;
    NeedUpdate();
}

void CContainerUI::SetChildAlign(BoxAlign align) {
    childAlign_ = align;
    NeedUpdate();
}

void CContainerUI::SetChildVAlign(BoxAlign align) {
    childVAlign_ = align;
    NeedUpdate();
}

// ---- flags ----

void CContainerUI::SetVisible(bool visible) {
    if (IsOwnVisible() == visible) return;
    CControlUI::SetVisible(visible);
    for (CControlUI* item : items_) item->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    for (CControlUI* item : items_) item->SetInternVisible(IsVisible());
}

// ---- geometry ----

SkinRect CContainerUI::InnerRect() const {
    SkinRect rc = DeflateRect(GetPos(), inset_);
    if (vbar_ && vbar_->IsVisible()) rc.right -= vbar_->GetFixedWidth();
    if (hbar_ && hbar_->IsVisible()) rc.bottom -= hbar_->GetFixedHeight();
    return rc;
}

void CContainerUI::SetPos(SkinRect rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    if (items_.empty()) return;
    SkinRect inner = InnerRect();
    if (vbar_ && vbar_->IsVisible()) {
        inner.top -= vbar_->GetScrollPos();
        inner.bottom += vbar_->GetScrollRange() - vbar_->GetScrollPos();
    }
    if (hbar_ && hbar_->IsVisible()) {
        inner.left -= hbar_->GetScrollPos();
        inner.right += hbar_->GetScrollRange() - hbar_->GetScrollPos();
    }
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* control = items_[size_t(i)];
        if (!control->IsVisible()) continue;
        if (control->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        int cx = std::max(RectWidth(inner), 0), cy = std::max(RectHeight(inner), 0);
        if (cx < control->GetMinWidth()) cx = control->GetMinWidth();
        if (cx > control->GetMaxWidth()) cx = control->GetMaxWidth();
        if (cy < control->GetMinHeight()) cy = control->GetMinHeight();
        if (cy > control->GetMaxHeight()) cy = control->GetMaxHeight();
        control->SetPos({inner.left, inner.top, inner.left + cx, inner.top + cy}, false);
    }
}

void CContainerUI::LayoutAsBox(BoxAxis axis) {
    SkinRect inner = InnerRect();
    if (items_.empty()) {
        ProcessScrollBar(inner, 0, 0);
        return;
    }
    bool vbar = vbar_ && vbar_->IsVisible();
    bool hbar = hbar_ && hbar_->IsVisible();
    BoxParams params;
    params.axis = axis;
    params.inner = inner;
    params.available = {RectWidth(inner) + (hbar ? hbar_->GetScrollRange() : 0),
                        RectHeight(inner) + (vbar ? vbar_->GetScrollRange() : 0)};
    params.childPadding = childPadding_;
    CScrollBarUI* mainBar = axis == BoxAxis::Vertical ? (vbar ? vbar_ : nullptr) : (hbar ? hbar_ : nullptr);
    CScrollBarUI* crossBar = axis == BoxAxis::Vertical ? (hbar ? hbar_ : nullptr) : (vbar ? vbar_ : nullptr);
    params.crossAlign = axis == BoxAxis::Vertical ? childAlign_ : childVAlign_;
    params.mainScrollPos = mainBar ? mainBar->GetScrollPos() : 0;
    params.crossScrollPos = crossBar ? crossBar->GetScrollPos() : 0;
    params.crossScrollRange = crossBar ? crossBar->GetScrollRange() : 0;

    std::vector<BoxChild> children;
    std::vector<CControlUI*> placed;
    for (CControlUI* control : items_) {
        if (!control->IsVisible() || control->IsFloat()) continue;
        children.push_back(BoxChildOf(control));
        placed.push_back(control);
    }
    BoxResult result = LayoutBox(params, children);
    size_t next = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* control = items_[size_t(i)];
        if (!control->IsVisible()) continue;
        if (control->IsFloat()) {
            SetFloatPos(i);
        } else if (next < placed.size() && placed[next] == control) {
            control->SetPos(result.rects[next++], false);
        }
    }
    ProcessScrollBar(inner, result.needed.cx, result.needed.cy);
}

void CContainerUI::SetFloatPos(int index) {
    CControlUI* control = GetItemAt(index);
    if (!control || !control->IsVisible() || !control->IsFloat()) return;
    SkinSize xy = control->GetFixedXY();
    TPercentInfo percent = control->GetFloatPercent();
    int width = RectWidth(GetPos()), height = RectHeight(GetPos());
    SkinRect rc;
    rc.left = int(width * percent.left) + xy.cx;
    rc.top = int(height * percent.top) + xy.cy;
    rc.right = int(width * percent.right) + xy.cx + control->GetFixedWidth();
    rc.bottom = int(height * percent.bottom) + xy.cy + control->GetFixedHeight();
    control->SetPos(rc, false);
}

// ---- scrolling ----

void CContainerUI::ProcessScrollBar(SkinRect inner, int cxNeeded, int cyNeeded) {
    // While a bar that has just appeared is being laid out for, bars only follow the content; they neither
    // appear nor vanish again (the smaller room could make them flicker on and off forever).
    bool mayToggle = scrollProcessDepth_ == 0;
    bool relayout = false;
    auto process = [&](CScrollBarUI* bar, int needed, int room) {
        if (!bar) return;
        int excess = needed - room;
        if (excess > 0 && !bar->IsVisible()) {
            if (!mayToggle) return;
            bar->SetVisible(true);
            bar->SetScrollRange(excess);
            bar->SetScrollPos(0);
            relayout = true;
        } else if (excess <= 0 && bar->IsVisible()) {
            if (!mayToggle) return;
            bar->SetVisible(false);
            bar->SetScrollPos(0);
            bar->SetScrollRange(0);
            relayout = true;
        } else if (bar->IsVisible() && bar->GetScrollRange() != excess) {
            int oldPos = bar->GetScrollPos();
            bar->SetScrollRange(excess);
            if (bar->GetScrollPos() != oldPos) relayout = true;
        }
    };
    process(hbar_, cxNeeded, RectWidth(inner));
    process(vbar_, cyNeeded, RectHeight(inner));
    if (relayout) {
        ++scrollProcessDepth_;
        SetPos(GetPos(), false);
        --scrollProcessDepth_;
        return;
    }
    if (vbar_ && vbar_->IsVisible()) {
        vbar_->SetPos({inner.right, inner.top, inner.right + vbar_->GetFixedWidth(), inner.bottom}, false);
    }
    if (hbar_ && hbar_->IsVisible()) {
        hbar_->SetPos({inner.left, inner.bottom, inner.right, inner.bottom + hbar_->GetFixedHeight()}, false);
    }
}

SkinSize CContainerUI::GetScrollPos() const {
    return {hbar_ && hbar_->IsVisible() ? hbar_->GetScrollPos() : 0,
            vbar_ && vbar_->IsVisible() ? vbar_->GetScrollPos() : 0};
}

SkinSize CContainerUI::GetScrollRange() const {
    return {hbar_ && hbar_->IsVisible() ? hbar_->GetScrollRange() : 0,
            vbar_ && vbar_->IsVisible() ? vbar_->GetScrollRange() : 0};
}

void CContainerUI::SetScrollPos(SkinSize pos) {
    SkinSize old = GetScrollPos();
    if (hbar_ && hbar_->IsVisible()) hbar_->SetScrollPos(pos.cx);
    if (vbar_ && vbar_->IsVisible()) vbar_->SetScrollPos(pos.cy);
    if (GetScrollPos() == old) return;
    SetPos(GetPos(), true);
}

void CContainerUI::LineUp() {
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx, pos.cy - (vbar_ ? vbar_->GetLineSize() : 0)});
}

void CContainerUI::LineDown() {
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx, pos.cy + (vbar_ ? vbar_->GetLineSize() : 0)});
}

void CContainerUI::PageUp() {
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx, pos.cy - std::max(RectHeight(InnerRect()), 0)});
}

void CContainerUI::PageDown() {
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx, pos.cy + std::max(RectHeight(InnerRect()), 0)});
}

void CContainerUI::LineLeft() {
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx - (hbar_ ? hbar_->GetLineSize() : 0), pos.cy});
}

void CContainerUI::LineRight() {
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx + (hbar_ ? hbar_->GetLineSize() : 0), pos.cy});
}

void CContainerUI::PageLeft() {
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx - std::max(RectWidth(InnerRect()), 0), pos.cy});
}

void CContainerUI::PageRight() {
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx + std::max(RectWidth(InnerRect()), 0), pos.cy});
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
    auto make = [this](bool isHorizontal) {
        auto* bar = new CScrollBarUI();
        bar->SetOwner(this);
        bar->SetHorizontal(isHorizontal);
        bar->SetVisible(false);
        bar->SetManager(GetManager(), this, false);
        if (GetManager()) {
            std::wstring defaults = GetManager()->GetDefaultAttributeList(isHorizontal ? L"HScrollBar" : L"VScrollBar");
            if (!defaults.empty()) bar->ApplyAttributeList(defaults);
        }
        return bar;
    };
    auto drop = [this](CScrollBarUI*& bar) {
        if (GetManager()) GetManager()->ForgetControlTree(bar);
        delete bar;
        bar = nullptr;
    };
    if (vertical && !vbar_) vbar_ = make(false);
    if (!vertical && vbar_) drop(vbar_);
    if (horizontal && !hbar_) hbar_ = make(true);
    if (!horizontal && hbar_) drop(hbar_);
    NeedUpdate();
}

// ---- events, attributes, search, painting ----

void CContainerUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SCROLLWHEEL) {
        if (vbar_ && vbar_->IsVisible() && vbar_->IsEnabled()) {
            if (event.wParam > 0) {
                LineUp();
            } else {
                LineDown();
            }
            return;
        }
        if (hbar_ && hbar_->IsVisible() && hbar_->IsEnabled()) {
            if (event.wParam > 0) {
                LineLeft();
            } else {
                LineRight();
            }
            return;
        }
    }
    CControlUI::DoEvent(event);
}

void CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"inset") {
        SetInset(ParseRect(value));
    } else if (name == L"mousechild") {
        SetMouseChildEnabled(ParseBool(value));
    } else if (name == L"vscrollbar") {
        EnableScrollBar(ParseBool(value), hbar_ != nullptr);
    } else if (name == L"hscrollbar") {
        EnableScrollBar(vbar_ != nullptr, ParseBool(value));
    } else if (name == L"vscrollbarstyle") {
        if (vbar_) vbar_->ApplyAttributeList(value);
    } else if (name == L"hscrollbarstyle") {
        if (hbar_) hbar_->ApplyAttributeList(value);
    } else if (name == L"childpadding") {
        SetChildPadding(ParseInteger(value));
    } else if (name == L"childalign") {
        SetChildAlign(parseAlign(value, L"left", L"center", L"right", childAlign_));
    } else if (name == L"childvalign") {
        SetChildVAlign(parseAlign(value, L"top", L"vcenter", L"bottom", childVAlign_));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, unsigned flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if (hitTest && !RectContainsPoint(GetPos(), *static_cast<platform::Point*>(data))) return nullptr;

    if (CControlUI* cover = GetCover()) {
        if (CControlUI* found = cover->FindControl(proc, data, flags)) return found;
    }
    for (CScrollBarUI* bar : {vbar_, hbar_}) {
        if (!bar) continue;
        if (CControlUI* found = bar->FindControl(proc, data, flags)) return found;
    }
    if (hitTest && !mouseChild_) return CControlUI::FindControl(proc, data, flags);
    if (flags & UIFIND_ME_FIRST) {
        if (CControlUI* found = CControlUI::FindControl(proc, data, flags)) return found;
    }

    SkinRect inner = InnerRect();
    auto visit = [&](CControlUI* item) -> CControlUI* {
        CControlUI* found = item->FindControl(proc, data, flags);
        // A child sticking out of the inner rectangle is not hit there, unless it floats.
        if (found && hitTest && !found->IsFloat() && !RectContainsPoint(inner, *static_cast<platform::Point*>(data))) {
            return nullptr;
        }
        return found;
    };
    if (flags & UIFIND_TOP_FIRST) {
        for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
            if (CControlUI* found = visit(*it)) return found;
        }
    } else {
        // A copy: the visitor may change the tree (the name table walk does not, but callers might).
        std::vector<CControlUI*> items = items_;
        for (CControlUI* item : items) {
            if (CControlUI* found = visit(item)) return found;
        }
    }
    if (flags & UIFIND_ME_FIRST) return nullptr;
    // The container itself, without visiting its cover a second time.
    if (hitTest && !IsMouseEnabled()) return nullptr;
    return proc(this, data);
}

void CContainerUI::DoPaint(cairo_t* cr, const SkinRect& paint) {
    SkinRect area = IntersectRect(paint, GetPos());
    if (IsEmptyRect(area)) return;
    cairo_save(cr);
    cairo_rectangle(cr, area.left, area.top, RectWidth(area), RectHeight(area));
    cairo_clip(cr);
    CControlUI::DoPaint(cr, paint);

    // Children in the flow are cut at the inner rectangle, floating ones at the container's edge.
    SkinRect inner = IntersectRect(paint, InnerRect());
    for (CControlUI* item : items_) {
        if (!item->IsVisible() || !RectsMeet(paint, item->GetPos())) continue;
        if (item->IsFloat()) {
            if (!RectsMeet(GetPos(), item->GetPos())) continue;
            item->DoPaint(cr, paint);
            continue;
        }
        if (IsEmptyRect(inner) || !RectsMeet(inner, item->GetPos())) continue;
        cairo_save(cr);
        cairo_rectangle(cr, inner.left, inner.top, RectWidth(inner), RectHeight(inner));
        cairo_clip(cr);
        item->DoPaint(cr, paint);
        cairo_restore(cr);
    }
    for (CScrollBarUI* bar : {vbar_, hbar_}) {
        if (bar && bar->IsVisible() && RectsMeet(paint, bar->GetPos())) bar->DoPaint(cr, paint);
    }
    cairo_restore(cr);
}

}  // namespace SkinUI
