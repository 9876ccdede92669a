#include "skinui/rich_edit.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "skinui/language_table.h"
#include "skinui/paint_manager.h"
#include "skinui/render_text.h"
#include "skinui/scroll_bar.h"

namespace SkinUI {

namespace {

constexpr int kWheelLines = 3;

bool isLineBreak(wchar_t ch) { return ch == L'\n' || ch == L'\r'; }

}  // namespace

void* CRichEditUI::GetInterface(std::wstring_view name) {
    if (name == L"RichEdit") return this;
    return CContainerUI::GetInterface(name);
}

unsigned CRichEditUI::GetControlFlags() const {
    if (!IsEnabled()) return 0;
    return UIFLAG_TABSTOP | (wantReturn_ ? UIFLAG_WANTRETURN : 0) | (readOnly_ ? 0 : UIFLAG_SETCURSOR);
}

// ---- text ----

void CRichEditUI::SetText(const std::wstring& text) {
    CContainerUI::SetText(text);
    caret_ = text.size();
    relayout();
    SkinSize pos = GetScrollPos();
    SetScrollPos({pos.cx, 0});
    Invalidate();
}

void CRichEditUI::AppendText(const std::wstring& text) {
    if (text.empty()) return;
    CContainerUI::SetText(GetText() + text);
    relayout();
    if (autoVScroll_) EndDown();
    Invalidate();
}

void CRichEditUI::SetCaret(size_t caret) {
    caret_ = std::min(caret, GetText().size());
    ensureCaretVisible();
    Invalidate();
}

bool CRichEditUI::InsertText(const std::wstring& text) {
    if (readOnly_ || !IsEnabled()) return false;
    std::wstring accepted;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t ch = text[i];
        if (ch == L'\r') {
            // "\r\n" and a lone "\r" both become one line break.
            if (i + 1 < text.size() && text[i + 1] == L'\n') continue;
            ch = L'\n';
        }
        if (ch == L'\n' && !multiLine_) continue;
        if ((ch < 0x20 && ch != L'\n' && ch != L'\t') || ch == 0x7F) continue;
        accepted += ch;
    }
    if (accepted.empty()) return false;
    std::wstring current = GetText();
    caret_ = std::min(caret_, current.size());
    current.insert(caret_, accepted);
    size_t caret = caret_ + accepted.size();
    CContainerUI::SetText(current);
    caret_ = caret;
    relayout();
    ensureCaretVisible();
    changed();
    return true;
}

void CRichEditUI::changed() {
    Invalidate();
    if (GetManager()) GetManager()->SendNotify(this, L"textchanged");
}

std::wstring CRichEditUI::shownText() const {
    std::wstring shown = GetText();
    ResolveText(shown);
    if (shown.size() > kMaxShownChars) shown.resize(kMaxShownChars);
    if (password_) shown.assign(shown.size(), L'*');
    if (!multiLine_) std::replace_if(shown.begin(), shown.end(), isLineBreak, L' ');
    return shown;
}

// ---- attributes ----

void CRichEditUI::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    Invalidate();
}

void CRichEditUI::SetMultiLine(bool multiLine) {
    if (multiLine_ == multiLine) return;
    multiLine_ = multiLine;
    relayout();
    Invalidate();
}

void CRichEditUI::SetPasswordMode(bool password) {
    if (password_ == password) return;
    password_ = password;
    relayout();
    Invalidate();
}

void CRichEditUI::SetFont(int font) {
    font_ = font;
    relayout();
    Invalidate();
}

void CRichEditUI::SetTextColor(uint32_t color) {
    textColor_ = color;
    Invalidate();
}

void CRichEditUI::SetTextPadding(SkinRect padding) {
    textPadding_ = padding;
    relayout();
    Invalidate();
}

void CRichEditUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"autovscroll") autoVScroll_ = ParseBool(value);
    else if (name == L"autohscroll") autoHScroll_ = ParseBool(value);
    else if (name == L"wanttab") wantTab_ = ParseBool(value);
    else if (name == L"wantreturn") wantReturn_ = ParseBool(value);
    else if (name == L"wantctrlreturn") wantCtrlReturn_ = ParseBool(value);
    else if (name == L"transparent") {
        transparent_ = ParseBool(value);
        Invalidate();
    } else if (name == L"rich") rich_ = ParseBool(value);
    else if (name == L"multiline") SetMultiLine(value != L"false");
    else if (name == L"readonly") SetReadOnly(ParseBool(value));
    else if (name == L"password") SetPasswordMode(ParseBool(value));
    else if (name == L"align") {
        // Substring tests, the later words winning, as for labels.
        if (value.find(L"left") != std::wstring::npos) align_ = TextStyle::Left;
        if (value.find(L"center") != std::wstring::npos) align_ = TextStyle::Center;
        if (value.find(L"right") != std::wstring::npos) align_ = TextStyle::Right;
        relayout();
        Invalidate();
    } else if (name == L"font") SetFont(ParseInteger(value));
    else if (name == L"textcolor") SetTextColor(ParseColor(value));
    else if (name == L"textpadding") SetTextPadding(ParseRect(value));
    else CContainerUI::SetAttribute(name, value);
}

// ---- events ----

void CRichEditUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        CContainerUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (IsEnabled()) {
                SetFocus();
                if (!readOnly_) caret_ = indexAt(event.ptMouse);
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP:
        case UIEVENT_MOUSEMOVE: return;
        case UIEVENT_SETCURSOR:
            // A read-only view is not a place to type in: it keeps the arrow.
            ShowCursor(IsEnabled() && !readOnly_ ? platform::Cursor::IBeam : platform::Cursor::Arrow);
            return;
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            CContainerUI::DoEvent(event);
            Invalidate();
            return;
        case UIEVENT_SCROLLWHEEL: {
            CScrollBarUI* bar = GetVerticalScrollBar();
            if (!bar || !bar->IsVisible() || !bar->IsEnabled()) break;
            // Fine-grained wheels send less than a notch; they still move.
            int64_t notches = event.wParam / platform::kWheelNotch;
            if (notches == 0) notches = event.wParam > 0 ? 1 : (event.wParam < 0 ? -1 : 0);
            notches = std::clamp<int64_t>(notches, -100, 100);
            scrollBy(int(-notches * kWheelLines * GetLineHeight()));
            return;
        }
        case UIEVENT_CHAR:
            if (!IsFocused()) break;
            // Line breaks and tabs come as keys; other control characters are not text.
            if (event.chKey < 0x20 || event.chKey == 0x7F || event.chKey > 0x10FFFF) return;
            InsertText(std::wstring(1, wchar_t(event.chKey)));
            return;
        case UIEVENT_KEYDOWN: {
            if (!IsFocused()) break;
            std::wstring text = GetText();
            caret_ = std::min(caret_, text.size());
            bool editable = !readOnly_ && IsEnabled();
            switch (event.key) {
                case platform::Key::Up: LineUp(); return;
                case platform::Key::Down: LineDown(); return;
                case platform::Key::PageUp: PageUp(); return;
                case platform::Key::PageDown: PageDown(); return;
                case platform::Key::Home:
                    caret_ = 0;
                    HomeUp();
                    Invalidate();
                    return;
                case platform::Key::End:
                    caret_ = text.size();
                    EndDown();
                    Invalidate();
                    return;
                case platform::Key::Left:
                    if (caret_ > 0) SetCaret(caret_ - 1);
                    return;
                case platform::Key::Right:
                    SetCaret(caret_ + 1);
                    return;
                case platform::Key::Return: {
                    bool ctrl = event.wKeyState & platform::keystate::Control;
                    if (!(ctrl ? wantCtrlReturn_ : wantReturn_)) break;
                    if (editable && multiLine_) InsertText(L"\n");
                    if (GetManager()) GetManager()->SendNotify(this, L"return");
                    return;
                }
                case platform::Key::Tab:
                    if (!wantTab_) break;
                    if (editable) InsertText(L"\t");
                    return;
                case platform::Key::Backspace:
                case platform::Key::Delete: {
                    if (!editable) return;
                    bool back = event.key == platform::Key::Backspace;
                    if (back ? caret_ == 0 : caret_ >= text.size()) return;
                    size_t at = back ? caret_ - 1 : caret_;
                    size_t count = 1;
                    // A "\r\n" pair is one line break.
                    if (back && at > 0 && text[at] == L'\n' && text[at - 1] == L'\r') {
                        --at;
                        ++count;
                    }
                    if (!back && text[at] == L'\r' && at + 1 < text.size() && text[at + 1] == L'\n') ++count;
                    text.erase(at, count);
                    CContainerUI::SetText(text);
                    caret_ = at;
                    relayout();
                    ensureCaretVisible();
                    changed();
                    return;
                }
                default: break;
            }
            break;
        }
        default: break;
    }
    CContainerUI::DoEvent(event);
}

}  // namespace SkinUI
