#include "skinui/container.h"

namespace SkinUI {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() { RemoveAll(); }

void* CContainerUI::GetInterface(std::wstring_view name) {
    if (name == L"IContainer") return static_cast<IContainerUI*>(this);
    if (name == L"Container") return this;
    return CControlUI::GetInterface(name);
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    for (CControlUI* item : items_) item->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return items_[size_t(index)];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i] == control) return int(i);
    }
    return -1;
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (!control || index < 0 || index > GetCount() || GetItemIndex(control) >= 0) return false;
    items_.insert(items_.begin() + index, control);
    control->SetManager(GetManager(), this, false);
    return true;
}

bool CContainerUI::Remove(CControlUI* control, bool keep) { return RemoveAt(GetItemIndex(control), keep); }

bool CContainerUI::RemoveAt(int index, bool keep) {
    CControlUI* control = GetItemAt(index);
    if (!control) return false;
    items_.erase(items_.begin() + index);
    if (keep) {
        control->SetManager(nullptr, nullptr, false);
    } else {
        delete control;
    }
    return true;
}

void CContainerUI::RemoveAll() {
    std::vector<CControlUI*> items;
    items.swap(items_);
    for (CControlUI* item : items) delete item;
}

}  // namespace SkinUI
