// Formatted text.
//
// [parse]   tags to a list of atoms (text runs, breaks, pen moves, images) with numbered styles
// [layout]  atoms to lines of measured pieces: wrapping, ellipsis, alignment, links, hover
// [paint]   pieces onto the Cairo context
#include "skinui/render_html.h"

#include <algorithm>

#include "skinui/image_description.h"
#include "skinui/language_table.h"
#include "skinui/render_color.h"
#include "skinui/render_font.h"
#include "skinui/render_geometry.h"
#include "skinui/render_image.h"
#include "skinui/render_text.h"

namespace SkinUI {

using namespace render_font;

namespace {

// ---- [parse] ----

enum class VAlign { Bottom, Center, Top };

struct Style {
    TFontInfo font;
    uint32_t color = 0;
    int link = -1;
    bool linkColor = false;  // the colour is the link colour, so hovering changes it
    bool selected = false;
    VAlign valign = VAlign::Bottom;
};

enum class AtomKind { Text, Break, Paragraph, Move, Image, LineHeight };

struct Atom {
    AtomKind kind = AtomKind::Text;
    std::wstring text;
    int style = 0;
    int value = 0;  // break, paragraph: extra spacing; move: pixels; line height
    TImageDescription image;
};

// Deeper nesting than this replaces the innermost style instead of growing the stack.
constexpr size_t kMaxStyleDepth = 256;
// Pen moves, line heights and paragraph spacings are kept within this many pixels, so that sums of them
// stay far from overflowing.
constexpr int kMaxOffset = 1 << 16;

int offsetOf(std::wstring_view arg, int low) { return std::clamp(ParseInteger(arg), low, kMaxOffset); }

bool isLower(wchar_t c) { return c >= L'a' && c <= L'z'; }
bool isOpen(wchar_t c) { return c == L'<' || c == L'{'; }
bool isClose(wchar_t c) { return c == L'>' || c == L'}'; }

std::wstring trimmed(std::wstring_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == L' ' || s[b] == L'\t')) ++b;
    while (e > b && (s[e - 1] == L' ' || s[e - 1] == L'\t')) --e;
    return std::wstring(s.substr(b, e - b));
}

std::vector<std::wstring> words(std::wstring_view s) {
    std::vector<std::wstring> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == L' ') ++i;
        size_t start = i;
        while (i < s.size() && s[i] != L' ') ++i;
        if (i > start) out.emplace_back(s.substr(start, i - start));
    }
    return out;
}

class Parser {
public:
    Parser(const CPaintManagerUI* manager, const Style& base) : manager_(manager) {
        styles.push_back(base);
        stack_.push_back({L'\0', 0});
    }

    void parse(const std::wstring& text) {
        const size_t n = text.size();
        size_t i = 0;
        while (i < n) {
            wchar_t c = text[i];
            if (raw_) {
                if (isOpen(c) && i + 3 < n && text[i + 1] == L'/' && text[i + 2] == L'r' && isClose(text[i + 3])) {
                    flush();
                    raw_ = false;
                    i += 4;
                } else {
                    pending_ += c;
                    ++i;
                }
                continue;
            }
            if (isOpen(c) && i + 3 < n && text[i + 1] == L'/' && isLower(text[i + 2]) && isClose(text[i + 3])) {
                flush();
                close(text[i + 2]);
                i += 4;
                continue;
            }
            if (isOpen(c) && i + 2 < n && isLower(text[i + 1]) &&
                (text[i + 2] == L' ' || isClose(text[i + 2]))) {
                size_t end = i + 2;
                while (end < n && !isClose(text[end])) ++end;
                if (end < n) {
                    flush();
                    open(text[i + 1], std::wstring_view(text).substr(i + 2, end - (i + 2)));
                    i = end + 1;
                    continue;
                }
            }
            pending_ += c;
            ++i;
        }
        flush();
    }

    std::vector<Style> styles;
    std::vector<Atom> atoms;
    std::vector<std::wstring> linkTargets;

private:
    int current() const { return stack_.back().second; }
    const Style& currentStyle() const { return styles[size_t(current())]; }

    void flush() {
        if (pending_.empty()) return;
        Atom atom;
        atom.text = std::move(pending_);
        atom.style = current();
        atoms.push_back(std::move(atom));
        pending_.clear();
    }

    void push(wchar_t letter, const Style& style) {
        styles.push_back(style);
        int index = int(styles.size() - 1);
        if (stack_.size() >= kMaxStyleDepth) {
            stack_.back() = {letter, index};
        } else {
            stack_.push_back({letter, index});
        }
    }

    // Closes the innermost open tag of that letter and whatever was opened inside it.
    void pop(wchar_t letter) {
        for (size_t i = stack_.size(); i-- > 1;) {
            if (stack_[i].first == letter) {
                stack_.resize(i);
                return;
            }
        }
    }

    void addAtom(AtomKind kind, int value) {
        Atom atom;
        atom.kind = kind;
        atom.style = current();
        atom.value = value;
        atoms.push_back(std::move(atom));
    }

    void open(wchar_t letter, std::wstring_view arg) {
        Style s = currentStyle();
        switch (letter) {
            case L'a':
                s.link = int(linkTargets.size());
                s.color = manager_ ? manager_->GetDefaultLinkFontColor() : 0xFF0000FF;
                s.linkColor = true;
                linkTargets.push_back(trimmed(arg));
                push(letter, s);
                break;
            case L'b':
                s.font.bold = true;
                push(letter, s);
                break;
            case L'c':
                s.color = ParseColor(arg);
                s.linkColor = false;
                push(letter, s);
                break;
            case L'f':
                s.font = fontOf(arg, s.font);
                push(letter, s);
                break;
            case L'i':
                if (arg.find(L'=') != std::wstring_view::npos) {
                    Atom atom;
                    atom.kind = AtomKind::Image;
                    atom.style = current();
                    atom.image = ParseImageDescription(trimmed(arg));
                    atoms.push_back(std::move(atom));
                } else {
                    s.font.italic = true;
                    push(letter, s);
                }
                break;
            case L'n':
                addAtom(AtomKind::Break, 0);
                break;
            case L'p':
                paragraphs_.push_back(offsetOf(arg, 0));
                addAtom(AtomKind::Paragraph, paragraphs_.back());
                break;
            case L'r':
                raw_ = true;
                break;
            case L's':
                s.selected = !s.selected;
                push(letter, s);
                break;
            case L'u':
                s.font.underline = true;
                push(letter, s);
                break;
            case L'v': {
                std::wstring where = trimmed(arg);
                s.valign = where == L"center" ? VAlign::Center : where == L"top" ? VAlign::Top : VAlign::Bottom;
                // Not a scope: it changes the current style in place.
                styles.push_back(s);
                stack_.back().second = int(styles.size() - 1);
                break;
            }
            case L'x':
                addAtom(AtomKind::Move, offsetOf(arg, -kMaxOffset));
                break;
            case L'y':
                addAtom(AtomKind::LineHeight, offsetOf(arg, 0));
                break;
            default:
                break;  // "h", "z" and letters no skin uses
        }
    }

    void close(wchar_t letter) {
        if (letter == L'p') {
            int spacing = paragraphs_.empty() ? 0 : paragraphs_.back();
            if (!paragraphs_.empty()) paragraphs_.pop_back();
            addAtom(AtomKind::Paragraph, spacing);
            return;
        }
        pop(letter);
    }

    // "f 2" picks a font of the window; "f face size [bold] [underline] [italic]" makes one.
    TFontInfo fontOf(std::wstring_view arg, const TFontInfo& fallback) const {
        std::vector<std::wstring> parts = words(arg);
        if (parts.empty()) return fallback;
        bool numeric = std::all_of(parts[0].begin(), parts[0].end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
        if (numeric) return FontOf(manager_, ParseInteger(parts[0]));
        TFontInfo font;
        font.face = parts[0];
        if (parts.size() > 1) font.size = ParseInteger(parts[1]);
        for (size_t k = 2; k < parts.size(); ++k) {
            if (parts[k] == L"bold") font.bold = true;
            if (parts[k] == L"underline") font.underline = true;
            if (parts[k] == L"italic") font.italic = true;
        }
        return font;
    }

    const CPaintManagerUI* manager_;
    std::vector<std::pair<wchar_t, int>> stack_;  // tag letter, style index; the base at the bottom
    std::vector<int> paragraphs_;
    std::wstring pending_;
    bool raw_ = false;
};

// ---- [layout] ----

// Characters a line may break after on their own: CJK ideographs, kana, hangul, full-width forms.
bool breaksAlone(wchar_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

struct Piece {
    THtmlPiece::Kind kind = THtmlPiece::Kind::Text;
    std::wstring text;
    int style = 0;
    int x = 0, w = 0, h = 0;
    bool space = false;
    const TImageData* image = nullptr;
    SkinRect source;
    int fade = 255;
};

struct Line {
    std::vector<Piece> pieces;
    int spaceBefore = 0;
    int fixedHeight = 0;
    bool wrapped = false;    // started by wrapping, not by a break
    bool paragraph = false;  // started by a paragraph tag
    int y = 0, height = 0, width = 0;
};

class Layouter {
public:
    Layouter(cairo_t* cr, const CPaintManagerUI* manager, const Parser& parsed, int width, unsigned style,
             CImageTable* images)
        : manager_(manager),
          parsed_(parsed),
          width_(width),
          wrap_(!(style & TextStyle::SingleLine)),
          images_(images),
          measure_(MakeLayout(cr, parsed.styles[0].font, L"")),
          measuredFont_(parsed.styles[0].font) {
        lines.emplace_back();
    }

    void run() {
        for (const Atom& atom : parsed_.atoms) {
            switch (atom.kind) {
                case AtomKind::Text:
                    text(atom.text, atom.style);
                    break;
                case AtomKind::Break:
                    newLine(atom.value, false);
                    break;
                case AtomKind::Paragraph:
                    // A paragraph starts on a line of its own, but never leaves an empty line behind.
                    if (lines.back().pieces.empty()) {
                        lines.back().spaceBefore += atom.value;
                    } else {
                        newLine(atom.value, false);
                        lines.back().paragraph = true;
                    }
                    break;
                case AtomKind::Move:
                    pen_ = std::clamp(pen_ + atom.value, 0, kMaxOffset);
                    break;
                case AtomKind::LineHeight:
                    fixedHeight_ = atom.value;
                    lines.back().fixedHeight = atom.value;
                    break;
                case AtomKind::Image:
                    image(atom);
                    break;
            }
        }
        // The end of the last paragraph opens no line of its own.
        if (lines.size() > 1 && lines.back().paragraph && lines.back().pieces.empty()) lines.pop_back();
        for (Line& line : lines) measureLine(line);
    }

    // Keeps the lines that fit `height` and ends the last one with "..." when some were left out; with
    // `ellipsis` also ends every line wider than the rectangle with "...".
    void cut(int height, bool ellipsis) {
        if (!ellipsis) return;
        bool leftOut = false;
        if (lines.size() > 1) {
            size_t fit = 0;
            int y = 0;
            for (const Line& line : lines) {
                y += line.spaceBefore + line.height;
                if (y > height && fit > 0) break;
                ++fit;
            }
            leftOut = fit < lines.size();
            lines.resize(fit);
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            bool last = i + 1 == lines.size();
            if (lines[i].width > width_ || (last && leftOut)) ellipsize(lines[i]);
        }
    }

    SkinSize measure(const std::wstring& text, int style) {
        const TFontInfo& font = parsed_.styles[size_t(style)].font;
        if (!(font == measuredFont_)) {
            SetLayoutFont(measure_.get(), font);
            measuredFont_ = font;
        }
        SetLayoutText(measure_.get(), text);
        PangoRectangle logical;
        pango_layout_get_pixel_extents(measure_.get(), nullptr, &logical);
        return {logical.width, logical.height};
    }

    std::vector<Line> lines;

private:
    void newLine(int spacing, bool wrapped) {
        lines.emplace_back();
        lines.back().spaceBefore = spacing;
        lines.back().wrapped = wrapped;
        lines.back().fixedHeight = fixedHeight_;
        pen_ = 0;
    }

    void add(Piece piece) {
        piece.x = pen_;
        pen_ += piece.w;
        lines.back().pieces.push_back(std::move(piece));
    }

    void text(const std::wstring& run, int style) {
        std::wstring word;
        auto flushWord = [&] {
            if (!word.empty()) placeWord(word, style);
            word.clear();
        };
        for (wchar_t c : run) {
            if (c == L'\r') continue;
            if (c == L'\n') {
                flushWord();
                if (wrap_) {
                    newLine(0, false);
                } else {
                    placeSpace(style);
                }
            } else if (c == L' ' || c == L'\t') {
                flushWord();
                placeSpace(style);
            } else if (breaksAlone(c)) {
                flushWord();
                placeWord(std::wstring(1, c), style);
            } else {
                word += c;
            }
        }
        flushWord();
    }

    void placeSpace(int style) {
        // A wrapped line does not start with the blank the wrap happened at.
        if (lines.back().wrapped && lines.back().pieces.empty()) return;
        Piece piece;
        piece.text = L" ";
        piece.style = style;
        SkinSize size = measure(piece.text, style);
        piece.w = size.cx;
        piece.h = size.cy;
        piece.space = true;
        add(std::move(piece));
    }

    void placeWord(std::wstring word, int style) {
        SkinSize size = measure(word, style);
        if (wrap_ && pen_ > 0 && pen_ + size.cx > width_) newLine(0, true);
        // A word wider than the whole line is broken between characters. Only prefixes up to a line's
        // width are measured, so a very long word costs no more than its lines.
        while (wrap_ && size.cx > width_ && word.size() > 1) {
            size_t take = 1;
            SkinSize part = measure(word.substr(0, 1), style);
            while (take < word.size()) {
                SkinSize longer = measure(word.substr(0, take + 1), style);
                if (longer.cx > width_) break;
                part = longer;
                ++take;
            }
            if (take == word.size()) {
                size = part;
                break;
            }
            Piece piece;
            piece.text = word.substr(0, take);
            piece.style = style;
            piece.w = part.cx;
            piece.h = part.cy;
            add(std::move(piece));
            word.erase(0, take);
            newLine(0, true);
            size.cx = width_ + 1;  // unknown: the loop finds out whether the rest fits
        }
        Piece piece;
        piece.text = std::move(word);
        piece.style = style;
        piece.w = size.cx;
        piece.h = size.cy;
        add(std::move(piece));
    }

    void image(const Atom& atom) {
        if (!images_ || atom.image.name.empty()) return;
        const TImageDescription& d = atom.image;
        const TImageData* found = GetImageEx(*images_, manager_, d.name, d.resType, d.mask, d.hsl);
        if (!found) return;
        SkinRect source = IsZeroRect(d.source) ? SkinRect{0, 0, found->width, found->height} : d.source;
        IntersectRects(source, {0, 0, found->width, found->height}, source);
        if (IsEmptyRect(source)) return;
        Piece piece;
        piece.kind = THtmlPiece::Kind::Image;
        piece.style = atom.style;
        piece.image = found;
        piece.source = source;
        piece.fade = d.fade;
        piece.w = RectWidth(source);
        piece.h = RectHeight(source);
        if (wrap_ && pen_ > 0 && pen_ + piece.w > width_) newLine(0, true);
        add(std::move(piece));
    }

    void measureLine(Line& line) {
        int tallest = 0;
        line.width = 0;
        for (const Piece& p : line.pieces) {
            tallest = std::max(tallest, p.h);
            if (!p.space) line.width = std::max(line.width, p.x + p.w);
        }
        if (line.pieces.empty()) tallest = measure(L" ", 0).cy;
        line.height = line.fixedHeight > 0 ? line.fixedHeight : tallest;
    }

    void ellipsize(Line& line) {
        int dotsStyle = line.pieces.empty() ? 0 : line.pieces.back().style;
        auto dotsWidth = [&] { return measure(L"...", dotsStyle).cx; };
        int limit = width_ - dotsWidth();
        while (!line.pieces.empty()) {
            Piece& last = line.pieces.back();
            if (!last.space && last.x + last.w <= limit) break;
            dotsStyle = last.style;
            limit = width_ - dotsWidth();
            if (!last.space && last.kind == THtmlPiece::Kind::Text && last.x < limit) {
                // The longest prefix that fits, by bisection: a cut piece may be very long.
                size_t keep = 0, over = last.text.size();
                while (over - keep > 1) {
                    size_t mid = keep + (over - keep) / 2;
                    if (last.x + measure(last.text.substr(0, mid), last.style).cx <= limit) {
                        keep = mid;
                    } else {
                        over = mid;
                    }
                }
                if (keep > 0) {
                    last.text.resize(keep);
                    last.w = measure(last.text, last.style).cx;
                    break;
                }
            }
            line.pieces.pop_back();
        }
        Piece dots;
        dots.kind = THtmlPiece::Kind::Ellipsis;
        dots.text = L"...";
        dots.style = dotsStyle;
        SkinSize size = measure(dots.text, dotsStyle);
        dots.w = size.cx;
        dots.h = size.cy;
        dots.x = line.pieces.empty() ? 0 : line.pieces.back().x + line.pieces.back().w;
        line.pieces.push_back(std::move(dots));
        measureLine(line);
    }

    const CPaintManagerUI* manager_;
    const Parser& parsed_;
    const int width_;
    const bool wrap_;
    CImageTable* images_;
    LayoutPtr measure_;
    TFontInfo measuredFont_;
    int pen_ = 0;
    int fixedHeight_ = 0;
};

}  // namespace

THtmlLayout LayoutHtmlText(cairo_t* cr, const CPaintManagerUI* manager, const SkinRect& rect, const std::wstring& text,
                           uint32_t color, int font, unsigned style, const THtmlTextOptions& options) {
    std::wstring shown = text;
    ResolveText(shown);
    Style base;
    base.font = FontOf(manager, font);
    base.color = color;
    Parser parser(manager, base);
    parser.parse(shown);

    const int width = std::max(0, RectWidth(rect));
    const int height = std::max(0, RectHeight(rect));
    Layouter layouter(cr, manager, parser, width, style, options.images);
    layouter.run();
    layouter.cut(height, style & TextStyle::EndEllipsis);
    std::vector<Line>& lines = layouter.lines;

    // Pass 1: line positions and the size of the block.
    THtmlLayout result;
    int y = 0;
    for (Line& line : lines) {
        y += line.spaceBefore;
        line.y = y;
        y += line.height;
        result.size.cx = std::max(result.size.cx, line.width);
    }
    result.size.cy = y;
    result.lines = int(lines.size());

    // Pass 2: block and line alignment. Multi-line text that does not fit stays at the top.
    int blockY = 0;
    bool single = lines.size() == 1;
    if (single || y <= height) {
        if (style & TextStyle::Bottom) {
            blockY = height - y;
        } else if (style & TextStyle::VCenter) {
            blockY = (height - y) / 2;
        }
    }

    // Pass 3: absolute pieces; neighbours of one style on a line become one run.
    std::vector<bool> linkColored;  // per piece: drawn in the link colour, so hovering recolours it
    for (size_t li = 0; li < lines.size(); ++li) {
        const Line& line = lines[li];
        int lineX = 0;
        if (style & TextStyle::Right) {
            lineX = std::max(0, width - line.width);
        } else if (style & TextStyle::Center) {
            lineX = std::max(0, (width - line.width) / 2);
        }
        const int top = rect.top + blockY + line.y;
        const size_t lineStart = result.pieces.size();
        for (const Piece& p : line.pieces) {
            const Style& s = parser.styles[size_t(p.style)];
            int py = top + line.height - p.h;
            if (s.valign == VAlign::Center) py = top + (line.height - p.h) / 2;
            if (s.valign == VAlign::Top) py = top;
            SkinRect r = {rect.left + lineX + p.x, py, rect.left + lineX + p.x + p.w, py + p.h};
            if (!result.pieces.empty()) {
                THtmlPiece& prev = result.pieces.back();
                bool sameRun = prev.kind == THtmlPiece::Kind::Text && p.kind == THtmlPiece::Kind::Text &&
                               prev.line == int(li) && prev.rect.right == r.left && prev.rect.top == r.top &&
                               prev.rect.bottom == r.bottom && prev.font == s.font && prev.color == s.color &&
                               prev.link == s.link && prev.selected == s.selected &&
                               linkColored.back() == s.linkColor;
                if (sameRun) {
                    prev.text += p.text;
                    prev.rect.right = r.right;
                    continue;
                }
            }
            THtmlPiece piece;
            piece.kind = p.kind;
            piece.text = p.text;
            piece.rect = r;
            piece.font = s.font;
            piece.color = s.color;
            piece.link = s.link;
            piece.selected = s.selected;
            piece.line = int(li);
            piece.image = p.image;
            piece.source = p.source;
            piece.fade = p.fade;
            result.pieces.push_back(std::move(piece));
            linkColored.push_back(s.linkColor);
        }
        // A link's part on this line spans the line's height.
        for (size_t k = lineStart; k < result.pieces.size(); ++k) {
            const THtmlPiece& piece = result.pieces[k];
            if (piece.link < 0 || piece.kind == THtmlPiece::Kind::Ellipsis) continue;
            SkinRect part = {piece.rect.left, top, piece.rect.right, top + line.height};
            if (!result.links.empty()) {
                THtmlLink& prev = result.links.back();
                if (prev.link == piece.link && prev.rect.top == part.top && prev.rect.right == part.left) {
                    prev.rect.right = part.right;
                    continue;
                }
            }
            result.links.push_back({part, parser.linkTargets[size_t(piece.link)], piece.link});
        }
    }

    // Pass 4: the link under the mouse takes the hover colour where it shows the link colour.
    if (options.hasMouse) {
        int hovered = -1;
        for (const THtmlLink& link : result.links) {
            if (RectContainsPoint(link.rect, options.mouseX, options.mouseY)) hovered = link.link;
        }
        if (hovered >= 0) {
            uint32_t hoverColor = manager ? manager->GetDefaultLinkHoverFontColor() : 0xFFD3215F;
            for (size_t k = 0; k < result.pieces.size(); ++k) {
                if (result.pieces[k].link == hovered && linkColored[k]) result.pieces[k].color = hoverColor;
            }
        }
    }
    return result;
}

// ---- [paint] ----

void DrawHtmlText(cairo_t* cr, const CPaintManagerUI* manager, SkinRect& rect, const std::wstring& text,
                  uint32_t color, int font, unsigned style, const THtmlTextOptions& options,
                  std::vector<THtmlLink>* links) {
    THtmlLayout layout = LayoutHtmlText(cr, manager, rect, text, color, font, style, options);
    if (links) {
        links->assign(layout.links.begin(),
                      layout.links.begin() + long(std::min(options.maxLinks, layout.links.size())));
    }
    if (style & TextStyle::CalcRect) {
        rect.right = rect.left + layout.size.cx;
        rect.bottom = rect.top + layout.size.cy;
        return;
    }
    if (IsEmptyRect(rect) || layout.pieces.empty()) return;

    uint32_t selectedColor = manager ? manager->GetDefaultSelectedBkColor() : 0xFFBAE4FF;
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, RectWidth(rect), RectHeight(rect));
    cairo_clip(cr);
    LayoutPtr pango = MakeLayout(cr, layout.pieces.front().font, L"");
    TFontInfo current = layout.pieces.front().font;
    for (const THtmlPiece& piece : layout.pieces) {
        if (piece.selected) DrawColor(cr, piece.rect, selectedColor);
        if (piece.kind == THtmlPiece::Kind::Image) {
            if (piece.image) DrawImage(cr, *piece.image, piece.rect, rect, piece.source, {}, piece.fade);
            continue;
        }
        if (!(piece.font == current)) {
            SetLayoutFont(pango.get(), piece.font);
            current = piece.font;
        }
        SetLayoutText(pango.get(), piece.text);
        SetSourceRgb(cr, piece.color);
        cairo_move_to(cr, piece.rect.left, piece.rect.top);
        pango_cairo_show_layout(cr, pango.get());
    }
    cairo_restore(cr);
}

}  // namespace SkinUI
