#include "app/download_impl.h"

#include "app/downloader_model.h"
#include "app/silent_installer.h"
#include "common/log.h"
#include "net/vx_curl_downloader.h"
#include "utility/process.h"
#include "platform/system.h"
#include "skinui/embedded_skin.h"
#include "skinui/paint_manager.h"
#include "skinui/resource_module.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

namespace {
constexpr unsigned kSkinArchiveId = 129;
}

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
    VxCurlDownloader::globalInit();
    model->init(commandLine.c_str());

    // The toolkit: this executable with its skin archive, the UI language, a "skin" folder beside the
    // executable when there is one, then the archive and its string table.
    static SkinUI::CResourceModule module(utility::utf8ToWide(platform::executablePath()));
    module.AddResource(L"ZIPRES", SkinUI::ResourceIdName(kSkinArchiveId), SkinUI::EmbeddedSkinArchive());
    SkinUI::CPaintManagerUI::SetInstance(&module);
    SkinUI::CPaintManagerUI::SetCurrentLanguage(model->getLocale(), L"en_US");
    SkinUI::CPaintManagerUI::SetResourcePath(SkinUI::CPaintManagerUI::GetInstancePath() + L"skin");
    SkinUI::CPaintManagerUI::LoadSkinArchive(kSkinArchiveId, L"multi_language.tsv");

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
    utility::process::killByName(L"vxcurl", 2000);
    VxCurlDownloader::globalCleanup();
}
