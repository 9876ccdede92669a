#pragma once
// The flow of the vertical and horizontal layouts as a value: from the inner rectangle and a description
// of each child to each child's rectangle and the size the content needs. Written once in main-axis and
// cross-axis terms; the vertical layout's main axis is y, the horizontal layout's is x.
//
// A child with a main-axis size of its own (fixed, or estimated) keeps it within its limits; the others
// ("adjustable") share what is left equally, the last adjustable one taking the rest up to the end of the
// inner rectangle. Across the flow a child fills the available size up to its maximum (or fixed) size and is
// placed by the cross alignment.
#include <functional>
#include <vector>

#include "skinui/attribute_values.h"

namespace SkinUI {

enum class BoxAxis { Vertical, Horizontal };
// Start is left or top, End is right or bottom.
enum class BoxAlign { Start, Center, End };

struct BoxChild {
    SkinRect padding{};
    SkinSize fixed{};  // 0 = not fixed
    SkinSize min{};
    SkinSize max{9999, 9999};
    // The child's wish within the limits it is given; 0 in a direction means none. Called twice per layout
    // (a measuring pass and a placing pass). Without it the fixed size is the wish.
    std::function<SkinSize(SkinSize available)> estimate;
};

struct BoxParams {
    BoxAxis axis = BoxAxis::Vertical;
    SkinRect inner{};    // the item rectangle less inset and visible scroll bars
    SkinSize available{};      // the inner size, grown by the range of each visible scroll bar
    int childPadding = 0;      // between neighbouring children along the main axis
    BoxAlign crossAlign = BoxAlign::Start;
    // Scroll state of visible bars (0 otherwise): the main axis shifts content back by mainScrollPos; the
    // cross axis by crossScrollPos, with crossScrollRange widening the span that Center and End align in.
    int mainScrollPos = 0;
    int crossScrollPos = 0;
    int crossScrollRange = 0;
};

struct BoxResult {
    std::vector<SkinRect> rects;  // one per child, in order
    SkinSize needed{};                  // width and height the content needs (scroll bars decide on it)
};

BoxResult LayoutBox(const BoxParams& params, const std::vector<BoxChild>& children);

}  // namespace SkinUI
