// CScrollBarUI: painting. Background, the two buttons, the thumb and its rail, each with the image of its
// state (falling back to the normal image) over its colour.
#include "skinui/render_color.h"
#include "skinui/scroll_bar.h"

namespace SkinUI {

CScrollBarUI::ImageState CScrollBarUI::imageStateOf(unsigned state, bool disabled) const {
    if (disabled || !IsEnabled()) return ImageState::Disabled;
    if (state & kPushed) return ImageState::Pushed;
    if (state & kHot) return ImageState::Hot;
    return ImageState::Normal;
}

void CScrollBarUI::paintPart(cairo_t* cr, Part part, const SkinRect& rect, ImageState state, uint32_t color) {
    if (IsEmptyRect(rect)) return;
    if (color) DrawColor(cr, IntersectRect(rect, rcPaint_), color);
    const SkinRect dest{rect.left - rcItem_.left, rect.top - rcItem_.top, rect.right - rcItem_.left,
                        rect.bottom - rcItem_.top};
    const TImageDrawOptions options = TImageDrawOptions().Dest(dest);
    if (state != ImageState::Normal && DrawImage(cr, image(part, state), options)) return;
    DrawImage(cr, image(part, ImageState::Normal), options);
}

void CScrollBarUI::PaintStatusImage(cairo_t* cr) {
    const TScrollBarParts parts = GetParts();
    const unsigned barState = (hold_ != Hold::None ? kPushed : 0) | (hot_ ? kHot : 0);
    paintPart(cr, Part::Bk, rcItem_, imageStateOf(barState, false), 0);
    // A button with nothing left to scroll towards looks disabled.
    paintPart(cr, Part::Button1, parts.button1, imageStateOf(button1State_, pos_ <= 0), button1Color_);
    paintPart(cr, Part::Button2, parts.button2, imageStateOf(button2State_, pos_ >= range_), button2Color_);
    const ImageState thumb = imageStateOf(thumbState_, false);
    paintPart(cr, Part::Thumb, parts.thumb, thumb, thumbColor_);
    paintPart(cr, Part::Rail, parts.rail, thumb, 0);
}

}  // namespace SkinUI
