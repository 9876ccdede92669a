// The rich edit's text view: Pango layouts in chunks, scrolling and painting.
#include "skinui/rich_edit.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/log.h"
#include "common/utf8.h"
#include "skinui/language_table.h"
#include "skinui/paint_manager.h"
#include "skinui/render_color.h"
#include "skinui/render_font.h"
#include "skinui/render_text.h"
#include "skinui/scroll_bar.h"

namespace SkinUI {

using namespace render_font;

namespace {

// Pango measures in 32-bit units of 1/1024 pixel, so one layout must stay well below 2^21 pixels in either
// direction. A layout never gets more lines than characters, so limiting the characters per layout by the
// line height keeps it inside, whatever the width, the font size or the text.
constexpr int64_t kMaxLayoutExtent = 1'000'000;
constexpr size_t kMinPieceChars = 64;
constexpr size_t kMaxPieceChars = 65536;
// Paragraphs are grouped into layouts of about this many characters so that painting and re-wrapping
// touch only a few of them.
constexpr size_t kChunkChars = 4096;
// The scroll range stays well inside int arithmetic of whoever reads it.
constexpr int64_t kMaxTextHeight = int64_t(1) << 24;

// Longer runs without a break opportunity count as a long word.
constexpr size_t kLongWordChars = 256;

bool isLineBreak(wchar_t ch) { return ch == L'\n' || ch == L'\r'; }

// Characters Pango may break a line at or after: blanks, hyphens, and the scripts written without
// blanks (from the CJK radicals on).
bool breaksWords(wchar_t ch) { return ch == L' ' || ch == L'\t' || ch == L'-' || ch == 0x3000 || ch >= 0x2E80; }

int toPixels(int pangoUnits) { return PANGO_PIXELS(pangoUnits); }

}  // namespace


struct CRichEditUI::Layout {
    struct Chunk {
        size_t start = 0;   // index into `text`
        size_t length = 0;  // characters laid out (a paragraph's final line break is left out)
        LayoutPtr layout;
        int64_t top = 0;
        int height = 0;
    };

    // What the layout was made from, and the part of it laid out.
    std::wstring source;
    std::wstring text;
    int width = 0;
    TFontInfo font;
    std::string language;
    bool multiLine = true;
    unsigned align = 0;

    int lineHeight = 0;
    std::vector<Chunk> chunks;
};

// Layout is complete only here.
CRichEditUI::CRichEditUI() { SetKeyboardEnabled(true); }

CRichEditUI::~CRichEditUI() = default;

// ---- layout ----

SkinRect CRichEditUI::GetTextRect() const {
    return DeflateRect(InnerRect(), textPadding_);
}

int CRichEditUI::GetLineHeight() const {
    int height = layout_ ? layout_->lineHeight : GetFontHeight(GetManager(), font_);
    return std::max(height, 1);
}

void CRichEditUI::SetPos(SkinRect rc, bool needInvalidate) {
    CContainerUI::SetPos(rc, needInvalidate);
    relayout();
}

bool CRichEditUI::layoutIsCurrent(int width) const {
    return layout_ && layout_->width == width && layout_->multiLine == multiLine_ && layout_->align == align_ &&
           layout_->font == FontOf(GetManager(), font_) &&
           layout_->language == TextLanguageOf(CPaintManagerUI::GetCurrentLanguage()) && layout_->source == shownText();
}

void CRichEditUI::relayout() {
    // Before the control has a place there is nothing to wrap against; SetPos comes back here.
    if (IsEmptyRect(rcItem_)) return;
    int width = RectWidth(GetTextRect());
    if (!layoutIsCurrent(width)) buildLayout(width);
    int cy = textHeight_ + textPadding_.top + textPadding_.bottom;
    int cx = multiLine_ ? 0 : textWidth_ + textPadding_.left + textPadding_.right;
    // May come back through SetPos once with the room a new or vanished bar leaves.
    ProcessScrollBar(InnerRect(), cx, cy);
}

void CRichEditUI::buildLayout(int width) {
    auto layout = std::make_unique<Layout>();
    layout->source = shownText();
    layout->text = layout->source;
    layout->width = width;
    layout->font = FontOf(GetManager(), font_);
    layout->language = TextLanguageOf(CPaintManagerUI::GetCurrentLanguage());
    layout->multiLine = multiLine_;
    layout->align = align_;
    layout->lineHeight = std::max(GetFontHeight(GetManager(), font_), 1);
    textHeight_ = 0;
    textWidth_ = 0;

    const size_t pieceChars =
        std::clamp(size_t(kMaxLayoutExtent / layout->lineHeight), kMinPieceChars, kMaxPieceChars);
    const size_t chunkChars = std::min(kChunkChars, pieceChars);
    std::wstring& text = layout->text;
    if (!multiLine_ && text.size() > pieceChars) text.resize(pieceChars);
    if (GetText().size() > kMaxShownChars || (!multiLine_ && GetText().size() > pieceChars)) {
        NLOG(L"%s shows the first %d of %d characters", GetName(), int(text.size()), int(GetText().size()));
    }
    if (width <= 0) {
        layout_ = std::move(layout);
        return;
    }

    // Chunks: whole paragraphs up to chunkChars; a paragraph with a long word alone and wrapped at any
    // character (Pango's word wrapping takes quadratic time over a word that does not fit); one longer
    // than a layout can hold in pieces. A text ending in a line break gets an empty last chunk for the
    // line after it.
    struct Span {
        size_t start, length;
        bool charWrap;
    };
    std::vector<Span> spans;
    size_t chunkStart = 0, chunkLength = 0;
    auto closeChunk = [&] {
        if (chunkLength > 0 || chunkStart < text.size()) spans.push_back({chunkStart, chunkLength, false});
    };
    for (size_t at = 0; at < text.size();) {
        size_t content = std::min(text.find_first_of(L"\r\n", at), text.size());
        size_t next = content;
        if (next < text.size()) next += (text[next] == L'\r' && next + 1 < text.size() && text[next + 1] == L'\n') ? 2 : 1;
        size_t length = content - at;
        size_t run = 0, longestRun = 0;
        for (size_t i = at; i < content && longestRun <= kLongWordChars; ++i) {
            run = breaksWords(text[i]) ? 0 : run + 1;
            longestRun = std::max(longestRun, run);
        }
        bool longWord = longestRun > kLongWordChars;
        if (longWord || length > pieceChars) {
            if (at > chunkStart) closeChunk();
            for (size_t piece = at; piece < content; piece += pieceChars) {
                spans.push_back({piece, std::min(pieceChars, content - piece), longWord});
            }
            chunkStart = next;
            chunkLength = 0;
        } else if (at > chunkStart && (next - chunkStart) > chunkChars) {
            closeChunk();
            chunkStart = at;
            chunkLength = length;
        } else {
            chunkLength = content - chunkStart;
        }
        at = next;
    }
    if (chunkStart < text.size()) closeChunk();
    if (text.empty() || isLineBreak(text.back())) spans.push_back({text.size(), 0, false});

    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    int64_t top = 0;
    PangoAlignment align = align_ == TextStyle::Right    ? PANGO_ALIGN_RIGHT
                           : align_ == TextStyle::Center ? PANGO_ALIGN_CENTER
                                                         : PANGO_ALIGN_LEFT;
    for (const Span& span : spans) {
        Layout::Chunk chunk;
        chunk.start = span.start;
        chunk.length = span.length;
        chunk.layout = MakeLayout(cr, layout->font, text.substr(span.start, span.length));
        PangoLayout* l = chunk.layout.get();
        if (multiLine_) {
            pango_layout_set_width(l, width * PANGO_SCALE);
            pango_layout_set_wrap(l, span.charWrap ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
            pango_layout_set_alignment(l, align);
        } else {
            pango_layout_set_single_paragraph_mode(l, TRUE);
        }
        PangoRectangle logical;
        pango_layout_get_pixel_extents(l, nullptr, &logical);
        chunk.top = top;
        chunk.height = std::clamp(logical.height, 0, int(kMaxLayoutExtent) * 2);
        top += chunk.height;
        textWidth_ = std::max(textWidth_, std::clamp(logical.x + logical.width, 0, int(kMaxLayoutExtent) * 2));
        layout->chunks.push_back(std::move(chunk));
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    textHeight_ = int(std::min(top, kMaxTextHeight));
    layout_ = std::move(layout);
}

// ---- scrolling ----

void CRichEditUI::scrollBy(int dy) {
    SkinSize pos = GetScrollPos();
    int64_t target = std::clamp(int64_t(pos.cy) + dy, int64_t(0), int64_t(GetScrollRange().cy));
    SetScrollPos({pos.cx, int(target)});
}

void CRichEditUI::LineUp() { scrollBy(-GetLineHeight()); }
void CRichEditUI::LineDown() { scrollBy(GetLineHeight()); }

void CRichEditUI::PageUp() { scrollBy(-std::max(RectHeight(GetTextRect()), GetLineHeight())); }
void CRichEditUI::PageDown() { scrollBy(std::max(RectHeight(GetTextRect()), GetLineHeight())); }

void CRichEditUI::HomeUp() { SetScrollPos({GetScrollPos().cx, 0}); }
void CRichEditUI::EndDown() { SetScrollPos({GetScrollPos().cx, GetScrollRange().cy}); }

bool CRichEditUI::caretRect(SkinRect& out) const {
    if (!layout_ || layout_->chunks.empty()) return false;
    size_t caret = std::min(caret_, layout_->text.size());
    const Layout::Chunk* chunk = &layout_->chunks.front();
    for (const Layout::Chunk& c : layout_->chunks) {
        if (c.start > caret) break;
        chunk = &c;
    }
    size_t inside = std::min(caret - chunk->start, chunk->length);
    std::string before = common::wideToUtf8(layout_->text.substr(chunk->start, inside));
    PangoRectangle at;
    pango_layout_index_to_pos(chunk->layout.get(), int(before.size()), &at);
    int64_t top = chunk->top + toPixels(at.y);
    int height = std::max(toPixels(at.height), 1);
    int left = toPixels(at.x);
    top = std::min(top, kMaxTextHeight);
    out = {left, int(top), left + 1, int(top) + height};
    return true;
}

void CRichEditUI::ensureCaretVisible() {
    SkinRect caret;
    if (!caretRect(caret)) return;
    SkinSize pos = GetScrollPos();
    int visible = RectHeight(GetTextRect());
    if (caret.top < pos.cy) {
        SetScrollPos({pos.cx, caret.top});
    } else if (visible > 0 && caret.bottom > pos.cy + visible) {
        SetScrollPos({pos.cx, caret.bottom - visible});
    }
}

void CRichEditUI::textOrigin(int& x, int64_t& y) const {
    SkinRect area = GetTextRect();
    SkinSize scroll = GetScrollPos();
    x = area.left - scroll.cx;
    if (!multiLine_ && textWidth_ < RectWidth(area)) {
        // Without wrapping Pango has no width to align in.
        if (align_ == TextStyle::Center) x += (RectWidth(area) - textWidth_) / 2;
        if (align_ == TextStyle::Right) x += RectWidth(area) - textWidth_;
    }
    y = int64_t(area.top) - scroll.cy;
}

size_t CRichEditUI::indexAt(platform::Point point) const {
    if (!layout_ || layout_->chunks.empty()) return GetText().size();
    int originX = 0;
    int64_t originY = 0;
    textOrigin(originX, originY);
    int64_t y = point.y - originY;
    const Layout::Chunk* chunk = &layout_->chunks.front();
    for (const Layout::Chunk& c : layout_->chunks) {
        if (c.top > y) break;
        chunk = &c;
    }
    // Both stay inside Pango's 32-bit units.
    int64_t inChunk = std::clamp<int64_t>(y - chunk->top, 0, std::max(chunk->height - 1, 0));
    int64_t x = std::clamp<int64_t>(int64_t(point.x) - originX, -kMaxLayoutExtent, kMaxLayoutExtent);
    int index = 0, trailing = 0;
    pango_layout_xy_to_index(chunk->layout.get(), int(x) * PANGO_SCALE, int(inChunk) * PANGO_SCALE, &index, &trailing);
    const char* utf8 = pango_layout_get_text(chunk->layout.get());
    size_t offset = size_t(g_utf8_pointer_to_offset(utf8, utf8 + index)) + size_t(std::max(trailing, 0));
    return std::min(chunk->start + std::min(offset, chunk->length), GetText().size());
}

// ---- painting ----

void CRichEditUI::PaintBkColor(cairo_t* cr) {
    // An opaque view without a colour of its own is white, as a text field is.
    if (!transparent_ && GetBkColor() == 0) {
        DrawColor(cr, IntersectRect(rcItem_, rcPaint_), 0xFFFFFFFF);
        return;
    }
    CContainerUI::PaintBkColor(cr);
}

void CRichEditUI::PaintText(cairo_t* cr) {
    SkinRect area = GetTextRect();
    SkinRect clip = IntersectRect(area, rcPaint_);
    if (IsEmptyRect(clip)) return;
    if (!layoutIsCurrent(RectWidth(area))) relayout();
    if (!layout_) return;

    const CPaintManagerUI* manager = GetManager();
    uint32_t color = IsEnabled() ? (textColor_ ? textColor_ : (manager ? manager->GetDefaultFontColor() : 0xFF000000))
                                 : (manager ? manager->GetDefaultDisabledColor() : 0xFFA7A6AA);
    int originX = 0;
    int64_t originY = 0;
    textOrigin(originX, originY);

    cairo_save(cr);
    cairo_rectangle(cr, clip.left, clip.top, RectWidth(clip), RectHeight(clip));
    cairo_clip(cr);
    SetSourceRgb(cr, color);
    // Only the lines that meet the clip: a long text costs no more to paint than a short one.
    for (const Layout::Chunk& chunk : layout_->chunks) {
        int64_t top = originY + chunk.top;
        if (top + chunk.height <= clip.top) continue;
        if (top >= clip.bottom) break;
        PangoLayoutIter* it = pango_layout_get_iter(chunk.layout.get());
        do {
            PangoRectangle logical;
            pango_layout_iter_get_line_extents(it, nullptr, &logical);
            int64_t lineTop = top + toPixels(logical.y);
            if (lineTop + toPixels(logical.height) <= clip.top) continue;
            if (lineTop >= clip.bottom) break;
            double baseline = double(top) + double(pango_layout_iter_get_baseline(it)) / PANGO_SCALE;
            cairo_move_to(cr, originX + double(logical.x) / PANGO_SCALE, baseline);
            pango_cairo_show_layout_line(cr, pango_layout_iter_get_line_readonly(it));
        } while (pango_layout_iter_next_line(it));
        pango_layout_iter_free(it);
    }
    cairo_restore(cr);

    if (!IsFocused() || readOnly_ || !IsEnabled()) return;
    SkinRect caret;
    if (!caretRect(caret)) return;
    int64_t caretTop = originY + caret.top;
    if (caretTop + RectHeight(caret) <= clip.top || caretTop >= clip.bottom) return;
    int left = originX + caret.left;
    SkinRect drawn{left, int(caretTop), left + 1, int(caretTop) + RectHeight(caret)};
    DrawColor(cr, IntersectRect(drawn, clip), 0xFF000000);
}

}  // namespace SkinUI
