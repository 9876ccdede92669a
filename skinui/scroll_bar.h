#pragma once
// CScrollBarUI: the scroll bar of a container. Its owner places it with absolute rectangles (the bar has
// no parent) and reads its range and position. This is the bar's model (range, position, line size, owner) and
// the attributes that change it; the buttons, thumb, images and dragging of the full control build on it.
#include "skinui/control.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    // The width of a vertical bar and the height of a horizontal one.
    static constexpr int kDefaultSize = 16;

    CScrollBarUI();

    std::wstring_view GetClass() const override { return L"ScrollBar"; }
    void* GetInterface(std::wstring_view name) override;

    // The container this bar scrolls; null for a free-standing bar.
    CContainerUI* GetOwner() const { return owner_; }
    void SetOwner(CContainerUI* owner) { owner_ = owner; }

    bool IsHorizontal() const { return horizontal_; }
    // Swaps the fixed width and height so that the bar keeps its thickness across the new direction.
    void SetHorizontal(bool horizontal);
    // Range 0 and up; the position is kept inside it.
    int GetScrollRange() const { return range_; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return pos_; }
    // Clamped into 0..range. A change is reported as an asynchronous, coalesced "scroll" notification
    // (wParam = the new position, lParam = the range) when the bar is attached.
    void SetScrollPos(int pos);
    int GetLineSize() const { return lineSize_; }
    void SetLineSize(int size);

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

private:
    CContainerUI* owner_ = nullptr;
    bool horizontal_ = false;
    int range_ = 100;
    int pos_ = 0;
    int lineSize_ = 8;
};

}  // namespace SkinUI
