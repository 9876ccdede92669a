// Painting into the headless window's surface: invalidation, clipping, the background under the paint, and
// reading the surface back from a PNG file.
#include <gtest/gtest.h>

#include "support/test_env.h"
#include "window_recorder.h"

namespace {

using namespace platform;
using window_test::HeadlessWindowTest;
using Lines = std::vector<std::string>;

// The pixel at x, y as 0xAARRGGBB (premultiplied, as the surface keeps it).
uint32_t pixel(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t*>(row)[x];
}

class WindowPaint : public HeadlessWindowTest {
protected:
    // Each paint fills everything it is given with `colour` (0xAARRGGBB) and optionally a square at 10,10.
    void paintWith(uint32_t colour) {
        rec.react = [colour](Window&, const WindowEvent& e) {
            if (e.message != Message::Paint) return false;
            cairo_set_source_rgba(e.cairo, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                                  (colour & 0xFF) / 255.0, (colour >> 24) / 255.0);
            cairo_paint(e.cairo);
            return true;
        };
    }
    void paintSquare(uint32_t colour) {
        rec.react = [colour](Window&, const WindowEvent& e) {
            if (e.message != Message::Paint) return false;
            cairo_set_source_rgba(e.cairo, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                                  (colour & 0xFF) / 255.0, (colour >> 24) / 255.0);
            cairo_rectangle(e.cairo, 10, 10, 20, 20);
            cairo_fill(e.cairo);
            return true;
        };
    }
};

TEST_F(WindowPaint, ShowingPaintsTheWholeWindowOnTheUiLoop) {
    paintWith(0xFFFF0000);
    auto w = createHeadlessWindow({.bounds = {0, 0, 320, 240}}, &rec);
    w->show(false);
    EXPECT_EQ(w->paintCount(), 0);  // painting waits for the loop, like any paint
    ASSERT_TRUE(MainLoop::runUntil([&] { return w->paintCount() == 1; }, 10000));
    EXPECT_EQ(rec.only({"Paint"}), (Lines{"Paint 0,0,320,240"}));
    EXPECT_EQ(pixel(w->surface(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixel(w->surface(), 319, 239), 0xFFFF0000u);
}

TEST_F(WindowPaint, InvalidationsGatherIntoOnePaintClippedToThem) {
    paintWith(0xFFFF0000);
    auto w = makeWindow();
    w->paintNow();
    rec.log.clear();
    paintWith(0xFF0000FF);
    w->invalidate({10, 10, 20, 20});
    w->invalidate({50, 40, 60, 45});
    w->invalidate({300, 230, 400, 400});  // clipped to the window
    w->invalidate({500, 500, 600, 600});  // outside: nothing
    EXPECT_EQ(w->dirtyRect(), (Rect{10, 10, 320, 240}));
    ASSERT_TRUE(w->paintNow());
    EXPECT_FALSE(w->paintNow());
    EXPECT_EQ(rec.only({"Paint"}), (Lines{"Paint 10,10,320,240"}));
    EXPECT_EQ(pixel(w->surface(), 15, 15), 0xFF0000FFu);
    EXPECT_EQ(pixel(w->surface(), 5, 5), 0xFFFF0000u);  // outside the invalid area: the old paint stays
}

TEST_F(WindowPaint, BackgroundUnderThePaintDependsOnTranslucencyAndCompositing) {
    struct Case {
        bool translucent, composited;
        uint32_t untouched;  // a pixel the paint leaves alone
    };
    const Case cases[] = {
        {false, false, HeadlessWindow::kBackground},
        {false, true, HeadlessWindow::kBackground},
        {true, false, HeadlessWindow::kBackground},  // no compositor: opaque fallback
        {true, true, 0x00000000},
    };
    for (const Case& c : cases) {
        paintSquare(0x80FF0000);  // half-transparent red
        auto w = makeWindow({.translucent = c.translucent});
        w->setComposited(c.composited);
        w->invalidate();
        ASSERT_TRUE(w->paintNow());
        EXPECT_EQ(pixel(w->surface(), 100, 100), c.untouched) << c.translucent << c.composited;
        uint32_t square = pixel(w->surface(), 15, 15);
        EXPECT_EQ(square >> 24, c.translucent && c.composited ? 0x80u : 0xFFu) << c.translucent << c.composited;
    }
}

TEST_F(WindowPaint, HiddenWindowIsNotPaintedByTheLoopButCanBeAskedTo) {
    paintWith(0xFF00FF00);
    auto w = createHeadlessWindow({.bounds = {0, 0, 64, 32}}, &rec);
    w->invalidate();
    settle(30);
    EXPECT_EQ(w->paintCount(), 0);
    ASSERT_TRUE(w->paintNow());
    EXPECT_EQ(pixel(w->surface(), 63, 31), 0xFF00FF00u);
}

TEST_F(WindowPaint, SurfaceWrittenAsPngReadsBackTheSame) {
    paintSquare(0xFF123456);
    auto w = makeWindow();
    w->invalidate();
    ASSERT_TRUE(w->paintNow());
    testing_support::TempDir dir;
    std::string path = dir.file("window.png");
    ASSERT_TRUE(w->writePng(path));
    cairo_surface_t* back = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(back), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(back), 320);
    EXPECT_EQ(cairo_image_surface_get_height(back), 240);
    EXPECT_EQ(pixel(back, 15, 15) & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(pixel(back, 100, 100) & 0xFFFFFF, HeadlessWindow::kBackground & 0xFFFFFF);
    cairo_surface_destroy(back);
    EXPECT_FALSE(w->writePng(dir.file("missing-folder/window.png")));
}

TEST_F(WindowPaint, WindowDeletedWhilePaintingDoesNotTouchTheSurfaceAfterwards) {
    std::unique_ptr<HeadlessWindow> w;
    rec.react = [&](Window&, const WindowEvent& e) {
        if (e.message == Message::Paint) w.reset();
        return true;
    };
    w = createHeadlessWindow({.bounds = {0, 0, 64, 32}}, &rec);
    w->invalidate();
    HeadlessWindow* raw = w.get();
    raw->paintNow();
    EXPECT_EQ(w, nullptr);
}

}  // namespace
