// Image loading, the image tables and the image painters.
//
// [decode]   RGBA bytes to premultiplied ARGB32 surfaces, stb_image, the byte sources of LoadImage
// [tables]   CImageTable and GetImageEx
// [paint]    pieces, tiles, the nine-grid and image descriptions
#include "skinui/render_image.h"

#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <vector>

#include "skinui/paint_manager.h"
#include "skinui/render_geometry.h"
#include "skinui/resource_module.h"
#include "utility/ufile.h"

namespace SkinUI {

// ---- [decode] ----

namespace {

// Cairo's own limit on image surface sides.
constexpr int kMaxSide = 32767;
// Plain-path images larger than this are not read.
constexpr uintmax_t kMaxPlainFileSize = 256u * 1024 * 1024;

struct StbFree {
    void operator()(unsigned char* p) const { stbi_image_free(p); }
};

std::vector<uint8_t> readPlainFile(const std::wstring& name) {
    std::wstring path = name;
    std::replace(path.begin(), path.end(), L'\\', L'/');
    std::ifstream in(utility::ufile::toNative(path), std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::streamoff size = in.tellg();
    if (size <= 0 || uintmax_t(size) > kMaxPlainFileSize) return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (in.gcount() != size) return {};
    return bytes;
}

}  // namespace

TImageData::~TImageData() {
    if (surface) cairo_surface_destroy(surface);
}

std::unique_ptr<TImageData> MakeImage(const uint8_t* rgba, int width, int height, uint32_t mask) {
    if (!rgba || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    auto image = std::make_unique<TImageData>();
    image->surface = surface;
    image->width = width;
    image->height = height;
    image->mask = mask;
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rgba + size_t(y) * size_t(width) * 4;
        auto* out = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < width; ++x, in += 4) {
            uint32_t r = in[0], g = in[1], b = in[2], a = in[3];
            if (a < 255) {
                r = r * a / 255;
                g = g * a / 255;
                b = b * a / 255;
                image->alpha = true;
            }
            // Cairo's ARGB32 pixel is one native 32-bit value: the mask compares against it directly.
            uint32_t pixel = (a << 24) | (r << 16) | (g << 8) | b;
            if (mask != 0 && pixel == mask) {
                pixel = 0;
                image->alpha = true;
            }
            out[x] = pixel;
        }
    }
    cairo_surface_mark_dirty(surface);
    return image;
}

std::unique_ptr<TImageData> DecodeImage(const uint8_t* bytes, size_t length, uint32_t mask) {
    if (!bytes || length == 0 || length > size_t(INT_MAX)) return nullptr;
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<unsigned char, StbFree> rgba(
        stbi_load_from_memory(bytes, int(length), &width, &height, &channels, 4));
    if (!rgba) return nullptr;
    return MakeImage(rgba.get(), width, height, mask);
}

std::unique_ptr<TImageData> LoadImage(const std::wstring& name, const std::wstring& resType, uint32_t mask) {
    if (name.empty()) return nullptr;
    std::unique_ptr<TImageData> image;
    if (resType == kColorResourceType) {
        uint32_t color = ParseColor(name);
        const uint8_t pixel[4] = {uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color), uint8_t(color >> 24)};
        image = MakeImage(pixel, 1, 1, mask);
    } else {
        std::vector<uint8_t> bytes;
        if (resType.empty()) {
            bytes = CPaintManagerUI::LoadFileData(name);
        } else if (const CResourceModule* module = CPaintManagerUI::GetResourceInstance()) {
            std::span<const uint8_t> found = module->FindResource(resType, name);
            bytes.assign(found.begin(), found.end());
        }
        if (bytes.empty()) bytes = readPlainFile(name);
        image = DecodeImage(bytes.data(), bytes.size(), mask);
    }
    if (image) image->resType = resType;
    return image;
}

// ---- [tables] ----

const TImageData* CImageTable::Find(const std::wstring& name, const std::wstring& resType, uint32_t mask) const {
    auto it = images_.find(Key{name, resType, mask});
    return it == images_.end() ? nullptr : it->second.get();
}

const TImageData* CImageTable::Add(const std::wstring& name, const std::wstring& resType, uint32_t mask,
                                   std::unique_ptr<TImageData> image) {
    if (!image) return nullptr;
    auto& slot = images_[Key{name, resType, mask}];
    slot = std::move(image);
    return slot.get();
}

CImageTable& CImageTable::Shared() {
    static CImageTable table;
    return table;
}

const TImageData* GetImageEx(CImageTable& windowImages, const CPaintManagerUI* manager, const std::wstring& name,
                             const std::wstring& resType, uint32_t mask, bool /*hsl*/) {
    if (name.empty()) return nullptr;
    std::wstring type = resType;
    if (manager) {
        if (const TImageInfo* registered = manager->GetImage(name)) {
            type = registered->resType;
            mask = registered->mask;
        }
    }
    if (const TImageData* found = windowImages.Find(name, type, mask)) return found;
    if (const TImageData* found = CImageTable::Shared().Find(name, type, mask)) return found;
    return windowImages.Add(name, type, mask, LoadImage(name, type, mask));
}

// ---- [paint] ----

namespace {

// Draws `src` of the surface stretched onto `dst`, only inside `clip`.
void drawPiece(cairo_t* cr, cairo_surface_t* surface, const SkinRect& src, const SkinRect& dst,
               const SkinRect& clip, int fade) {
    SkinRect visible;
    if (IsEmptyRect(src) || !IntersectRects(dst, clip, visible)) return;
    // A piece of its own, so that stretching never samples the pixels next to it (the other states
    // of a strip, the neighbouring nine-grid piece).
    cairo_surface_t* piece =
        cairo_surface_create_for_rectangle(surface, src.left, src.top, RectWidth(src), RectHeight(src));
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(piece);
    bool sameSize = RectWidth(src) == RectWidth(dst) && RectHeight(src) == RectHeight(dst);
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, double(RectWidth(src)) / RectWidth(dst),
                            double(RectHeight(src)) / RectHeight(dst));
    cairo_matrix_translate(&matrix, -dst.left, -dst.top);
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, sameSize ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);

    cairo_save(cr);
    cairo_rectangle(cr, visible.left, visible.top, RectWidth(visible), RectHeight(visible));
    cairo_clip(cr);
    cairo_set_source(cr, pattern);
    if (fade >= 255) {
        cairo_paint(cr);
    } else {
        cairo_paint_with_alpha(cr, fade / 255.0);
    }
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(piece);
}

// Repeats `src` over `dst` along the tiled axes and stretches it along the others. The last tile of a
// row or column is cut, not squeezed.
void drawTiled(cairo_t* cr, cairo_surface_t* surface, const SkinRect& src, const SkinRect& dst, const SkinRect& clip,
               int fade, bool xtiled, bool ytiled) {
    SkinRect visible;
    if (IsEmptyRect(src) || !IntersectRects(dst, clip, visible)) return;
    const int tileW = xtiled ? RectWidth(src) : RectWidth(dst);
    const int tileH = ytiled ? RectHeight(src) : RectHeight(dst);
    // Start at the first tile that meets the clip: a tiny centre over a wide control stays cheap.
    int y = dst.top + (visible.top - dst.top) / tileH * tileH;
    for (; y < visible.bottom; y += tileH) {
        int h = std::min(tileH, dst.bottom - y);
        int x = dst.left + (visible.left - dst.left) / tileW * tileW;
        for (; x < visible.right; x += tileW) {
            int w = std::min(tileW, dst.right - x);
            SkinRect piece = src;
            if (xtiled) piece.right = src.left + w;
            if (ytiled) piece.bottom = src.top + h;
            drawPiece(cr, surface, piece, {x, y, x + w, y + h}, clip, fade);
        }
    }
}

}  // namespace

void DrawImage(cairo_t* cr, const TImageData& image, const SkinRect& dest, const SkinRect& paint,
               const SkinRect& source, const SkinRect& corners, int fade, bool hole, bool xtiled, bool ytiled) {
    if (!image.surface || fade <= 0 || IsEmptyRect(dest) || IsEmptyRect(source)) return;
    fade = std::min(fade, 255);
    SkinRect src;
    if (!IntersectRects(source, {0, 0, image.width, image.height}, src)) return;
    const SkinRect c = {std::max(0, corners.left), std::max(0, corners.top), std::max(0, corners.right),
                        std::max(0, corners.bottom)};

    if (IsZeroRect(c) && RectWidth(src) == RectWidth(dest) && RectHeight(src) == RectHeight(dest)) {
        drawPiece(cr, image.surface, src, dest, paint, fade);
        return;
    }
    // Pass 1: cut source and destination at the same corner widths.
    const int sx[4] = {src.left, src.left + c.left, src.right - c.right, src.right};
    const int sy[4] = {src.top, src.top + c.top, src.bottom - c.bottom, src.bottom};
    const int dx[4] = {dest.left, dest.left + c.left, dest.right - c.right, dest.right};
    const int dy[4] = {dest.top, dest.top + c.top, dest.bottom - c.bottom, dest.bottom};
    // Pass 2: draw the nine pieces; empty ones (corners wider than the image or the destination) drop out.
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            SkinRect s = {sx[col], sy[row], sx[col + 1], sy[row + 1]};
            SkinRect d = {dx[col], dy[row], dx[col + 1], dy[row + 1]};
            if (IsEmptyRect(s) || IsEmptyRect(d)) continue;
            if (row == 1 && col == 1) {
                if (hole) continue;
                if (xtiled || ytiled) {
                    drawTiled(cr, image.surface, s, d, paint, fade, xtiled, ytiled);
                    continue;
                }
            }
            drawPiece(cr, image.surface, s, d, paint, fade);
        }
    }
}

const TImageData* LoadDrawInfo(const CPaintManagerUI* manager, CImageTable& images, TDrawInfo& info) {
    if (info.description.empty()) return nullptr;
    if (!info.parsedOnce) {
        info.parsed = ParseImageDescription(info.description);
        info.parsedOnce = true;
    }
    if (!info.loadTried) {
        info.loadTried = true;
        const TImageDescription& d = info.parsed;
        info.image = GetImageEx(images, manager, d.name, d.resType, d.mask, d.hsl);
    }
    return info.image;
}

bool DrawImageString(cairo_t* cr, const CPaintManagerUI* manager, CImageTable& images, const SkinRect& control,
                     const SkinRect& paint, TDrawInfo& info, const TImageDrawOptions& options) {
    const TImageData* image = LoadDrawInfo(manager, images, info);
    if (!image) return false;
    const TImageDescription& d = info.parsed;

    SkinRect source = options.source.value_or(d.source);
    if (IsZeroRect(source)) source = {0, 0, image->width, image->height};
    source.right = std::min(source.right, image->width);
    source.bottom = std::min(source.bottom, image->height);
    if (IsEmptyRect(source)) return false;

    SkinRect dest = control;
    if (options.dest || !IsZeroRect(d.dest)) {
        const SkinRect& offsets = options.dest ? *options.dest : d.dest;
        dest = {control.left + offsets.left, control.top + offsets.top, control.left + offsets.right,
                control.top + offsets.bottom};
    }
    if (IsEmptyRect(dest)) return false;
    SkinRect clip, visible;
    if (!IntersectRects(control, paint, clip) || !IntersectRects(dest, clip, visible)) return true;
    int fade = d.fade * std::clamp(options.opacity, 0, 255) / 255;
    DrawImage(cr, *image, dest, clip, source, d.corner, fade, d.hole, d.xtiled, d.ytiled);
    return true;
}

}  // namespace SkinUI
