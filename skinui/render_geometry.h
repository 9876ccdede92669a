#pragma once
// Rectangle arithmetic shared by the painters. Rectangles are half-open: [left, right) x [top, bottom).
#include <algorithm>

#include "skinui/attribute_values.h"

namespace SkinUI {

inline int RectWidth(const SkinRect& r) { return r.right - r.left; }
inline int RectHeight(const SkinRect& r) { return r.bottom - r.top; }
inline bool IsEmptyRect(const SkinRect& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool IsZeroRect(const SkinRect& r) { return r == SkinRect{}; }
// `r` shrunk by a padding or inset given as left, top, right, bottom.
inline SkinRect DeflateRect(const SkinRect& r, const SkinRect& by) {
    return {r.left + by.left, r.top + by.top, r.right - by.right, r.bottom - by.bottom};
}

// The common part of `a` and `b`; false (and an empty `out`) when they do not meet.
inline bool IntersectRects(const SkinRect& a, const SkinRect& b, SkinRect& out) {
    out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (IsEmptyRect(out)) {
        out = {};
        return false;
    }
    return true;
}

inline bool RectContainsPoint(const SkinRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace SkinUI
