#pragma once
// CVerticalLayoutUI: children stacked top to bottom. Children with a height of their own keep it (within
// their limits); the others share the rest. Each child fills the width up to its maximum, placed by
// "childalign". See box_layout.h for the rules.
#include "skinui/container.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"VerticalLayout"; }
    void* GetInterface(std::wstring_view name) override;
    void SetPos(SkinRect rc, bool needInvalidate = true) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    // Height of the drag separator at the top edge (negative: at the bottom edge); 0 for none.
    int GetSepHeight() const { return sepHeight_; }
    void SetSepHeight(int height) { sepHeight_ = height; }
    // Resize while dragging instead of on release.
    bool IsSepImmMode() const { return sepImm_; }
    void SetSepImmMode(bool immediately) { sepImm_ = immediately; }

private:
    int sepHeight_ = 0;
    bool sepImm_ = false;
};

}  // namespace SkinUI
