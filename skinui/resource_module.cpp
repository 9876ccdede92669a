#include "skinui/resource_module.h"

namespace SkinUI {

std::wstring ResourceIdName(unsigned id) { return L"#" + std::to_wstring(id); }

void CResourceModule::AddResource(const std::wstring& type, const std::wstring& name, std::span<const uint8_t> bytes) {
    resources_[{type, name}] = bytes;
}

std::span<const uint8_t> CResourceModule::FindResource(const std::wstring& type, const std::wstring& name) const {
    auto it = resources_.find({type, name});
    return it == resources_.end() ? std::span<const uint8_t>() : it->second;
}

}  // namespace SkinUI
