#include "platform/window_headless.h"

#include <algorithm>

#include "platform/main_loop.h"

namespace platform {
namespace {

HeadlessWindow* g_focused = nullptr;
Rect g_workArea{0, 0, 1024, 768};

Rect unite(const Rect& a, const Rect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace

void setHeadlessWorkArea(const Rect& area) { g_workArea = area; }
Rect headlessWorkArea() { return g_workArea; }

HeadlessWindow* HeadlessWindow::focusedWindow() { return g_focused; }

std::unique_ptr<HeadlessWindow> createHeadlessWindow(const WindowOptions& options, WindowHandler* handler) {
    return std::make_unique<HeadlessWindow>(options, handler);
}

HeadlessWindow::HeadlessWindow(const WindowOptions& options, WindowHandler* handler)
    : WindowBase(options, handler), restoredBounds_(options.bounds) {
    recreateSurface();
}

HeadlessWindow::~HeadlessWindow() {
    if (g_focused == this) g_focused = nullptr;
    if (surface_) cairo_surface_destroy(surface_);
    if (icon_) cairo_surface_destroy(icon_);
}

void HeadlessWindow::recreateSurface() {
    if (surface_) cairo_surface_destroy(surface_);
    Rect c = clientRect();
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(c.width(), 0), std::max(c.height(), 0));
    dirty_ = Rect{};
}

// ---- synthetic input ----

void HeadlessWindow::enqueue(std::function<void()> input) {
    queue_.push_back(std::move(input));
    if (pumpPosted_) return;
    pumpPosted_ = true;
    auto self = selfRef();
    MainLoop::post([self] {
        auto* w = static_cast<HeadlessWindow*>(*self);
        if (!w) return;
        w->pumpPosted_ = false;
        w->pump();
    });
}

bool HeadlessWindow::pump() {
    auto self = selfRef();
    while (!queue_.empty()) {
        auto input = std::move(queue_.front());
        queue_.pop_front();
        input();
        if (!*self) return false;
        if (isDestroyed()) {
            queue_.clear();
            return false;
        }
    }
    return true;
}

uint32_t HeadlessWindow::nextPressTime(bool advance) {
    // Separate presses lie far apart on the event clock, so only doubleClick() makes a double click.
    if (advance) clock_ += 10 * doubleClickTime();
    return clock_;
}

void HeadlessWindow::mouseMove(int x, int y, uint32_t keyState) {
    enqueue([this, x, y, keyState] { feedMotion(Point{x, y}, keyState); });
}

void HeadlessWindow::mouseDown(MouseButton button, int x, int y, uint32_t keyState) {
    uint32_t t = nextPressTime(true);
    enqueue([this, button, x, y, keyState, t] { feedButton(button, true, Point{x, y}, keyState, t); });
}

void HeadlessWindow::mouseUp(MouseButton button, int x, int y, uint32_t keyState) {
    uint32_t t = nextPressTime(false);
    enqueue([this, button, x, y, keyState, t] { feedButton(button, false, Point{x, y}, keyState, t); });
}

void HeadlessWindow::click(int x, int y) {
    mouseMove(x, y);
    mouseDown(MouseButton::Left, x, y);
    mouseUp(MouseButton::Left, x, y);
}

void HeadlessWindow::doubleClick(int x, int y) {
    click(x, y);
    uint32_t t = nextPressTime(false);
    enqueue([this, x, y, t] { feedButton(MouseButton::Left, true, Point{x, y}, 0, t); });
    mouseUp(MouseButton::Left, x, y);
}

void HeadlessWindow::wheel(int delta, int x, int y, uint32_t keyState) {
    enqueue([this, delta, x, y, keyState] { feedWheel(delta, Point{x, y}, keyState); });
}

void HeadlessWindow::pointerLeave(bool grab) {
    enqueue([this, grab] { feedCrossing(false, grab ? Crossing::Grab : Crossing::Normal, Point{-1, -1}, 0); });
}

void HeadlessWindow::pointerEnter(int x, int y, bool ungrab) {
    enqueue([this, x, y, ungrab] {
        feedCrossing(true, ungrab ? Crossing::Ungrab : Crossing::Normal, Point{x, y}, 0);
    });
}

void HeadlessWindow::keyDown(Key key, uint32_t keyState) {
    enqueue([this, key, keyState] { feedKey(true, key, keyState, false); });
}

void HeadlessWindow::keyUp(Key key, uint32_t keyState) {
    enqueue([this, key, keyState] { feedKey(false, key, keyState, false); });
}

void HeadlessWindow::pressKey(Key key, uint32_t keyState) {
    keyDown(key, keyState);
    keyUp(key, keyState);
}

void HeadlessWindow::typeText(const std::wstring& text) {
    std::u32string chars(text.begin(), text.end());
    enqueue([this, chars] { feedText(chars); });
}

void HeadlessWindow::imePreedit(const std::wstring& text) {
    enqueue([this, text] { feedPreedit(text); });
}

void HeadlessWindow::imeCommit(const std::wstring& text) {
    std::u32string chars(text.begin(), text.end());
    enqueue([this, chars] {
        auto self = selfRef();
        feedPreedit(L"");
        if (*self) feedText(chars);
    });
}

void HeadlessWindow::requestClose() {
    enqueue([this] { feedCloseRequest(); });
}

void HeadlessWindow::resizeTo(int width, int height) {
    enqueue([this, width, height] {
        Rect b = bounds();
        b.right = b.left + std::max(width, 0);
        b.bottom = b.top + std::max(height, 0);
        nativeSetBounds(b);
        feedConfigure(b);
    });
}

void HeadlessWindow::moveTo(int x, int y) {
    enqueue([this, x, y] {
        Rect b = bounds();
        feedConfigure(Rect{x, y, x + b.width(), y + b.height()});
    });
}

void HeadlessWindow::setSizeStateFromDesktop(SizeState state) {
    enqueue([this, state] {
        if (state == SizeState::Minimized) nativeMinimize();
        else if (state == SizeState::Maximized) nativeMaximize();
        else nativeRestore();
    });
}

void HeadlessWindow::grabBroken() {
    enqueue([this] { feedGrabBroken(); });
}

// ---- painting ----

void HeadlessWindow::nativeInvalidate(const Rect& r) {
    dirty_ = unite(dirty_, r);
    schedulePaint();
}

void HeadlessWindow::schedulePaint() {
    if (paintPosted_ || !isVisible()) return;
    paintPosted_ = true;
    auto self = selfRef();
    MainLoop::post([self] {
        auto* w = static_cast<HeadlessWindow*>(*self);
        if (!w) return;
        w->paintPosted_ = false;
        if (w->isVisible() && !w->isDestroyed()) w->paintNow();
    });
}

bool HeadlessWindow::paintNow() {
    if (dirty_.empty() || !surface_ || isDestroyed()) return false;
    Rect d = dirty_;
    dirty_ = Rect{};
    ++paintCount_;
    cairo_t* cr = cairo_create(surface_);
    cairo_rectangle(cr, d.left, d.top, d.width(), d.height());
    cairo_clip(cr);
    if (translucent() && composited_) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
    } else {
        cairo_set_source_rgba(cr, ((kBackground >> 16) & 0xFF) / 255.0, ((kBackground >> 8) & 0xFF) / 255.0,
                              (kBackground & 0xFF) / 255.0, 1.0);
    }
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    auto self = selfRef();
    feedPaint(cr, d);
    cairo_destroy(cr);  // holds its own reference to the surface, even if the window went meanwhile
    if (*self) cairo_surface_flush(surface_);
    return true;
}

bool HeadlessWindow::writePng(const std::string& path) const {
    if (!surface_) return false;
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

// ---- native requests ----

void HeadlessWindow::nativeShow(bool activate) {
    if (activate) nativeFocus();
}

void HeadlessWindow::loseFocus() {
    if (g_focused != this) return;
    g_focused = nullptr;
    feedFocus(false);
}

void HeadlessWindow::nativeHide() { loseFocus(); }

void HeadlessWindow::nativeDestroy() {
    if (g_focused == this) g_focused = nullptr;
    queue_.clear();
}

void HeadlessWindow::nativeFocus() {
    if (g_focused == this) return;
    if (g_focused) g_focused->loseFocus();
    g_focused = this;
    feedFocus(true);
}

void HeadlessWindow::nativeSetBounds(const Rect& r) {
    Rect old = bounds();
    if (old.width() == r.width() && old.height() == r.height()) return;
    if (surface_) cairo_surface_destroy(surface_);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(r.width(), 0), std::max(r.height(), 0));
    dirty_ = Rect{};
}

void HeadlessWindow::nativeMinimize() {
    if (sizeState() != SizeState::Minimized) stateBeforeMinimize_ = sizeState();
    feedSizeState(SizeState::Minimized);
}

void HeadlessWindow::nativeMaximize() {
    if (sizeState() == SizeState::Maximized) return;
    if (sizeState() == SizeState::Restored) restoredBounds_ = bounds();
    nativeSetBounds(g_workArea);
    feedFrame(g_workArea, SizeState::Maximized);
}

void HeadlessWindow::nativeRestore() {
    if (sizeState() == SizeState::Minimized) {
        feedSizeState(stateBeforeMinimize_);
        return;
    }
    if (sizeState() == SizeState::Maximized) {
        nativeSetBounds(restoredBounds_);
        feedFrame(restoredBounds_, SizeState::Restored);
    }
}

void HeadlessWindow::nativeSetSizeLimits(Size minimum, Size maximum) {
    minSize_ = minimum;
    maxSize_ = maximum;
}

void HeadlessWindow::nativeSetIcon(cairo_surface_t* image) {
    if (icon_) cairo_surface_destroy(icon_);
    icon_ = image ? cairo_surface_reference(image) : nullptr;
}

bool HeadlessWindow::nativeGrabPointer(bool) { return true; }

void HeadlessWindow::nativeBeginMoveDrag(MouseButton, Point, uint32_t) {
    lastDrag_ = Drag::Move;
    lastDragEdge_ = HitArea::Caption;
}

void HeadlessWindow::nativeBeginResizeDrag(HitArea edge, MouseButton, Point, uint32_t) {
    lastDrag_ = Drag::Resize;
    lastDragEdge_ = edge;
}

void HeadlessWindow::nativeShowTooltip(const std::wstring&, Point screenAnchor, int maxWidth) {
    tooltipAnchor_ = screenAnchor;
    tooltipMaxWidth_ = maxWidth;
}

}  // namespace platform
