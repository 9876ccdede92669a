// [window attributes] of CPaintManagerUI: the attributes of a layout's root "Window" element. They are
// stored here; the window base applies them to its platform window when it adopts the layout.
#include <algorithm>

#include "skinui/paint_manager.h"

namespace SkinUI {

void CPaintManagerUI::SetWindowAttribute(const std::wstring& name, const std::wstring& value) {
    auto is = [&name](std::wstring_view known) { return EqualsIgnoreCase(name, known); };
    auto opacity = [&value] { return std::clamp(ParseInteger(value), 0, 255); };
    if (is(L"size")) {
        initSize_ = ParseSize(value);
    } else if (is(L"sizebox")) {
        sizeBox_ = ParseRect(value);
    } else if (is(L"caption")) {
        caption_ = ParseRect(value);
    } else if (is(L"roundcorner")) {
        roundCorner_ = ParseSize(value);
    } else if (is(L"mininfo")) {
        minInfo_ = ParseSize(value);
    } else if (is(L"maxinfo")) {
        maxInfo_ = ParseSize(value);
    } else if (is(L"showdirty")) {
        showUpdateRect_ = ParseBoolIgnoreCase(value);
    } else if (name == L"noactivate") {
        noActivate_ = ParseBoolIgnoreCase(value);
    } else if (is(L"opacity")) {
        opacity_ = opacity();
    } else if (name == L"layeredopacity") {
        layeredOpacity_ = opacity();
    } else if (name == L"layeredimage") {
        layered_ = true;
        layeredImage_ = value;
    } else if (name == L"layeredEnlargeimage") {
        layered_ = true;  // the enlarged display mode is never entered, so its image is not kept
    } else if (is(L"disabledfontcolor")) {
        disabledColor_ = ParseColor(value);
    } else if (is(L"defaultfontcolor")) {
        fontColor_ = ParseColor(value);
    } else if (is(L"linkfontcolor")) {
        linkColor_ = ParseColor(value);
    } else if (is(L"linkhoverfontcolor")) {
        linkHoverColor_ = ParseColor(value);
    } else if (is(L"selectedcolor")) {
        selectedColor_ = ParseColor(value);
    } else if (!name.empty() && !value.empty()) {
        windowCustomAttributes_.try_emplace(name, value);
    }
}

std::wstring CPaintManagerUI::GetWindowCustomAttribute(const std::wstring& name) const {
    auto it = windowCustomAttributes_.find(name);
    return it == windowCustomAttributes_.end() ? std::wstring() : it->second;
}

}  // namespace SkinUI
