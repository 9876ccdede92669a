#include "skinui/edit.h"

#include <algorithm>

#include "platform/clipboard.h"
#include "skinui/paint_manager.h"
#include "skinui/render_color.h"
#include "skinui/render_text.h"

namespace SkinUI {

namespace {

constexpr uint32_t kDefaultCaretColor = 0xFF000000;
constexpr uint32_t kDefaultSelectionColor = 0xFFBAE4FF;

bool refused(wchar_t ch, bool numberOnly) {
    if (ch < 0x20 || ch == 0x7F) return true;
    return numberOnly && (ch < L'0' || ch > L'9');
}

}  // namespace

CEditUI::CEditUI() {
    SetTextPadding({4, 3, 4, 3});
    SetBkColor(0xFFFFFFFF);
    SetKeyboardEnabled(true);
}

CEditUI::~CEditUI() { *alive_ = false; }

void* CEditUI::GetInterface(std::wstring_view name) {
    if (name == L"Edit") return this;
    return CLabelUI::GetInterface(name);
}

unsigned CEditUI::GetControlFlags() const {
    return IsEnabled() ? UIFLAG_TABSTOP | UIFLAG_SETCURSOR : 0;
}

void CEditUI::SetText(const std::wstring& text) {
    std::wstring kept = text.size() > maxChar_ ? text.substr(0, maxChar_) : text;
    CLabelUI::SetText(kept);
    caret_ = anchor_ = kept.size();
}

void CEditUI::SetMaxChar(size_t count) {
    maxChar_ = count;
    if (GetText().size() > maxChar_) SetText(GetText());
}

void CEditUI::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
    numberOnly_ = numberOnly;
}

void CEditUI::SetPasswordMode(bool password) {
    password_ = password;
    Invalidate();
}

void CEditUI::SetSel(size_t start, size_t end) {
    size_t size = GetText().size();
    anchor_ = std::min(start, size);
    caret_ = std::min(end, size);
    Invalidate();
}

std::wstring CEditUI::GetSelText() const {
    const std::wstring& text = GetText();
    size_t start = std::min(GetSelStart(), text.size());
    return text.substr(start, std::min(GetSelEnd(), text.size()) - start);
}

void CEditUI::changed() {
    Invalidate();
    if (GetManager()) GetManager()->SendNotify(this, L"textchanged");
}

bool CEditUI::deleteSelection(std::wstring& text) {
    size_t start = std::min(GetSelStart(), text.size());
    size_t end = std::min(GetSelEnd(), text.size());
    if (start == end) return false;
    text.erase(start, end - start);
    caret_ = anchor_ = start;
    return true;
}

bool CEditUI::InsertText(const std::wstring& text) {
    if (readOnly_ || !IsEnabled()) return false;
    std::wstring current = GetText();
    std::wstring accepted;
    for (wchar_t ch : text) {
        if (!refused(ch, numberOnly_)) accepted += ch;
    }
    // A refused paste leaves the selection in place.
    if (accepted.empty()) return false;
    bool removed = deleteSelection(current);
    size_t room = maxChar_ > current.size() ? maxChar_ - current.size() : 0;
    accepted.resize(std::min(accepted.size(), room));
    if (accepted.empty() && !removed) return false;
    caret_ = std::min(caret_, current.size());
    current.insert(caret_, accepted);
    size_t caret = caret_ + accepted.size();
    CLabelUI::SetText(current);
    caret_ = anchor_ = caret;
    changed();
    return true;
}

void CEditUI::Copy() {
    std::wstring selected = GetSelText();
    if (password_ || selected.empty()) return;
    platform::setClipboardText(selected);
}

void CEditUI::Cut() {
    if (password_ || readOnly_ || !IsEnabled() || GetSelStart() == GetSelEnd()) return;
    Copy();
    std::wstring text = GetText();
    deleteSelection(text);
    size_t caret = caret_;
    CLabelUI::SetText(text);
    caret_ = anchor_ = caret;
    changed();
}

void CEditUI::Paste() {
    if (readOnly_ || !IsEnabled()) return;
    std::shared_ptr<bool> alive = alive_;
    platform::requestClipboardText([this, alive](const std::wstring& text) {
        if (!*alive) return;
        // A copied line's own line break is dropped; breaks inside a block become blanks in a one-line field.
        std::wstring flat = text;
        while (!flat.empty() && (flat.back() == L'\n' || flat.back() == L'\r')) flat.pop_back();
        std::erase(flat, L'\r');
        std::replace(flat.begin(), flat.end(), L'\n', L' ');
        std::replace(flat.begin(), flat.end(), L'\t', L' ');
        InsertText(flat);
    });
}

std::wstring CEditUI::shownText() const {
    return password_ ? std::wstring(GetText().size(), passwordChar_) : GetText();
}

int CEditUI::prefixWidth(const std::wstring& shown, size_t count) {
    count = std::min(count, shown.size());
    if (count == 0) return 0;
    // Measuring happens outside a paint too (clicks), so it gets a context of its own.
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    SkinRect measure{0, 0, 0, 0};
    DrawText(cr, GetManager(), measure, shown.substr(0, count), 0, font_, TextStyle::SingleLine | TextStyle::CalcRect);
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return RectWidth(measure);
}

size_t CEditUI::CaretIndexAt(int x) {
    std::wstring shown = shownText();
    int offset = x - (rcItem_.left + textPadding_.left) + scrollX_;
    if (offset <= 0 || shown.empty()) return 0;
    // Widths grow with the count: a binary search finds the first prefix reaching the point.
    size_t low = 0, high = shown.size();
    while (low < high) {
        size_t mid = (low + high) / 2;
        if (prefixWidth(shown, mid + 1) < offset)
            low = mid + 1;
        else
            high = mid;
    }
    if (low >= shown.size()) return shown.size();
    int before = prefixWidth(shown, low), after = prefixWidth(shown, low + 1);
    return offset - before > after - offset ? low + 1 : low;
}

void CEditUI::moveCaret(size_t to, bool extend) {
    caret_ = std::min(to, GetText().size());
    if (!extend) anchor_ = caret_;
    Invalidate();
}

bool CEditUI::handleKey(const TEventUI& event) {
    std::wstring text = GetText();
    caret_ = std::min(caret_, text.size());
    anchor_ = std::min(anchor_, text.size());
    const bool shift = event.wKeyState & platform::keystate::Shift;
    const bool control = event.wKeyState & platform::keystate::Control;
    switch (event.key) {
        case platform::Key::Return:
            if (GetManager()) GetManager()->SendNotify(this, L"return");
            return true;
        case platform::Key::Left:
            // Without Shift a selection collapses to its start before the caret moves.
            if (!shift && anchor_ != caret_)
                moveCaret(GetSelStart(), false);
            else
                moveCaret(caret_ > 0 ? caret_ - 1 : 0, shift);
            return true;
        case platform::Key::Right:
            if (!shift && anchor_ != caret_)
                moveCaret(GetSelEnd(), false);
            else
                moveCaret(caret_ + 1, shift);
            return true;
        case platform::Key::Home: moveCaret(0, shift); return true;
        case platform::Key::End: moveCaret(text.size(), shift); return true;
        case platform::Key::Backspace:
        case platform::Key::Delete: {
            if (readOnly_ || !IsEnabled()) return true;
            if (!deleteSelection(text)) {
                bool back = event.key == platform::Key::Backspace;
                if (back ? caret_ == 0 : caret_ >= text.size()) return true;
                size_t at = back ? caret_ - 1 : caret_;
                text.erase(at, 1);
                caret_ = anchor_ = at;
            }
            size_t caret = caret_;
            CLabelUI::SetText(text);
            caret_ = anchor_ = caret;
            changed();
            return true;
        }
        default: break;
    }
    auto is = [&](char letter) { return event.key == platform::Key(letter); };
    if (control && is('A')) SetSelAll();
    else if (control && (is('C') || event.key == platform::Key::Insert)) Copy();
    else if (control && is('X')) Cut();
    else if ((control && is('V')) || (shift && event.key == platform::Key::Insert)) Paste();
    else return false;
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
                // The manager gives the focus before the press arrives: a press that brought it keeps the
                // select-all of "autoselall".
                bool opening = focusedByPress_;
                focusedByPress_ = false;
                SetFocus();
                if (!opening || !autoSelectAll_) {
                    bool extend = (event.wKeyState & platform::keystate::Shift) && !opening;
                    moveCaret(CaretIndexAt(event.ptMouse.x), extend);
                }
                if (event.Type == UIEVENT_DBLCLICK) SetSelAll();
                state_ |= ButtonState::Captured;
            }
            return;
        case UIEVENT_MOUSEMOVE:
            // Dragging with the button held extends the selection.
            if ((state_ & ButtonState::Captured) && IsFocused()) moveCaret(CaretIndexAt(event.ptMouse.x), true);
            return;
        case UIEVENT_BUTTONUP: state_ &= ~ButtonState::Captured; return;
        case UIEVENT_SETFOCUS:
            CLabelUI::DoEvent(event);
            focusedByPress_ = true;
            if (autoSelectAll_) SetSelAll();
            Invalidate();
            return;
        case UIEVENT_KILLFOCUS:
            CLabelUI::DoEvent(event);
            focusedByPress_ = false;
            preedit_.clear();
            anchor_ = caret_;
            state_ &= ~ButtonState::Captured;
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
        case UIEVENT_CHAR: {
            if (!IsFocused()) return;
            focusedByPress_ = false;
            std::wstring text;
            if (event.chKey <= 0xFFFF || sizeof(wchar_t) == 4) text += wchar_t(event.chKey);
            InsertText(text);
            return;
        }
        case UIEVENT_SETCURSOR:
            ShowCursor(IsEnabled() ? platform::Cursor::IBeam : platform::Cursor::Arrow);
            return;
        case UIEVENT_IMECOMPOSITION:
            if (!IsFocused() || readOnly_) return;
            preedit_ = event.sText;
            Invalidate();
            return;
        case UIEVENT_KEYDOWN:
            focusedByPress_ = false;
            if (IsFocused() && handleKey(event)) return;
            break;
        default: break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    auto image = [&](TDrawInfo& info) {
        info.Set(value);
        Invalidate();
    };
    if (name == L"readonly")
        SetReadOnly(ParseBool(value));
    else if (name == L"numberonly")
        SetNumberOnly(ParseBool(value));
    else if (name == L"password")
        SetPasswordMode(ParseBool(value));
    else if (name == L"autoselall")
        autoSelectAll_ = ParseBool(value);
    else if (name == L"maxchar")
        SetMaxChar(size_t(std::max(0, ParseInteger(value))));
    else if (name == L"normalimage")
        image(normalImage_);
    else if (name == L"hotimage")
        image(hotImage_);
    else if (name == L"focusedimage")
        image(focusedImage_);
    else if (name == L"disabledimage")
        image(disabledImage_);
    else if (name == L"standardimage")
        image(standardImage_);
    else if (name == L"nativebkcolor")
        nativeBkColor_ = ParseColor(value);
    else if (name == L"caretcolor")
        caretColor_ = ParseColor(value);
    else if (name == L"hotbordercolor")
        hotBorderColor_ = ParseColor(value);
    else if (name.ends_with(L"EnlargeImage")) {
    } else
        CLabelUI::SetAttribute(name, value);
}

void CEditUI::PaintStatusImage(cairo_t* cr) {
    // Standard image pictures: normal, hot, focused, disabled.
    auto state = [&](TDrawInfo& own, int part) {
        return DrawImage(cr, own) || DrawImagePart(cr, standardImage_, part, 4);
    };
    if (!IsEnabled() && state(disabledImage_, 3)) return;
    if (IsFocused() && state(focusedImage_, 2)) return;
    if ((state_ & ButtonState::Hot) && state(hotImage_, 1)) return;
    state(normalImage_, 0);
}

void CEditUI::PaintBorder(cairo_t* cr) {
    // Focus has its own border colour; hot comes next.
    if (!(state_ & ButtonState::Hot) || hotBorderColor_ == 0 || (IsFocused() && GetFocusBorderColor() != 0)) {
        CLabelUI::PaintBorder(cr);
        return;
    }
    TBorderStyle border{GetBorderRect(), hotBorderColor_, 0, GetBorderRound(), GetBorderStyle()};
    DrawBorder(cr, rcItem_, border, false);
}

SkinRect CEditUI::textArea() const { return DeflateRect(rcItem_, textPadding_); }

void CEditUI::PaintText(cairo_t* cr) {
    if (IsFocused() && nativeBkColor_) DrawColor(cr, IntersectRect(rcItem_, rcPaint_), nativeBkColor_);
    const SkinRect area = textArea();
    if (IsEmptyRect(area)) return;
    // A composition of the input method shows at the caret, underlined, until it is committed.
    std::wstring shown = shownText();
    const size_t caret = std::min(caret_, shown.size());
    const bool composing = IsFocused() && !preedit_.empty();
    if (composing) shown.insert(caret, preedit_);
    const size_t caretShown = caret + (composing ? preedit_.size() : 0);

    const int height = GetFontHeight(GetManager(), font_);
    const int top = rcItem_.top + (RectHeight(rcItem_) - height) / 2;
    const int fullWidth = prefixWidth(shown, shown.size());
    const int caretX = prefixWidth(shown, caretShown);
    // Scroll so that the caret stays in view; text that fits is never scrolled.
    const int room = RectWidth(area);
    if (fullWidth < room) scrollX_ = 0;
    else if (caretX - scrollX_ > room - 1) scrollX_ = caretX - room + 1;
    else if (caretX < scrollX_) scrollX_ = caretX;
    scrollX_ = std::clamp(scrollX_, 0, std::max(0, fullWidth - room + 1));
    const int origin = area.left - scrollX_;

    cairo_save(cr);
    SkinRect clip = IntersectRect(area, rcPaint_);
    cairo_rectangle(cr, clip.left, clip.top, RectWidth(clip), RectHeight(clip));
    cairo_clip(cr);
    if (IsFocused() && !composing && GetSelStart() != GetSelEnd()) {
        uint32_t color = GetManager() ? GetManager()->GetDefaultSelectedBkColor() : kDefaultSelectionColor;
        SkinRect selection{origin + prefixWidth(shown, GetSelStart()), top, origin + prefixWidth(shown, GetSelEnd()),
                           top + height};
        DrawColor(cr, IntersectRect(selection, clip), color);
    }
    if (!shown.empty()) {
        const unsigned style = (textStyle_ & ~(TextStyle::Center | TextStyle::Right | TextStyle::WordBreak |
                                               TextStyle::EndEllipsis)) |
                               TextStyle::SingleLine;
        SkinRect rect{origin, area.top, std::max(area.right, origin + fullWidth + 1), area.bottom};
        DrawText(cr, GetManager(), rect, shown, CurrentTextColor(), font_, style);
    }
    if (composing) {
        int from = origin + prefixWidth(shown, caret);
        DrawColor(cr, IntersectRect(SkinRect{from, top + height - 1, origin + caretX, top + height}, clip),
                  CurrentTextColor());
    }
    cairo_restore(cr);

    if (!IsFocused()) return;
    const int left = origin + caretX;
    if (GetManager() && GetManager()->GetPaintWindow()) {
        // The input method places its candidate list next to this rectangle.
        GetManager()->GetPaintWindow()->setTextInputArea(platform::Rect{left, top, left + 1, top + height});
    }
    if (readOnly_) return;
    uint32_t color = caretColor_ ? caretColor_ : kDefaultCaretColor;
    DrawColor(cr, IntersectRect(SkinRect{left, top, left + 1, top + height}, IntersectRect(rcItem_, rcPaint_)),
              color);
}

}  // namespace SkinUI
