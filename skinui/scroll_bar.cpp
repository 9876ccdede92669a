// CScrollBarUI: the model (range, position, line size, owner), attributes and the layout of the parts.
// Mouse handling is in scroll_bar_mouse.cpp, painting in scroll_bar_paint.cpp.
#include "skinui/scroll_bar.h"

#include <algorithm>
#include <array>

#include "skinui/container.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

namespace {

// The attribute names of the image table, "<part><state>image".
constexpr std::array<const wchar_t*, 5> kPartNames{L"button1", L"button2", L"thumb", L"rail", L"bk"};
constexpr std::array<const wchar_t*, 4> kStateNames{L"normal", L"hot", L"pushed", L"disabled"};
// Skin files of the built-in images, each a strip of four 8 x 8 states in the order of kStateNames.
constexpr std::array<const wchar_t*, 5> kDefaultFiles{L"scroll_button1.png", L"scroll_button2.png",
                                                      L"scroll_thumb.png", L"scroll_tail.png", L"scroll_back.png"};
constexpr int kDefaultStateSize = 8;

int clampToInt(int64_t value, int low, int high) { return int(std::clamp<int64_t>(value, low, high)); }

}  // namespace

TScrollBarParts LayoutScrollBar(const SkinRect& bar, bool horizontal, int range, int pos, bool showButton1,
                                bool showButton2) {
    TScrollBarParts parts;
    // Work along the bar (a: start, b: end) and across it (c: start, d: end); swap back when done.
    const int a = horizontal ? bar.left : bar.top;
    const int c = horizontal ? bar.top : bar.left;
    const int length = std::max(0, horizontal ? RectWidth(bar) : RectHeight(bar));
    const int thickness = std::max(0, horizontal ? RectHeight(bar) : RectWidth(bar));
    if (length == 0 || thickness == 0) return parts;
    auto make = [&](int from, int to) -> SkinRect {
        if (to <= from) return {};
        return horizontal ? SkinRect{from, c, to, c + thickness} : SkinRect{c, from, c + thickness, to};
    };

    // Square buttons; on a bar too short for them they share its length and leave no track.
    const int buttons = int(showButton1) + int(showButton2);
    int button = thickness;
    if (buttons > 0 && int64_t(button) * buttons > length) button = length / buttons;
    const int trackFrom = a + (showButton1 ? button : 0);
    const int trackTo = a + length - (showButton2 ? button : 0);
    if (showButton1) parts.button1 = make(a, a + button);
    if (showButton2) parts.button2 = make(a + length - button, a + length);
    parts.track = make(trackFrom, trackTo);
    const int track = std::max(0, trackTo - trackFrom);
    if (track == 0) return parts;

    // The thumb shows the visible part (the bar's length) of the whole (range + visible).
    range = std::max(range, 0);
    pos = std::clamp(pos, 0, range);
    int thumb = int(int64_t(track) * length / (int64_t(range) + length));
    thumb = std::clamp(thumb, std::min(track, CScrollBarUI::kMinThumbLength), track);
    const int offset = range > 0 ? int(int64_t(track - thumb) * pos / range) : 0;
    parts.thumb = make(trackFrom + offset, trackFrom + offset + thumb);

    const int centre = trackFrom + offset + thumb / 2;
    const int railFrom = std::max(centre - thickness / 2, trackFrom + offset);
    const int railTo = std::min(centre - thickness / 2 + thickness, trackFrom + offset + thumb);
    parts.rail = make(railFrom, railTo);
    return parts;
}

CScrollBarUI::CScrollBarUI() {
    SetFixedWidth(kDefaultSize);
    for (size_t part = 0; part < kDefaultFiles.size(); ++part) {
        for (int state = 0; state < 4; ++state) {
            std::wstring source = std::to_wstring(state * kDefaultStateSize) + L",0," +
                                  std::to_wstring((state + 1) * kDefaultStateSize) + L"," +
                                  std::to_wstring(kDefaultStateSize);
            images_[part][state].Set(std::wstring(L"file='") + kDefaultFiles[part] + L"' source='" + source +
                                     L"' mask='#FFFF00FF'");
        }
    }
}

void* CScrollBarUI::GetInterface(std::wstring_view name) {
    if (name == L"ScrollBar") return this;
    return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
    if (horizontal_ == horizontal) return;
    horizontal_ = horizontal;
    int width = GetFixedWidth(), height = GetFixedHeight();
    SetFixedWidth(height);
    SetFixedHeight(width);
}

void CScrollBarUI::SetScrollRange(int range) {
    range_ = std::max(range, 0);
    if (pos_ > range_) SetScrollPos(range_);
    Invalidate();
}

void CScrollBarUI::SetScrollPos(int pos) {
    pos = std::clamp(pos, 0, range_);
    if (pos == pos_) return;
    pos_ = pos;
    Invalidate();
    if (GetManager()) GetManager()->SendNotify(this, L"scroll", pos_, range_, true, false);
}

void CScrollBarUI::SetLineSize(int size) { lineSize_ = std::max(size, 1); }

void CScrollBarUI::SetScrollUnit(int unit) { scrollUnit_ = std::max(unit, 1); }

void CScrollBarUI::SetShowButton1(bool show) {
    showButton1_ = show;
    Invalidate();
}

void CScrollBarUI::SetShowButton2(bool show) {
    showButton2_ = show;
    Invalidate();
}

const std::wstring& CScrollBarUI::GetImage(Part part, ImageState state) const {
    return images_[int(part)][int(state)].description;
}

void CScrollBarUI::SetImage(Part part, ImageState state, const std::wstring& description) {
    image(part, state).Set(description);
    Invalidate();
}

TScrollBarParts CScrollBarUI::GetParts() const {
    return LayoutScrollBar(rcItem_, horizontal_, range_, pos_, showButton1_, showButton2_);
}

int CScrollBarUI::PageSize() const {
    return std::max(0, horizontal_ ? RectWidth(rcItem_) : RectHeight(rcItem_));
}

void CScrollBarUI::ScrollBy(int64_t delta) {
    // Any step beyond the largest range ends at an end; limiting it keeps the sum from overflowing.
    constexpr int64_t kLimit = int64_t(1) << 32;
    scrollTo(int64_t(pos_) + std::clamp(delta, -kLimit, kLimit));
}

void CScrollBarUI::scrollTo(int64_t pos) {
    const int target = clampToInt(pos, 0, range_);
    if (!owner_) {
        SetScrollPos(target);
        return;
    }
    // The owner moves its content and sets this bar's position itself.
    SkinSize ownerPos = owner_->GetScrollPos();
    (horizontal_ ? ownerPos.cx : ownerPos.cy) = target;
    owner_->SetScrollPos(ownerPos);
}

void CScrollBarUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name.ends_with(L"image")) {
        for (size_t part = 0; part < kPartNames.size(); ++part) {
            for (size_t state = 0; state < kStateNames.size(); ++state) {
                if (name == std::wstring(kPartNames[part]) + kStateNames[state] + L"image") {
                    SetImage(Part(part), ImageState(state), value);
                    return;
                }
            }
        }
    }
    if (name == L"hor") {
        SetHorizontal(ParseBool(value));
    } else if (name == L"linesize") {
        SetLineSize(ParseInteger(value));
    } else if (name == L"range") {
        SetScrollRange(ParseInteger(value));
        if (wantedPos_ >= 0) SetScrollPos(wantedPos_);
    } else if (name == L"value") {
        wantedPos_ = std::max(ParseInteger(value), 0);
        SetScrollPos(wantedPos_);
    } else if (name == L"scrollunit") {
        SetScrollUnit(ParseInteger(value));
    } else if (name == L"showbutton1") {
        SetShowButton1(ParseBool(value));
    } else if (name == L"showbutton2") {
        SetShowButton2(ParseBool(value));
    } else if (name == L"button1color") {
        button1Color_ = ParseColor(value);
        Invalidate();
    } else if (name == L"button2color") {
        button2Color_ = ParseColor(value);
        Invalidate();
    } else if (name == L"thumbcolor") {
        thumbColor_ = ParseColor(value);
        Invalidate();
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
