#include "skinui/list_element.h"

#include <algorithm>

#include "skinui/paint_manager.h"
#include "skinui/render_color.h"
#include "skinui/render_html.h"
#include "skinui/render_text.h"

namespace SkinUI {

// ---- TListInfoUI ----

TListInfoUI::TListInfoUI() : textStyle(TextStyle::VCenter | TextStyle::SingleLine) {}

bool TListInfoUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    using namespace TextStyle;
    if (name == L"itemheight") height = std::max(0, ParseInteger(value));
    else if (name == L"itemfont") font = ParseInteger(value);
    else if (name == L"itemalign") {
        if (value.find(L"left") != std::wstring::npos) textStyle &= ~(Center | Right);
        if (value.find(L"center") != std::wstring::npos) textStyle = (textStyle & ~Right) | Center;
        if (value.find(L"right") != std::wstring::npos) textStyle = (textStyle & ~Center) | Right;
    } else if (name == L"itemtextpadding") textPadding = ParseRect(value);
    else if (name == L"itemtextcolor") textColor = ParseColor(value);
    else if (name == L"itembkcolor") bkColor = ParseColor(value);
    else if (name == L"itembkimage") bkImage = value;
    else if (name == L"itemaltbk") alternateBk = ParseBool(value);
    else if (name == L"itemselectedtextcolor") selectedTextColor = ParseColor(value);
    else if (name == L"itemselectedbkcolor") selectedBkColor = ParseColor(value);
    else if (name == L"itemselectedimage") selectedImage = value;
    else if (name == L"itemhottextcolor") hotTextColor = ParseColor(value);
    else if (name == L"itemhotbkcolor") hotBkColor = ParseColor(value);
    else if (name == L"itemhotimage") hotImage = value;
    else if (name == L"itemdisabledtextcolor") disabledTextColor = ParseColor(value);
    else if (name == L"itemdisabledbkcolor") disabledBkColor = ParseColor(value);
    else if (name == L"itemdisabledimage") disabledImage = value;
    else if (name == L"itemvlinesize") vLineSize = std::max(0, ParseInteger(value));
    else if (name == L"itemvlinecolor") vLineColor = ParseColor(value);
    else if (name == L"itemhlinesize") hLineSize = std::max(0, ParseInteger(value));
    else if (name == L"itemhlinecolor") hLineColor = ParseColor(value);
    else if (name == L"itemshowhtml") showHtml = ParseBool(value);
    else return false;
    return true;
}

// ---- CListLabelElementUI ----

CListLabelElementUI::CListLabelElementUI() = default;

void* CListLabelElementUI::GetInterface(std::wstring_view name) {
    if (name == L"ListItem" || name == L"ListLabelElement") return this;
    return CLabelUI::GetInterface(name);
}

bool CListLabelElementUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    return owner_ && owner_->SelectItem(index_, true);
}

bool CListLabelElementUI::Select(bool selected) {
    if (selected_ == selected) return false;
    selected_ = selected;
    Invalidate();
    return true;
}

void CListLabelElementUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!enabled) hot_ = pressed_ = false;
}

SkinSize CListLabelElementUI::EstimateSize(SkinSize available) {
    if (!owner_) return CLabelUI::EstimateSize(available);
    const TListInfoUI& info = owner_->GetListInfo();
    SkinSize wanted{GetFixedWidth(), GetFixedHeight()};
    if (wanted.cy == 0) wanted.cy = info.height;
    if (wanted.cy == 0) {
        wanted.cy = info.textPadding.top + GetFontHeight(GetManager(), info.font) + info.textPadding.bottom + 8;
    }
    return wanted;
}

void CListLabelElementUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        CLabelUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                hot_ = true;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            if (hot_) {
                hot_ = false;
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            pressed_ = IsEnabled();
            return;
        case UIEVENT_BUTTONUP: {
            bool click = pressed_ && IsEnabled() && RectContainsPoint(rcItem_, event.ptMouse);
            pressed_ = false;
            // Last: choosing may close the list this item is shown in.
            if (click) Activate();
            return;
        }
        case UIEVENT_MOUSEMOVE: return;
        default: break;
    }
    CLabelUI::DoEvent(event);
}

uint32_t CListLabelElementUI::CurrentTextColor() const {
    if (!owner_) return CLabelUI::CurrentTextColor();
    const TListInfoUI& info = owner_->GetListInfo();
    uint32_t color = textColor_ ? textColor_ : info.textColor;
    if (!IsEnabled()) {
        color = disabledTextColor_ ? disabledTextColor_ : info.disabledTextColor;
        if (color == 0 && GetManager()) color = GetManager()->GetDefaultDisabledColor();
    } else if (selected_ && info.selectedTextColor) {
        color = info.selectedTextColor;
    } else if (hot_ && info.hotTextColor) {
        color = info.hotTextColor;
    }
    if (color == 0) color = GetManager() ? GetManager()->GetDefaultFontColor() : 0xFF000000;
    return color;
}

void CListLabelElementUI::PaintBkColor(cairo_t* cr) {
    if (!owner_) {
        CLabelUI::PaintBkColor(cr);
        return;
    }
    const TListInfoUI& info = owner_->GetListInfo();
    uint32_t color = 0;
    if (!IsEnabled()) color = info.disabledBkColor;
    else if (selected_) color = info.selectedBkColor;
    else if (hot_) color = info.hotBkColor;
    if (color == 0 && !(info.alternateBk && index_ % 2 == 1)) color = info.bkColor;
    if (color == 0) {
        CLabelUI::PaintBkColor(cr);
        return;
    }
    DrawColor(cr, rcPaint_, color);
}

void CListLabelElementUI::PaintStatusImage(cairo_t* cr) {
    if (!owner_) return;
    const TListInfoUI& info = owner_->GetListInfo();
    // Fresh draw infos: an item may be painted by more than one window, and each has its own image table.
    auto draw = [&](const std::wstring& description) {
        if (description.empty()) return false;
        TDrawInfo image(description);
        return DrawImage(cr, image);
    };
    if (!IsEnabled() && draw(info.disabledImage)) return;
    if (selected_ && draw(info.selectedImage)) return;
    if (hot_ && draw(info.hotImage)) return;
    draw(info.bkImage);
}

void CListLabelElementUI::PaintText(cairo_t* cr) {
    if (!owner_) {
        CLabelUI::PaintText(cr);
        return;
    }
    std::wstring text = GetText();
    if (text.empty()) return;
    const TListInfoUI& info = owner_->GetListInfo();
    SkinRect rc = DeflateRect(rcItem_, info.textPadding);
    if (IsEmptyRect(rc)) return;
    int font = font_ >= 0 ? font_ : info.font;
    if (info.showHtml || showHtml_) {
        THtmlTextOptions options;
        if (GetManager()) options.images = &GetManager()->GetImageTable();
        DrawHtmlText(cr, GetManager(), rc, text, CurrentTextColor(), font, info.textStyle, options);
    } else {
        DrawText(cr, GetManager(), rc, text, CurrentTextColor(), font, info.textStyle);
    }
}

void CListLabelElementUI::PaintBorder(cairo_t* cr) {
    CLabelUI::PaintBorder(cr);
    if (!owner_) return;
    const TListInfoUI& info = owner_->GetListInfo();
    if (info.hLineSize > 0) {
        SkinRect line{rcItem_.left, rcItem_.bottom - info.hLineSize, rcItem_.right, rcItem_.bottom};
        DrawColor(cr, IntersectRect(line, rcPaint_), info.hLineColor);
    }
    if (info.vLineSize > 0) {
        SkinRect line{rcItem_.right - info.vLineSize, rcItem_.top, rcItem_.right, rcItem_.bottom};
        DrawColor(cr, IntersectRect(line, rcPaint_), info.vLineColor);
    }
}

}  // namespace SkinUI
