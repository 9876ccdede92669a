#include "app/download_impl.h"

#include "app/downloader_model.h"
#include "app/silent_installer.h"
#include "common/log.h"
#include "utility/ufile.h"

DownloadImpl::DownloadImpl() = default;
DownloadImpl::~DownloadImpl() = default;

bool DownloadImpl::entrance(const std::wstring& commandLine) {
    silent_ = isSilentCommandLine(commandLine.c_str());
    DownloaderModel* model = DownloaderModel::instance();
    if (model->popupExistPwnd()) {
        NLOG(L"It's exist");
        if (silent_) SilentInstaller::report(L"another installer is running");
        return false;
    }
    NLOG(L"path %s", utility::ufile::getModuleDir());
    model->init(commandLine.c_str());
    if (silent_) {
        silentRun_ = std::make_unique<SilentInstaller>(*model);
        silentRun_->start();
    } else {
        showMainFrame();
    }
    ipc_.create(kInstanceName, this);
    model->sendEvent(L"download_run", model->getOpenId());
    return true;
}

void DownloadImpl::showMainFrame() { NLOG(L"create main"); }

int DownloadImpl::onHandleWindowIPC(unsigned message, uintptr_t, intptr_t) {
    NLOG(L"onHandleWindowIPC, msg = %d", message);
    if (message == kIpcShowMainWindow) showMainFrame();
    return 0;
}

int DownloadImpl::exitCode() const {
    if (!silent_) return 0;
    return silentRun_ ? silentRun_->exitCode() : SilentInstaller::kAnotherInstance;
}

void DownloadImpl::exitCleanup() {
    DownloaderModel::instance()->stop();
    DownloaderModel::destroyInstance();
}
