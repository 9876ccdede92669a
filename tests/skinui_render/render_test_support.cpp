#include "render_test_support.h"

#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>

namespace render_test {

namespace fs = std::filesystem;

std::vector<uint8_t> rgbaOf(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixel(x, y);
            uint8_t* out = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
            out[0] = uint8_t(p >> 16);
            out[1] = uint8_t(p >> 8);
            out[2] = uint8_t(p);
            out[3] = uint8_t(p >> 24);
        }
    }
    return rgba;
}

std::vector<uint8_t> pngOf(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    std::vector<uint8_t> rgba = rgbaOf(width, height, pixel);
    std::vector<uint8_t> bytes;
    auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<uint8_t>*>(context);
        out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    };
    stbi_write_png_to_func(append, &bytes, width, height, 4, rgba.data(), width * 4);
    return bytes;
}

void expectMatchesReference(Canvas& canvas, const std::string& name, int tolerance) {
    const fs::path reference = fs::path(NIMBARO_SOURCE_DIR) / "tests/skinui_render/reference" / name;
    cairo_surface_flush(canvas.surface());
    const char* update = std::getenv("NIMBARO_UPDATE_REFERENCES");
    if (update && std::string(update) == "1") {
        ASSERT_EQ(cairo_surface_write_to_png(canvas.surface(), reference.c_str()), CAIRO_STATUS_SUCCESS);
        return;
    }
    const fs::path diffDir = fs::path(NIMBARO_BINARY_DIR) / "tests/skinui_render/diff";
    auto writeFailure = [&](const char* why) {
        fs::create_directories(diffDir);
        cairo_surface_write_to_png(canvas.surface(), (diffDir / name).c_str());
        ADD_FAILURE() << name << ": " << why << "; drawn image in " << (diffDir / name).string();
    };

    cairo_surface_t* expected = cairo_image_surface_create_from_png(reference.c_str());
    if (cairo_surface_status(expected) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(expected);
        writeFailure("reference image missing or unreadable");
        return;
    }
    const int width = canvas.width(), height = canvas.height();
    if (cairo_image_surface_get_width(expected) != width || cairo_image_surface_get_height(expected) != height) {
        cairo_surface_destroy(expected);
        writeFailure("size differs from the reference");
        return;
    }
    cairo_surface_t* diff = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    const unsigned char* data = cairo_image_surface_get_data(expected);
    const int stride = cairo_image_surface_get_stride(expected);
    unsigned char* diffData = cairo_image_surface_get_data(diff);
    const int diffStride = cairo_image_surface_get_stride(diff);
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t want = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
            uint32_t got = canvas.at(x, y);
            bool same = near(want, got, tolerance);
            differing += same ? 0 : 1;
            // Matching pixels are kept faintly so the differences can be placed.
            reinterpret_cast<uint32_t*>(diffData + y * diffStride)[x] =
                same ? (0xFF000000u | ((got & 0xFEFEFE) >> 1) | 0x808080u) : 0xFFFF0000u;
        }
    }
    cairo_surface_mark_dirty(diff);
    cairo_surface_destroy(expected);
    if (differing > 0) {
        fs::create_directories(diffDir);
        cairo_surface_write_to_png(diff, (diffDir / (name + ".diff.png")).c_str());
        writeFailure((std::to_string(differing) + " pixels differ by more than " + std::to_string(tolerance) +
                      "; differences in " + (diffDir / (name + ".diff.png")).string())
                         .c_str());
    }
    cairo_surface_destroy(diff);
}

}  // namespace render_test
