#include "app/post_install.h"

PostInstallAction decidePostInstall(const std::vector<AppPackageInfo>& apps, const std::wstring& packageName) {
    PostInstallAction action;
    if (apps.empty()) {
        action.kind = packageName.empty() ? PostInstallAction::Kind::Finish : PostInstallAction::Kind::RunPlayerWithPackage;
        return action;
    }
    const AppPackageInfo& r = apps.front();
    const std::wstring head = L"apk=" + r.localFile + L"|show=true|package=" + r.packageName;
    if (r.fromAppStore) {
        std::wstring q = r.downloadUrl + L";S.package=" + r.packageName + L";S.appname=" + r.gameName +
                         L";S.appicon=" + r.sltUrl + L";S.appsize=96";
        action.kind = PostInstallAction::Kind::RunPlayer;
        action.parameters = head + L"|downloadapkurl=" + q;
    } else if (!r.gameId.empty()) {
        action.kind = PostInstallAction::Kind::RunPlayer;
        action.parameters = head + L"|downloadgameid=" + r.gameId;
    } else if (r.packageName.empty() || !r.downloadUrl.empty()) {
        action.kind = PostInstallAction::Kind::GamePackages;
    } else {
        action.kind = PostInstallAction::Kind::RunPlayer;
        action.parameters = head + L"|downloadpackage=" + r.packageName;
    }
    return action;
}
