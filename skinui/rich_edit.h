#pragma once
// CRichEditUI: a multi-line text view on Pango with the container's vertical scroll bar. It shows plain
// text word-wrapped inside its text padding; while focused the keys scroll it, and unless it is read-only
// it takes simple editing at a caret ("textchanged", "return").
#include <cstdint>
#include <memory>
#include <string>

#include "skinui/container.h"

namespace SkinUI {

class CRichEditUI : public CContainerUI {
public:
    // Text beyond this many characters is kept but not shown: laying it out would only cost time.
    static constexpr size_t kMaxShownChars = size_t(1) << 18;

    CRichEditUI();
    ~CRichEditUI() override;

    std::wstring_view GetClass() const override { return L"RichEdit"; }
    void* GetInterface(std::wstring_view name) override;
    unsigned GetControlFlags() const override;

    // ---- text ----
    // Window code may set the text of a read-only view; only the user's editing is refused.
    void SetText(const std::wstring& text) override;
    void AppendText(const std::wstring& text);
    size_t GetCaret() const { return caret_; }
    // Moves the caret (clamped to the text); the next typed text goes there.
    void SetCaret(size_t caret);
    // Inserts `text` at the caret as typing would. False (and nothing changes) when read-only, disabled or
    // nothing is left to insert; a single-line view drops line breaks.
    bool InsertText(const std::wstring& text);

    // ---- attributes ----
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool IsMultiLine() const { return multiLine_; }
    void SetMultiLine(bool multiLine);
    bool IsPasswordMode() const { return password_; }
    void SetPasswordMode(bool password);
    bool IsWantTab() const { return wantTab_; }
    bool IsWantReturn() const { return wantReturn_; }
    bool IsWantCtrlReturn() const { return wantCtrlReturn_; }
    bool IsTransparent() const { return transparent_; }
    bool IsRich() const { return rich_; }
    bool IsAutoVScroll() const { return autoVScroll_; }
    bool IsAutoHScroll() const { return autoHScroll_; }
    int GetFont() const { return font_; }
    void SetFont(int font);
    uint32_t GetTextColor() const { return textColor_; }
    void SetTextColor(uint32_t color);
    SkinRect GetTextPadding() const { return textPadding_; }
    void SetTextPadding(SkinRect padding);
    // 0 left, 1 center, 2 right (the text style values).
    unsigned GetAlign() const { return align_; }

    // ---- scrolling ----
    // Height of the laid-out text and of one line of the font, in pixels.
    int GetTextHeight() const { return textHeight_; }
    int GetLineHeight() const;
    // The area the text is drawn in: the inner rectangle less the text padding.
    SkinRect GetTextRect() const;
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void HomeUp();
    void EndDown();

    void SetPos(SkinRect rc, bool needInvalidate = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintBkColor(cairo_t* cr) override;
    void PaintText(cairo_t* cr) override;

private:
    struct Layout;

    // Lays the text out again when what it depends on changed, then lets the bars follow its size.
    void relayout();
    bool layoutIsCurrent(int width) const;
    void buildLayout(int width);
    void scrollBy(int dy);
    void ensureCaretVisible();
    // Where the caret is drawn, relative to the text's top left; false without a layout.
    bool caretRect(SkinRect& out) const;
    void changed();
    // Top left of the laid-out text in client coordinates, after scrolling and alignment.
    void textOrigin(int& x, int64_t& y) const;
    // The caret index nearest to a point of the client area.
    size_t indexAt(platform::Point point) const;
    std::wstring shownText() const;

    std::unique_ptr<Layout> layout_;
    int textHeight_ = 0;
    int textWidth_ = 0;

    size_t caret_ = 0;
    bool readOnly_ = false;
    bool multiLine_ = true;
    bool password_ = false;
    bool wantTab_ = false;
    bool wantReturn_ = false;
    bool wantCtrlReturn_ = false;
    bool transparent_ = true;
    bool rich_ = true;
    bool autoVScroll_ = false;
    bool autoHScroll_ = false;
    unsigned align_ = 0;
    int font_ = -1;
    uint32_t textColor_ = 0;
    SkinRect textPadding_{};
};

}  // namespace SkinUI
