#pragma once
// The whole installation without a window ("silent=1" on the command line): configuration, download,
// installation, game packages and the start of the emulator, with progress lines on standard error.
// UI thread; the long steps run on the model's threads and jobs as in the windowed installer.
#include <memory>
#include <string>

#include "utility/worker_thread.h"

class DownloaderModel;

class SilentInstaller {
public:
    // Process exit codes of a silent run.
    enum ExitCode : int {
        kSucceeded = 0,           // the emulator was installed and started
        kAnotherInstance = 10,    // another installer runs already
        kDownloadFailed = 11,     // the emulator installer could not be downloaded
        kInstallerNotStarted = 12,  // the downloaded installer could not be started
        kPlayerNotStarted = 13,   // installed, but the emulator is missing or could not be started
        kInterrupted = 14,        // ended by a signal before the run was over
    };

    explicit SilentInstaller(DownloaderModel& model);
    ~SilentInstaller();
    SilentInstaller(const SilentInstaller&) = delete;
    SilentInstaller& operator=(const SilentInstaller&) = delete;

    // Starts the run; the UI loop is asked to quit when it ends.
    void start();
    int exitCode() const { return exitCode_; }

    // One progress line on standard error.
    static void report(const std::wstring& line);

private:
    void onInstalled(bool started);
    void startPlayer(const std::wstring& parameters, bool withPackage);
    void finish(int code);

    DownloaderModel& model_;
    utility::WorkerThread packagesThread_;
    int exitCode_ = kInterrupted;
    int lastPercent_ = -1;
};
