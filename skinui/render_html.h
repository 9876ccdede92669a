#pragma once
// Formatted text ("showhtml" labels and buttons, text controls with links) on Pango.
//
// Inline tags start with "<" or "{", one lower-case letter and a space, ">" or "}", and end at the next ">"
// or "}"; "</x>" or "{/x}" closes. A "<" or "{" that forms no tag is text.
//   a target   link (link colour, hover colour under the mouse); rectangles and targets are reported
//   b  bold     c #colour  text colour ("#" optional)     f n | f face size [bold] [underline] [italic]
//   i  italic, or an inline image with a description: <i file='ok.png'>
//   n  line break    p [n]  paragraph with n pixels of extra spacing    r  raw text until </r>
//   s  selection background (toggles)    u  underline (text after the letter is ignored)
//   v center|top  vertical place of what follows in its line (bottom otherwise)
//   x n  move the pen n pixels right    y n  line height n
// The text is first resolved through the string table ("@" identifiers). UI thread only.
#include <cairo.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "skinui/attribute_values.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

class CImageTable;
struct TImageData;

struct THtmlLink {
    SkinRect rect;        // one line's part of the link
    std::wstring target;  // the text after "a " in the opening tag
    int link = 0;         // which link of the text, from 0; the parts of a wrapped link share it
    bool operator==(const THtmlLink&) const = default;
};

struct THtmlTextOptions {
    CImageTable* images = nullptr;  // where inline images are found; null leaves them out
    // The mouse position; a link under it is drawn in the window's link-hover colour.
    bool hasMouse = false;
    int mouseX = 0;
    int mouseY = 0;
    // Most link parts DrawHtmlText reports.
    size_t maxLinks = std::numeric_limits<size_t>::max();
};

// One drawn item of a laid-out text: a run of text in one style, an inline image, or the ellipsis.
struct THtmlPiece {
    enum class Kind { Text, Image, Ellipsis };
    Kind kind = Kind::Text;
    std::wstring text;
    SkinRect rect;  // where it is drawn
    TFontInfo font;
    uint32_t color = 0;  // the colour it is drawn in (hover already applied)
    int link = -1;
    bool selected = false;
    int line = 0;
    const TImageData* image = nullptr;
    SkinRect source;  // part of the image
    int fade = 255;
};

struct THtmlLayout {
    std::vector<THtmlPiece> pieces;
    std::vector<THtmlLink> links;  // every link part, in reading order
    SkinSize size;                 // width of the widest line, height of all lines
    int lines = 0;
};

// Lays `text` out word by word inside `rect` with font `font` and colour `color` as the starting state.
// Wraps at words unless TextStyle::SingleLine (explicit "n" and "p" still break lines); a word wider than
// the rectangle is broken between characters. TextStyle::EndEllipsis ends a cut line with "...", and in
// multi-line text keeps only the lines that fit, the last one ending with "..." when text was left out.
// Alignment flags place each line and the whole block.
THtmlLayout LayoutHtmlText(cairo_t* cr, const CPaintManagerUI* manager, const SkinRect& rect, const std::wstring& text,
                           uint32_t color, int font, unsigned style, const THtmlTextOptions& options = {});

// Lays out and draws, clipped to `rect`. With TextStyle::CalcRect nothing is drawn and `rect` becomes
// left, top, left + needed width, top + needed height. `links`, when given, receives the link parts (at
// most options.maxLinks).
void DrawHtmlText(cairo_t* cr, const CPaintManagerUI* manager, SkinRect& rect, const std::wstring& text,
                  uint32_t color, int font, unsigned style, const THtmlTextOptions& options = {},
                  std::vector<THtmlLink>* links = nullptr);

}  // namespace SkinUI
