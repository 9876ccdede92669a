#pragma once
// The installer's single model: what it has learnt (variant, market, language, open-id, install folder,
// installer address, game packages, emulator settings) and its long operations on worker threads. Results
// reach the main window through the callbacks, always on the UI thread.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_package_info.h"
#include "net/analytics_reporter.h"
#include "utility/strings.h"
#include "utility/http_downloader.h"
#include "utility/ui_dispatcher.h"
#include "utility/worker_thread.h"

class DownloaderModel : public utility::IHttpDownloadSink {
public:
    static DownloaderModel* instance();
    // Stops and destroys the process-wide model (exit path).
    static void destroyInstance();

    // True when another instance already runs (it has been asked to show its window).
    bool popupExistPwnd();
    // Reads the executable's file name and the command line, chooses variant, market and language.
    // UI thread, once. `commandLine` may be null.
    void init(const wchar_t* commandLine);
    // Same, with the executable's file name given (tests).
    void initWithFileName(const std::wstring& fileName, const wchar_t* commandLine);
    // Timers, threads, downloaders, analytics, queued notifications: everything stops. UI thread.
    void stop();

    std::wstring getOpenId() const { return openId; }
    std::wstring getInstallPath() const { return installPath; }
    std::wstring getLocale() const { return locale; }
    std::wstring getLanguageCode() const { return languageCode; }
    void setLocale(const std::wstring& newLocale);

    void sendEvent(const std::wstring& name, const std::wstring& label);
    void sendEventNow(const std::wstring& name, const std::wstring& label);

    // Remote configuration, on urlThread.
    void _threadGetPlayerUrl();
    void _getPackageByOpenID(std::vector<AppPackageInfo>& apps);
    // Read one document into the model; the variant document's result tells whether its root was an object.
    bool applyVariantDocument(const std::string& bytes);
    void applyOpenIdDocument(const std::string& bytes);

    // The installer's address: written by urlThread, read by the UI thread's retry timer; either empty or
    // complete, never half written.
    std::wstring getPlayerUrl() const;
    void setPlayerUrl(const std::wstring& url);

    // Installer download. startDownloadPlayer on the UI thread; the body on downloadThread.
    void startDownloadPlayer();
    void _threadDownloadPlayer();
    bool _downloadByNet(const std::wstring& target);
    bool onDownloadProgress(const char* bytes, unsigned count, uint64_t received, uint64_t total) override;
    // Installation, on an asynchronous job.
    void _threadInsPlayer();
    // True when the installer process was created, however the wait ended.
    bool runInstaller(const std::wstring& installer, const std::wstring& parameters);
    std::wstring installerParameters() const;
    void writeEmulatorSettings(const std::wstring& settingsFile);
    // The shortcut icon in the data folder, or "" when the shortcut name is not a safe file name.
    std::wstring shortcutIconFile() const;
    // How long the installer may run before it counts as "errWaitTimeout" (tests shorten it).
    uint32_t installWaitMs = 180000;

    // Starting the emulator without elevation; true when it was started.
    bool runPlayer(const std::wstring& parameters);
    bool runPlayerWithPackage();
    // Default install folder: the registry's record of an installation, else the best install root.
    void _calcInstallPath();

    // Whether init starts the configuration fetch (tests of the parsing alone turn it off).
    bool startConfigurationFetch = true;
    // Period of the timer that waits for the installer's address (tests shorten it).
    unsigned retryPeriodMs = 1000;
    // Runs of the retry timer so far.
    int retryTicks() const { return retryTicks_; }

    // Callbacks to the main window, run on the UI thread.
    std::function<void(int percent, int downloaded, int total)> onNetProgress;
    std::function<void(int percent)> onCurlProgress;
    std::function<void()> onDownloadFailed;
    std::function<void()> onDownloadSucceeded;
    std::function<void(bool started)> onInstallFinished;

    std::wstring packageName;
    utility::WorkerThread urlThread;
    utility::CHttpDownloader configDownloader;
    utility::WorkerThread spareThread;
    utility::WorkerThread downloadThread;
    utility::CHttpDownloader installerDownloader;
    utility::UiPoster uiPoster;
    int instanceMutex = -1;
    std::wstring installPath;
    std::wstring openId = L"100";
    std::wstring playerVersion;
    std::string playerMd5;
    std::wstring languageCode;
    std::wstring locale;
    std::wstring googleId;
    utility::UiTimer retryTimer;
    utility::UiTimer spareTimer;
    uint32_t lastProgressTick = 0;
    int32_t progressPercent = 0;
    std::map<std::wstring, std::wstring> strings;
    std::vector<AppPackageInfo> apps;
    std::unique_ptr<net::AnalyticsReporter> reporter;
    std::wstring launchImageH;
    std::wstring launchImageV;
    std::wstring title;
    bool adShow = true;
    std::wstring runApp;
    bool runAppStore = true;
    std::wstring qqLink;
    std::wstring shortcutName;
    std::wstring shortcutUrl;
    bool cleanModel = false;
    std::wstring heapSize;
    int32_t useRoot = -1;

    DownloaderModel();
    ~DownloaderModel();
    DownloaderModel(const DownloaderModel&) = delete;
    DownloaderModel& operator=(const DownloaderModel&) = delete;

private:
    void parseFileName(const std::wstring& fileName);
    void parseCommandLine(const wchar_t* commandLine);
    void onRetryTick();
    // The MD5 announced by the variant document must match; then the file is made executable.
    bool verifyInstaller(const std::wstring& target);

    mutable std::mutex playerUrlLock_;
    std::wstring playerUrl_;
    int retryTicks_ = 0;
};

// "key=value" pairs of the command line, "|"-separated, keys trimmed and lower-cased.
utility::StringMap parseCommandLineKeys(const wchar_t* commandLine);
// "silent=1": the whole installation without a window.
bool isSilentCommandLine(const wchar_t* commandLine);

// The executable's name without a file-type suffix (".exe" style); a name whose last dot belongs to a
// package name ("..._com.example.game_5678_x") is kept whole.
std::wstring installerNameOf(const std::wstring& path);
