// The emulator installer download: waiting for its address, the two transports, progress and results.
#include <filesystem>

#include "app/config_imp.h"
#include "app/downloader_model.h"
#include "common/log.h"
#include "net/vx_curl_downloader.h"
#include "platform/system.h"
#include "utility/md5.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

namespace {

constexpr int kTicksBeforeDefaultUrl = 7;
constexpr uint64_t kMinimumCurlDownload = 1048576;
constexpr uint32_t kProgressIntervalMs = 1000;

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::wstring DownloaderModel::getPlayerUrl() const {
    std::lock_guard<std::mutex> g(playerUrlLock_);
    return playerUrl_;
}

void DownloaderModel::setPlayerUrl(const std::wstring& url) {
    std::lock_guard<std::mutex> g(playerUrlLock_);
    playerUrl_ = url;
}

void DownloaderModel::startDownloadPlayer() {
    if (!getPlayerUrl().empty()) {
        downloadThread.start(new utility::MemberFuncRunable<DownloaderModel>(this, &DownloaderModel::_threadDownloadPlayer));
        return;
    }
    NLOG(L"start downloader. bug getting player url");
    retryTimer.start(retryPeriodMs, [this] { onRetryTick(); });
}

void DownloaderModel::onRetryTick() {
    int tick = retryTicks_++;
    if (tick < kTicksBeforeDefaultUrl && getPlayerUrl().empty()) return;
    urlThread.stop(0xFFFFFFFFu);
    if (getPlayerUrl().empty()) {
        setPlayerUrl(ConfigImp::instance()->getInstallerUrl());
        sendEvent(L"download_defaultUrl", openId);
    }
    startDownloadPlayer();
    retryTimer.stop();
}

void DownloaderModel::_threadDownloadPlayer() {
    NLOG(L"download player");
    if (!utility::ufile::exists(installPath)) utility::ufile::makeDir(installPath);
    lastProgressTick = 0;
    std::wstring target = ConfigImp::instance()->getInstallerPath(installPath);
    uint32_t start = platform::tickCount();

    bool success = _downloadByNet(target);
    if (!success) {
        NLOG(L"download by vxcurl");
        const utility::UiPoster& poster = uiPoster;
        bool done = VxCurlDownloader::downloadFile(target, utility::wideToAnsi(getPlayerUrl()), [this, &poster](int percent) {
            poster.post([this, percent] {
                if (onCurlProgress) onCurlProgress(percent);
            });
        });
        uint64_t size = 0;
        success = done && utility::ufile::getFileSize(target, size) && size >= kMinimumCurlDownload;
        // A partial or refused transfer must not stay under the installer's name.
        if (!success && utility::ufile::exists(target)) utility::ufile::removeFile(target);
    }
    if (success) success = verifyInstaller(target);

    uint32_t elapsed = ((platform::tickCount() - start) / 1000 + 29) / 30 * 30;
    std::wstring label = openId + L"_" + std::to_wstring(elapsed);
    if (success) {
        uiPoster.post([this] {
            if (onDownloadSucceeded) onDownloadSucceeded();
        });
        sendEvent(L"download_Success", label);
    } else {
        uiPoster.post([this] {
            if (onDownloadFailed) onDownloadFailed();
        });
        sendEvent(L"download_Error", label);
    }
    NLOG(L"download finished, success = %d, elapse = %d", success ? 1 : 0, elapsed);
}

bool DownloaderModel::verifyInstaller(const std::wstring& target) {
    if (!playerMd5.empty()) {
        std::string actual = utility::md5HexOfFile(target);
        if (!sameIgnoringCase(actual, playerMd5)) {
            // A damaged or substituted installer must never run.
            NLOG(L"installer md5 mismatch: expected %s, got %s", utility::utf8ToWide(playerMd5), utility::utf8ToWide(actual));
            utility::ufile::removeFile(target);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::permissions(utility::ufile::toNative(target),
                                 std::filesystem::perms::owner_exec | std::filesystem::perms::group_exec |
                                     std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add, ec);
    if (ec) {
        NLOG(L"installer cannot be made executable, error = %d", ec.value());
        return false;
    }
    return true;
}

bool DownloaderModel::_downloadByNet(const std::wstring& target) {
    lastProgressTick = 0;
    std::wstring url = getPlayerUrl();
    NLOG(L"start download player playerurl is %s", url);
    std::wstring temp = target + L".tmp";
    if (utility::ufile::exists(temp)) utility::ufile::removeFile(temp);

    bool ok = installerDownloader.downloadToFile(url, temp, this);
    if (!ok) {
        installerDownloader.stop();
        installerDownloader.resetStop();  // a stopped downloader would refuse the retry's first piece
        ok = installerDownloader.downloadToFile(url, temp, this);
    }
    if (!ok) {
        NLOG(L"download file error file = %s", target);
        return false;
    }
    utility::ufile::moveFile(temp, target, utility::ufile::kMoveReplaceExisting | utility::ufile::kMoveCopyAllowed);
    NLOG(L"download file success file = %s", target);
    return true;
}

bool DownloaderModel::onDownloadProgress(const char*, unsigned, uint64_t received, uint64_t total) {
    uint32_t now = platform::tickCount();
    if (lastProgressTick != 0 && now < lastProgressTick + kProgressIntervalMs) return true;
    lastProgressTick = now;
    if (total == UINT64_MAX) total = received < 300000000u ? 300000000u : received + 1024u;
    if (total == 0) total = 1;
    uiPoster.post([this, received, total] {
        progressPercent = int32_t(double(received) / double(total) * 100.0);
        if (onNetProgress) onNetProgress(progressPercent, int(received), int(total));
    });
    return true;
}
