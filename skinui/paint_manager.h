#pragma once
// CPaintManagerUI: one per skinned window, plus the toolkit's process-wide state.
//
// Sections so far (each implemented in its own source file):
//   [skin resources]   process-wide: module instance, resource path, UI language, the unpacked skin archive
//                      and the one lookup for skin files (skin_resources.cpp)
//   [window resources] per window: images, fonts and default attribute lists that layouts register, with
//                      process-wide shared tables (paint_manager_resources.cpp)
//   [window attributes] the root "Window" attributes of a layout (paint_manager_attributes.cpp)
// Events, focus, timers, notifications and painting join as further sections.
//
// Everything here runs on the UI thread.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skinui/attribute_values.h"

namespace platform {
class Window;
}

namespace SkinUI {

class CResourceModule;

// An image a layout registered. Decoding happens where images are drawn.
struct TImageInfo {
    std::wstring name;
    std::wstring resType;  // empty: a skin file; otherwise a resource type of the resource module
    uint32_t mask = 0;     // colour made transparent, 0 for none
};

struct TFontInfo {
    std::wstring face;  // empty: the system's default face
    int size = 12;      // pixel height
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool operator==(const TFontInfo&) const = default;
};

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // ---- [skin resources] ----

    // The program's module; the instance path is the folder of its file.
    static void SetInstance(const CResourceModule* instance);
    static const CResourceModule* GetInstance();
    // The module searched for resources; the instance when none was set.
    static void SetResourceInstance(const CResourceModule* module);
    static const CResourceModule* GetResourceInstance();
    // Folder of the instance's file, ending with "/"; empty without an instance.
    static std::wstring GetInstancePath();

    // Stores `language`, or `fallback` when it is empty. Chooses the column of the language table.
    static void SetCurrentLanguage(const std::wstring& language, const std::wstring& fallback);
    static const std::wstring& GetCurrentLanguage();

    // Skin files are looked for in `path` first, but only when that folder exists; otherwise the path
    // becomes empty and every lookup goes to the archive. A stored path ends with "/".
    static void SetResourcePath(const std::wstring& path);
    static const std::wstring& GetResourcePath();

    // Unpacks the resource module's "ZIPRES" resource `resourceId` into the entry table, then loads the
    // language table `languageTableName` (from beside the executable, else through LoadFileData). Logs the
    // archive's size and entry count. A damaged archive keeps the entries before the damage.
    static void LoadSkinArchive(unsigned resourceId, const std::wstring& languageTableName);

    // The one lookup for skin files: an absolute path ("/...") is read as it is; otherwise the resource
    // path plus `name` is tried; an empty or unreadable file is passed over. Then the entry table, with
    // "\" read as "/" and letter case significant. Empty result: not found (entries are never empty).
    static std::vector<uint8_t> LoadFileData(const std::wstring& name);

    // Number of entries unpacked from the skin archive.
    static size_t GetSkinArchiveEntryCount();

    // Forgets instance, paths, language and entry table (tests start from scratch with it).
    static void ResetSkinResources();

    // ---- window ----

    void Init(platform::Window* window);
    // Null until Init.
    platform::Window* GetPaintWindow() const { return window_; }

    // ---- [window resources] ----

    // Registers an image description under `name` (replacing one of that name) in this window's table,
    // or in the shared table when `shared`.
    const TImageInfo* AddImage(const std::wstring& name, const std::wstring& resType, uint32_t mask, bool shared);
    // This window's table first, then the shared one; null when absent.
    const TImageInfo* GetImage(const std::wstring& name) const;

    void AddFont(int id, const std::wstring& face, int size, bool bold, bool underline, bool italic, bool shared);
    // This window's font `id`, else the shared one; null when absent.
    const TFontInfo* GetFont(int id) const;
    void SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic, bool shared);
    // This window's default font when one was set, else the shared default.
    const TFontInfo& GetDefaultFontInfo() const;

    // Attribute list applied to every control whose tag is spelled exactly `name`.
    void AddDefaultAttributeList(const std::wstring& name, const std::wstring& list, bool shared);
    // This window's list first, then the shared one (letter case significant); empty when absent.
    std::wstring GetDefaultAttributeList(const std::wstring& name) const;

    // Clears the shared image, font and default-list tables and the shared default font.
    static void RemoveAllShared();

    // ---- [window attributes] ----

    // One attribute of a layout's root "Window" element; unknown names become custom window attributes.
    void SetWindowAttribute(const std::wstring& name, const std::wstring& value);

    SkinSize GetInitSize() const { return initSize_; }
    SkinRect GetSizeBox() const { return sizeBox_; }
    SkinRect GetCaptionRect() const { return caption_; }
    SkinSize GetRoundCorner() const { return roundCorner_; }
    SkinSize GetMinInfo() const { return minInfo_; }
    SkinSize GetMaxInfo() const { return maxInfo_; }
    bool IsShowUpdateRect() const { return showUpdateRect_; }
    bool IsNoActivate() const { return noActivate_; }
    int GetOpacity() const { return opacity_; }
    bool IsLayered() const { return layered_; }
    int GetLayeredOpacity() const { return layeredOpacity_; }
    const std::wstring& GetLayeredImage() const { return layeredImage_; }
    uint32_t GetDefaultDisabledColor() const { return disabledColor_; }
    uint32_t GetDefaultFontColor() const { return fontColor_; }
    uint32_t GetDefaultLinkFontColor() const { return linkColor_; }
    uint32_t GetDefaultLinkHoverFontColor() const { return linkHoverColor_; }
    uint32_t GetDefaultSelectedBkColor() const { return selectedColor_; }
    // Empty when absent.
    std::wstring GetWindowCustomAttribute(const std::wstring& name) const;

private:
    platform::Window* window_ = nullptr;

    std::map<std::wstring, TImageInfo> images_;
    std::map<int, TFontInfo> fonts_;
    std::unique_ptr<TFontInfo> defaultFont_;
    std::map<std::wstring, std::wstring> defaultAttributes_;

    SkinSize initSize_;
    SkinRect sizeBox_;
    SkinRect caption_;
    SkinSize roundCorner_;
    SkinSize minInfo_;
    SkinSize maxInfo_;
    bool showUpdateRect_ = false;
    bool noActivate_ = false;
    int opacity_ = 255;
    bool layered_ = false;
    int layeredOpacity_ = 255;
    std::wstring layeredImage_;
    uint32_t disabledColor_ = 0xFFA7A6AA;
    uint32_t fontColor_ = 0xFF000000;
    uint32_t linkColor_ = 0xFF0000FF;
    uint32_t linkHoverColor_ = 0xFFD3215F;
    uint32_t selectedColor_ = 0xFFBAE4FF;
    std::map<std::wstring, std::wstring> windowCustomAttributes_;
};

}  // namespace SkinUI
