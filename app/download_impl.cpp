#include "app/download_impl.h"

#include "common/log.h"
#include "utility/ufile.h"



namespace {
constexpr unsigned kIpcShowMainWindow = 11123;
}

bool DownloadImpl::entrance(const std::wstring& commandLine) {
    (void)commandLine;
    NLOG(L"path %s", utility::ufile::getModuleDir());
    showMainFrame();
    return true;
}

void DownloadImpl::showMainFrame() { NLOG(L"create main"); }

int DownloadImpl::onHandleWindowIPC(unsigned message, uintptr_t, intptr_t) {
    NLOG(L"onHandleWindowIPC, msg = %d", message);
    if (message == kIpcShowMainWindow) showMainFrame();
    return 0;
}

void DownloadImpl::exitCleanup() {}


