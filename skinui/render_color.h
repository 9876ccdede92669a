#pragma once
// Colour fills, gradients, lines, rectangles and borders on a Cairo context.
//
// Colours are 0xAARRGGBB ("#AARRGGBB" in attributes, read with ParseColor). Fills with an alpha below
// 0xFF are blended; text ignores alpha. Rectangles are in the context's user space, integer pixels.
// Called on the UI thread from the controls' paint steps.
#include <cairo.h>

#include <cstdint>

#include "skinui/attribute_values.h"

namespace SkinUI {

// Line styles of "borderstyle" (the pen style numbers of the skins).
namespace PenStyle {
inline constexpr int Solid = 0;
inline constexpr int Dash = 1;
inline constexpr int Dot = 2;
inline constexpr int DashDot = 3;
inline constexpr int DashDotDot = 4;
inline constexpr int Null = 5;  // draws nothing
}  // namespace PenStyle

void SetSourceColor(cairo_t* cr, uint32_t argb);
// Red, green and blue only: what text uses.
void SetSourceRgb(cairo_t* cr, uint32_t argb);

// Fills `rect`; an alpha of 0 draws nothing.
void DrawColor(cairo_t* cr, const SkinRect& rect, uint32_t color);

// A gradient from `from` to `to`, top to bottom when `vertical`, else left to right. The alpha is the
// mean of the two alphas; 0 draws nothing. `steps` is accepted for callers that pass band counts; the
// gradient is always smooth.
void DrawGradient(cairo_t* cr, const SkinRect& rect, uint32_t from, uint32_t to, bool vertical, int steps);

// A control's background colours: none without a first colour; one colour fills; two make a vertical
// gradient; three make the upper half first to second and the lower half second to third.
void DrawBkColor(cairo_t* cr, const SkinRect& rect, uint32_t color1, uint32_t color2, uint32_t color3);

// A line of `width` pixels from (x1, y1) towards (x2, y2). A horizontal or vertical line of width 1 covers
// exactly the pixels of its row or column, the end point excluded.
void DrawLine(cairo_t* cr, int x1, int y1, int x2, int y2, int width, uint32_t color, int style = PenStyle::Solid);

// The outline of `rect`, `width` pixels thick, lying inside the rectangle.
void DrawRect(cairo_t* cr, const SkinRect& rect, int width, uint32_t color, int style = PenStyle::Solid);

// A rounded outline inside `rect`; `round` is the size of the corner ellipse (cx, cy).
void DrawRoundRect(cairo_t* cr, const SkinRect& rect, int width, SkinSize round, uint32_t color,
                   int style = PenStyle::Solid);

// Narrows the context's clip to the rounded rectangle (the caller saves and restores the context).
void ClipRoundRect(cairo_t* cr, const SkinRect& rect, SkinSize round);

struct TBorderStyle {
    SkinRect widths;          // left, top, right, bottom; equal for a single "bordersize"
    uint32_t color = 0;       // "bordercolor"
    uint32_t focusColor = 0;  // "focusbordercolor"
    SkinSize round;           // "borderround"; zero: square corners
    int style = PenStyle::Solid;
};

// A control's border: nothing unless the left width is above 0 and a border or focus colour is set.
// The focus colour wins while focused (when set). A round border is one rounded outline of the left
// width; four equal widths are one outline; otherwise each side of non-zero width is its own band.
void DrawBorder(cairo_t* cr, const SkinRect& rect, const TBorderStyle& border, bool focused);

}  // namespace SkinUI
