// Installing the emulator: stop its running programs, run the downloaded installer silently and classify
// its end, then apply the campaign's extras (launch images, shortcut icon, data.ini, autostart, shortcut).
#include <chrono>
#include <thread>

#include "app/config_imp.h"
#include "app/downloader_model.h"
#include "app/game_packages.h"
#include "app/player_launcher.h"
#include "app/shortcut.h"
#include "common/log.h"
#include "platform/system.h"
#include "utility/http_downloader.h"
#include "utility/ini_file.h"
#include "utility/process.h"
#include "utility/safe_name.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

namespace {

constexpr uint32_t kKillWaitMs = 2000;

// Up to three attempts, 200 ms apart; a file that cannot be fetched is skipped.
void downloadExtra(const std::wstring& url, const std::wstring& file) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        utility::CHttpDownloader downloader;
        if (downloader.downloadToFile(url, file, nullptr)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

// The news autostart entry of the emulator; removing it is what deleting its Run value does on Windows.
std::wstring newsAutostartEntry() {
    return utility::utf8ToWide(platform::configHome()) + L"/autostart/VxNews.desktop";
}

}  // namespace

std::wstring DownloaderModel::installerParameters() const {
    std::wstring p = L"-silence -downloader -openid=" + openId;
    if (!languageCode.empty()) p += L" -language=" + languageCode;
    p += L" -path=\"" + installPath + L"\"";
    if (!googleId.empty()) p += L" -googleid=" + googleId;
    return p;
}

std::wstring DownloaderModel::shortcutIconFile() const {
    auto name = utility::safeFileName(shortcutName + L".ico");
    if (!name) return {};
    return joinPath(joinPath(installPath, L"data"), *name);
}

void DownloaderModel::_threadInsPlayer() {
    std::wstring params = installerParameters();
    NLOG(L"install player param: %s", params);
    std::wstring installer = ConfigImp::instance()->getInstallerPath(installPath);
    for (const wchar_t* program : {L"qxplayer", L"qxmultiplayer", L"qxfaultdesk"})
        utility::process::killByName(program, kKillWaitMs);
    if (!utility::ufile::exists(installer)) sendEvent(L"download_installPlayerNotExit", openId + L"_1");
    bool started = runInstaller(installer, params);

    std::wstring dataFolder = joinPath(installPath, L"data");
    utility::ufile::makeDir(dataFolder);
    if (!launchImageH.empty()) downloadExtra(launchImageH, joinPath(dataFolder, L"launch_1920.jpg"));
    if (!launchImageV.empty()) downloadExtra(launchImageV, joinPath(dataFolder, L"launch_1080.jpg"));
    std::wstring icon = shortcutIconFile();
    if (!shortcutUrl.empty()) {
        if (icon.empty())
            NLOG(L"unsafe shortcut name, icon skipped: %s", shortcutName);
        else
            downloadExtra(shortcutUrl, icon);
    }
    writeEmulatorSettings(joinPath(dataFolder, L"data.ini"));

    if (!shortcutName.empty() && !icon.empty() && utility::ufile::exists(icon))
        helper::disk::createShortcut(shortcutName, icon, installPath, joinPath(installPath, L"qxplayer"), L"package=" + runApp);

    uiPoster.post([this, started] {
        if (onInstallFinished) onInstallFinished(started);
    });
}

void DownloaderModel::writeEmulatorSettings(const std::wstring& settingsFile) {
    const std::wstring section = L"setting";
    utility::IniFile ini;
    ini.load(settingsFile);  // keep what the emulator's installer wrote
    bool changed = false;
    auto set = [&](const wchar_t* key, const std::wstring& value) {
        if (ini.set(section, key, value))
            changed = true;
        else
            NLOG(L"setting %s refused", std::wstring(key));
    };
    if (!adShow) set(L"adshow", L"0");
    if (cleanModel) set(L"cleanmodel", L"1");
    if (!adShow || cleanModel) {
        std::wstring entry = newsAutostartEntry();
        if (utility::ufile::exists(entry)) utility::ufile::removeFile(entry);
    }
    if (useRoot == 0) set(L"useroot", L"0");
    if (!runAppStore) set(L"runappstore", L"0");
    if (!title.empty()) set(L"title", title);
    if (!heapSize.empty()) set(L"heapsize", heapSize);
    if (!qqLink.empty()) set(L"qqlink", qqLink);
    if (!runApp.empty()) set(L"runapp", runApp);
    if (!changed) return;
    utility::ufile::makeDir(utility::ufile::getParentDir(settingsFile));
    ini.save(settingsFile);
}

bool DownloaderModel::runPlayer(const std::wstring& parameters) { return ::runPlayer(installPath, parameters); }

bool DownloaderModel::runPlayerWithPackage() { return runPlayer(packageParameters(packageName)); }

bool DownloaderModel::runInstaller(const std::wstring& installer, const std::wstring& parameters) {
    int error = 0;
    platform::Process child = utility::process::create(installer, parameters, true, nullptr, &error);
    if (!child.valid()) {
        sendEvent(L"download_installComplete", openId + L"_errCreateProcess_" + std::to_wstring(error));
        return false;
    }
    platform::WaitResult result = child.wait(installWaitMs);
    std::wstring label = openId;
    switch (result.status) {
    case platform::WaitResult::Status::Ended: break;
    case platform::WaitResult::Status::Timeout: label += L"_errWaitTimeout"; break;
    case platform::WaitResult::Status::Failed: label += L"_errWaitFailed"; break;
    }
    sendEvent(L"download_installComplete", label);
    return true;
}
