#include "skinui/control.h"

#include <algorithm>
#include <cmath>

#include "skinui/color_theme.h"
#include "skinui/paint_manager.h"
#include "skinui/render_color.h"
#include "skinui/render_image.h"

namespace SkinUI {

namespace {

// "a,b,c,d" as real numbers: the first read at the start, each further one from one character after the
// end of the previous one (like the integer rectangles). Missing numbers are 0. Locale-independent.
TPercentInfo parsePercents(std::wstring_view text) {
    double values[4] = {0, 0, 0, 0};
    size_t pos = 0;
    for (int n = 0; n < 4; ++n) {
        if (n > 0) {
            if (pos >= text.size()) break;
            ++pos;
        }
        size_t i = pos;
        while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
        double value = 0;
        bool digits = false;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
            value = value * 10 + (text[i++] - L'0');
            digits = true;
        }
        if (i < text.size() && text[i] == L'.') {
            double scale = 0.1;
            for (++i; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, scale /= 10) {
                value += (text[i] - L'0') * scale;
                digits = true;
            }
        }
        if (!digits) break;
        values[n] = negative ? -value : value;
        pos = i;
    }
    return {values[0], values[1], values[2], values[3]};
}

std::wstring lineBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, L"<n>") == 0) {
            out += L"\r\n";
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

SkinRect IntersectRect(const SkinRect& a, const SkinRect& b) {
    SkinRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                     std::min(a.bottom, b.bottom)};
    return IsEmptyRect(r) ? SkinRect{} : r;
}

bool RectsMeet(const SkinRect& a, const SkinRect& b) { return !IsEmptyRect(IntersectRect(a, b)); }

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    OnDestroy(this);
    delete cover_;
    cover_ = nullptr;
    if (manager_) manager_->ReapObjects(this);
}

void* CControlUI::GetInterface(std::wstring_view name) { return name == L"Control" ? this : nullptr; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    manager_ = manager;
    parent_ = parent;
    if (cover_) cover_->SetManager(manager, this, init);
    if (init) Init();
}

void CControlUI::Init() {
    if (initialised_) return;
    initialised_ = true;
    if (!virtualWnd_.empty() && manager_) manager_->UsedVirtualWnd(true);
    DoInit();
    OnInit(this);
}

void CControlUI::SetCover(CControlUI* cover) {
    if (cover == cover_) return;
    delete cover_;
    cover_ = cover;
    if (!cover_) return;
    cover_->SetManager(manager_, this, false);
    cover_->SetInternVisible(IsVisible());
}

void CControlUI::SetText(const std::wstring& text) {
    if (text_ == text) return;
    text_ = text;
    NeedParentUpdate();
}

void CControlUI::SetToolTip(const std::wstring& text) { tooltip_ = lineBreaks(text); }

void CControlUI::SetVirtualWnd(const std::wstring& name) {
    virtualWnd_ = name;
    if (manager_ && !name.empty()) manager_->UsedVirtualWnd(true);
}

// ---- geometry ----

void CControlUI::SetPos(SkinRect rc, bool needInvalidate) {
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    SkinRect old = rcItem_;
    if (float_ && parent_) {
        const SkinRect& p = parent_->GetPos();
        rcItem_ = {p.left + rc.left, p.top + rc.top, p.left + rc.right, p.top + rc.bottom};
        int width = RectWidth(p), height = RectHeight(p);
        int pl = int(width * floatPercent_.left), pt = int(height * floatPercent_.top);
        int pr = int(width * floatPercent_.right), pb = int(height * floatPercent_.bottom);
        fixedXY_ = {rc.left - pl, rc.top - pt};
        fixed_ = {rc.right - pr - fixedXY_.cx, rc.bottom - pb - fixedXY_.cy};
    } else {
        rcItem_ = rc;
    }
    if (!manager_) return;
    if (!inSizeListeners_) {
        inSizeListeners_ = true;
        OnSize(this);
        inSizeListeners_ = false;
    }
    updateNeeded_ = false;
    if (!needInvalidate || !IsVisible()) return;
    for (SkinRect r : {old, rcItem_}) {
        for (CControlUI* p = parent_; p && !IsEmptyRect(r); p = p->GetParent()) r = IntersectRect(r, p->GetPos());
        if (!IsEmptyRect(r)) manager_->Invalidate(r);
    }
}

void CControlUI::SetPadding(SkinRect padding) {
    padding_ = padding;
    NeedParentUpdate();
}

void CControlUI::SetFixedXY(SkinSize xy) {
    fixedXY_ = xy;
    NeedParentUpdate();
}

void CControlUI::SetFloatPercent(TPercentInfo percent) {
    floatPercent_ = percent;
    NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0) return;
    fixed_.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0) return;
    fixed_.cy = cy;
    NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
    if (cx < 0 || min_.cx == cx) return;
    min_.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
    if (cx < 0 || max_.cx == cx) return;
    max_.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
    if (cy < 0 || min_.cy == cy) return;
    min_.cy = cy;
    NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
    if (cy < 0 || max_.cy == cy) return;
    max_.cy = cy;
    NeedParentUpdate();
}

SkinSize CControlUI::EstimateSize(SkinSize) { return fixed_; }

// ---- flags ----

void CControlUI::SetVisible(bool visible) {
    if (visible_ == visible) return;
    bool wasVisible = IsVisible();
    visible_ = visible;
    focused_ = false;
    if (!visible && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
    if (IsVisible() != wasVisible) NeedParentUpdate();
    if (cover_) cover_->SetInternVisible(IsVisible());
}

void CControlUI::SetInternVisible(bool visible) {
    internVisible_ = visible;
    if (!visible && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
    if (cover_) cover_->SetInternVisible(IsVisible());
}

void CControlUI::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Invalidate();
}

void CControlUI::SetFocus() {
    if (manager_) manager_->SetFocus(this, false);
}

void CControlUI::SetFloat(bool isFloat) {
    if (float_ == isFloat) return;
    float_ = isFloat;
    NeedParentUpdate();
}

// ---- appearance ----

void CControlUI::SetBkColor(uint32_t color) {
    if (bkColor_ == color) return;
    bkColor_ = color;
    Invalidate();
}

void CControlUI::SetBkColor2(uint32_t color) {
    if (bkColor2_ == color) return;
    bkColor2_ = color;
    Invalidate();
}

void CControlUI::SetBkColor3(uint32_t color) {
    if (bkColor3_ == color) return;
    bkColor3_ = color;
    Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& image) {
    if (bkImage_ == image) return;
    bkImage_ = image;
    bkImageInfo_.Set(image);
    Invalidate();
}

void CControlUI::SetBorderColor(uint32_t color) {
    if (borderColor_ == color) return;
    borderColor_ = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(uint32_t color) {
    if (focusBorderColor_ == color) return;
    focusBorderColor_ = color;
    Invalidate();
}

void CControlUI::SetBorderSize(int size) { SetBorderSize(SkinRect{size, size, size, size}); }

void CControlUI::SetBorderSize(SkinRect sizes) {
    borderRect_ = sizes;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style) {
    borderStyle_ = style;
    Invalidate();
}

void CControlUI::SetBorderRound(SkinSize round) {
    borderRound_ = round;
    Invalidate();
}

// ---- searching and updating ----

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, unsigned flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if (flags & UIFIND_HITTEST) {
        if (!RectContainsPoint(rcItem_, *static_cast<platform::Point*>(data))) return nullptr;
        // The cover lies on top of the control.
        if (cover_) {
            if (CControlUI* hit = cover_->FindControl(proc, data, flags)) return hit;
        }
        if (!mouseEnabled_) return nullptr;
        return proc(this, data);
    }
    if (cover_) {
        if (CControlUI* found = cover_->FindControl(proc, data, flags)) return found;
    }
    return proc(this, data);
}

void CControlUI::NeedUpdate() {
    if (!IsVisible()) return;
    updateNeeded_ = true;
    Invalidate();
    if (manager_) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    if (parent_) {
        parent_->NeedUpdate();
        parent_->Invalidate();
    } else {
        NeedUpdate();
    }
    if (manager_) manager_->NeedUpdate();
}

void CControlUI::Invalidate() {
    if (!IsVisible() || !manager_) return;
    SkinRect r = rcItem_;
    for (CControlUI* p = parent_; p && !IsEmptyRect(r); p = p->GetParent()) r = IntersectRect(r, p->GetPos());
    if (!IsEmptyRect(r)) manager_->Invalidate(r);
}

// ---- events ----

void CControlUI::Event(TEventUI& event) {
    if (OnEvent(event)) DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_SETCURSOR: ShowCursor(platform::Cursor::Arrow); return;
        case UIEVENT_SETFOCUS:
            focused_ = true;
            Invalidate();
            return;
        case UIEVENT_KILLFOCUS:
            focused_ = false;
            Invalidate();
            return;
        case UIEVENT_TIMER:
            if (manager_) manager_->SendNotify(this, L"timer", event.wParam, event.lParam);
            return;
        case UIEVENT_CONTEXTMENU:
            if (menuUsed_) {
                if (manager_) manager_->SendNotify(this, L"menu", event.wParam, event.lParam);
                return;
            }
            break;
        default: break;
    }
    if (parent_) parent_->DoEvent(event);
}

// ---- attributes ----

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"pos") {
        SkinRect r = ParseRect(value);
        SetFixedXY({r.left, r.top});
        SetFixedWidth(r.right - r.left);
        SetFixedHeight(r.bottom - r.top);
    } else if (name == L"padding") {
        SetPadding(ParseRect(value));
    } else if (name == L"bkcolor" || name == L"bkcolor1") {
        SetBkColor(ParseColor(value));
    } else if (name == L"bkcolor2") {
        SetBkColor2(ParseColor(value));
    } else if (name == L"bkcolor3") {
        SetBkColor3(ParseColor(value));
    } else if (name == L"bkcolorIndex") {
        bkColorIndex_ = ParseInteger(value);
        SetBkColor(GetThemeColor(bkColorIndex_));
    } else if (name == L"bordercolor") {
        SetBorderColor(ParseColor(value));
    } else if (name == L"focusbordercolor") {
        SetFocusBorderColor(ParseColor(value));
    } else if (name == L"colorhsl") {
        SetColorHSL(ParseBool(value));
    } else if (name == L"bordersize") {
        if (value.find(L',') != std::wstring::npos) {
            SetBorderSize(ParseRect(value));
        } else {
            SetBorderSize(ParseInteger(value));
        }
    } else if (name == L"borderstyle") {
        SetBorderStyle(ParseInteger(value));
    } else if (name == L"borderround") {
        SetBorderRound(ParseSize(value));
    } else if (name == L"bkimage") {
        // FIXME: a floating control without a fixed size takes the image's size once images are decoded.
        SetBkImage(value);
    } else if (name == L"bkEnlargeimage") {
        // The enlarged display mode is never entered.
    } else if (name == L"width") {
        SetFixedWidth(ParseInteger(value));
    } else if (name == L"height") {
        SetFixedHeight(ParseInteger(value));
    } else if (name == L"minwidth") {
        SetMinWidth(ParseInteger(value));
    } else if (name == L"minheight") {
        SetMinHeight(ParseInteger(value));
    } else if (name == L"maxwidth") {
        SetMaxWidth(ParseInteger(value));
    } else if (name == L"maxheight") {
        SetMaxHeight(ParseInteger(value));
    } else if (name == L"name") {
        SetName(value);
    } else if (name == L"text") {
        SetText(value);
    } else if (name == L"tooltip") {
        SetToolTip(value);
    } else if (name == L"userdata") {
        SetUserData(value);
    } else if (name == L"tag") {
        SetTag(ParseInteger(value));
    } else if (name == L"enabled") {
        SetEnabled(ParseBool(value));
    } else if (name == L"mouse") {
        SetMouseEnabled(ParseBool(value));
    } else if (name == L"keyboard") {
        SetKeyboardEnabled(ParseBool(value));
    } else if (name == L"visible") {
        SetVisible(ParseBool(value));
    } else if (name == L"float") {
        if (value.find(L',') != std::wstring::npos) {
            SetFloatPercent(parsePercents(value));
            SetFloat(true);
        } else {
            SetFloat(value == L"true");
        }
    } else if (name == L"shortcut") {
        SetShortcut(value.empty() ? L'\0' : value.front());
    } else if (name == L"menu") {
        SetContextMenuUsed(ParseBool(value));
    } else if (name == L"virtualwnd") {
        SetVirtualWnd(value);
    } else {
        AddCustomAttribute(name, value);
    }
}

void CControlUI::ApplyAttributeList(std::wstring_view list) {
    size_t pos = 0;
    while (pos < list.size()) {
        size_t equals = list.find(L'=', pos);
        if (equals == std::wstring_view::npos) return;
        if (equals + 1 >= list.size() || list[equals + 1] != L'"') return;
        size_t valueStart = equals + 2;
        size_t quote = list.find(L'"', valueStart);
        if (quote == std::wstring_view::npos) return;
        SetAttribute(std::wstring(list.substr(pos, equals - pos)),
                     std::wstring(list.substr(valueStart, quote - valueStart)));
        pos = quote + 1;
        if (pos >= list.size() || list[pos] != L' ') return;
        ++pos;
    }
}

void CControlUI::AddCustomAttribute(const std::wstring& name, const std::wstring& value) {
    if (name.empty() || value.empty()) return;
    customAttributes_.try_emplace(name, value);
}

std::wstring CControlUI::GetCustomAttribute(const std::wstring& name) const {
    auto it = customAttributes_.find(name);
    return it == customAttributes_.end() ? std::wstring() : it->second;
}

bool CControlUI::RemoveCustomAttribute(const std::wstring& name) { return customAttributes_.erase(name) > 0; }

// ---- painting ----

void CControlUI::DoPaint(cairo_t* cr, const SkinRect& paint) {
    rcPaint_ = IntersectRect(paint, rcItem_);
    if (IsEmptyRect(rcPaint_)) return;
    if (!OnPaint(this)) return;
    cairo_save(cr);
    if (borderRound_.cx > 0 || borderRound_.cy > 0) {
        ClipRoundRect(cr, rcItem_, borderRound_);
    }
    PaintBkColor(cr);
    PaintBkImage(cr);
    PaintStatusImage(cr);
    PaintText(cr);
    PaintBorder(cr);
    cairo_restore(cr);
    if (cover_ && cover_->IsVisible()) cover_->DoPaint(cr, paint);
}

void CControlUI::PaintBkColor(cairo_t* cr) {
    cairo_save(cr);
    cairo_rectangle(cr, rcPaint_.left, rcPaint_.top, RectWidth(rcPaint_), RectHeight(rcPaint_));
    cairo_clip(cr);
    DrawBkColor(cr, rcItem_, bkColor_, bkColor2_, bkColor3_);
    cairo_restore(cr);
}

void CControlUI::PaintBkImage(cairo_t* cr) {
    if (bkImageInfo_.IsEmpty()) return;
    DrawImage(cr, bkImageInfo_);
}

void CControlUI::PaintStatusImage(cairo_t*) {}

void CControlUI::PaintText(cairo_t*) {}

void CControlUI::PaintBorder(cairo_t* cr) {
    TBorderStyle border{borderRect_, borderColor_, focusBorderColor_, borderRound_, borderStyle_};
    DrawBorder(cr, rcItem_, border, IsFocused());
}

bool CControlUI::DrawImage(cairo_t* cr, TDrawInfo& info, const TImageDrawOptions& options) {
    if (info.IsEmpty()) return false;
    CImageTable& images = manager_ ? manager_->GetImageTable() : CImageTable::Shared();
    return DrawImageString(cr, manager_, images, rcItem_, rcPaint_, info, options);
}

void CControlUI::ShowCursor(platform::Cursor cursor) {
    if (manager_ && manager_->GetPaintWindow()) manager_->GetPaintWindow()->setCursor(cursor);
}

bool CControlUI::DrawImagePart(cairo_t* cr, TDrawInfo& strip, int part, int parts, int opacity) {
    if (strip.IsEmpty() || parts <= 0 || part < 0 || part >= parts) return false;
    CImageTable& images = manager_ ? manager_->GetImageTable() : CImageTable::Shared();
    const TImageData* image = LoadDrawInfo(manager_, images, strip);
    if (!image || image->width < parts) return false;
    int width = image->width / parts;
    SkinRect source{part * width, 0, (part + 1) * width, image->height};
    return DrawImage(cr, strip, TImageDrawOptions().Source(source).Opacity(opacity));
}

}  // namespace SkinUI
