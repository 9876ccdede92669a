#pragma once
// CLabelUI: text in a rectangle, plain or with inline tags; the base of the text-bearing controls.
#include <string>
#include <string_view>
#include <vector>

#include "skinui/control.h"
#include "skinui/render_effect_text.h"
#include "skinui/render_html.h"

namespace SkinUI {

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    std::wstring_view GetClass() const override { return L"Label"; }
    void* GetInterface(std::wstring_view name) override;

    unsigned GetTextStyle() const { return textStyle_; }
    void SetTextStyle(unsigned style);
    int GetFont() const { return font_; }
    void SetFont(int font);
    uint32_t GetTextColor() const { return textColor_; }
    void SetTextColor(uint32_t color);
    uint32_t GetDisabledTextColor() const { return disabledTextColor_; }
    void SetDisabledTextColor(uint32_t color);
    SkinRect GetTextPadding() const { return textPadding_; }
    void SetTextPadding(SkinRect padding);
    bool IsShowHtml() const { return showHtml_; }
    void SetShowHtml(bool show);
    bool IsMultiLine() const { return (textStyle_ & 0x20) == 0; }
    bool IsEffectEnabled() const { return effectEnabled_; }
    const TEffectText& GetEffect() const { return effect_; }

    SkinSize EstimateSize(SkinSize available) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintText(cairo_t* cr) override;

protected:
    // The colour the text is drawn in now (0 falls back to the window's defaults).
    virtual uint32_t CurrentTextColor() const;
    // Draws `text` in the text rectangle with the label's style and font.
    void DrawLabelText(cairo_t* cr, const std::wstring& text, uint32_t color);
    // The size the text needs; `width` is the wrapping width for multi-line text.
    SkinSize MeasureLabelText(const std::wstring& text, int width) const;

    unsigned textStyle_;
    int font_ = -1;
    uint32_t textColor_ = 0;
    uint32_t disabledTextColor_ = 0;
    SkinRect textPadding_{};
    bool showHtml_ = false;

private:
    bool SetEffectAttribute(const std::wstring& name, const std::wstring& value);

    bool effectEnabled_ = false;
    TEffectText effect_;
    int minWidthEx_ = 0;  // width limits while the width follows the text; 0: none
    int maxWidthEx_ = 0;
};

// CTextUI: a label whose text carries inline tags and links; the links it last drew can be looked up.
class CTextUI : public CLabelUI {
public:
    CTextUI();
    std::wstring_view GetClass() const override { return L"Text"; }
    void* GetInterface(std::wstring_view name) override;
    unsigned GetControlFlags() const override { return links_.empty() ? 0 : UIFLAG_SETCURSOR; }
    void PaintText(cairo_t* cr) override;
    void DoEvent(TEventUI& event) override;
    // Rectangles (client coordinates) and targets of the links drawn at the last paint.
    const std::vector<THtmlLink>& GetLinks() const { return links_; }

private:
    std::vector<THtmlLink> links_;
};

}  // namespace SkinUI
