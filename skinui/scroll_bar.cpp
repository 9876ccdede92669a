#include "skinui/scroll_bar.h"

#include <algorithm>

#include "skinui/paint_manager.h"

namespace SkinUI {

CScrollBarUI::CScrollBarUI() {
    SetFixedWidth(kDefaultSize);
}

void* CScrollBarUI::GetInterface(std::wstring_view name) {
    if (name == L"ScrollBar") return this;
    return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
    if (horizontal_ == horizontal) return;
    horizontal_ = horizontal;
    int width = GetFixedWidth(), height = GetFixedHeight();
    SetFixedWidth(height);
    SetFixedHeight(width);
}

void CScrollBarUI::SetScrollRange(int range) {
    range_ = std::max(range, 0);
    if (pos_ > range_) SetScrollPos(range_);
    Invalidate();
}

void CScrollBarUI::SetScrollPos(int pos) {
    pos = std::clamp(pos, 0, range_);
    if (pos == pos_) return;
    pos_ = pos;
    Invalidate();
    if (GetManager()) GetManager()->SendNotify(this, L"scroll", pos_, range_, true, false);
}

void CScrollBarUI::SetLineSize(int size) { lineSize_ = std::max(size, 1); }

void CScrollBarUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"hor") {
        SetHorizontal(ParseBool(value));
    } else if (name == L"linesize") {
        SetLineSize(ParseInteger(value));
    } else if (name == L"range") {
        SetScrollRange(ParseInteger(value));
    } else if (name == L"value") {
        SetScrollPos(ParseInteger(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
