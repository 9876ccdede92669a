#pragma once
// IContainerUI and CContainerUI: controls that own an ordered list of child controls. Layout, insets,
// scroll bars and the other container attributes build on this.
#include <vector>

#include "skinui/control.h"

namespace SkinUI {

class IContainerUI {
public:
    virtual ~IContainerUI() = default;
    // Null for an index out of range.
    virtual CControlUI* GetItemAt(int index) const = 0;
    // -1 when `control` is not a child.
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual int GetCount() const = 0;
    // Takes ownership on success. False for null, a control already here or an index out of range.
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    // Takes the child out of the list and deletes it unless `keep`. False when it is not a child.
    virtual bool Remove(CControlUI* control, bool keep = false) = 0;
    virtual bool RemoveAt(int index, bool keep = false) = 0;
    virtual void RemoveAll() = 0;
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    std::wstring_view GetClass() const override { return L"Container"; }
    void* GetInterface(std::wstring_view name) override;
    // Attaches the children too, with this container as their parent.
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override;

    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    int GetCount() const override { return int(items_.size()); }
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

private:
    std::vector<CControlUI*> items_;  // owned
};

}  // namespace SkinUI
