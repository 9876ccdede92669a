// [window resources] of CPaintManagerUI: images, fonts and default attribute lists registered by layouts,
// per window and shared by all windows.
#include "skinui/paint_manager.h"

namespace SkinUI {

namespace {

struct SharedResources {
    std::map<std::wstring, TImageInfo> images;
    std::map<int, TFontInfo> fonts;
    TFontInfo defaultFont;
    std::map<std::wstring, std::wstring> defaultAttributes;
};

SharedResources& shared() {
    static SharedResources tables;
    return tables;
}

}  // namespace

const TImageInfo* CPaintManagerUI::AddImage(const std::wstring& name, const std::wstring& resType, uint32_t mask,
                                            bool isShared) {
    auto& table = isShared ? shared().images : images_;
    TImageInfo& info = table[name];
    info = TImageInfo{name, resType, mask};
    return &info;
}

const TImageInfo* CPaintManagerUI::GetImage(const std::wstring& name) const {
    if (auto it = images_.find(name); it != images_.end()) return &it->second;
    if (auto it = shared().images.find(name); it != shared().images.end()) return &it->second;
    return nullptr;
}

void CPaintManagerUI::AddFont(int id, const std::wstring& face, int size, bool bold, bool underline, bool italic,
                              bool isShared) {
    auto& table = isShared ? shared().fonts : fonts_;
    table[id] = TFontInfo{face, size, bold, underline, italic};
}

const TFontInfo* CPaintManagerUI::GetFont(int id) const {
    if (auto it = fonts_.find(id); it != fonts_.end()) return &it->second;
    if (auto it = shared().fonts.find(id); it != shared().fonts.end()) return &it->second;
    return nullptr;
}

void CPaintManagerUI::SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic,
                                     bool isShared) {
    TFontInfo font{face, size, bold, underline, italic};
    if (isShared) {
        shared().defaultFont = font;
    } else {
        defaultFont_ = std::make_unique<TFontInfo>(font);
    }
}

const TFontInfo& CPaintManagerUI::GetDefaultFontInfo() const {
    return defaultFont_ ? *defaultFont_ : shared().defaultFont;
}

void CPaintManagerUI::AddDefaultAttributeList(const std::wstring& name, const std::wstring& list, bool isShared) {
    auto& table = isShared ? shared().defaultAttributes : defaultAttributes_;
    table[name] = list;
}

std::wstring CPaintManagerUI::GetDefaultAttributeList(const std::wstring& name) const {
    if (auto it = defaultAttributes_.find(name); it != defaultAttributes_.end()) return it->second;
    if (auto it = shared().defaultAttributes.find(name); it != shared().defaultAttributes.end()) return it->second;
    return {};
}

void CPaintManagerUI::RemoveAllShared() { shared() = SharedResources(); }

}  // namespace SkinUI
