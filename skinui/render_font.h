#pragma once
// Pango helpers shared by the text painters (render_text.cpp, render_html.cpp). Keeps Pango out of the
// public drawing headers.
#include <pango/pangocairo.h>

#include <memory>
#include <string>

#include "skinui/paint_manager.h"

namespace SkinUI::render_font {

struct PangoObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
struct FontDescriptionFree {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, PangoObjectUnref>;
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

// Font `index` of `manager`; the manager's default font for -1, an unknown index or a null manager
// (the built-in default then).
TFontInfo FontOf(const CPaintManagerUI* manager, int index);

FontDescriptionPtr MakeFontDescription(const TFontInfo& font);

// A layout for `cr` in the UI language, with `font` (underline included) and `text`.
LayoutPtr MakeLayout(cairo_t* cr, const TFontInfo& font, const std::wstring& text);
// Changes font and text of an existing layout.
void SetLayoutFont(PangoLayout* layout, const TFontInfo& font);
void SetLayoutText(PangoLayout* layout, const std::wstring& text);

// A text laid out for a rectangle with the label style flags (see DrawText): the layout, where its top-left
// corner goes, and the size it needs (the wrapped width when the style sets one).
struct PlacedText {
    LayoutPtr layout;
    std::wstring text;  // after "@" resolution
    double x = 0;
    double y = 0;
    SkinSize size{};
};
PlacedText PlaceText(cairo_t* cr, const CPaintManagerUI* manager, const SkinRect& rect, const std::wstring& text,
                     int font, unsigned style);

// The UI language (CPaintManagerUI::GetCurrentLanguage) as Pango sees it; null when none is set.
PangoLanguage* UiLanguage();

}  // namespace SkinUI::render_font
