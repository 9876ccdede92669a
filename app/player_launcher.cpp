#include "app/player_launcher.h"

#include <cerrno>

#include "common/log.h"
#include "platform/desktop_user.h"
#include "platform/process.h"
#include "platform/system.h"
#include "utility/process.h"
#include "utility/text_codec.h"

PlayerLaunchHooks systemPlayerLaunchHooks() {
    PlayerLaunchHooks hooks;
    hooks.isRoot = [] { return platform::isRoot(); };
    hooks.startAsDesktopUser = [](const std::string& executable, const std::vector<std::string>& args) {
        int err = 0;
        std::optional<platform::DesktopUser> user = platform::findDesktopUser(&err);
        if (!user) return err ? err : ESRCH;
        return platform::startAsUser(*user, {executable, args, {}, {}});
    };
    hooks.shell = [](const std::wstring& file, const std::wstring& parameters, bool runAs, bool show) {
        return utility::process::shell(file, parameters, runAs, show);
    };
    return hooks;
}

std::wstring playerExecutable(const std::wstring& installPath) {
    if (!installPath.empty() && installPath.back() == L'/') return installPath + L"qxplayer";
    return installPath + L"/qxplayer";
}

std::wstring packageParameters(const std::wstring& packageName) {
    if (packageName.empty()) return {};
    return L"downloadpackage=" + packageName + L"|package=" + packageName;
}

std::wstring tokenCommandLine(const std::wstring& executable, const std::wstring& parameters) {
    return L"\"" + executable + L"\" " + parameters;
}

std::vector<std::string> playerArguments(const std::wstring& parameters) {
    return platform::splitCommandLine(utility::wideToUtf8(parameters));
}

int runWithExplorerToken(const std::wstring& executable, const std::wstring& parameters, int* lastError,
                         const PlayerLaunchHooks& hooks) {
    int err = hooks.startAsDesktopUser
                  ? hooks.startAsDesktopUser(utility::wideToUtf8(executable), playerArguments(parameters))
                  : ENOSYS;
    if (lastError) *lastError = err;
    return err == 0 ? 0 : -1;
}

bool runPlayer(const std::wstring& installPath, const std::wstring& parameters, const PlayerLaunchHooks& hooks) {
    std::wstring executable = playerExecutable(installPath);
    if (!hooks.isRoot || !hooks.isRoot()) return hooks.shell && hooks.shell(executable, parameters, true, false);
    NLOG(L"runPlayer no amdin");
    int err = 0;
    if (runWithExplorerToken(executable, parameters, &err, hooks) != -1) return true;
    NLOG(L"runPlayer no amdin error %d", err);
    return hooks.shell && hooks.shell(executable, parameters, true, false);
}

bool runPlayerWithPackage(const std::wstring& installPath, const std::wstring& packageName,
                          const PlayerLaunchHooks& hooks) {
    return runPlayer(installPath, packageParameters(packageName), hooks);
}
