#include "skinui/control_factory.h"

#include <utility>

#include "skinui/button.h"
#include "skinui/combo.h"
#include "skinui/container.h"
#include "skinui/edit.h"
#include "skinui/control.h"
#include "skinui/horizontal_layout.h"
#include "skinui/label.h"
#include "skinui/list_element.h"
#include "skinui/progress.h"
#include "skinui/rich_edit.h"
#include "skinui/scroll_bar.h"
#include "skinui/tab_layout.h"
#include "skinui/vertical_layout.h"

namespace SkinUI {

namespace {

template <typename T>
CControlUI* make() {
    return new T();
}

}  // namespace

CControlFactory::CControlFactory() {
    // The toolkit's own classes; each control class adds its line here.
    Register(L"CControlUI", make<CControlUI>);
    Register(L"CContainerUI", make<CContainerUI>);
    Register(L"CVerticalLayoutUI", make<CVerticalLayoutUI>);
    Register(L"CHorizontalLayoutUI", make<CHorizontalLayoutUI>);
    Register(L"CTabLayoutUI", make<CTabLayoutUI>);
    Register(L"CScrollBarUI", make<CScrollBarUI>);
    Register(L"CLabelUI", make<CLabelUI>);
    Register(L"CTextUI", make<CTextUI>);
    Register(L"CButtonUI", make<CButtonUI>);
    Register(L"COptionUI", make<COptionUI>);
    Register(L"CCheckBoxUI", make<CCheckBoxUI>);
    Register(L"CProgressUI", make<CProgressUI>);
    Register(L"CEditUI", make<CEditUI>);
    Register(L"CComboUI", make<CComboUI>);
    Register(L"CListLabelElementUI", make<CListLabelElementUI>);
    Register(L"CRichEditUI", make<CRichEditUI>);
}

CControlFactory& CControlFactory::Instance() {
    static CControlFactory factory;
    return factory;
}

CControlFactory::Creator CControlFactory::Register(const std::wstring& className, Creator creator) {
    Creator& slot = creators_[className];
    return std::exchange(slot, std::move(creator));
}

CControlFactory::Creator CControlFactory::Unregister(const std::wstring& className) {
    auto it = creators_.find(className);
    if (it == creators_.end()) return {};
    Creator old = std::move(it->second);
    creators_.erase(it);
    return old;
}

CControlUI* CControlFactory::Create(const std::wstring& className) const {
    auto it = creators_.find(className);
    return (it == creators_.end() || !it->second) ? nullptr : it->second();
}

bool CControlFactory::IsRegistered(const std::wstring& className) const {
    auto it = creators_.find(className);
    return it != creators_.end() && it->second;
}

}  // namespace SkinUI
