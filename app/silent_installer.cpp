#include "app/silent_installer.h"

#include <cstdio>

#include "app/downloader_model.h"
#include "app/game_packages.h"
#include "app/post_install.h"
#include "common/log.h"
#include "platform/main_loop.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

SilentInstaller::SilentInstaller(DownloaderModel& model) : model_(model) {}

SilentInstaller::~SilentInstaller() { packagesThread_.stop(1000); }

void SilentInstaller::report(const std::wstring& line) {
    std::string text = "nimbaro-installer: " + utility::wideToUtf8(line) + "\n";
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

void SilentInstaller::start() {
    report(L"install folder " + model_.getInstallPath());
    model_.onNetProgress = [this](int percent, int downloaded, int total) {
        if (percent == lastPercent_) return;
        lastPercent_ = percent;
        report(L"downloading " + std::to_wstring(percent) + L"% (" + std::to_wstring(downloaded) + L"/" +
               std::to_wstring(total) + L" bytes)");
    };
    model_.onCurlProgress = [this](int percent) {
        if (percent == lastPercent_) return;
        lastPercent_ = percent;
        report(L"downloading " + std::to_wstring(percent) + L"%");
    };
    model_.onDownloadFailed = [this] {
        report(L"download failed");
        finish(kDownloadFailed);
    };
    model_.onDownloadSucceeded = [this] {
        report(L"download complete, installing");
        DownloaderModel* model = &model_;
        utility::launchTracked([model] { model->_threadInsPlayer(); });
    };
    model_.onInstallFinished = [this](bool started) { onInstalled(started); };
    report(L"fetching configuration");
    model_.startDownloadPlayer();
}

void SilentInstaller::onInstalled(bool started) {
    if (!started) {
        report(L"the installer could not be started");
        finish(kInstallerNotStarted);
        return;
    }
    report(L"installation finished");
    PostInstallAction action = decidePostInstall(model_.apps, model_.packageName);
    switch (action.kind) {
    case PostInstallAction::Kind::RunPlayer:
        startPlayer(action.parameters, false);
        return;
    case PostInstallAction::Kind::RunPlayerWithPackage:
        startPlayer(L"", true);
        return;
    case PostInstallAction::Kind::Finish:
        startPlayer(L"", false);
        return;
    case PostInstallAction::Kind::GamePackages:
        break;
    }
    report(L"installing " + std::to_wstring(model_.apps.size()) + L" game package(s)");
    std::vector<AppPackageInfo> apps = model_.apps;
    std::wstring installPath = model_.getInstallPath();
    packagesThread_.start(utility::makeRunable([this, apps, installPath] {
        GamePackageProgress progress;
        progress.onPackage = [](size_t index, size_t count, const std::wstring& name) {
            report(L"game package " + std::to_wstring(index) + L"/" + std::to_wstring(count) + L": " + name);
        };
        std::wstring last = installGamePackages(apps, installPath, progress);
        model_.uiPoster.post([this, last] {
            packagesThread_.stop(1000);
            startPlayer(L"package=" + last, false);
        });
    }));
}

void SilentInstaller::startPlayer(const std::wstring& parameters, bool withPackage) {
    std::wstring player = model_.getInstallPath() + L"/qxplayer";
    if (!utility::ufile::exists(player)) {
        report(L"the emulator is missing: " + player);
        finish(kPlayerNotStarted);
        return;
    }
    bool ok = withPackage ? model_.runPlayerWithPackage() : model_.runPlayer(parameters);
    report(ok ? L"emulator started" : L"the emulator could not be started");
    finish(ok ? kSucceeded : kPlayerNotStarted);
}

void SilentInstaller::finish(int code) {
    exitCode_ = code;
    NLOG(L"silent installation ended with %d", code);
    platform::MainLoop::quit();
}
