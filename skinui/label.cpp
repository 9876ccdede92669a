#include "skinui/label.h"

#include "skinui/paint_manager.h"
#include "skinui/render_html.h"
#include "skinui/render_text.h"

namespace SkinUI {

CLabelUI::CLabelUI() : textStyle_(TextStyle::VCenter | TextStyle::SingleLine) {}

void* CLabelUI::GetInterface(std::wstring_view name) {
    if (name == L"Label") return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetTextStyle(unsigned style) {
    textStyle_ = style;
    Invalidate();
}

void CLabelUI::SetFont(int font) {
    font_ = font;
    Invalidate();
}

void CLabelUI::SetTextColor(uint32_t color) {
    textColor_ = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(uint32_t color) {
    disabledTextColor_ = color;
    Invalidate();
}

void CLabelUI::SetTextPadding(SkinRect padding) {
    textPadding_ = padding;
    NeedUpdate();
}

void CLabelUI::SetShowHtml(bool show) {
    if (showHtml_ == show) return;
    showHtml_ = show;
    Invalidate();
}

SkinSize CLabelUI::EstimateSize(SkinSize available) {
    if (GetFixedWidth() > 0 && GetFixedHeight() > 0) return {GetFixedWidth(), GetFixedHeight()};
    SkinSize wanted = CControlUI::EstimateSize(available);
    if (wanted.cy == 0 && !IsMultiLine()) {
        wanted.cy = textPadding_.top + GetFontHeight(GetManager(), font_) + textPadding_.bottom + 8;
    }
    return wanted;
}

void CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    using namespace TextStyle;
    if (name == L"align") {
        // Substring tests, the later words winning.
        if (value.find(L"left") != std::wstring::npos) textStyle_ &= ~(Center | Right);
        if (value.find(L"center") != std::wstring::npos) textStyle_ = (textStyle_ & ~Right) | Center;
        if (value.find(L"right") != std::wstring::npos) textStyle_ = (textStyle_ & ~Center) | Right;
        Invalidate();
    } else if (name == L"valign") {
        if (value.find(L"top") != std::wstring::npos) textStyle_ &= ~(VCenter | Bottom);
        if (value.find(L"vcenter") != std::wstring::npos) textStyle_ = (textStyle_ & ~Bottom) | VCenter;
        if (value.find(L"bottom") != std::wstring::npos) textStyle_ = (textStyle_ & ~VCenter) | Bottom;
        Invalidate();
    } else if (name == L"endellipsis") {
        SetTextStyle(ParseBool(value) ? textStyle_ | EndEllipsis : textStyle_ & ~EndEllipsis);
    } else if (name == L"multiline") {
        SetTextStyle(ParseBool(value) ? (textStyle_ & ~SingleLine) | WordBreak : textStyle_ | SingleLine);
    } else if (name == L"font") {
        SetFont(ParseInteger(value));
    } else if (name == L"textcolor") {
        SetTextColor(ParseColor(value));
    } else if (name == L"disabledtextcolor") {
        SetDisabledTextColor(ParseColor(value));
    } else if (name == L"textpadding") {
        SetTextPadding(ParseRect(value));
    } else if (name == L"showhtml") {
        SetShowHtml(ParseBool(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

uint32_t CLabelUI::CurrentTextColor() const {
    const CPaintManagerUI* manager = GetManager();
    if (IsEnabled()) return textColor_ ? textColor_ : (manager ? manager->GetDefaultFontColor() : 0xFF000000);
    return disabledTextColor_ ? disabledTextColor_ : (manager ? manager->GetDefaultDisabledColor() : 0xFFA7A6AA);
}

void CLabelUI::DrawLabelText(cairo_t* cr, const std::wstring& text, uint32_t color) {
    if (text.empty()) return;
    SkinRect rc = rcItem_;
    rc.left += textPadding_.left;
    rc.top += textPadding_.top;
    rc.right -= textPadding_.right;
    rc.bottom -= textPadding_.bottom;
    if (IsEmptyRect(rc)) return;
    if (showHtml_) {
        THtmlTextOptions options;
        if (GetManager()) options.images = &GetManager()->GetImageTable();
        DrawHtmlText(cr, GetManager(), rc, text, color, font_, textStyle_, options);
    } else {
        DrawText(cr, GetManager(), rc, text, color, font_, textStyle_);
    }
}

void CLabelUI::PaintText(cairo_t* cr) { DrawLabelText(cr, GetText(), CurrentTextColor()); }

// ---- CTextUI ----

CTextUI::CTextUI() { showHtml_ = true; }

void* CTextUI::GetInterface(std::wstring_view name) {
    if (name == L"Text") return this;
    return CLabelUI::GetInterface(name);
}

void CTextUI::PaintText(cairo_t* cr) {
    links_.clear();
    std::wstring text = GetText();
    if (text.empty()) return;
    SkinRect rc{rcItem_.left + textPadding_.left, rcItem_.top + textPadding_.top, rcItem_.right - textPadding_.right,
                rcItem_.bottom - textPadding_.bottom};
    if (IsEmptyRect(rc)) return;
    THtmlTextOptions options;
    CPaintManagerUI* manager = GetManager();
    if (manager) {
        options.images = &manager->GetImageTable();
        platform::Point mouse = manager->GetMousePos();
        options.hasMouse = RectContainsPoint(rcItem_, mouse);
        options.mouseX = mouse.x;
        options.mouseY = mouse.y;
    }
    DrawHtmlText(cr, manager, rc, text, CurrentTextColor(), font_, textStyle_, options, &links_);
}

void CTextUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_BUTTONUP:
            for (const THtmlLink& link : links_) {
                if (RectContainsPoint(link.rect, event.ptMouse)) {
                    if (GetManager()) GetManager()->SendNotify(this, L"link", link.link);
                    return;
                }
            }
            break;
        case UIEVENT_MOUSEMOVE:
        case UIEVENT_MOUSELEAVE:
            // Links change colour under the pointer.
            if (!links_.empty()) Invalidate();
            break;
        default: break;
    }
    CLabelUI::DoEvent(event);
}

}  // namespace SkinUI
