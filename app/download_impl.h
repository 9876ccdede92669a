#pragma once
// The application object: refuses a second instance, prepares the model and the toolkit, shows the main
// window and answers the messages of later starts. Lives on main's stack; UI thread only.
#include <cstdint>
#include <memory>
#include <string>

#include "utility/window_ipc.h"

class SilentInstaller;

class DownloadImpl : public utility::IWindowIPCHandle {
public:
    static constexpr const wchar_t* kInstanceName = L"{7D3A51C2-9E84-4F0B-A6D1-3C58B2E07F49}";
    static constexpr unsigned kIpcShowMainWindow = 11123;

    DownloadImpl();
    ~DownloadImpl();
    DownloadImpl(const DownloadImpl&) = delete;
    DownloadImpl& operator=(const DownloadImpl&) = delete;

    // False when another instance already runs (the caller then exits at once).
    bool entrance(const std::wstring& commandLine);
    // Creates the main window on first call; shows and raises it on every call.
    void showMainFrame();
    // Returns 0. Logs the message; 11123 shows the main window, everything else is ignored.
    int onHandleWindowIPC(unsigned message, uintptr_t wParam, intptr_t lParam) override;
    // Stops the model and cleans up after the message loop. Once.
    void exitCleanup();
    // The process's exit code: 0, or a silent run's outcome.
    int exitCode() const;

private:
    utility::WindowIPC ipc_;
    bool silent_ = false;
    std::unique_ptr<SilentInstaller> silentRun_;
};
