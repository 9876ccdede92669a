#include "skinui/render_color.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "skinui/render_geometry.h"

namespace SkinUI {

namespace {

double channel(uint32_t argb, int shift) { return double((argb >> shift) & 0xFF) / 255.0; }
uint32_t alphaOf(uint32_t argb) { return argb >> 24; }

// Applies the dash pattern of `style`; false for the null pen.
bool setPen(cairo_t* cr, int width, int style) {
    double w = std::max(1, width);
    std::vector<double> dashes;
    switch (style) {
        case PenStyle::Null:
            return false;
        case PenStyle::Dash:
            dashes = {4 * w, 2 * w};
            break;
        case PenStyle::Dot:
            dashes = {w, w};
            break;
        case PenStyle::DashDot:
            dashes = {4 * w, 2 * w, w, 2 * w};
            break;
        case PenStyle::DashDotDot:
            dashes = {4 * w, 2 * w, w, 2 * w, w, 2 * w};
            break;
        default:
            break;
    }
    cairo_set_line_width(cr, w);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_dash(cr, dashes.data(), int(dashes.size()), 0);
    return true;
}

void strokeLine(cairo_t* cr, double x1, double y1, double x2, double y2, int width, uint32_t color, int style) {
    if (width <= 0 || alphaOf(color) == 0) return;
    cairo_save(cr);
    if (setPen(cr, width, style)) {
        SetSourceColor(cr, color);
        cairo_move_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// A rounded rectangle path with corner radii rx, ry (each limited to half the side).
void roundRectPath(cairo_t* cr, double x, double y, double w, double h, double rx, double ry) {
    rx = std::min(rx, w / 2);
    ry = std::min(ry, h / 2);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    struct Corner {
        double cx, cy, from;
    } corners[] = {
        {x + w - rx, y + ry, -M_PI / 2},  // top right
        {x + w - rx, y + h - ry, 0},      // bottom right
        {x + rx, y + h - ry, M_PI / 2},   // bottom left
        {x + rx, y + ry, M_PI},           // top left
    };
    cairo_new_sub_path(cr);
    for (const Corner& c : corners) {
        cairo_save(cr);
        cairo_translate(cr, c.cx, c.cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, c.from, c.from + M_PI / 2);
        cairo_restore(cr);
    }
    cairo_close_path(cr);
}

}  // namespace

void SetSourceColor(cairo_t* cr, uint32_t argb) {
    cairo_set_source_rgba(cr, channel(argb, 16), channel(argb, 8), channel(argb, 0), channel(argb, 24));
}

void SetSourceRgb(cairo_t* cr, uint32_t argb) {
    cairo_set_source_rgb(cr, channel(argb, 16), channel(argb, 8), channel(argb, 0));
}

void DrawColor(cairo_t* cr, const SkinRect& rect, uint32_t color) {
    if (alphaOf(color) == 0 || IsEmptyRect(rect)) return;
    cairo_save(cr);
    SetSourceColor(cr, color);
    cairo_rectangle(cr, rect.left, rect.top, RectWidth(rect), RectHeight(rect));
    cairo_fill(cr);
    cairo_restore(cr);
}

void DrawGradient(cairo_t* cr, const SkinRect& rect, uint32_t from, uint32_t to, bool vertical, int /*steps*/) {
    uint32_t alpha = (alphaOf(from) + alphaOf(to)) / 2;
    if (alpha == 0 || IsEmptyRect(rect)) return;
    double a = alpha / 255.0;
    cairo_pattern_t* pattern = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                        : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
    cairo_pattern_add_color_stop_rgba(pattern, 0, channel(from, 16), channel(from, 8), channel(from, 0), a);
    cairo_pattern_add_color_stop_rgba(pattern, 1, channel(to, 16), channel(to, 8), channel(to, 0), a);
    cairo_save(cr);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, rect.left, rect.top, RectWidth(rect), RectHeight(rect));
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
}

void DrawBkColor(cairo_t* cr, const SkinRect& rect, uint32_t color1, uint32_t color2, uint32_t color3) {
    if (color1 == 0) return;
    if (color2 == 0) {
        DrawColor(cr, rect, color1);
    } else if (color3 == 0) {
        DrawGradient(cr, rect, color1, color2, true, 16);
    } else {
        int middle = rect.top + RectHeight(rect) / 2;
        DrawGradient(cr, {rect.left, rect.top, rect.right, middle}, color1, color2, true, 8);
        DrawGradient(cr, {rect.left, middle, rect.right, rect.bottom}, color2, color3, true, 8);
    }
}

void DrawLine(cairo_t* cr, int x1, int y1, int x2, int y2, int width, uint32_t color, int style) {
    // An odd width centred on a pixel row or column needs the half-pixel shift to cover whole pixels.
    double shift = (width % 2) ? 0.5 : 0.0;
    double sx = (x1 == x2 || y1 != y2) ? shift : 0.0;
    double sy = (y1 == y2 || x1 != x2) ? shift : 0.0;
    strokeLine(cr, x1 + sx, y1 + sy, x2 + sx, y2 + sy, width, color, style);
}

void DrawRect(cairo_t* cr, const SkinRect& rect, int width, uint32_t color, int style) {
    if (width <= 0 || alphaOf(color) == 0 || IsEmptyRect(rect)) return;
    cairo_save(cr);
    if (setPen(cr, width, style)) {
        SetSourceColor(cr, color);
        double half = width / 2.0;
        cairo_rectangle(cr, rect.left + half, rect.top + half, std::max(0, RectWidth(rect) - width),
                        std::max(0, RectHeight(rect) - width));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void DrawRoundRect(cairo_t* cr, const SkinRect& rect, int width, SkinSize round, uint32_t color, int style) {
    if (width <= 0 || alphaOf(color) == 0 || IsEmptyRect(rect)) return;
    cairo_save(cr);
    if (setPen(cr, width, style)) {
        SetSourceColor(cr, color);
        double half = width / 2.0;
        roundRectPath(cr, rect.left + half, rect.top + half, std::max(0, RectWidth(rect) - width),
                      std::max(0, RectHeight(rect) - width), round.cx / 2.0, round.cy / 2.0);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void ClipRoundRect(cairo_t* cr, const SkinRect& rect, SkinSize round) {
    cairo_new_path(cr);
    roundRectPath(cr, rect.left, rect.top, std::max(0, RectWidth(rect)), std::max(0, RectHeight(rect)),
                  round.cx / 2.0, round.cy / 2.0);
    cairo_clip(cr);
}

void DrawBorder(cairo_t* cr, const SkinRect& rect, const TBorderStyle& border, bool focused) {
    const SkinRect& w = border.widths;
    if (w.left <= 0 || (border.color == 0 && border.focusColor == 0)) return;
    uint32_t color = (focused && border.focusColor != 0) ? border.focusColor : border.color;
    if (border.round.cx > 0 || border.round.cy > 0) {
        DrawRoundRect(cr, rect, w.left, border.round, color, border.style);
    } else if (w.left == w.top && w.left == w.right && w.left == w.bottom) {
        DrawRect(cr, rect, w.left, color, border.style);
    } else {
        // Each side is a band of its own width along the inside of its edge.
        if (w.left > 0)
            strokeLine(cr, rect.left + w.left / 2.0, rect.top, rect.left + w.left / 2.0, rect.bottom, w.left, color,
                       border.style);
        if (w.top > 0)
            strokeLine(cr, rect.left, rect.top + w.top / 2.0, rect.right, rect.top + w.top / 2.0, w.top, color,
                       border.style);
        if (w.right > 0)
            strokeLine(cr, rect.right - w.right / 2.0, rect.top, rect.right - w.right / 2.0, rect.bottom, w.right,
                       color, border.style);
        if (w.bottom > 0)
            strokeLine(cr, rect.left, rect.bottom - w.bottom / 2.0, rect.right, rect.bottom - w.bottom / 2.0,
                       w.bottom, color, border.style);
    }
}

}  // namespace SkinUI
