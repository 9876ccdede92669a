#include "skinui/render_text.h"

#include <algorithm>

#include "skinui/language_table.h"
#include "skinui/render_color.h"
#include "skinui/render_font.h"
#include "skinui/render_geometry.h"

namespace SkinUI {

using namespace render_font;

namespace {

// Scratch cairo context for measuring outside a paint.
struct ScratchContext {
    ScratchContext() : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)), cr(cairo_create(surface)) {}
    ~ScratchContext() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    ScratchContext(const ScratchContext&) = delete;
    ScratchContext& operator=(const ScratchContext&) = delete;
    cairo_surface_t* surface;
    cairo_t* cr;
};

}  // namespace

PlacedText render_font::PlaceText(cairo_t* cr, const CPaintManagerUI* manager, const SkinRect& rect,
                                  const std::wstring& text, int font, unsigned style) {
    PlacedText placed;
    placed.text = text;
    ResolveText(placed.text);
    placed.layout = MakeLayout(cr, FontOf(manager, font), placed.text);
    PangoLayout* l = placed.layout.get();
    const int width = std::max(0, RectWidth(rect));
    const int height = std::max(0, RectHeight(rect));
    const bool single = style & TextStyle::SingleLine;
    const bool wrap = !single && (style & TextStyle::WordBreak);
    const bool ellipsis = style & TextStyle::EndEllipsis;

    if (single) {
        // Line breaks of a single line show as blanks, not as Pango's paragraph-separator glyphs.
        std::wstring flat = placed.text;
        std::replace(flat.begin(), flat.end(), L'\r', L' ');
        std::replace(flat.begin(), flat.end(), L'\n', L' ');
        if (flat != placed.text) SetLayoutText(l, flat);
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
    placed.size = {widthSet ? std::min(width, logical.width) : logical.width, logical.height};

    placed.x = rect.left;
    if (!widthSet) {
        placed.x -= logical.x;
        if (align == PANGO_ALIGN_CENTER) placed.x += (width - logical.width) / 2;
        if (align == PANGO_ALIGN_RIGHT) placed.x += width - logical.width;
    }
    placed.y = rect.top;
    if (style & TextStyle::Bottom) {
        placed.y += height - logical.height;
    } else if (style & TextStyle::VCenter) {
        placed.y += (height - logical.height) / 2;
    }
    return placed;
}

void DrawText(cairo_t* cr, const CPaintManagerUI* manager, SkinRect& rect, const std::wstring& text, uint32_t color,
              int font, unsigned style) {
    PlacedText placed = PlaceText(cr, manager, rect, text, font, style);
    if (style & TextStyle::CalcRect) {
        rect.right = rect.left + placed.size.cx;
        rect.bottom = rect.top + placed.size.cy;
        return;
    }
    if (IsEmptyRect(rect) || placed.text.empty()) return;

    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, RectWidth(rect), RectHeight(rect));
    cairo_clip(cr);
    SetSourceRgb(cr, color);
    cairo_move_to(cr, placed.x, placed.y);
    pango_cairo_show_layout(cr, placed.layout.get());
    cairo_restore(cr);
}

int GetFontHeight(const CPaintManagerUI* manager, int font) {
    ScratchContext scratch;
    LayoutPtr layout = MakeLayout(scratch.cr, FontOf(manager, font), L"");
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
    return logical.height;
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
