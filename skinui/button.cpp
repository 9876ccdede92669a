#include "skinui/button.h"

#include <algorithm>

#include "skinui/paint_manager.h"
#include "skinui/render_color.h"
#include "skinui/render_text.h"

namespace SkinUI {

// ---- CButtonUI ----

CButtonUI::CButtonUI() { textStyle_ = TextStyle::Center | TextStyle::VCenter | TextStyle::SingleLine; }

void* CButtonUI::GetInterface(std::wstring_view name) {
    if (name == L"Button") return this;
    return CLabelUI::GetInterface(name);
}

unsigned CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}

bool CButtonUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    if (GetManager()) GetManager()->SendNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!enabled) state_ = 0;
}

void CButtonUI::startFade() {
    if (fadeDelta_ > 0 && GetManager()) GetManager()->SetTimer(this, kFadeTimerId, 30);
}

void CButtonUI::DoEvent(TEventUI& event) {
    using namespace ButtonState;
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        CLabelUI::DoEvent(event);
        return;
    }
    bool inside = RectContainsPoint(rcItem_, event.ptMouse);
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            CLabelUI::DoEvent(event);
            Invalidate();
            return;
        case UIEVENT_SETCURSOR:
            ShowCursor(showCursor_ && IsEnabled() ? platform::Cursor::Hand : platform::Cursor::Arrow);
            return;
        case UIEVENT_KEYDOWN:
            if (IsKeyboardEnabled() && IsEnabled() &&
                (event.key == platform::Key::Space || event.key == platform::Key::Return)) {
                Activate();
                return;
            }
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (inside && IsEnabled()) {
                state_ |= Pushed | Captured;
                Invalidate();
                if (event.Type == UIEVENT_DBLCLICK && GetManager()) {
                    GetManager()->SendNotify(this, L"doubblebuttonclick");
                }
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if (state_ & Captured) {
                unsigned pushed = inside ? Pushed : 0;
                if ((state_ & Pushed) != pushed) {
                    state_ = (state_ & ~Pushed) | pushed;
                    Invalidate();
                }
            }
            return;
        case UIEVENT_BUTTONUP:
            if (state_ & Captured) {
                state_ &= ~(Pushed | Captured);
                Invalidate();
                if (inside && IsEnabled()) Activate();
            }
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled() && inside) {
                state_ |= Hot;
                startFade();
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            if (state_ & Hot) {
                state_ &= ~Hot;
                startFade();
                Invalidate();
            }
            return;
        case UIEVENT_RBUTTONDOWN:
            if (IsEnabled() && GetManager()) GetManager()->SendNotify(this, L"rightbuttondown");
            return;
        case UIEVENT_TIMER:
            if (uint32_t(event.wParam) == kFadeTimerId) {
                fadeOpacity_ = (state_ & Hot) ? std::max(0, fadeOpacity_ - fadeDelta_)
                                              : std::min(255, fadeOpacity_ + fadeDelta_);
                if ((fadeOpacity_ == 0 || fadeOpacity_ == 255) && GetManager()) {
                    GetManager()->KillTimer(this, kFadeTimerId);
                }
                Invalidate();
                return;
            }
            break;
        default: break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    auto image = [&](TDrawInfo& info) {
        info.Set(value);
        Invalidate();
    };
    if (name == L"normalimage") image(normalImage_);
    else if (name == L"hotimage") image(hotImage_);
    else if (name == L"pushedimage") image(pushedImage_);
    else if (name == L"focusedimage") image(focusedImage_);
    else if (name == L"disabledimage") image(disabledImage_);
    else if (name == L"foreimage") image(foreImage_);
    else if (name == L"hotforeimage") image(hotForeImage_);
    else if (name == L"standardimage") image(standardImage_);
    else if (name == L"redFilePath") image(redImage_);
    else if (name == L"showred") showRed_ = ParseBool(value);
    else if (name == L"fadedelta") fadeDelta_ = std::clamp(ParseInteger(value), 0, 255);
    else if (name == L"hotbkcolor") hotBkColor_ = ParseColor(value);
    else if (name == L"pushbkcolor") pushedBkColor_ = ParseColor(value);
    else if (name == L"disabledbkcolor") disabledBkColor_ = ParseColor(value);
    else if (name == L"hottextcolor") hotTextColor_ = ParseColor(value);
    else if (name == L"pushedtextcolor") pushedTextColor_ = ParseColor(value);
    else if (name == L"focusedtextcolor") focusedTextColor_ = ParseColor(value);
    else if (name == L"hotbordercolor") hotBorderColor_ = ParseColor(value);
    else if (name == L"showcursor") showCursor_ = ParseBool(value);
    else if (name == L"drawmulline") SetAttribute(L"multiline", value);
    else if (name.ends_with(L"EnlargeImage") || name == L"redFilePathEnlarge") {}  // never in that mode
    else CLabelUI::SetAttribute(name, value);
}

uint32_t CButtonUI::CurrentTextColor() const {
    using namespace ButtonState;
    if (IsEnabled()) {
        if ((state_ & Pushed) && pushedTextColor_) return pushedTextColor_;
        if ((state_ & Hot) && hotTextColor_) return hotTextColor_;
        if (IsFocused() && focusedTextColor_) return focusedTextColor_;
    }
    return CLabelUI::CurrentTextColor();
}

void CButtonUI::PaintBkColor(cairo_t* cr) {
    using namespace ButtonState;
    uint32_t color = 0;
    if (!IsEnabled()) color = disabledBkColor_;
    else if (state_ & Pushed) color = pushedBkColor_;
    else if (state_ & Hot) color = hotBkColor_;
    if (color == 0) {
        CLabelUI::PaintBkColor(cr);
        return;
    }
    DrawColor(cr, rcPaint_, color);
}

void CButtonUI::PaintBorder(cairo_t* cr) {
    if (!(state_ & ButtonState::Hot) || hotBorderColor_ == 0) {
        CLabelUI::PaintBorder(cr);
        return;
    }
    TBorderStyle border{GetBorderRect(), hotBorderColor_, 0, GetBorderRound(), GetBorderStyle()};
    DrawBorder(cr, rcItem_, border, false);
}

bool CButtonUI::DrawStateImage(cairo_t* cr, TDrawInfo& info, int part, int opacity) {
    if (DrawImage(cr, info, TImageDrawOptions().Opacity(opacity))) return true;
    return DrawImagePart(cr, standardImage_, part, 4, opacity);
}

void CButtonUI::PaintStatusImage(cairo_t* cr) {
    using namespace ButtonState;
    if (!IsEnabled()) {
        if (!DrawStateImage(cr, disabledImage_, 3)) DrawStateImage(cr, normalImage_, 0);
    } else if (state_ & Pushed) {
        if (!DrawStateImage(cr, pushedImage_, 2)) DrawStateImage(cr, normalImage_, 0);
        DrawImage(cr, hotForeImage_);
    } else if (state_ & Hot) {
        if (fadeDelta_ > 0 && fadeOpacity_ > 0 && !hotImage_.IsEmpty()) {
            DrawStateImage(cr, normalImage_, 0, fadeOpacity_);
            DrawStateImage(cr, hotImage_, 1, 255 - fadeOpacity_);
        } else if (!DrawStateImage(cr, hotImage_, 1)) {
            DrawStateImage(cr, normalImage_, 0);
        }
        DrawImage(cr, hotForeImage_);
    } else if (IsFocused()) {
        if (!DrawStateImage(cr, focusedImage_, -1)) DrawStateImage(cr, normalImage_, 0);
    } else if (fadeDelta_ > 0 && fadeOpacity_ < 255 && !hotImage_.IsEmpty()) {
        // Fading back after the pointer left.
        DrawStateImage(cr, normalImage_, 0, fadeOpacity_);
        DrawStateImage(cr, hotImage_, 1, 255 - fadeOpacity_);
    } else {
        DrawStateImage(cr, normalImage_, 0);
    }
    DrawImage(cr, foreImage_);
    if (showRed_) DrawImage(cr, redImage_);
}

// ---- COptionUI ----

COptionUI::~COptionUI() {
    if (!group_.empty() && GetManager()) GetManager()->RemoveOptionGroup(group_, this);
}

void* COptionUI::GetInterface(std::wstring_view name) {
    if (name == L"Option") return this;
    return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    if (!group_.empty() && GetManager() && GetManager() != manager) GetManager()->RemoveOptionGroup(group_, this);
    CButtonUI::SetManager(manager, parent, init);
    if (init && !group_.empty() && manager) manager->AddOptionGroup(group_, this);
}

void COptionUI::SetGroup(const std::wstring& group) {
    if (group_ == group) return;
    if (!group_.empty() && GetManager()) GetManager()->RemoveOptionGroup(group_, this);
    group_ = group;
    if (!group_.empty() && GetManager()) GetManager()->AddOptionGroup(group_, this);
    Selected(selected_, false);
}

void COptionUI::Selected(bool selected, bool notify) {
    if (selected_ == selected) return;
    selected_ = selected;
    if (selected_) state_ |= ButtonState::Selected;
    else state_ &= ~ButtonState::Selected;
    CPaintManagerUI* manager = GetManager();
    if (manager && !group_.empty() && selected_) {
        if (const std::vector<CControlUI*>* group = manager->GetOptionGroup(group_)) {
            // A copy: a handler of the notification may change the group.
            std::vector<CControlUI*> members = *group;
            for (CControlUI* member : members) {
                auto* option = static_cast<COptionUI*>(member->GetInterface(L"Option"));
                if (option && option != this) option->Selected(false, notify);
            }
        }
    }
    if (manager && notify) manager->SendNotify(this, L"selectchanged");
    Invalidate();
}

bool COptionUI::Activate() {
    if (!CControlUI::Activate()) return false;
    // In a group a click only selects; alone it toggles.
    Selected(group_.empty() ? !selected_ : true);
    if (GetManager()) GetManager()->SendNotify(this, L"click");
    return true;
}

void COptionUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    auto image = [&](TDrawInfo& info) {
        info.Set(value);
        Invalidate();
    };
    if (name == L"group") SetGroup(value);
    else if (name == L"selected") Selected(ParseBool(value));
    else if (name == L"selectedimage") image(selectedImage_);
    else if (name == L"selectedhotimage") image(selectedHotImage_);
    else if (name == L"selecteddisabledimage") image(selectedDisabledImage_);
    else if (name == L"selectedbkcolor") selectedBkColor_ = ParseColor(value);
    else if (name == L"selectedtextcolor") selectedTextColor_ = ParseColor(value);
    else CButtonUI::SetAttribute(name, value);
}

uint32_t COptionUI::CurrentTextColor() const {
    if (selected_ && IsEnabled() && selectedTextColor_) return selectedTextColor_;
    return CButtonUI::CurrentTextColor();
}

void COptionUI::PaintBkColor(cairo_t* cr) {
    if (selected_ && selectedBkColor_) {
        DrawColor(cr, rcPaint_, selectedBkColor_);
        return;
    }
    CButtonUI::PaintBkColor(cr);
}

void COptionUI::PaintStatusImage(cairo_t* cr) {
    if (selected_) {
        bool drawn = false;
        if (!IsEnabled()) drawn = DrawImage(cr, selectedDisabledImage_);
        else if (state_ & ButtonState::Hot) drawn = DrawImage(cr, selectedHotImage_);
        if (!drawn) drawn = DrawImage(cr, selectedImage_);
        if (drawn) {
            DrawImage(cr, foreImage_);
            return;
        }
    }
    CButtonUI::PaintStatusImage(cr);
}

// ---- CCheckBoxUI ----

void* CCheckBoxUI::GetInterface(std::wstring_view name) {
    if (name == L"CheckBox") return this;
    return COptionUI::GetInterface(name);
}

}  // namespace SkinUI
