#include "skinui/label.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "skinui/paint_manager.h"
#include "skinui/render_html.h"
#include "skinui/render_text.h"

namespace SkinUI {

namespace {

// Wide enough for any single line a label shows; formatted text is laid out inside a width.
constexpr int kUnboundedTextWidth = 1 << 20;

double parseReal(const std::wstring& value) {
    wchar_t* end = nullptr;
    double number = std::wcstod(value.c_str(), &end);
    return end == value.c_str() || !std::isfinite(number) ? 0 : number;
}

}  // namespace

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
    const int padX = textPadding_.left + textPadding_.right;
    const int padY = textPadding_.top + textPadding_.bottom;
    std::wstring text = GetText();
    if (!IsMultiLine()) {
        if (wanted.cy == 0) wanted.cy = padY + GetFontHeight(GetManager(), font_) + 8;
        // Without text the label stays flexible rather than shrinking to its padding.
        if (wanted.cx == 0 && !text.empty()) {
            wanted.cx = MeasureLabelText(text, 0).cx + padX;
            if (minWidthEx_ > 0) wanted.cx = std::max(wanted.cx, minWidthEx_);
            if (maxWidthEx_ > 0) wanted.cx = std::min(wanted.cx, maxWidthEx_);
        }
    } else if (wanted.cy == 0 && !text.empty()) {
        int width = (wanted.cx > 0 ? wanted.cx : available.cx) - padX;
        if (width > 0) wanted.cy = MeasureLabelText(text, width).cy + padY;
    }
    return wanted;
}

SkinSize CLabelUI::MeasureLabelText(const std::wstring& text, int width) const {
    // Measuring needs a context, not a surface of the window's size.
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    // Single-line text is measured without a width limit so that ellipsis does not shorten it.
    unsigned style = textStyle_ | TextStyle::CalcRect;
    if (!IsMultiLine()) style &= ~TextStyle::EndEllipsis;
    SkinRect rect{0, 0, IsMultiLine() ? width : 0, 0};
    if (showHtml_) {
        THtmlTextOptions options;
        if (GetManager()) options.images = &GetManager()->GetImageTable();
        if (!IsMultiLine()) rect.right = kUnboundedTextWidth;
        DrawHtmlText(cr, GetManager(), rect, text, 0, font_, style, options);
    } else {
        DrawText(cr, GetManager(), rect, text, 0, font_, style);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return {RectWidth(rect), RectHeight(rect)};
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
    } else if (SetEffectAttribute(name, value)) {
        Invalidate();
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CLabelUI::SetEffectAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"enabledeffect")
        effectEnabled_ = ParseBool(value);
    else if (name == L"enabledluminous")
        effect_.luminous = ParseBool(value);
    else if (name == L"enabledstroke")
        effect_.stroke = ParseBool(value);
    else if (name == L"enabledshadow")
        effect_.shadow = ParseBool(value);
    else if (name == L"luminousfuzzy")
        effect_.luminousFuzzy = parseReal(value);
    else if (name == L"gradientangle")
        effect_.gradientAngle = ParseInteger(value);
    else if (name == L"gradientlength")
        effect_.gradientLength = ParseInteger(value);
    else if (name == L"shadowoffset")
        effect_.shadowOffset = ParseSize(value);
    else if (name == L"textcolor1")
        effect_.textColor1 = ParseColor(value);
    else if (name == L"textshadowcolora")
        effect_.shadowColorA = ParseColor(value);
    else if (name == L"textshadowcolorb")
        effect_.shadowColorB = ParseColor(value);
    else if (name == L"strokecolor")
        effect_.strokeColor = ParseColor(value);
    else if (name == L"minwidthex")
        minWidthEx_ = std::max(0, ParseInteger(value));
    else if (name == L"maxwidthex")
        maxWidthEx_ = std::max(0, ParseInteger(value));
    else
        return false;
    return true;
}

uint32_t CLabelUI::CurrentTextColor() const {
    const CPaintManagerUI* manager = GetManager();
    if (IsEnabled()) return textColor_ ? textColor_ : (manager ? manager->GetDefaultFontColor() : 0xFF000000);
    return disabledTextColor_ ? disabledTextColor_ : (manager ? manager->GetDefaultDisabledColor() : 0xFFA7A6AA);
}

void CLabelUI::DrawLabelText(cairo_t* cr, const std::wstring& text, uint32_t color) {
    if (text.empty()) return;
    SkinRect rc = DeflateRect(rcItem_, textPadding_);
    if (IsEmptyRect(rc)) return;
    if (effectEnabled_) {
        DrawEffectText(cr, GetManager(), rc, text, color, font_, textStyle_, effect_);
    } else if (showHtml_) {
        THtmlTextOptions options;
        if (GetManager()) options.images = &GetManager()->GetImageTable();
        DrawHtmlText(cr, GetManager(), rc, text, color, font_, textStyle_, options);
    } else {
        DrawText(cr, GetManager(), rc, text, color, font_, textStyle_);
    }
}

void CLabelUI::PaintText(cairo_t* cr) {
    DrawLabelText(cr, GetText(), CurrentTextColor());
}

// ---- CTextUI ----

CTextUI::CTextUI() {
    showHtml_ = true;
}

void* CTextUI::GetInterface(std::wstring_view name) {
    if (name == L"Text") return this;
    return CLabelUI::GetInterface(name);
}

void CTextUI::PaintText(cairo_t* cr) {
    links_.clear();
    std::wstring text = GetText();
    if (text.empty()) return;
    SkinRect rc = DeflateRect(rcItem_, textPadding_);
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
        case UIEVENT_SETCURSOR: {
            bool overLink = std::any_of(links_.begin(), links_.end(),
                                        [&](const THtmlLink& link) { return RectContainsPoint(link.rect, event.ptMouse); });
            ShowCursor(overLink ? platform::Cursor::Hand : platform::Cursor::Arrow);
            return;
        }
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
