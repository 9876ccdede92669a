#include "skinui/render_font.h"

#include <algorithm>

#include "common/utf8.h"
#include "skinui/render_text.h"

namespace SkinUI::render_font {

namespace {

constexpr int kDefaultPixelSize = 12;
constexpr int kMaxPixelSize = 1024;

}  // namespace

TFontInfo FontOf(const CPaintManagerUI* manager, int index) {
    if (!manager) return TFontInfo{};
    if (index >= 0) {
        if (const TFontInfo* font = manager->GetFont(index)) return *font;
    }
    return manager->GetDefaultFontInfo();
}

FontDescriptionPtr MakeFontDescription(const TFontInfo& font) {
    FontDescriptionPtr d(pango_font_description_new());
    std::string family = font.face.empty() ? std::string("Sans") : common::wideToUtf8(font.face);
    pango_font_description_set_family(d.get(), family.c_str());
    // A size of 0 or less cannot be drawn; the skins mean the default then. Giant sizes from markup are
    // limited, as glyphs that large only cost time and memory.
    int size = font.size > 0 ? std::min(font.size, kMaxPixelSize) : kDefaultPixelSize;
    pango_font_description_set_absolute_size(d.get(), double(size) * PANGO_SCALE);
    pango_font_description_set_weight(d.get(), font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d.get(), font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return d;
}

PangoLanguage* UiLanguage() {
    std::string tag = TextLanguageOf(CPaintManagerUI::GetCurrentLanguage());
    return tag.empty() ? nullptr : pango_language_from_string(tag.c_str());
}

void SetLayoutFont(PangoLayout* layout, const TFontInfo& font) {
    FontDescriptionPtr d = MakeFontDescription(font);
    pango_layout_set_font_description(layout, d.get());
    PangoAttrList* attrs = pango_attr_list_new();
    if (font.underline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
}

void SetLayoutText(PangoLayout* layout, const std::wstring& text) {
    std::string utf8 = common::wideToUtf8(text);
    pango_layout_set_text(layout, utf8.data(), int(utf8.size()));
}

LayoutPtr MakeLayout(cairo_t* cr, const TFontInfo& font, const std::wstring& text) {
    LayoutPtr layout(pango_cairo_create_layout(cr));
    if (PangoLanguage* language = UiLanguage()) {
        pango_context_set_language(pango_layout_get_context(layout.get()), language);
        pango_layout_context_changed(layout.get());
    }
    SetLayoutFont(layout.get(), font);
    SetLayoutText(layout.get(), text);
    return layout;
}

}  // namespace SkinUI::render_font
