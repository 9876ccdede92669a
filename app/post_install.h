#pragma once
// What happens once the emulator is installed: start it with a game's parameters, run the game-package
// step, start it on the file name's package, or nothing yet (the finish page offers the start).
#include <string>
#include <vector>

#include "app/app_package_info.h"

struct PostInstallAction {
    enum class Kind {
        RunPlayer,             // start the emulator with `parameters`, then quit
        GamePackages,          // download and install the packages, then start the last one
        RunPlayerWithPackage,  // start the emulator on the file name's package, then quit
        Finish,                // nothing to hand over: the finish page
    };
    Kind kind = Kind::Finish;
    std::wstring parameters;
};

// Looks at the first package record only, as the main window does.
PostInstallAction decidePostInstall(const std::vector<AppPackageInfo>& apps, const std::wstring& packageName);
