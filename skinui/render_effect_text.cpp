#include "skinui/render_effect_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "skinui/render_color.h"
#include "skinui/render_font.h"
#include "skinui/render_geometry.h"

namespace SkinUI {

using namespace render_font;

namespace {

// The glow is a few widening, fading outlines: blur without an image pass.
constexpr int kGlowRings = 4;
constexpr double kMaxGlowRadius = 32;

cairo_pattern_t* linearGradient(double x0, double y0, double x1, double y1, uint32_t from, uint32_t to) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(x0, y0, x1, y1);
    auto stop = [pattern](double offset, uint32_t c) {
        cairo_pattern_add_color_stop_rgba(pattern, offset, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                          (c & 0xFF) / 255.0, ((c >> 24) & 0xFF) / 255.0);
    };
    stop(0, from);
    stop(1, to);
    return pattern;
}

void fillWith(cairo_t* cr, cairo_pattern_t* pattern) {
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
}

}  // namespace

void DrawEffectText(cairo_t* cr, const CPaintManagerUI* manager, const SkinRect& rect, const std::wstring& text,
                    uint32_t color, int font, unsigned style, const TEffectText& effect) {
    if (IsEmptyRect(rect) || text.empty()) return;
    PlacedText placed = PlaceText(cr, manager, rect, text, font, style);
    if (placed.text.empty()) return;
    PangoLayout* layout = placed.layout.get();
    PangoRectangle ink;
    pango_layout_get_pixel_extents(layout, &ink, nullptr);
    const double left = placed.x + ink.x, top = placed.y + ink.y;
    const double width = std::max(1, ink.width), height = std::max(1, ink.height);

    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, RectWidth(rect), RectHeight(rect));
    cairo_clip(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);

    if (effect.shadow) {
        cairo_new_path(cr);
        cairo_move_to(cr, placed.x + effect.shadowOffset.cx, placed.y + effect.shadowOffset.cy);
        pango_cairo_layout_path(cr, layout);
        if (effect.shadowColorB) {
            double y = top + effect.shadowOffset.cy;
            fillWith(cr, linearGradient(0, y, 0, y + height, effect.shadowColorA, effect.shadowColorB));
        } else {
            SetSourceColor(cr, effect.shadowColorA);
            cairo_fill_preserve(cr);
        }
    }

    cairo_new_path(cr);
    cairo_move_to(cr, placed.x, placed.y);
    pango_cairo_layout_path(cr, layout);

    if (effect.luminous) {
        double radius = std::clamp(effect.luminousFuzzy, 0.5, kMaxGlowRadius);
        uint32_t glow = effect.shadowColorA;
        double alpha = ((glow >> 24) & 0xFF) / 255.0 / kGlowRings;
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        for (int ring = kGlowRings; ring >= 1; --ring) {
            cairo_set_line_width(cr, 2 * radius * ring / kGlowRings);
            cairo_set_source_rgba(cr, ((glow >> 16) & 0xFF) / 255.0, ((glow >> 8) & 0xFF) / 255.0,
                                  (glow & 0xFF) / 255.0, alpha);
            cairo_stroke_preserve(cr);
        }
    }
    if (effect.stroke) {
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_width(cr, 2);
        SetSourceColor(cr, effect.strokeColor);
        cairo_stroke_preserve(cr);
    }

    if (effect.textColor1) {
        // Along the angle, starting at the block's corner that the direction leaves from.
        double rad = effect.gradientAngle * std::numbers::pi / 180;
        double dx = std::cos(rad), dy = std::sin(rad);
        double extent =
            effect.gradientLength > 0 ? effect.gradientLength : std::abs(dx) * width + std::abs(dy) * height;
        double x0 = dx >= 0 ? left : left + width;
        double y0 = dy >= 0 ? top : top + height;
        fillWith(cr, linearGradient(x0, y0, x0 + dx * extent, y0 + dy * extent, color, effect.textColor1));
    } else {
        SetSourceColor(cr, color);
        cairo_fill_preserve(cr);
    }
    cairo_new_path(cr);
    cairo_restore(cr);
}

}  // namespace SkinUI
