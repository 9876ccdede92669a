#include "app/download_impl.h"

#include "app/downloader_model.h"
#include "common/log.h"
#include "utility/ufile.h"

bool DownloadImpl::entrance(const std::wstring& commandLine) {
    DownloaderModel* model = DownloaderModel::instance();
    if (model->popupExistPwnd()) {
        NLOG(L"It's exist");
        return false;
    }
    NLOG(L"path %s", utility::ufile::getModuleDir());
    model->init(commandLine.c_str());
    showMainFrame();
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

void DownloadImpl::exitCleanup() {
    DownloaderModel::instance()->stop();
    DownloaderModel::destroyInstance();
}
