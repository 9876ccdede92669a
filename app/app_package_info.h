#pragma once
// One game package to install into the emulator after it is installed.
#include <string>

struct AppPackageInfo {
    std::wstring downloadUrl;
    std::wstring packageName;
    std::wstring gameName;
    std::wstring sltUrl;
    std::wstring resolution;
    std::wstring localFile;
    std::wstring gameId;
    std::wstring iconUrl;
    std::wstring obbUrl;
    bool fromAppStore = false;
    bool isXapk = false;
};
