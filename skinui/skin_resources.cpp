// [skin resources] of CPaintManagerUI: module instance, resource path, UI language, the entry table of the
// skin archive and the skin file lookup.
#include <filesystem>
#include <fstream>
#include <map>
#include <new>

#include "common/log.h"
#include "skinui/archive.h"
#include "skinui/color_theme.h"
#include "skinui/language_table.h"
#include "skinui/paint_manager.h"
#include "skinui/resource_module.h"
#include "utility/ufile.h"

namespace SkinUI {

namespace {

constexpr wchar_t kArchiveResourceType[] = L"ZIPRES";
constexpr uint64_t kMaxLanguageTableSize = 4 * 1024 * 1024;
// A table from the archive must be longer than this to be read.
constexpr size_t kMinArchivedTableSize = 10;

struct SkinResources {
    const CResourceModule* instance = nullptr;
    const CResourceModule* resourceInstance = nullptr;
    std::wstring resourcePath;
    std::wstring currentLanguage;
    // SkinArchiveEntries: stored name ("common/close.png") to bytes; filled once at start-up.
    std::map<std::wstring, std::vector<uint8_t>> entries;
};

SkinResources& resources() {
    static SkinResources state;
    return state;
}

std::wstring withSlashes(std::wstring name) {
    for (wchar_t& c : name) {
        if (c == L'\\') c = L'/';
    }
    return name;
}

enum class ReadResult { Missing, Read, Unusable };

// Reads a whole regular file of 1 to `maxSize` bytes. Missing: it cannot be opened.
ReadResult readWholeFile(const std::wstring& path, uint64_t maxSize, std::vector<uint8_t>& bytes) {
    namespace fs = std::filesystem;
    bytes.clear();
    fs::path native(utility::ufile::toNative(path));
    std::error_code ec;
    if (!fs::is_regular_file(native, ec)) return ReadResult::Missing;
    std::ifstream in(native, std::ios::binary);
    if (!in) return ReadResult::Missing;
    uint64_t size = fs::file_size(native, ec);
    if (ec || size == 0 || size > maxSize) return ReadResult::Unusable;
    try {
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return ReadResult::Unusable;
    }
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
    if (uint64_t(in.gcount()) != size) {
        bytes.clear();
        return ReadResult::Unusable;
    }
    return ReadResult::Read;
}

void loadLanguageTableFile(const std::wstring& tableName) {
    std::wstring instancePath = CPaintManagerUI::GetInstancePath();
    std::vector<uint8_t> bytes;
    // A table beside the executable replaces the skin's, even when it is unusable.
    if (!instancePath.empty()) {
        ReadResult r = readWholeFile(instancePath + tableName, kMaxLanguageTableSize, bytes);
        if (r == ReadResult::Read) LoadLanguageTable(bytes.data(), bytes.size());
        if (r != ReadResult::Missing) return;
    }
    bytes = CPaintManagerUI::LoadFileData(tableName);
    if (bytes.size() > kMinArchivedTableSize) LoadLanguageTable(bytes.data(), bytes.size());
}

}  // namespace

void CPaintManagerUI::SetInstance(const CResourceModule* instance) {
    resources().instance = instance;
    // The theme file lies beside the executable, so it can only be found once the instance is known.
    LoadThemeColors();
}

const CResourceModule* CPaintManagerUI::GetInstance() { return resources().instance; }

void CPaintManagerUI::SetResourceInstance(const CResourceModule* module) { resources().resourceInstance = module; }

const CResourceModule* CPaintManagerUI::GetResourceInstance() {
    return resources().resourceInstance ? resources().resourceInstance : resources().instance;
}

std::wstring CPaintManagerUI::GetInstancePath() {
    const CResourceModule* instance = resources().instance;
    if (!instance) return {};
    const std::wstring& file = instance->GetFileName();
    size_t cut = file.find_last_of(L"/\\");
    return cut == std::wstring::npos ? std::wstring() : file.substr(0, cut + 1);
}

void CPaintManagerUI::SetCurrentLanguage(const std::wstring& language, const std::wstring& fallback) {
    resources().currentLanguage = language.empty() ? fallback : language;
}

const std::wstring& CPaintManagerUI::GetCurrentLanguage() { return resources().currentLanguage; }

void CPaintManagerUI::SetResourcePath(const std::wstring& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_directory(utility::ufile::toNative(path), ec)) {
        resources().resourcePath.clear();
        return;
    }
    std::wstring stored = path;
    if (stored.back() != L'\\' && stored.back() != L'/') stored += L'/';
    resources().resourcePath = stored;
}

const std::wstring& CPaintManagerUI::GetResourcePath() { return resources().resourcePath; }

void CPaintManagerUI::LoadSkinArchive(unsigned resourceId, const std::wstring& languageTableName) {
    SkinResources& state = resources();
    const CResourceModule* module = GetResourceInstance();
    std::span<const uint8_t> archive;
    if (module) archive = module->FindResource(kArchiveResourceType, ResourceIdName(resourceId));
    if (archive.empty()) {
        NLOG(L"skin archive %d not found", resourceId);
    } else {
        int result = ExtractArchive(archive.data(), archive.size(),
                                    [&state](const std::wstring& name, const uint8_t* bytes, size_t length) {
                                        state.entries[name].assign(bytes, bytes + length);
                                    });
        NLOG(L"skin archive: %d bytes, %d entries, result %d", archive.size(), state.entries.size(), result);
    }
    loadLanguageTableFile(languageTableName);
}

std::vector<uint8_t> CPaintManagerUI::LoadFileData(const std::wstring& name) {
    const SkinResources& state = resources();
    std::vector<uint8_t> bytes;
    if (name.empty()) return bytes;
    if (name.front() == L'/') {
        if (readWholeFile(name, UINT64_MAX, bytes) == ReadResult::Read) return bytes;
    } else if (!state.resourcePath.empty()) {
        // Skin folders on disk use "/" like the archive; names written with "\" still find their files.
        if (readWholeFile(state.resourcePath + withSlashes(name), UINT64_MAX, bytes) == ReadResult::Read) {
            return bytes;
        }
    }
    auto it = state.entries.find(withSlashes(name));
    if (it == state.entries.end()) return {};
    return it->second;
}

size_t CPaintManagerUI::GetSkinArchiveEntryCount() { return resources().entries.size(); }

void CPaintManagerUI::ResetSkinResources() { resources() = SkinResources(); }

}  // namespace SkinUI
