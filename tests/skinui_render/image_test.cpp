// Decoding, masks, the byte sources of LoadImage and the image tables.
#include <gtest/gtest.h>

#include <filesystem>

#include "render_test_support.h"
#include "skinui/image_description.h"
#include "skinui/paint_manager.h"
#include "skinui/render_image.h"
#include "skinui/resource_module.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace render_test;

namespace {

namespace fs = std::filesystem;

uint32_t pixelOf(const TImageData& image, int x, int y) {
    cairo_surface_flush(image.surface);
    const unsigned char* row =
        cairo_image_surface_get_data(image.surface) + y * cairo_image_surface_get_stride(image.surface);
    return reinterpret_cast<const uint32_t*>(row)[x];
}

std::unique_ptr<TImageData> decode(const std::vector<uint8_t>& bytes, uint32_t mask = 0) {
    return DecodeImage(bytes.data(), bytes.size(), mask);
}

// Opaque magenta, half-transparent magenta, opaque green, fully transparent.
const std::vector<uint32_t> kMagentaRow = {0xFFFF00FF, 0x80FF00FF, 0xFF00FF00, 0x00000000};

std::vector<uint8_t> magentaPng() {
    return pngOf(4, 1, [](int x, int) { return kMagentaRow[size_t(x)]; });
}

TEST(ImageDecoding, PixelsArePremultipliedAndTheMaskTakesOnlyExactlyEqualPixels) {
    struct Case {
        const char* what;
        uint32_t mask;
        std::vector<uint32_t> pixels;
    } cases[] = {
        {"no mask", 0, {0xFFFF00FF, 0x80800080, 0xFF00FF00, 0}},
        // Opaque magenta goes; half-transparent magenta, premultiplied to 0x80800080, stays.
        {"magenta mask", 0xFFFF00FF, {0, 0x80800080, 0xFF00FF00, 0}},
        // The mask compares with the premultiplied value.
        {"premultiplied mask", 0x80800080, {0xFFFF00FF, 0, 0xFF00FF00, 0}},
    };
    for (const Case& c : cases) {
        auto image = decode(magentaPng(), c.mask);
        ASSERT_TRUE(image) << c.what;
        EXPECT_EQ(image->width, 4);
        EXPECT_EQ(image->height, 1);
        EXPECT_TRUE(image->alpha) << c.what;
        for (int x = 0; x < 4; ++x) EXPECT_EQ(hex(pixelOf(*image, x, 0)), hex(c.pixels[size_t(x)])) << c.what;
    }
}

TEST(ImageDecoding, TheAlphaFlagTellsWhetherBlendingIsNeeded) {
    auto opaque = pngOf(2, 2, [](int x, int) { return x ? 0xFFFF00FFu : 0xFF123456u; });
    auto plain = decode(opaque);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->alpha);
    // An opaque image with a masked pixel needs blending from then on.
    auto masked = decode(opaque, 0xFFFF00FF);
    ASSERT_TRUE(masked);
    EXPECT_TRUE(masked->alpha);
    EXPECT_EQ(pixelOf(*masked, 1, 0), 0u);
    EXPECT_EQ(pixelOf(*masked, 0, 1), 0xFF123456u);
}

TEST(ImageDecoding, OtherFormatsAndUndecodableBytes) {
    // A 2 x 1 24-bit BMP, bottom-up rows padded to 4 bytes: blue, then red.
    std::vector<uint8_t> bmp = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                                40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0,
                                0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // info header
                                0xFF, 0, 0, 0, 0, 0xFF, 0, 0};
    auto image = decode(bmp);
    ASSERT_TRUE(image);
    EXPECT_EQ(pixelOf(*image, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(pixelOf(*image, 1, 0), 0xFFFF0000u);
    EXPECT_FALSE(image->alpha);

    std::vector<uint8_t> png = magentaPng();
    std::vector<uint8_t> truncated(png.begin(), png.begin() + long(png.size() / 2));
    std::vector<uint8_t> garbage = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    EXPECT_FALSE(decode(truncated));
    EXPECT_FALSE(decode(garbage));
    EXPECT_FALSE(decode({}));
    EXPECT_FALSE(DecodeImage(nullptr, 10, 0));
    // Wider than any surface can be: refused rather than drawn wrongly.
    EXPECT_FALSE(decode(pngOf(40000, 1, [](int, int) { return 0xFF000000u; })));
}

// A skin folder in a temporary directory, found through the resource path.
class ImageLoading : public CleanToolkit {
protected:
    void SetUp() override {
        CleanToolkit::SetUp();
        fs::create_directories(skin() / "common");
        CPaintManagerUI::SetResourcePath(utility::utf8ToWide(skin().string()));
    }
    fs::path skin() const { return fs::path(temp_.path()) / "skin"; }
    void put(const std::string& name, const std::vector<uint8_t>& bytes) {
        testing_support::writeFile((skin() / name).string(), std::string(bytes.begin(), bytes.end()));
    }
    static std::vector<uint8_t> solid(uint32_t color, int w = 2, int h = 2) {
        return pngOf(w, h, [color](int, int) { return color; });
    }

    testing_support::TempDir temp_;
};

TEST_F(ImageLoading, EachSourceOfBytes) {
    put("common/close.png", solid(0xFF0000FF));
    std::vector<uint8_t> resourceBytes = solid(0xFF00FF00);
    CResourceModule module(L"/nowhere/installer");
    module.AddResource(L"PNG", L"LOGO", resourceBytes);
    CPaintManagerUI::SetInstance(&module);

    // The plain-path fall-back is relative to the current folder.
    fs::path plainDir = fs::path(temp_.path()) / "cwd";
    fs::create_directories(plainDir);
    testing_support::writeFile((plainDir / "plain.png").string(), [] {
        auto b = solid(0xFFFF0000);
        return std::string(b.begin(), b.end());
    }());
    fs::path oldCwd = fs::current_path();
    fs::current_path(plainDir);

    struct Case {
        const wchar_t* name;
        const wchar_t* type;
        uint32_t pixel;  // 0: not loadable
    } cases[] = {
        {L"common\\close.png", L"", 0xFF0000FF},
        {L"common/close.png", L"", 0xFF0000FF},
        {L"LOGO", L"PNG", 0xFF00FF00},
        {L"LOGO", L"BITMAP", 0},
        {L"#FF102030", kColorResourceType, 0xFF102030},
        {L"80FF0000", kColorResourceType, 0x80800000},  // "#" optional; premultiplied like any pixel
        {L"plain.png", L"", 0xFFFF0000},
        {L"missing.png", L"", 0},
        {L"", L"", 0},
    };
    for (const Case& c : cases) {
        auto image = LoadImage(c.name, c.type, 0);
        std::string what = utility::wideToUtf8(c.name) + " / " + utility::wideToUtf8(c.type);
        if (c.pixel == 0) {
            EXPECT_FALSE(image) << what;
            continue;
        }
        ASSERT_TRUE(image) << what;
        EXPECT_EQ(hex(pixelOf(*image, 0, 0)), hex(c.pixel)) << what;
        EXPECT_EQ(image->resType, c.type) << what;
    }
    fs::current_path(oldCwd);
}

TEST_F(ImageLoading, ANameAndAFileItemShareOneDecodedImage) {
    put("common/close.png", solid(0xFF0000FF));
    CPaintManagerUI manager;
    CImageTable images;
    const TImageDescription plain = ParseImageDescription(L"common\\close.png");
    const TImageDescription item = ParseImageDescription(L"file='common\\close.png' dest='5,5,29,29'");
    const TImageData* first = GetImageEx(images, &manager, plain.name, plain.resType, plain.mask);
    const TImageData* second = GetImageEx(images, &manager, item.name, item.resType, item.mask);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(images.Size(), 1u);
    // The same file with a mask is another image, not the unmasked one.
    const TImageData* masked = GetImageEx(images, &manager, plain.name, L"", 0xFF0000FF);
    ASSERT_TRUE(masked);
    EXPECT_NE(masked, first);
    EXPECT_EQ(pixelOf(*masked, 0, 0), 0u);
}

TEST_F(ImageLoading, ARegisteredImageBringsItsMaskAndTheSharedTableIsConsulted) {
    put("logo.png", solid(0xFFFF00FF));
    CPaintManagerUI manager;
    manager.AddImage(L"logo.png", L"", 0xFFFF00FF, false);
    CImageTable images;
    const TImageData* logo = GetImageEx(images, &manager, L"logo.png");
    ASSERT_TRUE(logo);
    EXPECT_EQ(pixelOf(*logo, 0, 0), 0u);
    EXPECT_EQ(logo->mask, 0xFFFF00FFu);

    const TImageData* shared = CImageTable::Shared().Add(L"shared.png", L"", 0, MakeImage(rgbaOf(1, 1, [](int, int) {
                                                                                              return 0xFF445566u;
                                                                                          }).data(),
                                                                                          1, 1, 0));
    EXPECT_EQ(GetImageEx(images, nullptr, L"shared.png"), shared);
    EXPECT_EQ(images.Size(), 1u);  // found in the shared table, not loaded again
}

TEST_F(ImageLoading, AFailedLoadIsNotRetriedUntilTheDescriptionIsSetAgain) {
    Canvas canvas(10, 10);
    CImageTable images;
    TDrawInfo info(L"file='late.png'");
    EXPECT_FALSE(DrawImageString(canvas.cr(), nullptr, images, {0, 0, 10, 10}, {0, 0, 10, 10}, info));
    put("late.png", solid(0xFF0000FF));
    EXPECT_FALSE(DrawImageString(canvas.cr(), nullptr, images, {0, 0, 10, 10}, {0, 0, 10, 10}, info));
    EXPECT_EQ(canvas.at(5, 5), 0xFFFFFFFFu);

    info.Set(L"file='late.png'");
    EXPECT_TRUE(DrawImageString(canvas.cr(), nullptr, images, {0, 0, 10, 10}, {0, 0, 10, 10}, info));
    EXPECT_EQ(hex(canvas.at(5, 5)), hex(0xFF0000FF));
}

}  // namespace
