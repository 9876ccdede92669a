#pragma once
// CHorizontalLayoutUI: children side by side, left to right. Children with a width of their own keep it
// (within their limits); the others share the rest. Each child fills the height up to its maximum, placed
// by "childvalign". See box_layout.h for the rules.
#include "skinui/container.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"HorizontalLayout"; }
    void* GetInterface(std::wstring_view name) override;
    void SetPos(SkinRect rc, bool needInvalidate = true) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    // Width of the drag separator at the left edge (negative: at the right edge); 0 for none.
    int GetSepWidth() const { return sepWidth_; }
    void SetSepWidth(int width) { sepWidth_ = width; }
    // Resize while dragging instead of on release.
    bool IsSepImmMode() const { return sepImm_; }
    void SetSepImmMode(bool immediately) { sepImm_ = immediately; }

private:
    int sepWidth_ = 0;
    bool sepImm_ = false;
};

}  // namespace SkinUI
