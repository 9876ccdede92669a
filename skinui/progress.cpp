#include "skinui/progress.h"

#include <algorithm>

#include "skinui/render_color.h"
#include "skinui/render_text.h"

namespace SkinUI {

CProgressUI::CProgressUI() {
    textStyle_ = TextStyle::Center | TextStyle::SingleLine;
    SetFixedHeight(12);
}

void* CProgressUI::GetInterface(std::wstring_view name) {
    if (name == L"Progress") return this;
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int value) {
    min_ = value;
    SetValue(value_);
    Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
    max_ = value;
    SetValue(value_);
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    // With the bounds crossed the minimum wins, and the bar stays empty.
    value_ = max_ > min_ ? std::clamp(value, min_, max_) : min_;
    Invalidate();
}

void CProgressUI::SetHorizontal(bool horizontal) {
    horizontal_ = horizontal;
    Invalidate();
}

SkinRect CProgressUI::FilledRect() const {
    if (max_ <= min_ || value_ <= min_) return {};
    int width = RectWidth(rcItem_);
    int height = RectHeight(rcItem_);
    double fraction = double(value_ - min_) / double(max_ - min_);
    if (horizontal_) return {0, 0, int(width * fraction), height};
    return {0, height - int(height * fraction), width, height};
}

void CProgressUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"foreimage") {
        foreImage_.Set(value);
        Invalidate();
    } else if (name == L"forecolor") {
        foreColor_ = ParseColor(value);
        Invalidate();
    } else if (name == L"hor") {
        SetHorizontal(ParseBool(value));
    } else if (name == L"min") {
        SetMinValue(ParseInteger(value));
    } else if (name == L"max") {
        SetMaxValue(ParseInteger(value));
    } else if (name == L"value") {
        SetValue(ParseInteger(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

void CProgressUI::PaintStatusImage(cairo_t* cr) {
    SkinRect filled = FilledRect();
    if (IsEmptyRect(filled)) return;
    if (foreColor_) {
        SkinRect rc{rcItem_.left + filled.left, rcItem_.top + filled.top, rcItem_.left + filled.right,
                    rcItem_.top + filled.bottom};
        DrawColor(cr, IntersectRect(rc, rcPaint_), foreColor_);
    }
    DrawImage(cr, foreImage_, TImageDrawOptions().Dest(filled));
}

}  // namespace SkinUI
