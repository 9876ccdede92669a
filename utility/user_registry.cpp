#include "utility/user_registry.h"

#include <functional>

#include "platform/file_lock.h"
#include "platform/system.h"
#include "utility/ini_file.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

namespace utility::registry {
namespace {

// Runs `change` on the loaded file under the cross-process lock and saves it when it reports a change.
bool modify(const std::function<bool(IniFile&)>& change) {
    std::wstring path = userRegistryPath();
    ufile::makeDir(ufile::getParentDir(path));
    platform::FileLock lock(ufile::toNative(path) + ".lock");
    IniFile ini;
    ini.load(path);
    if (!change(ini)) return false;
    return ini.save(path);
}

}  // namespace

std::wstring userRegistryPath() {
    return utf8ToWide(platform::configHome()) + L"/registry/HKEY_CURRENT_USER.ini";
}

std::wstring readString(const std::wstring& keyPath, const std::wstring& name) {
    IniFile ini;
    if (!ini.load(userRegistryPath())) return {};
    std::wstring value;
    if (!ini.get(keyPath, name, value)) return {};
    // A value ends at its first zero character, as a registry string does.
    size_t zero = value.find(L'\0');
    if (zero != std::wstring::npos) value.resize(zero);
    return value;
}

bool writeString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value) {
    return modify([&](IniFile& ini) { return ini.set(keyPath, name, value); });
}

bool deleteValue(const std::wstring& keyPath, const std::wstring& name) {
    return modify([&](IniFile& ini) { return ini.remove(keyPath, name); });
}

}  // namespace utility::registry
