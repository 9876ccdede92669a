#pragma once
// CProgressUI: a bar filled in proportion to its value between minimum and maximum.
#include "skinui/label.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    std::wstring_view GetClass() const override { return L"Progress"; }
    void* GetInterface(std::wstring_view name) override;

    int GetMinValue() const { return min_; }
    void SetMinValue(int value);
    int GetMaxValue() const { return max_; }
    void SetMaxValue(int value);
    int GetValue() const { return value_; }
    // Kept between minimum and maximum.
    void SetValue(int value);
    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal);
    // The filled part as offsets inside the control; empty when nothing is filled (also when the
    // minimum is not below the maximum).
    SkinRect FilledRect() const;

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(cairo_t* cr) override;

private:
    bool horizontal_ = true;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    uint32_t foreColor_ = 0;
    TDrawInfo foreImage_;
};

}  // namespace SkinUI
