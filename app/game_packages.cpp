#include "app/game_packages.h"

#include <chrono>
#include <thread>

#include "app/shortcut.h"
#include "common/log.h"
#include "utility/http_downloader.h"
#include "utility/process.h"
#include "utility/safe_name.h"
#include "utility/ufile.h"

namespace {

constexpr uint32_t kInstallWaitMs = 120000;
constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

std::wstring consoleTool(const std::wstring& installPath) { return joinPath(installPath, L"qxconsole"); }

// Downloads to "<file>.tmp" and moves it into place, so a broken transfer never leaves a half file under the
// final name.
void downloadViaTemp(utility::CHttpDownloader& downloader, const std::wstring& url, const std::wstring& file,
                     utility::IHttpDownloadSink* sink) {
    std::wstring temp = file + L".tmp";
    if (utility::ufile::exists(temp)) utility::ufile::removeFile(temp);
    if (downloader.downloadToFile(url, temp, sink))
        utility::ufile::moveFile(temp, file, utility::ufile::kMoveReplaceExisting | utility::ufile::kMoveCopyAllowed);
}

}  // namespace

std::wstring joinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    if (folder.back() == L'/') return folder + name;
    return folder + L"/" + name;
}

std::wstring gamePackageFile(const std::wstring& installPath, const AppPackageInfo& app) {
    auto name = utility::safeFileName(app.gameName + (app.isXapk ? L".xapk" : L".apk"));
    return name ? joinPath(installPath, *name) : std::wstring();
}

std::wstring gameDataFile(const std::wstring& installPath, const AppPackageInfo& app) {
    auto name = utility::safeFileName(app.packageName + L".obb");
    return name ? joinPath(installPath, *name) : std::wstring();
}

std::wstring gameIconFile(const std::wstring& installPath, const AppPackageInfo& app) {
    auto name = utility::safeFileName(app.packageName + L".ico");
    return name ? joinPath(installPath, *name) : std::wstring();
}

std::wstring installApkParameters(const std::wstring& installPath, const AppPackageInfo& app) {
    std::wstring params = L"installapk --index 0 --filename \"" + gamePackageFile(installPath, app) + L"\"";
    if (!app.obbUrl.empty())
        params += L" --packagename " + app.packageName + L" --fileobb \"" + gameDataFile(installPath, app) + L"\"";
    params += L" --wait --hide";
    return params;
}

std::wstring installGamePackages(const std::vector<AppPackageInfo>& apps, const std::wstring& installPath,
                                 const GamePackageProgress& progress) {
    utility::CHttpDownloader downloader;
    std::wstring resolution;
    for (size_t i = 0; i < apps.size(); ++i) {
        const AppPackageInfo& r = apps[i];
        if (progress.onPackage) progress.onPackage(i + 1, apps.size(), r.gameName);
        if (!r.obbUrl.empty()) {
            std::wstring data = gameDataFile(installPath, r);
            if (data.empty())
                NLOG(L"unsafe package name, data file skipped: %s", r.packageName);
            else
                downloadViaTemp(downloader, r.obbUrl, data, progress.downloadSink);
        }
        if (!r.iconUrl.empty()) {
            std::wstring icon = gameIconFile(installPath, r);
            for (int attempt = 0; attempt < 3 && !icon.empty(); ++attempt) {
                utility::CHttpDownloader iconDownloader;
                if (iconDownloader.downloadToFile(r.iconUrl, icon, nullptr)) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        if (!r.resolution.empty()) resolution = r.resolution;
        std::wstring package = gamePackageFile(installPath, r);
        if (package.empty())
            NLOG(L"unsafe game name, package skipped: %s", r.gameName);
        else
            downloadViaTemp(downloader, r.downloadUrl, package, progress.downloadSink);
    }

    if (!resolution.empty()) {
        NLOG(L"setup resolution %s", resolution);
        utility::process::execute(consoleTool(installPath), L"modify --index 0 --resolution " + resolution, false,
                                  kWaitForever);
    }
    if (progress.onInstalling) progress.onInstalling();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    std::wstring lastPackage;
    for (const AppPackageInfo& r : apps) {
        std::wstring icon = gameIconFile(installPath, r);
        if (!icon.empty() && utility::ufile::exists(icon)) {
            NLOG(L"create short cut %s", r.gameName);
            helper::disk::createShortcut(r.gameName, icon, installPath, joinPath(installPath, L"qxplayer"),
                                         L"package=" + r.packageName);
        }
        lastPackage = r.packageName;
        if (gamePackageFile(installPath, r).empty()) continue;  // nothing was downloaded for it
        utility::process::execute(consoleTool(installPath), installApkParameters(installPath, r), false, kInstallWaitMs);
    }
    return lastPackage;
}
