// Whole scenes against committed reference images: every image-description feature and every fill and
// border kind the skins use, drawn the way controls draw them. A change that moves pixels fails with a
// diff image (see render_test_support.h); NIMBARO_UPDATE_REFERENCES=1 rewrites the references.
#include <gtest/gtest.h>

#include <cmath>

#include "render_test_support.h"
#include "skinui/paint_manager.h"
#include "skinui/render_color.h"
#include "skinui/render_image.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace render_test;

namespace {

// Stretching may round differently between pixman versions; real faults move far more than this.
constexpr int kTolerance = 6;

// A 30 x 30 button face: dark 2-pixel frame with rounded corners, light top half, darker bottom half.
uint32_t buttonFace(int x, int y) {
    auto inCorner = [](int a, int b) { return a * a + b * b > 36; };
    int cx = x < 6 ? 6 - x : (x > 23 ? x - 23 : 0);
    int cy = y < 6 ? 6 - y : (y > 23 ? y - 23 : 0);
    if (cx && cy && inCorner(cx, cy)) return 0x00000000;
    if (x < 2 || y < 2 || x > 27 || y > 27) return 0xFF1F3A5F;
    return y < 15 ? 0xFF6FA8DC : 0xFF3D85C6;
}

// A four-state strip, 16 x 16 per state, magenta where it is to be transparent.
uint32_t stateStrip(int x, int y) {
    static const uint32_t colors[4] = {0xFF4CAF50, 0xFF2196F3, 0xFFF44336, 0xFF9E9E9E};
    int lx = x % 16;
    if ((lx - 8) * (lx - 8) + (y - 8) * (y - 8) > 49) return 0xFFFF00FF;
    return colors[x / 16];
}

// A small pattern for tiling.
uint32_t checker(int x, int y) { return ((x / 4 + y / 4) % 2) ? 0xFFFFC107 : 0xFF795548; }

class ReferenceImages : public CleanToolkit {
protected:
    void SetUp() override {
        CleanToolkit::SetUp();
        CPaintManagerUI::SetResourcePath(utility::utf8ToWide(temp_.path()));
        put("button.png", pngOf(30, 30, buttonFace));
        put("states.png", pngOf(64, 16, stateStrip));
        put("checker.png", pngOf(8, 8, checker));
    }
    void put(const std::string& name, const std::vector<uint8_t>& bytes) {
        testing_support::writeFile(temp_.file(name), std::string(bytes.begin(), bytes.end()));
    }
    void image(Canvas& canvas, const std::wstring& description, const SkinRect& control) {
        TDrawInfo info(description);
        EXPECT_TRUE(DrawImageString(canvas.cr(), &manager_, images_, control, {0, 0, canvas.width(), canvas.height()},
                                    info))
            << utility::wideToUtf8(description);
    }

    testing_support::TempDir temp_;
    CPaintManagerUI manager_;
    CImageTable images_;
};

TEST_F(ReferenceImages, ImageDescriptionFeatures) {
    Canvas canvas(220, 130, 0xFFF0F0F0);
    // Row 1: the button face at its own size, stretched with and without corners, and cut in a hole.
    image(canvas, L"button.png", {5, 5, 35, 35});
    image(canvas, L"file='button.png' corner='8,8,8,8'", {40, 5, 130, 35});
    image(canvas, L"file='button.png'", {135, 5, 215, 35});
    // Row 2: a frame (hole), tiling, a faded copy.
    DrawColor(canvas.cr(), {5, 40, 65, 85}, 0xFFE91E63);
    image(canvas, L"file='button.png' corner='8,8,8,8' hole='true'", {5, 40, 65, 85});
    image(canvas, L"file='checker.png' xtiled='true' ytiled='true'", {70, 40, 131, 85});
    image(canvas, L"file='checker.png' corner='2,2,2,2' xtiled='true'", {136, 40, 175, 85});
    DrawColor(canvas.cr(), {180, 40, 215, 85}, 0xFF000000);
    image(canvas, L"file='button.png' fade='100'", {180, 40, 215, 85});
    // Row 3: the four states of a masked strip cut by source, a "dest" inside a bigger control, and one
    // cut at the control's edge.
    for (int state = 0; state < 4; ++state) {
        std::wstring source = std::to_wstring(state * 16) + L",0," + std::to_wstring(state * 16 + 16) + L",16";
        image(canvas, L"file='states.png' source='" + source + L"' mask='#FFFF00FF'",
              {5 + state * 20, 95, 21 + state * 20, 111});
    }
    DrawColor(canvas.cr(), {90, 90, 124, 124}, 0xFFBBDEFB);
    image(canvas, L"file='button.png' dest='5,5,29,29'", {90, 90, 124, 124});
    DrawColor(canvas.cr(), {135, 90, 155, 110}, 0xFFBBDEFB);
    image(canvas, L"file='button.png' dest='5,5,29,29'", {135, 90, 155, 110});
    expectMatchesReference(canvas, "image_features.png", kTolerance);
}

TEST_F(ReferenceImages, FillsAndBorders) {
    Canvas canvas(200, 90, 0xFFFFFFFF);
    DrawBkColor(canvas.cr(), {5, 5, 45, 85}, 0xFF0D47A1, 0, 0);
    DrawBkColor(canvas.cr(), {50, 5, 90, 85}, 0xFF0D47A1, 0xFF90CAF9, 0);
    DrawBkColor(canvas.cr(), {95, 5, 135, 85}, 0xFF1B5E20, 0xFFC8E6C9, 0xFF1B5E20);
    DrawBkColor(canvas.cr(), {140, 5, 195, 40}, 0x80FF5722, 0, 0);

    auto border = [](SkinRect widths, uint32_t color, SkinSize round, int style) {
        TBorderStyle b;
        b.widths = widths;
        b.color = color;
        b.round = round;
        b.style = style;
        return b;
    };
    DrawBorder(canvas.cr(), {5, 5, 45, 85}, border({2, 2, 2, 2}, 0xFFFFC107, {}, PenStyle::Solid), false);
    DrawBorder(canvas.cr(), {50, 5, 90, 85}, border({1, 1, 1, 1}, 0xFF000000, {12, 12}, PenStyle::Solid), false);
    DrawBorder(canvas.cr(), {95, 5, 135, 85}, border({1, 0, 3, 5}, 0xFFD32F2F, {}, PenStyle::Solid), false);
    DrawBorder(canvas.cr(), {140, 45, 195, 85}, border({1, 1, 1, 1}, 0xFF000000, {}, PenStyle::Dash), false);
    cairo_save(canvas.cr());
    ClipRoundRect(canvas.cr(), {150, 55, 185, 80}, {10, 10});
    DrawBkColor(canvas.cr(), {150, 55, 185, 80}, 0xFF6A1B9A, 0xFFE1BEE7, 0);
    cairo_restore(canvas.cr());
    expectMatchesReference(canvas, "fills_and_borders.png", kTolerance);
}

}  // namespace
