#pragma once
// IContainerUI and CContainerUI: controls that own an ordered list of child controls, with an inset, the
// spacing and alignment of children, optional scroll bars, and the placement of floating children. The
// plain container puts every child over its whole inner rectangle; the layouts (vertical, horizontal, tab)
// derive from it.
#include <vector>

#include "skinui/box_layout.h"
#include "skinui/control.h"

namespace SkinUI {

class CScrollBarUI;

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
    // Takes the child out of the list; unless `keep` (or automatic destruction is off) it is deleted: after
    // the current message when the container is attached and destruction is delayed, at once otherwise.
    // False when it is not a child.
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
    // Attaches the children and scroll bars too, with this container as their parent.
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override;

    // ---- children ----
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    int GetCount() const override { return int(items_.size()); }
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool keep = false) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;
    bool IsAutoDestroy() const { return autoDestroy_; }
    void SetAutoDestroy(bool autoDestroy) { autoDestroy_ = autoDestroy; }
    bool IsDelayedDestroy() const { return delayedDestroy_; }
    void SetDelayedDestroy(bool delayed) { delayedDestroy_ = delayed; }

    // ---- layout attributes ----
    SkinRect GetInset() const { return inset_; }
    void SetInset(SkinRect inset);
    int GetChildPadding() const { return childPadding_; }
    void SetChildPadding(int padding);
    // Placement of children narrower (vertical layout) or lower (horizontal layout) than the room.
    BoxAlign GetChildAlign() const { return childAlign_; }
    void SetChildAlign(BoxAlign align);
    BoxAlign GetChildVAlign() const { return childVAlign_; }
    void SetChildVAlign(BoxAlign align);
    bool IsMouseChildEnabled() const { return mouseChild_; }
    void SetMouseChildEnabled(bool enabled = true) { mouseChild_ = enabled; }

    // ---- flags, geometry, events ----
    // Hiding a container hides its subtree; showing it restores each child's own setting.
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetPos(SkinRect rc, bool needInvalidate = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    CControlUI* FindControl(FindControlProc proc, void* data, unsigned flags) override;
    void DoPaint(cairo_t* cr, const SkinRect& paint) override;

    // Places the floating child at `index` from its fixed position, size and float percentages relative to
    // this container. Nothing for an invisible or non-floating child.
    void SetFloatPos(int index);

    // ---- scrolling ----
    // Position and range of the horizontal (cx) and vertical (cy) bar; 0 without a visible bar.
    SkinSize GetScrollPos() const;
    SkinSize GetScrollRange() const;
    // Scrolls the content; each part is clamped into its bar's range. Needs visible bars.
    void SetScrollPos(SkinSize pos);
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void LineLeft();
    void LineRight();
    void PageLeft();
    void PageRight();
    // Creates (with the window's default list "VScrollBar" or "HScrollBar") or removes the bars.
    void EnableScrollBar(bool vertical = true, bool horizontal = false);
    CScrollBarUI* GetVerticalScrollBar() const { return vbar_; }
    CScrollBarUI* GetHorizontalScrollBar() const { return hbar_; }
    // Shows an enabled bar when the content (`cxNeeded` by `cyNeeded`) is larger than `inner` (the inner
    // rectangle less inset and visible bars), its range the excess; hides it at position 0 when the content
    // fits; places the visible bars at the inner rectangle's right and bottom edges.
    virtual void ProcessScrollBar(SkinRect inner, int cxNeeded, int cyNeeded);

protected:
    // The item rectangle less the inset and the visible scroll bars.
    SkinRect InnerRect() const;
    // Lays the visible children out in a flow along `axis` (the vertical and horizontal layouts).
    void LayoutAsBox(BoxAxis axis);

private:
    void takeOut(CControlUI* control, bool keep);

    std::vector<CControlUI*> items_;  // owned
    SkinRect inset_{};
    int childPadding_ = 0;
    BoxAlign childAlign_ = BoxAlign::Start;
    BoxAlign childVAlign_ = BoxAlign::Start;
    bool mouseChild_ = true;
    bool autoDestroy_ = true;
    bool delayedDestroy_ = true;
    CScrollBarUI* vbar_ = nullptr;  // owned
    CScrollBarUI* hbar_ = nullptr;  // owned
    int scrollProcessDepth_ = 0;
};

// What a box layout needs to know of a child (its sizes, limits, padding and its EstimateSize).
BoxChild BoxChildOf(CControlUI* control);

}  // namespace SkinUI
