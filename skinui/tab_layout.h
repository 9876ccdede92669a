#pragma once
// CTabLayoutUI: pages on top of each other, one shown at a time. The first visible child added becomes
// the selected page; every other child is hidden. Only the selected page (and floating children) is laid
// out, over the inner rectangle less the page's padding.
#include "skinui/container.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
public:
    std::wstring_view GetClass() const override { return L"TabLayout"; }
    void* GetInterface(std::wstring_view name) override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    // -1 while there is no page.
    int GetCurSel() const { return curSel_; }
    // Shows page `index` and hides the others; the page is asked to take the focus. With `notify`,
    // "tabselect" is sent (wParam the new index, lParam the old one). False for an index out of range; the
    // current page succeeds without change.
    virtual bool SelectItem(int index, bool notify = true);
    bool SelectItem(CControlUI* page, bool notify = true);

    void SetPos(SkinRect rc, bool needInvalidate = true) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

private:
    void afterRemoval(int index);

    int curSel_ = -1;
};

}  // namespace SkinUI
