#include "skinui/control.h"

namespace SkinUI {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() { delete cover_; }

void* CControlUI::GetInterface(std::wstring_view name) { return name == L"Control" ? this : nullptr; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    (void)init;
    manager_ = manager;
    parent_ = parent;
    if (cover_) cover_->SetManager(manager, this, init);
}

void CControlUI::SetCover(CControlUI* cover) {
    if (cover == cover_) return;
    delete cover_;
    cover_ = cover;
    if (cover_) cover_->SetManager(manager_, this, false);
}

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"name") {
        SetName(value);
    } else {
        AddCustomAttribute(name, value);
    }
}

void CControlUI::ApplyAttributeList(std::wstring_view list) {
    size_t pos = 0;
    while (pos < list.size()) {
        size_t equals = list.find(L'=', pos);
        if (equals == std::wstring_view::npos) return;
        if (equals + 1 >= list.size() || list[equals + 1] != L'"') return;
        size_t valueStart = equals + 2;
        size_t quote = list.find(L'"', valueStart);
        if (quote == std::wstring_view::npos) return;
        SetAttribute(std::wstring(list.substr(pos, equals - pos)),
                     std::wstring(list.substr(valueStart, quote - valueStart)));
        pos = quote + 1;
        if (pos >= list.size() || list[pos] != L' ') return;
        ++pos;
    }
}

void CControlUI::AddCustomAttribute(const std::wstring& name, const std::wstring& value) {
    if (name.empty() || value.empty()) return;
    customAttributes_.try_emplace(name, value);
}

std::wstring CControlUI::GetCustomAttribute(const std::wstring& name) const {
    auto it = customAttributes_.find(name);
    return it == customAttributes_.end() ? std::wstring() : it->second;
}

bool CControlUI::RemoveCustomAttribute(const std::wstring& name) { return customAttributes_.erase(name) > 0; }

}  // namespace SkinUI
