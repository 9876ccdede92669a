#include "skinui/vertical_layout.h"

namespace SkinUI {

void* CVerticalLayoutUI::GetInterface(std::wstring_view name) {
    if (name == L"VerticalLayout") return this;
    return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(SkinRect rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    LayoutAsBox(BoxAxis::Vertical);
}

void CVerticalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"sepheight") {
        SetSepHeight(ParseInteger(value));
    } else if (name == L"sepimm") {
        SetSepImmMode(ParseBool(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
