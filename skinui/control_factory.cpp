#include "skinui/control_factory.h"

#include <utility>

#include "skinui/container.h"
#include "skinui/control.h"

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
