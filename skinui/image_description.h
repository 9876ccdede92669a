#pragma once
// Image descriptions: the value of every image attribute ("bkimage", "normalimage", "foreimage", ...).
//
//   min.png                                   a plain name (no "=" anywhere)
//   file='btn.png' source='0,0,60,44' corner='20,20,20,20' mask='0xffff00ff'
//
// Items are key='value'; after a closing quote exactly one space must follow for the next item to be
// read, so file='a.png'dest='...' reads only the file. Keys are matched exactly; unknown keys and empty
// values are ignored.
#include <cstdint>
#include <string>
#include <string_view>

#include "skinui/attribute_values.h"

namespace SkinUI {

struct TImageData;

// Resource type of an image made from a colour ("color='#FF102030'").
inline constexpr wchar_t kColorResourceType[] = L"*COLOR*";

// What one description asks for. All rectangles are as written; zero rectangles mean "not given".
struct TImageDescription {
    std::wstring name;     // file, resource or colour text; empty: nothing to draw
    std::wstring resType;  // empty for skin files; kColorResourceType for colours; else a resource type
    SkinRect dest;         // inside the control, offsets from its top-left corner
    SkinRect source;       // absolute image coordinates; all zero: the whole image
    SkinRect corner;       // unscaled border widths of the nine-grid
    uint32_t mask = 0;     // colour made transparent; 0: none
    int fade = 255;        // overall opacity, 0 to 255
    bool hole = false;     // leave out the centre of the nine-grid
    bool xtiled = false;   // repeat the centre horizontally instead of stretching it
    bool ytiled = false;   // ... vertically
    bool hsl = false;      // follows the global hue adjustment (never turned on: identity)
    bool operator==(const TImageDescription&) const = default;
};

// Never fails: text that is not a description yields what could be read before the fault.
TImageDescription ParseImageDescription(std::wstring_view text);

// The draw record of one image attribute of a control. The description is parsed and its image looked up
// once, at the first paint; a failed load is not retried until the description is set again.
struct TDrawInfo {
    TDrawInfo() = default;
    explicit TDrawInfo(std::wstring text) : description(std::move(text)) {}

    // Sets a new description and forgets what the old one had loaded (the image stays in its table).
    void Set(const std::wstring& text) { *this = TDrawInfo(text); }
    // Forgets the parse and the image so that the next paint starts over.
    void Reset() { Set(description); }
    bool IsEmpty() const { return description.empty(); }

    std::wstring description;
    TImageDescription parsed;  // valid once `parsedOnce`
    bool parsedOnce = false;
    bool loadTried = false;
    const TImageData* image = nullptr;  // owned by an image table
};

}  // namespace SkinUI
