#pragma once
// The game-package step: download every package (with its data file and icon) into the install folder, set
// the emulator's resolution when asked, install each package through the emulator's console tool and put a
// desktop shortcut per game. Runs on a worker thread.
#include <functional>
#include <string>
#include <vector>

#include "app/app_package_info.h"

namespace utility {
class IHttpDownloadSink;
class WorkerThread;
}  // namespace utility

struct GamePackageProgress {
    // Before each record's downloads: 1-based index, count, game name. On the worker thread.
    std::function<void(size_t index, size_t count, const std::wstring& gameName)> onPackage;
    // Before the installation loop.
    std::function<void()> onInstalling;
    // Receives the package and data-file downloads' progress; may be null.
    utility::IHttpDownloadSink* downloadSink = nullptr;
};

// File names inside the install folder; empty when the name from the network is not a safe file name.
std::wstring gamePackageFile(const std::wstring& installPath, const AppPackageInfo& app);
std::wstring gameDataFile(const std::wstring& installPath, const AppPackageInfo& app);
std::wstring gameIconFile(const std::wstring& installPath, const AppPackageInfo& app);
// Parameters of the console tool's install command for one record.
std::wstring installApkParameters(const std::wstring& installPath, const AppPackageInfo& app);
// Joins a folder and a name with exactly one "/".
std::wstring joinPath(const std::wstring& folder, const std::wstring& name);

// Runs the step; returns the package name of the last record installed (the game to start).
std::wstring installGamePackages(const std::vector<AppPackageInfo>& apps, const std::wstring& installPath,
                                 const GamePackageProgress& progress);
