#pragma once
// CButtonUI: a label with state images that sends "click" when pressed and released inside it;
// COptionUI and CCheckBoxUI: buttons that stay selected, alone or one of a named group.
#include <string>
#include <string_view>

#include "skinui/label.h"

namespace SkinUI {

// Button state bits (shared by button, option, check box and edit).
namespace ButtonState {
inline constexpr unsigned Focused = 1;
inline constexpr unsigned Selected = 2;
inline constexpr unsigned Disabled = 4;
inline constexpr unsigned Hot = 8;
inline constexpr unsigned Pushed = 16;
inline constexpr unsigned Captured = 64;
}  // namespace ButtonState

inline constexpr uint32_t kFadeTimerId = 11;

class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    std::wstring_view GetClass() const override { return L"Button"; }
    void* GetInterface(std::wstring_view name) override;
    unsigned GetControlFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(cairo_t* cr) override;
    void PaintBkColor(cairo_t* cr) override;
    void PaintBorder(cairo_t* cr) override;

    unsigned GetButtonState() const { return state_; }
    int GetFadeOpacity() const { return fadeOpacity_; }

protected:
    uint32_t CurrentTextColor() const override;
    // Draws the image of `info`, or else picture `part` (0 to 3) of the standard image. False when neither.
    bool DrawStateImage(cairo_t* cr, TDrawInfo& info, int part, int opacity = 255);
    void startFade();

    unsigned state_ = 0;
    TDrawInfo normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
    TDrawInfo foreImage_, hotForeImage_, standardImage_, redImage_;
    bool showRed_ = false;
    bool showCursor_ = false;
    int fadeDelta_ = 0;
    int fadeOpacity_ = 255;  // of the normal image while cross-fading to the hot one
    uint32_t hotBkColor_ = 0, pushedBkColor_ = 0, disabledBkColor_ = 0;
    uint32_t hotTextColor_ = 0, pushedTextColor_ = 0, focusedTextColor_ = 0;
    uint32_t hotBorderColor_ = 0;
};

class COptionUI : public CButtonUI {
public:
    ~COptionUI() override;
    std::wstring_view GetClass() const override { return L"Option"; }
    void* GetInterface(std::wstring_view name) override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) override;
    bool Activate() override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(cairo_t* cr) override;
    void PaintBkColor(cairo_t* cr) override;

    const std::wstring& GetGroup() const { return group_; }
    void SetGroup(const std::wstring& group);
    bool IsSelected() const { return selected_; }
    // Selects or clears the option; selecting one of a group clears the others. "selectchanged" goes out
    // when `notify` and the state changed.
    void Selected(bool selected, bool notify = true);

protected:
    uint32_t CurrentTextColor() const override;

    std::wstring group_;
    bool selected_ = false;
    TDrawInfo selectedImage_, selectedHotImage_, selectedDisabledImage_;
    uint32_t selectedBkColor_ = 0, selectedTextColor_ = 0;
};

class CCheckBoxUI : public COptionUI {
public:
    std::wstring_view GetClass() const override { return L"CheckBox"; }
    void* GetInterface(std::wstring_view name) override;
};

}  // namespace SkinUI
