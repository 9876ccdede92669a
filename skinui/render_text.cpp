#include "skinui/render_text.h"

#include <algorithm>

#include "skinui/language_table.h"
#include "skinui/render_color.h"
#include "skinui/render_font.h"
#include "skinui/render_geometry.h"

namespace SkinUI {

using namespace render_font;

void DrawText(cairo_t* cr, const CPaintManagerUI* manager, SkinRect& rect, const std::wstring& text, uint32_t color,
              int font, unsigned style) {
    std::wstring shown = text;
    ResolveText(shown);
    LayoutPtr layout = MakeLayout(cr, FontOf(manager, font), shown);
    PangoLayout* l = layout.get();
    const int width = std::max(0, RectWidth(rect));
    const int height = std::max(0, RectHeight(rect));
    const bool single = style & TextStyle::SingleLine;
    const bool wrap = !single && (style & TextStyle::WordBreak);
    const bool ellipsis = style & TextStyle::EndEllipsis;

    if (single) {
        // Line breaks of a single line show as blanks, not as Pango's paragraph-separator glyphs.
        std::wstring flat = shown;
        std::replace(flat.begin(), flat.end(), L'\r', L' ');
        std::replace(flat.begin(), flat.end(), L'\n', L' ');
        if (flat != shown) SetLayoutText(l, flat);
        pango_layout_set_single_paragraph_mode(l, TRUE);
    }
    // Pango aligns lines only inside a known width; without wrapping or ellipsis the block is placed below.
    const bool widthSet = wrap || ellipsis;
    if (widthSet) {
        pango_layout_set_width(l, width * PANGO_SCALE);
        if (wrap) pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
        if (ellipsis) {
            pango_layout_set_ellipsize(l, PANGO_ELLIPSIZE_END);
            // Wrapped text keeps the lines that fit and ends the last of them with the ellipsis.
            if (wrap) pango_layout_set_height(l, height * PANGO_SCALE);
        }
    }
    PangoAlignment align = (style & TextStyle::Right)    ? PANGO_ALIGN_RIGHT
                           : (style & TextStyle::Center) ? PANGO_ALIGN_CENTER
                                                         : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(l, align);

    PangoRectangle logical;
    pango_layout_get_pixel_extents(l, nullptr, &logical);
    if (style & TextStyle::CalcRect) {
        rect.right = rect.left + (widthSet ? std::min(width, logical.width) : logical.width);
        rect.bottom = rect.top + logical.height;
        return;
    }
    if (IsEmptyRect(rect) || shown.empty()) return;

    double x = rect.left;
    if (!widthSet) {
        x -= logical.x;
        if (align == PANGO_ALIGN_CENTER) x += (width - logical.width) / 2;
        if (align == PANGO_ALIGN_RIGHT) x += width - logical.width;
    }
    double y = rect.top;
    if (style & TextStyle::Bottom) {
        y += height - logical.height;
    } else if (style & TextStyle::VCenter) {
        y += (height - logical.height) / 2;
    }

    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, width, height);
    cairo_clip(cr);
    SetSourceRgb(cr, color);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, l);
    cairo_restore(cr);
}

int GetFontHeight(const CPaintManagerUI* manager, int font) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    int height = 0;
    {
        LayoutPtr layout = MakeLayout(cr, FontOf(manager, font), L"");
        PangoRectangle logical;
        pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
        height = logical.height;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return height;
}

std::string TextLanguageOf(const std::wstring& locale) {
    std::string tag;
    for (wchar_t c : locale) {
        if (c == L'.' || c == L'@') break;  // "zh_CN.UTF-8", "sr_RS@latin": the language part only
        if (c > 0x7F) return {};
        char a = char(c);
        if (a == '_') a = '-';
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        tag += a;
    }
    // Pango picks faces by language: Japanese and Korean go by the language alone.
    if (tag.rfind("ja", 0) == 0 && (tag.size() == 2 || tag[2] == '-')) return "ja";
    if (tag.rfind("ko", 0) == 0 && (tag.size() == 2 || tag[2] == '-')) return "ko";
    return tag;
}

}  // namespace SkinUI
