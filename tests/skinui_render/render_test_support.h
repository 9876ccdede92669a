#pragma once
// Canvases, fixture images and reference-image comparison for the drawing tests.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "skinui/color_theme.h"
#include "skinui/language_table.h"
#include "skinui/paint_manager.h"
#include "skinui/render_image.h"

namespace render_test {

// An ARGB32 surface filled with one colour, with its context.
class Canvas {
public:
    Canvas(int width, int height, uint32_t fill = 0xFFFFFFFF)
        : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr_(cairo_create(surface_)) {
        cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr_, ((fill >> 16) & 0xFF) / 255.0, ((fill >> 8) & 0xFF) / 255.0, (fill & 0xFF) / 255.0,
                              (fill >> 24) / 255.0);
        cairo_paint(cr_);
        cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    }
    ~Canvas() {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() { return cr_; }
    cairo_surface_t* surface() { return surface_; }
    int width() const { return cairo_image_surface_get_width(surface_); }
    int height() const { return cairo_image_surface_get_height(surface_); }

    // The premultiplied 0xAARRGGBB value of one pixel.
    uint32_t at(int x, int y) {
        cairo_surface_flush(surface_);
        const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        return reinterpret_cast<const uint32_t*>(row)[x];
    }

    // Pixels of the rectangle for which `test` holds.
    int count(int left, int top, int right, int bottom, const std::function<bool(uint32_t)>& test) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += test(at(x, y)) ? 1 : 0;
        return n;
    }
    int countNot(uint32_t background) {
        return count(0, 0, width(), height(), [&](uint32_t p) { return p != background; });
    }

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

inline int red(uint32_t p) { return int((p >> 16) & 0xFF); }
inline int green(uint32_t p) { return int((p >> 8) & 0xFF); }
inline int blue(uint32_t p) { return int(p & 0xFF); }
inline int alpha(uint32_t p) { return int(p >> 24); }

// True when every channel of `a` and `b` differs by at most `tolerance`.
inline bool near(uint32_t a, uint32_t b, int tolerance = 2) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    }
    return true;
}

inline std::string hex(uint32_t p) {
    char text[16];
    std::snprintf(text, sizeof text, "#%08X", p);
    return text;
}

// RGBA pixels, rows packed, made by `pixel(x, y)` returning 0xAARRGGBB (not premultiplied).
std::vector<uint8_t> rgbaOf(int width, int height, const std::function<uint32_t(int, int)>& pixel);
// A PNG file of those pixels (written with stb_image_write, not with the code under test).
std::vector<uint8_t> pngOf(int width, int height, const std::function<uint32_t(int, int)>& pixel);

// Every test starts with an empty toolkit: no instance, skin folder, strings, shared tables, theme file.
class CleanToolkit : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        SkinUI::CPaintManagerUI::ResetSkinResources();
        SkinUI::CPaintManagerUI::RemoveAllShared();
        SkinUI::CImageTable::Shared().Clear();
        SkinUI::ClearLanguageStrings();
        SkinUI::LoadThemeColors();
    }
};

// Compares the canvas with reference/<name> within `tolerance` per channel. On a mismatch it writes
// <build>/tests/skinui_render/diff/<name> (what was drawn) and <name>.diff.png (differing pixels in red)
// and fails. NIMBARO_UPDATE_REFERENCES=1 writes the reference instead.
void expectMatchesReference(Canvas& canvas, const std::string& name, int tolerance);

}  // namespace render_test
