#pragma once
// CComboWnd: the drop-down popup of a CComboUI. It lists stand-ins for the combo's items in a vertical
// layout (with the combo's "dropbox" attributes, scrolling when they do not fit), follows the mouse
// with the hot item, and closes on a choice, Escape, Return or when it loses the focus.
//
// Made and owned by its combo; it exists only while open. Closing is posted; when the window is gone
// it tells the combo and deletes itself, unless the combo is deleting it.
#include <string_view>

#include "skinui/list_element.h"
#include "skinui/paint_manager.h"
#include "skinui/window_wnd.h"

namespace SkinUI {

class CComboUI;
class CVerticalLayoutUI;

class CComboWnd : public CWindowWnd, public IListOwnerUI {
public:
    explicit CComboWnd(CComboUI* owner);
    ~CComboWnd() override;

    // Creates and shows the window at `bounds` (screen), owned by the combo's window. False on failure.
    bool Open(const platform::Rect& bounds);
    CPaintManagerUI& GetPaintManager() { return m_pm; }
    // The list of stand-ins; null before Open.
    CVerticalLayoutUI* GetList() const { return list_; }
    // Makes the stand-ins again from the combo's items (they changed while open).
    void Rebuild();
    // Marks the stand-in of the combo's selection and scrolls it into view.
    void SyncSelection();

    // IListOwnerUI for the stand-ins: the look copied from the combo when the list was made (the combo
    // may go first), its selection, and a choice that closes the drop-down and then selects in the combo.
    const TListInfoUI& GetListInfo() const override { return info_; }
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false) override;

protected:
    std::wstring_view GetWindowClassName() const override { return L"ComboWnd"; }
    intptr_t HandleMessage(const platform::WindowEvent& event, bool& handled) override;
    void OnFinalMessage(platform::Window* window) override;

private:
    friend class CComboUI;

    CComboUI* owner_;  // null once the combo let go of this window
    TListInfoUI info_;
    CPaintManagerUI m_pm;
    CVerticalLayoutUI* list_ = nullptr;  // owned by m_pm
    bool deleting_ = false;
    bool hadFocus_ = false;
};

}  // namespace SkinUI
