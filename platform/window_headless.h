#pragma once
// The headless window provider: an in-memory window painted into a Cairo image surface, driven by
// synthetic input. It runs where no display can be opened and in tests. Injected input is queued and
// delivered in order on the UI loop (or at once with pump()), through the same translation as real input:
// enter/leave and hover synthesis, capture, double clicks, caption and resize drags.
//
//   auto w = platform::createHeadlessWindow({.title = L"t", .bounds = {0, 0, 640, 480}}, &handler);
//   w->show(true);
//   w->click(100, 50);          // move, press, release
//   w->pressKey(platform::Key::Escape);
//   w->pump();                  // deliver what is queued now
//   w->paintNow();              // paint what is invalid into surface()
//   w->writePng("/tmp/w.png");
#include <cairo.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/window_base.h"

namespace platform {

class HeadlessWindow : public WindowBase {
public:
    HeadlessWindow(const WindowOptions& options, WindowHandler* handler);
    ~HeadlessWindow() override;

    WindowProvider provider() const override { return WindowProvider::Headless; }
    bool isComposited() const override { return composited_; }

    // ---- synthetic input: queued, delivered in order by pump() or the UI loop ----
    void mouseMove(int x, int y, uint32_t keyState = 0);
    void mouseDown(MouseButton button, int x, int y, uint32_t keyState = 0);
    void mouseUp(MouseButton button, int x, int y, uint32_t keyState = 0);
    // Move there, press and release the left button. Separate clicks never count as a double click.
    void click(int x, int y);
    // Two left clicks within the double-click time.
    void doubleClick(int x, int y);
    void wheel(int delta, int x, int y, uint32_t keyState = 0);
    // The pointer left the window. `grab`: another grab took it (a desktop drag, a modal dialog).
    void pointerLeave(bool grab = false);
    // The pointer came back at x, y; `ungrab`: because such a grab ended.
    void pointerEnter(int x, int y, bool ungrab = false);
    void keyDown(Key key, uint32_t keyState = 0);
    void keyUp(Key key, uint32_t keyState = 0);
    void pressKey(Key key, uint32_t keyState = 0);  // down and up
    void typeText(const std::wstring& text);        // one Char per character
    void imePreedit(const std::wstring& text);
    void imeCommit(const std::wstring& text);
    void requestClose();                     // the desktop's close request
    void resizeTo(int width, int height);    // as the user or the desktop would
    void moveTo(int x, int y);
    void setSizeStateFromDesktop(SizeState state);
    void grabBroken();                       // another program took the pointer

    // Delivers everything queued so far (and what that queues in turn). Returns false when the window
    // was destroyed meanwhile.
    bool pump();
    bool hasQueuedInput() const { return !queue_.empty(); }

    // ---- painting ----
    // Paints what is invalid into the surface; false when nothing was. Paints even while hidden.
    bool paintNow();
    cairo_surface_t* surface() const { return surface_; }
    bool writePng(const std::string& path) const;
    int paintCount() const { return paintCount_; }
    Rect dirtyRect() const { return dirty_; }
    // The opaque background painted under an opaque window, 0xAARRGGBB.
    static constexpr uint32_t kBackground = 0xFFFFFFFF;

    // ---- what the window asked of the desktop ----
    enum class Drag { None, Move, Resize };
    Drag lastDrag() const { return lastDrag_; }
    HitArea lastDragEdge() const { return lastDragEdge_; }
    void clearLastDrag() { lastDrag_ = Drag::None; }
    const std::vector<Rect>& shape() const { return shape_; }
    bool pointerIsGrabbed() const { return pointerGrabbed(); }
    Rect textInputRect() const { return textInputArea(); }
    Point tooltipAnchor() const { return tooltipAnchor_; }
    int tooltipMaxWidth() const { return tooltipMaxWidth_; }
    Size minimumSize() const { return minSize_; }
    Size maximumSize() const { return maxSize_; }
    cairo_surface_t* icon() const { return icon_; }

    // Pretends a compositor runs (alpha reaches the screen). Tests of translucent painting.
    void setComposited(bool composited) { composited_ = composited; }

    // The focused headless window, or null.
    static HeadlessWindow* focusedWindow();

protected:
    void nativeShow(bool activate) override;
    void nativeHide() override;
    void nativeDestroy() override;
    void nativeSetBounds(const Rect& screenRect) override;
    void nativeMinimize() override;
    void nativeMaximize() override;
    void nativeRestore() override;
    void nativeSetTopMost(bool) override {}
    void nativeFocus() override;
    void nativeSetSizeLimits(Size minimum, Size maximum) override;
    void nativeSetTitle(const std::wstring&) override {}
    void nativeSetIcon(cairo_surface_t* image) override;
    void nativeSetOpacity(uint8_t) override {}
    void nativeSetShape(const std::vector<Rect>& rows) override { shape_ = rows; }
    void nativeSetCursor(Cursor) override {}
    void nativeInvalidate(const Rect& clientRect) override;
    bool nativeGrabPointer(bool grab) override;
    void nativeBeginMoveDrag(MouseButton button, Point screen, uint32_t time) override;
    void nativeBeginResizeDrag(HitArea edge, MouseButton button, Point screen, uint32_t time) override;
    void nativeShowTooltip(const std::wstring& text, Point screenAnchor, int maxWidth) override;
    void nativeHideTooltip() override {}
    void nativeSetTextInputArea(const Rect&) override {}

private:
    void enqueue(std::function<void()> input);
    void schedulePaint();
    void recreateSurface();
    void loseFocus();
    uint32_t nextPressTime(bool advance);

    std::deque<std::function<void()>> queue_;
    bool pumpPosted_ = false;
    bool paintPosted_ = false;
    cairo_surface_t* surface_ = nullptr;
    cairo_surface_t* icon_ = nullptr;
    Rect dirty_;
    int paintCount_ = 0;
    bool composited_ = false;
    uint32_t clock_ = 100000;  // event clock of injected presses
    Drag lastDrag_ = Drag::None;
    HitArea lastDragEdge_ = HitArea::Client;
    std::vector<Rect> shape_;
    Point tooltipAnchor_;
    int tooltipMaxWidth_ = 0;
    Size minSize_;
    Size maxSize_;
    Rect restoredBounds_;
    SizeState stateBeforeMinimize_ = SizeState::Restored;
};

std::unique_ptr<HeadlessWindow> createHeadlessWindow(const WindowOptions& options, WindowHandler* handler);

// The screen that headless windows live on (default 0, 0, 1024, 768), for workArea() and maximising.
void setHeadlessWorkArea(const Rect& area);
Rect headlessWorkArea();

}  // namespace platform
