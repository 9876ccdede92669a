#include "skinui/horizontal_layout.h"

namespace SkinUI {

void* CHorizontalLayoutUI::GetInterface(std::wstring_view name) {
    if (name == L"HorizontalLayout") return this;
    return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(SkinRect rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    LayoutAsBox(BoxAxis::Horizontal);
}

void CHorizontalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"sepwidth") {
        SetSepWidth(ParseInteger(value));
    } else if (name == L"sepimm") {
        SetSepImmMode(ParseBool(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
