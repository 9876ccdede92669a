#pragma once
// CComboUI: a closed box showing the selected item, and a drop-down list (CComboWnd) to choose another.
//
// The combo's children are its items; they are never laid out or painted inside the combo. The drop-down
// is a popup window that exists only while open: it shows stand-ins for the items, so the items never
// change window and the popup owns nothing of the combo. Notifications: "dropdown" when it opens,
// "itemselect" (wParam the new index, lParam the old one) when the selection changes.
#include <string>
#include <string_view>

#include "skinui/container.h"
#include "skinui/list_element.h"

namespace SkinUI {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI, public IMessageFilterUI {
public:
    CComboUI();
    ~CComboUI() override;

    std::wstring_view GetClass() const override { return L"Combo"; }
    void* GetInterface(std::wstring_view name) override;
    unsigned GetControlFlags() const override;
    // Opens the drop-down (when not open yet) and sends "dropdown".
    bool Activate() override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override;
    void SetEnabled(bool enabled = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;

    // ---- items ----
    // The selected index, -1 for none.
    int GetCurSel() const override { return curSel_; }
    // Selects item `index` (-1: none) and sends "itemselect"; nothing is sent when it is already selected.
    // A choice closes an open drop-down. False for an index out of range or an item that is not
    // selectable (disabled, not a list item).
    bool SelectItem(int index, bool takeFocus = false) override;
    const TListInfoUI& GetListInfo() const override { return listInfo_; }
    // Adding and removing keep the selection on the same item; removing the selected one selects none.
    bool AddAt(CControlUI* control, int index) override;
    bool RemoveAt(int index, bool keep = false) override;
    void RemoveAll() override;

    // ---- drop-down ----
    bool IsDropDownOpen() const { return drop_ != nullptr; }
    // The open drop-down, or null.
    CComboWnd* GetDropWindow() const { return drop_; }
    // Asks an open drop-down to close (it goes on the next turn of the UI loop).
    void CloseDropDown();
    const std::wstring& GetDropBoxAttributeList() const { return dropBoxAttributes_; }
    SkinSize GetDropBoxSize() const { return dropBoxSize_; }
    // Where the drop-down goes on the screen: below the combo at "dropboxsize" (width 0: the combo's),
    // above it when the work area has no room below. Empty without a window.
    platform::Rect DropBoxBounds() const;

    // ---- appearance ----
    SkinRect GetTextPadding() const { return textPadding_; }
    bool IsShowText() const { return showText_; }
    uint32_t GetTextColor() const { return textColor_; }
    unsigned GetButtonState() const { return state_; }

    // Items are not hit-tested inside the closed combo: a point over it finds the combo.
    CControlUI* FindControl(FindControlProc proc, void* data, unsigned flags) override;
    void SetPos(SkinRect rc, bool needInvalidate = true) override;
    void DoPaint(cairo_t* cr, const SkinRect& paint) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintBkColor(cairo_t* cr) override;
    void PaintStatusImage(cairo_t* cr) override;
    void PaintText(cairo_t* cr) override;

    // IMessageFilterUI, on the combo's window while the drop-down is open.
    intptr_t MessageHandler(const platform::WindowEvent& event, bool& handled) override;

private:
    friend class CComboWnd;
    // The drop-down window is gone.
    void dropDownClosed(CComboWnd* drop);
    // Destroys an open drop-down at once (the combo or its window is going away).
    void destroyDropDown();
    void renumber();
    // The next selectable item from `from` in direction `step`, or -1.
    int nextSelectable(int from, int step) const;

    int curSel_ = -1;
    unsigned state_ = 0;
    SkinRect textPadding_{};
    bool showText_ = true;
    bool showTextColor_ = false;
    uint32_t textColor_ = 0;
    uint32_t hotBkColor_ = 0;
    uint32_t pushedBkColor_ = 0;
    TDrawInfo normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
    std::wstring dropBoxAttributes_;
    SkinSize dropBoxSize_{0, 150};
    TListInfoUI listInfo_;
    CComboWnd* drop_ = nullptr;  // owned while open
    CPaintManagerUI* filterManager_ = nullptr;  // where this combo filters messages while open
};

}  // namespace SkinUI
