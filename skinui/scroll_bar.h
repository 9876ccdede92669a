#pragma once
// CScrollBarUI: a scroll bar, either one of a container's (its owner places it with absolute rectangles and
// reads its range and position) or a free-standing control. It has a button at each end, a thumb in the
// track between them sized by the visible part, state images and colours for each part, and the mouse:
// buttons step by the line size and repeat while held, the track pages, the thumb drags, the wheel steps.
// With an owner every scroll goes through the owner, so that the content moves with the bar.
#include <cstdint>

#include "skinui/control.h"

namespace SkinUI {

class CContainerUI;

// The parts of a bar in client coordinates. Parts that do not fit are empty rectangles.
struct TScrollBarParts {
    SkinRect button1;  // up / left
    SkinRect button2;  // down / right
    SkinRect track;    // between the buttons
    SkinRect thumb;    // inside the track; empty when the track is
    SkinRect rail;     // the rail image's place: a square of the bar's thickness centred on the thumb
};

// The layout of a bar at `bar`. The visible length is the bar's own length (a container's bar is as long
// as the content it shows). Never divides by zero; every rectangle has a non-negative size.
TScrollBarParts LayoutScrollBar(const SkinRect& bar, bool horizontal, int range, int pos, bool showButton1,
                                bool showButton2);

class CScrollBarUI : public CControlUI {
public:
    // The width of a vertical bar and the height of a horizontal one.
    static constexpr int kDefaultSize = 16;
    // The shortest thumb, unless the track itself is shorter.
    static constexpr int kMinThumbLength = 16;
    // While a button or the track is held: a tick every kRepeatIntervalMs; repeating starts with the
    // kRepeatDelayTicks-th tick so that a single click moves once.
    static constexpr uint32_t kRepeatTimerId = 1;
    static constexpr uint32_t kRepeatIntervalMs = 50;
    static constexpr int kRepeatDelayTicks = 6;

    enum class Part { Button1, Button2, Thumb, Rail, Bk };
    enum class ImageState { Normal, Hot, Pushed, Disabled };
    // State bits of a part.
    static constexpr unsigned kHot = 1;
    static constexpr unsigned kPushed = 2;

    CScrollBarUI();

    std::wstring_view GetClass() const override { return L"ScrollBar"; }
    void* GetInterface(std::wstring_view name) override;

    // The container this bar scrolls; null for a free-standing bar.
    CContainerUI* GetOwner() const { return owner_; }
    void SetOwner(CContainerUI* owner) { owner_ = owner; }

    bool IsHorizontal() const { return horizontal_; }
    // Swaps the fixed width and height so that the bar keeps its thickness across the new direction.
    void SetHorizontal(bool horizontal);
    // Range 0 and up; the position is kept inside it.
    int GetScrollRange() const { return range_; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return pos_; }
    // Clamped into 0..range. A change is reported as an asynchronous, coalesced "scroll" notification
    // (wParam = the new position, lParam = the range) when the bar is attached.
    void SetScrollPos(int pos);
    int GetLineSize() const { return lineSize_; }
    void SetLineSize(int size);
    // Lines a wheel notch scrolls; 1 and up.
    int GetScrollUnit() const { return scrollUnit_; }
    void SetScrollUnit(int unit);
    bool IsShowButton1() const { return showButton1_; }
    void SetShowButton1(bool show);
    bool IsShowButton2() const { return showButton2_; }
    void SetShowButton2(bool show);

    uint32_t GetButton1Color() const { return button1Color_; }
    uint32_t GetButton2Color() const { return button2Color_; }
    uint32_t GetThumbColor() const { return thumbColor_; }
    const std::wstring& GetImage(Part part, ImageState state) const;
    void SetImage(Part part, ImageState state, const std::wstring& description);

    TScrollBarParts GetParts() const;
    unsigned GetButton1State() const { return button1State_; }
    unsigned GetButton2State() const { return button2State_; }
    unsigned GetThumbState() const { return thumbState_; }

    // Scrolls by `delta` pixels: through the owner when there is one, else the bar's own position.
    void ScrollBy(int64_t delta);
    void LineUp() { ScrollBy(-lineSize_); }
    void LineDown() { ScrollBy(lineSize_); }
    void PageUp() { ScrollBy(-int64_t(PageSize())); }
    void PageDown() { ScrollBy(PageSize()); }
    // The visible length a page moves: the bar's own length.
    int PageSize() const;

    void SetEnabled(bool enabled = true) override;
    void SetVisible(bool visible = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(cairo_t* cr) override;

private:
    enum class Hold { None, Button1, Button2, TrackBefore, TrackAfter, Thumb };

    void scrollTo(int64_t pos);
    void press(Hold hold, platform::Point at);
    void release(platform::Point at);
    void repeat(platform::Point at);
    void updateHot(platform::Point at, bool inside);
    void setPartState(unsigned& state, unsigned value);
    void stopRepeat();
    // Ends a press, a drag and the hot states (the bar is disabled or hidden).
    void releaseMouse();
    int along(platform::Point p) const { return horizontal_ ? p.x : p.y; }

    // The image of `state`, else the normal one, over `rect`; `color` (when set) first.
    void paintPart(cairo_t* cr, Part part, const SkinRect& rect, ImageState state, uint32_t color);
    ImageState imageStateOf(unsigned state, bool disabled) const;
    TDrawInfo& image(Part part, ImageState state) { return images_[int(part)][int(state)]; }

    CContainerUI* owner_ = nullptr;
    bool horizontal_ = false;
    int range_ = 100;
    int pos_ = 0;
    int lineSize_ = 8;
    int scrollUnit_ = 1;
    bool showButton1_ = true;
    bool showButton2_ = true;
    // A "value" attribute read before the "range" one is applied again once the range is known.
    int wantedPos_ = -1;

    uint32_t button1Color_ = 0, button2Color_ = 0, thumbColor_ = 0;
    TDrawInfo images_[5][4];

    unsigned button1State_ = 0, button2State_ = 0, thumbState_ = 0;
    bool hot_ = false;
    Hold hold_ = Hold::None;
    int repeatTicks_ = 0;
    int dragStartMouse_ = 0;
    int dragStartPos_ = 0;
};

}  // namespace SkinUI
