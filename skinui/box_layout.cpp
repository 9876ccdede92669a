#include "skinui/box_layout.h"

#include <algorithm>

namespace SkinUI {

namespace {

// Reads and builds sizes, paddings and rectangles in main-axis and cross-axis terms.
struct Axes {
    bool vertical;

    int main(SkinSize s) const { return vertical ? s.cy : s.cx; }
    int cross(SkinSize s) const { return vertical ? s.cx : s.cy; }
    SkinSize size(int mainLength, int crossLength) const {
        return vertical ? SkinSize{crossLength, mainLength} : SkinSize{mainLength, crossLength};
    }
    int before(const SkinRect& p) const { return vertical ? p.top : p.left; }
    int after(const SkinRect& p) const { return vertical ? p.bottom : p.right; }
    int crossBefore(const SkinRect& p) const { return vertical ? p.left : p.top; }
    int crossAfter(const SkinRect& p) const { return vertical ? p.right : p.bottom; }
    int mainStart(const SkinRect& r) const { return vertical ? r.top : r.left; }
    int crossStart(const SkinRect& r) const { return vertical ? r.left : r.top; }
    int crossEnd(const SkinRect& r) const { return vertical ? r.right : r.bottom; }
    SkinRect rect(int mainPos, int mainLength, int crossPos, int crossLength) const {
        if (vertical) return {crossPos, mainPos, crossPos + crossLength, mainPos + mainLength};
        return {mainPos, crossPos, mainPos + mainLength, crossPos + crossLength};
    }
};

// The lower limit first, so that a maximum below the minimum wins.
int limited(int value, int lower, int upper) {
    if (value < lower) value = lower;
    if (value > upper) value = upper;
    return value;
}

SkinSize estimateOf(const BoxChild& child, SkinSize available) {
    return child.estimate ? child.estimate(available) : child.fixed;
}

// What a child may ask for: its fixed size, else its maximum, within `mainRoom` along the flow and the
// available cross size less its cross padding.
SkinSize limitsOf(const Axes& ax, const BoxChild& child, int mainRoom, int crossRoom) {
    int mainBound = ax.main(child.fixed) > 0 ? ax.main(child.fixed) : ax.main(child.max);
    int crossBound = ax.cross(child.fixed) > 0 ? ax.cross(child.fixed) : ax.cross(child.max);
    crossRoom -= ax.crossBefore(child.padding) + ax.crossAfter(child.padding);
    return ax.size(std::min(mainBound, mainRoom), std::min(crossBound, crossRoom));
}

}  // namespace

BoxResult LayoutBox(const BoxParams& params, const std::vector<BoxChild>& children) {
    const Axes ax{params.axis == BoxAxis::Vertical};
    const int availableMain = ax.main(params.available);
    const int availableCross = ax.cross(params.available);
    const int count = int(children.size());
    BoxResult result;
    result.rects.resize(children.size());

    // Pass 1: sum what the children with a size of their own take along the flow, count the others, and
    // find the widest child across it.
    int fixedSum = 0;
    int adjustables = 0;
    int crossNeeded = 0;
    for (const BoxChild& child : children) {
        SkinSize wish = estimateOf(child, limitsOf(ax, child, availableMain, availableCross));
        int mainLength = ax.main(wish);
        if (mainLength == 0) {
            ++adjustables;
        } else {
            mainLength = limited(mainLength, ax.main(child.min), ax.main(child.max));
        }
        fixedSum += ax.before(child.padding) + ax.after(child.padding) + mainLength;
        int crossLength = limited(std::max(ax.cross(wish), 0), ax.cross(child.min), ax.cross(child.max));
        crossNeeded =
            std::max(crossNeeded, crossLength + ax.crossBefore(child.padding) + ax.crossAfter(child.padding));
    }
    if (count > 0) fixedSum += params.childPadding * (count - 1);
    int share = adjustables > 0 ? std::max(0, (availableMain - fixedSum) / adjustables) : 0;

    // Pass 2: place the children along the flow. `fixedLeft` is what the children not yet placed take
    // (their sizes, paddings and the child padding before each), so the last adjustable child ends exactly
    // where the rest begins.
    int remaining = availableMain;
    int position = ax.mainStart(params.inner) - params.mainScrollPos;
    int fixedLeft = fixedSum;
    int adjustableSeen = 0;
    int mainNeeded = 0;
    for (int i = 0; i < count; ++i) {
        const BoxChild& child = children[size_t(i)];
        const int padBefore = ax.before(child.padding);
        const int padAfter = ax.after(child.padding);
        remaining -= padBefore;
        fixedLeft -= padBefore + padAfter + (i > 0 ? params.childPadding : 0);

        SkinSize limits = limitsOf(ax, child, remaining, availableCross);
        SkinSize wish = estimateOf(child, limits);
        int mainLength = ax.main(wish);
        if (mainLength == 0) {
            ++adjustableSeen;
            mainLength = share;
            if (adjustableSeen == adjustables) mainLength = std::max(0, remaining - padAfter - fixedLeft);
            mainLength = limited(mainLength, ax.main(child.min), ax.main(child.max));
        } else {
            mainLength = limited(mainLength, ax.main(child.min), ax.main(child.max));
            fixedLeft -= mainLength;
        }

        // Across the flow the child fills the room up to its maximum; its own wish does not matter.
        int crossPadding = ax.crossBefore(child.padding) + ax.crossAfter(child.padding);
        int crossLength = ax.cross(child.max);
        if (crossLength == 0) crossLength = std::max(0, availableCross - crossPadding);
        crossLength = std::min(crossLength, ax.cross(limits));
        crossLength = std::max(crossLength, ax.cross(child.min));

        int crossPos = 0;
        switch (params.crossAlign) {
            case BoxAlign::Center: {
                int middle = (ax.crossStart(params.inner) + ax.crossEnd(params.inner)) / 2 +
                             params.crossScrollRange / 2 - params.crossScrollPos;
                crossPos = middle - crossLength / 2;
                break;
            }
            case BoxAlign::End:
                crossPos = ax.crossEnd(params.inner) + params.crossScrollRange - params.crossScrollPos -
                           ax.crossAfter(child.padding) - crossLength;
                break;
            case BoxAlign::Start:
                crossPos = ax.crossStart(params.inner) - params.crossScrollPos + ax.crossBefore(child.padding);
                break;
        }

        result.rects[size_t(i)] = ax.rect(position + padBefore, mainLength, crossPos, crossLength);
        position += mainLength + padBefore + padAfter + params.childPadding;
        mainNeeded += mainLength + padBefore + padAfter;
        remaining -= mainLength + padAfter + params.childPadding;
    }
    if (count > 0) mainNeeded += params.childPadding * (count - 1);
    result.needed = ax.size(mainNeeded, crossNeeded);
    return result;
}

}  // namespace SkinUI
