#pragma once
// CEditUI: a one-line text field. While it has the focus it edits its text itself from the window's key, character and
// input-method messages.
#include <algorithm>
#include <memory>

#include "skinui/button.h"

namespace SkinUI {

class CEditUI : public CLabelUI {
public:
    CEditUI();
    ~CEditUI() override;
    std::wstring_view GetClass() const override { return L"Edit"; }
    void* GetInterface(std::wstring_view name) override;
    unsigned GetControlFlags() const override;

    void SetText(const std::wstring& text) override;
    size_t GetMaxChar() const { return maxChar_; }
    void SetMaxChar(size_t count);
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool IsNumberOnly() const { return numberOnly_; }
    void SetNumberOnly(bool numberOnly);
    bool IsPasswordMode() const { return password_; }
    void SetPasswordMode(bool password);
    wchar_t GetPasswordChar() const { return passwordChar_; }
    size_t GetCaret() const { return caret_; }
    // The selection runs between the anchor and the caret; empty when they meet.
    size_t GetSelStart() const { return std::min(anchor_, caret_); }
    size_t GetSelEnd() const { return std::max(anchor_, caret_); }
    // Puts the anchor at `start` and the caret at `end` (both kept inside the text).
    void SetSel(size_t start, size_t end);
    void SetSelAll() { SetSel(0, GetText().size()); }
    std::wstring GetSelText() const;
    // Replaces the selection with `text` as typing would; what the field refuses (read-only, a non-digit in
    // number-only mode, characters beyond the maximum) is left out. True when the text changed.
    bool InsertText(const std::wstring& text);
    // Clipboard: copy and cut take the selection (nothing in password mode); paste inserts as typing would
    // once the clipboard's text arrives.
    void Copy();
    void Cut();
    void Paste();
    // The character index nearest to the client x coordinate `x` (as the text was last drawn).
    size_t CaretIndexAt(int x);

    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(cairo_t* cr) override;
    void PaintText(cairo_t* cr) override;
    void PaintBorder(cairo_t* cr) override;

private:
    void changed();
    bool deleteSelection(std::wstring& text);
    void moveCaret(size_t to, bool extend);
    bool handleKey(const TEventUI& event);
    std::wstring shownText() const;
    SkinRect textArea() const;
    // Width of the first `count` characters as shown.
    int prefixWidth(const std::wstring& shown, size_t count);

    size_t maxChar_ = 255;
    bool readOnly_ = false;
    bool numberOnly_ = false;
    bool password_ = false;
    bool autoSelectAll_ = false;
    bool focusedByPress_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // guards the clipboard's late answer  // the focus came and no press, key or character has followed yet
    wchar_t passwordChar_ = L'*';
    size_t caret_ = 0;
    size_t anchor_ = 0;
    int scrollX_ = 0;        // pixels of text scrolled out on the left to keep the caret in view
    std::wstring preedit_;  // the input method's composition, not yet part of the text
    unsigned state_ = 0;
    uint32_t caretColor_ = 0;
    uint32_t nativeBkColor_ = 0;
    uint32_t hotBorderColor_ = 0;
    TDrawInfo normalImage_, hotImage_, focusedImage_, disabledImage_, standardImage_;
};

}  // namespace SkinUI
