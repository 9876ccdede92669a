#pragma once
// Plain text on Pango: DrawText with the label style flags, font heights for size estimates.
//
// Fonts come from the paint manager's font table by index (-1 or an unknown index: the window's default
// font). Text written "@" + identifier is resolved through the string table when drawn. The Pango language
// follows the UI language, so Chinese text picks a Chinese face when the skin's family is missing.
// UI thread only.
#include <cairo.h>

#include <cstdint>
#include <string>

#include "skinui/attribute_values.h"

namespace SkinUI {

class CPaintManagerUI;

// Text style flags (the values the skins' label styles are made of).
namespace TextStyle {
inline constexpr unsigned Left = 0;
inline constexpr unsigned Center = 0x1;
inline constexpr unsigned Right = 0x2;
inline constexpr unsigned Top = 0;
inline constexpr unsigned VCenter = 0x4;
inline constexpr unsigned Bottom = 0x8;
inline constexpr unsigned WordBreak = 0x10;
inline constexpr unsigned SingleLine = 0x20;
inline constexpr unsigned CalcRect = 0x400;  // measure only: `rect` gets the size the text needs
inline constexpr unsigned NoPrefix = 0x800;  // "&" is always shown as itself here
inline constexpr unsigned EndEllipsis = 0x8000;
}  // namespace TextStyle

// Draws `text` inside `rect` (clipped to it) in the colour's red, green and blue, with font `font` of
// `manager` (null: the built-in default font). Alignment: left / center / right and top / vcenter / bottom
// of the text block. SingleLine keeps one line; WordBreak wraps at words (characters when a word is wider
// than the rectangle); EndEllipsis ends cut lines with an ellipsis (with WordBreak: the last line that
// fits). With CalcRect nothing is drawn and `rect` becomes left, top, left + needed width, top + needed
// height.
void DrawText(cairo_t* cr, const CPaintManagerUI* manager, SkinRect& rect, const std::wstring& text, uint32_t color,
              int font, unsigned style);

// Height of one line of font `font` (ascent plus descent), in pixels.
int GetFontHeight(const CPaintManagerUI* manager, int font);

// The Pango language tag for a UI locale: "zh_CN" -> "zh-cn", "zh_TW" -> "zh-tw", "ja_JP" -> "ja",
// "ko_KR" -> "ko"; other locales lower-cased with "-" ("en_US" -> "en-us"); empty stays empty.
std::string TextLanguageOf(const std::wstring& locale);

}  // namespace SkinUI
