#pragma once
// Effect text: plain text with a drop shadow, a glow, an outline and a colour gradient, anti-aliased. Labels use it
// when "enabledeffect" is set. UI thread only.
#include <cairo.h>

#include <cstdint>
#include <string>

#include "skinui/attribute_values.h"

namespace SkinUI {

class CPaintManagerUI;

struct TEffectText {
    bool luminous = false;        // a soft glow around the glyphs, in the first shadow colour
    bool stroke = false;          // an outline
    bool shadow = false;          // a drop shadow
    double luminousFuzzy = 3;     // glow radius in pixels
    int gradientAngle = 0;        // degrees, 0 = left to right, 90 = top to bottom
    int gradientLength = 0;       // pixels of the gradient; 0: the text block's extent along the angle
    SkinSize shadowOffset{1, 1};  // x, y
    uint32_t textColor1 = 0;      // the gradient's second colour; 0: no gradient
    uint32_t shadowColorA = 0xFF000000;
    uint32_t shadowColorB = 0;  // shadow gradient's lower colour; 0: a plain shadow
    uint32_t strokeColor = 0xFF000000;
};

// Places the text like DrawText (same style flags and fonts) and draws it with the effects, clipped to `rect`. Shadow
// first, then glow, outline and the filled glyphs. Unlike DrawText, colours keep their alpha.
void DrawEffectText(cairo_t* cr, const CPaintManagerUI* manager, const SkinRect& rect, const std::wstring& text,
                    uint32_t color, int font, unsigned style, const TEffectText& effect);

}  // namespace SkinUI
