#pragma once
// Images: loading and decoding (stb_image into premultiplied ARGB32 Cairo surfaces), the image tables that
// keep each decoded image once, and the painters for images and image descriptions (nine-grid with
// unscaled corners, hole, tiling, fade, "dest" and "source").
//
// A control keeps one TDrawInfo per image attribute and paints it with
//     DrawImageString(cr, manager, images, itemRect, paintRect, bkImage_);
// where `images` is its window's CImageTable. UI thread only.
#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "skinui/attribute_values.h"
#include "skinui/image_description.h"

namespace SkinUI {

class CPaintManagerUI;

// A decoded image ("ImageInfo"): a top-down 32-bit surface with premultiplied alpha.
struct TImageData {
    TImageData() = default;
    ~TImageData();
    TImageData(const TImageData&) = delete;
    TImageData& operator=(const TImageData&) = delete;

    cairo_surface_t* surface = nullptr;  // CAIRO_FORMAT_ARGB32, owned
    int width = 0;
    int height = 0;
    bool alpha = false;    // some pixel is not fully opaque, or was masked
    std::wstring resType;  // where it came from (empty: a skin file)
    uint32_t mask = 0;
};

// Turns RGBA bytes (`width` x `height`, 4 bytes a pixel, rows packed) into an image. Pixels with an alpha
// below 255 are premultiplied; a converted pixel equal to `mask` (0xAARRGGBB, 0 for none) becomes fully
// transparent. Null when the size is empty or beyond what a surface can hold.
std::unique_ptr<TImageData> MakeImage(const uint8_t* rgba, int width, int height, uint32_t mask);

// Decodes PNG, JPEG, BMP, GIF (first frame) and the other formats stb_image reads. Null for anything it
// cannot decode.
std::unique_ptr<TImageData> DecodeImage(const uint8_t* bytes, size_t length, uint32_t mask);

// Finds the bytes and decodes them: with no resource type, the skin file `name` (LoadFileData); with
// kColorResourceType, one pixel of the colour `name` ("#" optional); with another type, the resource
// module's resource of that type and name. When no bytes were found, `name` is opened as a plain path
// (relative to the current folder). Null when nothing could be loaded; nothing is logged.
std::unique_ptr<TImageData> LoadImage(const std::wstring& name, const std::wstring& resType, uint32_t mask);

// Decoded images by name. A paint manager owns one for its window; Shared() is the process-wide one.
// Images stay until the table is cleared or destroyed, so draw records may keep pointers to them.
class CImageTable {
public:
    CImageTable() = default;
    CImageTable(const CImageTable&) = delete;
    CImageTable& operator=(const CImageTable&) = delete;

    // Null when absent.
    const TImageData* Find(const std::wstring& name, const std::wstring& resType, uint32_t mask) const;
    // Stores `image` (replacing one of the same key) and returns it.
    const TImageData* Add(const std::wstring& name, const std::wstring& resType, uint32_t mask,
                          std::unique_ptr<TImageData> image);
    size_t Size() const { return images_.size(); }
    void Clear() { images_.clear(); }

    static CImageTable& Shared();

private:
    // The same file read with another mask is another image.
    using Key = std::tuple<std::wstring, std::wstring, uint32_t>;
    std::map<Key, std::unique_ptr<TImageData>> images_;
};

// The image `name`: when the manager has an "Image" registered under that name, its resource type and
// mask are used. Looks in `windowImages`, then in CImageTable::Shared(), else loads the image and adds it
// to `windowImages`. Null when it cannot be loaded. `manager` may be null. `hsl` has no effect (the hue
// adjustment is never turned on).
const TImageData* GetImageEx(CImageTable& windowImages, const CPaintManagerUI* manager, const std::wstring& name,
                             const std::wstring& resType = {}, uint32_t mask = 0, bool hsl = false);

// Draws `source` of `image` into `dest`, only where it meets `paint`:
// - same size and no corners: one unscaled copy;
// - otherwise a nine-grid: corners at their own size, top and bottom edges stretched horizontally, left
//   and right edges vertically, the centre stretched, or repeated along x / y when `xtiled` / `ytiled`,
//   or left out with `hole`.
// `fade` (0 to 255) multiplies the image's own alpha.
void DrawImage(cairo_t* cr, const TImageData& image, const SkinRect& dest, const SkinRect& paint,
               const SkinRect& source, const SkinRect& corners, int fade = 255, bool hole = false,
               bool xtiled = false, bool ytiled = false);

// Parses the record's description and looks its image up, once (a failed load is not retried until
// info.Set). The image, or null when there is none to draw.
const TImageData* LoadDrawInfo(const CPaintManagerUI* manager, CImageTable& images, TDrawInfo& info);

// What a control changes of an image description when painting it.
struct TImageDrawOptions {
    std::optional<SkinRect> dest;    // replaces "dest": offsets in the control (the progress bar's filled part)
    std::optional<SkinRect> source;  // replaces "source" (one picture of a "standardimage")
    int opacity = 255;               // scales the description's fade (a button's cross-fade)

    TImageDrawOptions& Dest(const SkinRect& r) { dest = r; return *this; }
    TImageDrawOptions& Source(const SkinRect& r) { source = r; return *this; }
    TImageDrawOptions& Opacity(int o) { opacity = o; return *this; }
};

// Paints one image attribute of a control whose item rectangle is `control`, where it meets `paint`.
// The destination is the control rectangle, or "dest" placed at the control's top-left corner; it is
// clipped at the control's edge, the image keeping its scale. False when there is no image to draw.
//     DrawImageString(cr, manager, images, GetPos(), paintRect, normalImage_);
//     DrawImageString(cr, manager, images, GetPos(), paintRect, foreImage_, TImageDrawOptions().Dest(filled));
bool DrawImageString(cairo_t* cr, const CPaintManagerUI* manager, CImageTable& images, const SkinRect& control,
                     const SkinRect& paint, TDrawInfo& info, const TImageDrawOptions& options = {});

}  // namespace SkinUI
