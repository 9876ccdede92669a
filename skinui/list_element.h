#pragma once
// The items of list-like controls (the combo's drop-down): a list owner keeps the look shared by its
// items (TListInfoUI) and the selection; CListLabelElementUI is a one-line text item that paints itself
// from its owner's look and hands a click on it to the owner.
#include <string>
#include <string_view>

#include "skinui/label.h"

namespace SkinUI {

// The look of a list's items, set through the owner's "item..." attributes.
struct TListInfoUI {
    int height = 0;  // 0: the text's height
    int font = -1;
    unsigned textStyle;  // alignment bits of "itemalign" over vcenter + single line
    SkinRect textPadding{};
    uint32_t textColor = 0;
    uint32_t bkColor = 0;
    std::wstring bkImage;
    bool alternateBk = false;  // every second row without the background colour
    uint32_t selectedTextColor = 0;
    uint32_t selectedBkColor = 0;
    std::wstring selectedImage;
    uint32_t hotTextColor = 0;
    uint32_t hotBkColor = 0;
    std::wstring hotImage;
    uint32_t disabledTextColor = 0;
    uint32_t disabledBkColor = 0;
    std::wstring disabledImage;
    int vLineSize = 0;
    uint32_t vLineColor = 0;
    int hLineSize = 0;
    uint32_t hLineColor = 0;
    bool showHtml = false;

    TListInfoUI();
    // Takes one "item..." attribute; false for another name.
    bool SetAttribute(const std::wstring& name, const std::wstring& value);
};

class IListOwnerUI {
public:
    virtual ~IListOwnerUI() = default;
    virtual const TListInfoUI& GetListInfo() const = 0;
    virtual int GetCurSel() const = 0;
    // What a click on item `index` does. False when refused (out of range, disabled owner).
    virtual bool SelectItem(int index, bool takeFocus = false) = 0;
};

class CListLabelElementUI : public CLabelUI {
public:
    CListLabelElementUI();
    std::wstring_view GetClass() const override { return L"ListLabelElement"; }
    // Answers "ListItem" and "ListLabelElement".
    void* GetInterface(std::wstring_view name) override;
    // Tells the owner, which selects the item.
    bool Activate() override;

    IListOwnerUI* GetOwner() const { return owner_; }
    void SetOwner(IListOwnerUI* owner) { owner_ = owner; }
    int GetIndex() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    bool IsSelected() const { return selected_; }
    // The selected look only; selecting is the owner's business. True when it changed.
    bool Select(bool selected = true);
    bool IsHot() const { return hot_; }

    void SetEnabled(bool enabled = true) override;
    SkinSize EstimateSize(SkinSize available) override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(cairo_t* cr) override;
    void PaintStatusImage(cairo_t* cr) override;
    void PaintText(cairo_t* cr) override;
    void PaintBorder(cairo_t* cr) override;

protected:
    uint32_t CurrentTextColor() const override;

private:
    IListOwnerUI* owner_ = nullptr;
    int index_ = -1;
    bool selected_ = false;
    bool hot_ = false;
    bool pressed_ = false;
};

}  // namespace SkinUI
