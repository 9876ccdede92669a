// Painting image descriptions: source cuts, "dest", nine-grid, hole, tiling, fade, the paint rectangle.
#include <gtest/gtest.h>

#include <filesystem>

#include "render_test_support.h"
#include "skinui/paint_manager.h"
#include "skinui/render_image.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace render_test;

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kWhite = 0xFFFFFFFF;
const uint32_t kQuarters[4] = {0xFFE00000, 0xFF00C000, 0xFF0000D0, 0xFFF0F000};

// Every pixel different: red from x, green from y.
uint32_t patterned(int x, int y) { return 0xFF000000u | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x40u; }

class ImagePainting : public CleanToolkit {
protected:
    void SetUp() override {
        CleanToolkit::SetUp();
        CPaintManagerUI::SetResourcePath(utility::utf8ToWide(temp_.path()));
        // A four-state strip like the buttons' images, 60 x 44 per state.
        put("strip.png", pngOf(240, 44, [](int x, int) { return kQuarters[x / 60]; }));
        put("close.png", pngOf(24, 24, patterned));
        put("grid.png", pngOf(30, 30, patterned));
        put("red.png", pngOf(4, 4, [](int, int) { return 0xFFFF0000u; }));
    }
    void put(const std::string& name, const std::vector<uint8_t>& bytes) {
        testing_support::writeFile(temp_.file(name), std::string(bytes.begin(), bytes.end()));
    }
    // Draws `description` for a control at `control`, with the whole canvas as paint rectangle.
    bool draw(Canvas& canvas, const std::wstring& description, const SkinRect& control) {
        TDrawInfo info(description);
        return DrawImageString(canvas.cr(), &manager_, images_, control, {0, 0, canvas.width(), canvas.height()},
                               info);
    }
    // Pixels of the rectangle that are not `color` (within the tolerance).
    static int notColor(Canvas& canvas, const SkinRect& r, uint32_t color, int tolerance = 0) {
        return canvas.count(r.left, r.top, r.right, r.bottom,
                            [&](uint32_t p) { return !near(p, color, tolerance); });
    }

    testing_support::TempDir temp_;
    CPaintManagerUI manager_;
    CImageTable images_;
};

TEST_F(ImagePainting, SourceCutsOneStateOfAStrip) {
    struct Case {
        const wchar_t* description;
        SkinRect control;
        std::vector<std::pair<SkinRect, uint32_t>> areas;  // areas of one colour
    } cases[] = {
        // The first quarter at its own size.
        {L"file='strip.png' source='0,0,60,44'", {10, 10, 70, 54}, {{{10, 10, 70, 54}, kQuarters[0]}}},
        // Stretched to twice the width: still only the first state, nothing of the second at the edge.
        {L"file='strip.png' source='0,0,60,44'", {10, 10, 130, 54}, {{{10, 10, 130, 54}, kQuarters[0]}}},
        {L"file='strip.png' source='60,0,120,44' corner='20,20,20,20'", {0, 0, 100, 60}, {{{0, 0, 100, 60}, kQuarters[1]}}},
        // All zero: the whole strip.
        {L"file='strip.png' source='0,0,0,0'",
         {0, 0, 240, 44},
         {{{0, 0, 60, 44}, kQuarters[0]}, {{60, 0, 120, 44}, kQuarters[1]}, {{120, 0, 180, 44}, kQuarters[2]},
          {{180, 0, 240, 44}, kQuarters[3]}}},
        // Right and bottom beyond the image are limited to it.
        {L"file='strip.png' source='180,0,999,999'", {0, 0, 90, 60}, {{{0, 0, 90, 60}, kQuarters[3]}}},
    };
    for (const Case& c : cases) {
        Canvas canvas(260, 70);
        ASSERT_TRUE(draw(canvas, c.description, c.control)) << utility::wideToUtf8(c.description);
        int painted = 0;
        for (const auto& [area, color] : c.areas) {
            EXPECT_EQ(notColor(canvas, area, color), 0) << utility::wideToUtf8(c.description) << " " << hex(color);
            painted += (area.right - area.left) * (area.bottom - area.top);
        }
        // Nothing outside the control.
        EXPECT_EQ(canvas.countNot(kWhite), painted) << utility::wideToUtf8(c.description);
    }
}

TEST_F(ImagePainting, DestIsPlacedInTheControlAndCutAtItsEdge) {
    // A 34 x 34 button: the 24 x 24 image at (5, 5) inside it, pixel for pixel.
    Canvas button(60, 60);
    ASSERT_TRUE(draw(button, L"file='close.png' dest='5,5,29,29'", {10, 10, 44, 44}));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) ASSERT_EQ(hex(button.at(15 + x, 15 + y)), hex(patterned(x, y))) << x << "," << y;
    EXPECT_EQ(button.countNot(kWhite), 24 * 24);

    // A 20 x 20 control: the image keeps its scale and is cut at the control's right and bottom edge.
    Canvas small(60, 60);
    ASSERT_TRUE(draw(small, L"file='close.png' dest='5,5,29,29'", {10, 10, 30, 30}));
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x) ASSERT_EQ(hex(small.at(15 + x, 15 + y)), hex(patterned(x, y))) << x << "," << y;
    EXPECT_EQ(small.countNot(kWhite), 15 * 15);

    // A destination entirely outside the control draws nothing.
    Canvas outside(60, 60);
    EXPECT_TRUE(draw(outside, L"file='close.png' dest='40,40,64,64'", {10, 10, 30, 30}));
    EXPECT_EQ(outside.countNot(kWhite), 0);
}

TEST_F(ImagePainting, NineGridKeepsCornersUnscaled) {
    const SkinRect dest = {0, 0, 100, 60};
    // Each corner of the destination against the corner of the image it must copy exactly.
    struct Corner {
        int dx, dy, sx, sy;
    } corners[] = {{0, 0, 0, 0}, {90, 0, 20, 0}, {0, 50, 0, 20}, {90, 50, 20, 20}};
    auto expectCorners = [&](Canvas& canvas, const char* what) {
        for (const Corner& c : corners)
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 10; ++x)
                    ASSERT_EQ(hex(canvas.at(c.dx + x, c.dy + y)), hex(patterned(c.sx + x, c.sy + y)))
                        << what << " at " << c.dx + x << "," << c.dy + y;
    };

    Canvas stretched(100, 60);
    ASSERT_TRUE(draw(stretched, L"file='grid.png' corner='10,10,10,10'", dest));
    expectCorners(stretched, "stretched");
    // The top edge is stretched only horizontally: each row keeps its own green.
    for (int y = 0; y < 10; ++y) EXPECT_NEAR(green(stretched.at(50, y)), y * 8, 2) << y;
    EXPECT_NE(stretched.at(50, 30), kWhite);

    Canvas hole(100, 60);
    ASSERT_TRUE(draw(hole, L"file='grid.png' corner='10,10,10,10' hole='true'", dest));
    expectCorners(hole, "hole");
    EXPECT_EQ(notColor(hole, {10, 10, 90, 50}, kWhite), 0);  // the centre is left out
    EXPECT_NE(hole.at(50, 5), kWhite);                        // the edges are not

    // Tiled both ways the centre repeats unscaled, the last tile cut.
    Canvas tiled(100, 60);
    ASSERT_TRUE(draw(tiled, L"file='grid.png' corner='10,10,10,10' xtiled='true' ytiled='true'", dest));
    expectCorners(tiled, "tiled");
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 90; ++x)
            ASSERT_EQ(hex(tiled.at(x, y)), hex(patterned(10 + (x - 10) % 10, 10 + (y - 10) % 10))) << x << "," << y;

    // Tiled along x only: columns repeat, rows are stretched.
    Canvas xtiled(100, 60);
    ASSERT_TRUE(draw(xtiled, L"file='grid.png' corner='10,10,10,10' xtiled='true'", dest));
    for (int x = 10; x < 90; ++x) ASSERT_EQ(red(xtiled.at(x, 30)), (10 + (x - 10) % 10) * 8) << x;

    // Corners larger than the destination overlap instead of going wrong.
    Canvas tight(100, 60);
    ASSERT_TRUE(draw(tight, L"file='grid.png' corner='10,10,10,10'", {0, 0, 15, 15}));
    EXPECT_EQ(hex(tight.at(0, 0)), hex(patterned(0, 0)));
    EXPECT_EQ(hex(tight.at(14, 14)), hex(patterned(29, 29)));
    EXPECT_EQ(notColor(tight, {15, 0, 100, 60}, kWhite), 0);
}

TEST_F(ImagePainting, FadeAndOpacityBlendOverWhatIsBelow) {
    struct Case {
        const wchar_t* description;
        int opacity;
        uint32_t expected;
    } cases[] = {
        {L"file='red.png'", 255, 0xFFFF0000},
        {L"file='red.png' fade='128'", 255, 0xFFFF7F7F},
        {L"file='red.png'", 128, 0xFFFF7F7F},  // a button's cross-fade
        {L"file='red.png' fade='128'", 128, 0xFFFFC0C0},
        {L"file='red.png' fade='0'", 255, kWhite},
    };
    for (const Case& c : cases) {
        Canvas canvas(20, 20);
        TDrawInfo info(c.description);
        DrawImageString(canvas.cr(), &manager_, images_, {0, 0, 20, 20}, {0, 0, 20, 20}, info, TImageDrawOptions().Opacity(c.opacity));
        EXPECT_TRUE(near(canvas.at(10, 10), c.expected, 2))
            << utility::wideToUtf8(c.description) << " " << c.opacity << ": " << hex(canvas.at(10, 10));
    }
}

TEST_F(ImagePainting, OnlyThePaintRectangleIsTouched) {
    Canvas canvas(40, 20);
    TDrawInfo info(L"file='red.png'");
    ASSERT_TRUE(DrawImageString(canvas.cr(), &manager_, images_, {0, 0, 40, 20}, {0, 0, 20, 20}, info));
    EXPECT_EQ(notColor(canvas, {0, 0, 20, 20}, 0xFFFF0000), 0);
    EXPECT_EQ(notColor(canvas, {20, 0, 40, 20}, kWhite), 0);
}

TEST_F(ImagePainting, MaskedPixelsShowWhatIsBelow) {
    put("magenta.png", pngOf(2, 1, [](int x, int) { return x ? 0x80FF00FFu : 0xFFFF00FFu; }));
    Canvas canvas(2, 1);
    ASSERT_TRUE(draw(canvas, L"file='magenta.png' mask='0xffff00ff'", {0, 0, 2, 1}));
    EXPECT_EQ(hex(canvas.at(0, 0)), hex(kWhite));
    EXPECT_TRUE(near(canvas.at(1, 0), 0xFFFF7FFF, 2)) << hex(canvas.at(1, 0));
}

TEST_F(ImagePainting, TheProgressBarReplacesTheDestination) {
    // The filled part of a bar: the image with its corners stretched over the first 40 pixels.
    Canvas canvas(100, 30);
    TDrawInfo info(L"file='grid.png' corner='10,10,10,10'");
    ASSERT_TRUE(DrawImageString(canvas.cr(), &manager_, images_, {0, 0, 100, 30}, {0, 0, 100, 30}, info,
                                TImageDrawOptions().Dest({0, 0, 40, 30})));
    EXPECT_EQ(hex(canvas.at(39, 0)), hex(patterned(29, 0)));
    EXPECT_EQ(notColor(canvas, {40, 0, 100, 30}, kWhite), 0);
}

TEST_F(ImagePainting, AStandardImagePictureIsCutFromTheLoadedImage) {
    // "standardimage": four equal pictures side by side; the hot state is the second.
    TDrawInfo info(L"strip.png");
    const TImageData* image = LoadDrawInfo(&manager_, images_, info);
    ASSERT_TRUE(image);
    const int part = image->width / 4;
    Canvas canvas(60, 44);
    ASSERT_TRUE(DrawImageString(canvas.cr(), &manager_, images_, {0, 0, 60, 44}, {0, 0, 60, 44}, info,
                                TImageDrawOptions().Source({part, 0, 2 * part, image->height})));
    EXPECT_EQ(notColor(canvas, {0, 0, 60, 44}, kQuarters[1]), 0);
}

}  // namespace
