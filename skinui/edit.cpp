#include "skinui/edit.h"

#include <algorithm>

#include "skinui/paint_manager.h"
#include "skinui/render_color.h"
#include "skinui/render_text.h"

namespace SkinUI {

CEditUI::CEditUI() {
    SetTextPadding({4, 3, 4, 3});
    SetBkColor(0xFFFFFFFF);
    SetKeyboardEnabled(true);
}

void* CEditUI::GetInterface(std::wstring_view name) {
    if (name == L"Edit") return this;
    return CLabelUI::GetInterface(name);
}

unsigned CEditUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_TABSTOP | UIFLAG_SETCURSOR : 0; }

void CEditUI::SetText(const std::wstring& text) {
    std::wstring kept = text.size() > maxChar_ ? text.substr(0, maxChar_) : text;
    CLabelUI::SetText(kept);
    caret_ = kept.size();
}

void CEditUI::SetMaxChar(size_t count) {
    maxChar_ = count;
    if (GetText().size() > maxChar_) SetText(GetText());
}

void CEditUI::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) { numberOnly_ = numberOnly; }

void CEditUI::SetPasswordMode(bool password) {
    password_ = password;
    Invalidate();
}

void CEditUI::changed() {
    Invalidate();
    if (GetManager()) GetManager()->SendNotify(this, L"textchanged");
}

bool CEditUI::InsertText(const std::wstring& text) {
    if (readOnly_ || !IsEnabled()) return false;
    std::wstring current = GetText();
    caret_ = std::min(caret_, current.size());
    std::wstring accepted;
    for (wchar_t ch : text) {
        if (ch < 0x20 || ch == 0x7F) continue;
        if (numberOnly_ && (ch < L'0' || ch > L'9')) continue;
        if (current.size() + accepted.size() >= maxChar_) break;
        accepted += ch;
    }
    if (accepted.empty()) return false;
    current.insert(caret_, accepted);
    size_t caret = caret_ + accepted.size();
    CLabelUI::SetText(current);
    caret_ = caret;
    changed();
    return true;
}

void CEditUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        CLabelUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (IsEnabled()) {
                SetFocus();
                caret_ = GetText().size();
                Invalidate();
            }
            return;
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            CLabelUI::DoEvent(event);
            Invalidate();
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) state_ |= ButtonState::Hot;
            Invalidate();
            return;
        case UIEVENT_MOUSELEAVE:
            state_ &= ~ButtonState::Hot;
            Invalidate();
            return;
        case UIEVENT_BUTTONUP:
        case UIEVENT_MOUSEMOVE: return;
        case UIEVENT_CHAR: {
            if (!IsFocused()) return;
            std::wstring text;
            if (event.chKey <= 0xFFFF) {
                text += wchar_t(event.chKey);
            } else if constexpr (sizeof(wchar_t) == 4) {
                text += wchar_t(event.chKey);
            }
            InsertText(text);
            return;
        }
        case UIEVENT_KEYDOWN: {
            if (!IsFocused()) break;
            std::wstring text = GetText();
            caret_ = std::min(caret_, text.size());
            switch (event.key) {
                case platform::Key::Return:
                    if (GetManager()) GetManager()->SendNotify(this, L"return");
                    return;
                case platform::Key::Left:
                    if (caret_ > 0) --caret_;
                    Invalidate();
                    return;
                case platform::Key::Right:
                    if (caret_ < text.size()) ++caret_;
                    Invalidate();
                    return;
                case platform::Key::Home:
                    caret_ = 0;
                    Invalidate();
                    return;
                case platform::Key::End:
                    caret_ = text.size();
                    Invalidate();
                    return;
                case platform::Key::Backspace:
                case platform::Key::Delete: {
                    if (readOnly_ || !IsEnabled()) return;
                    bool back = event.key == platform::Key::Backspace;
                    if (back ? caret_ == 0 : caret_ >= text.size()) return;
                    size_t at = back ? caret_ - 1 : caret_;
                    text.erase(at, 1);
                    CLabelUI::SetText(text);
                    caret_ = at;
                    changed();
                    return;
                }
                default: break;
            }
            break;
        }
        default: break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    auto image = [&](TDrawInfo& info) {
        info.Set(value);
        Invalidate();
    };
    if (name == L"readonly") SetReadOnly(ParseBool(value));
    else if (name == L"numberonly") SetNumberOnly(ParseBool(value));
    else if (name == L"password") SetPasswordMode(ParseBool(value));
    else if (name == L"autoselall") autoSelectAll_ = ParseBool(value);
    else if (name == L"maxchar") SetMaxChar(size_t(std::max(0, ParseInteger(value))));
    else if (name == L"normalimage") image(normalImage_);
    else if (name == L"hotimage") image(hotImage_);
    else if (name == L"focusedimage") image(focusedImage_);
    else if (name == L"disabledimage") image(disabledImage_);
    else if (name == L"nativebkcolor") nativeBkColor_ = ParseColor(value);
    else if (name == L"caretcolor") caretColor_ = ParseColor(value);
    else if (name == L"hotbordercolor" || name == L"standardimage" || name.ends_with(L"EnlargeImage")) {}
    else CLabelUI::SetAttribute(name, value);
}

void CEditUI::PaintStatusImage(cairo_t* cr) {
    if (!IsEnabled() && DrawImage(cr, disabledImage_)) return;
    if (IsFocused() && DrawImage(cr, focusedImage_)) return;
    if ((state_ & ButtonState::Hot) && DrawImage(cr, hotImage_)) return;
    DrawImage(cr, normalImage_);
}

void CEditUI::PaintText(cairo_t* cr) {
    std::wstring shown = password_ ? std::wstring(GetText().size(), passwordChar_) : GetText();
    if (IsFocused() && nativeBkColor_) DrawColor(cr, IntersectRect(rcItem_, rcPaint_), nativeBkColor_);
    DrawLabelText(cr, shown, CurrentTextColor());
    if (!IsFocused() || readOnly_) return;
    // The caret after the text before it.
    SkinRect measure{0, 0, 9999, 9999};
    std::wstring before = shown.substr(0, std::min(caret_, shown.size()));
    int x = 0;
    if (!before.empty()) {
        DrawText(cr, GetManager(), measure, before, 0, font_, TextStyle::SingleLine | TextStyle::CalcRect);
        x = RectWidth(measure);
    }
    int height = GetFontHeight(GetManager(), font_);
    int left = rcItem_.left + textPadding_.left + x;
    int top = rcItem_.top + (RectHeight(rcItem_) - height) / 2;
    uint32_t color = caretColor_ ? caretColor_ : 0xFF000000;
    DrawColor(cr, IntersectRect(SkinRect{left, top, left + 1, top + height}, rcPaint_), color);
}

}  // namespace SkinUI
