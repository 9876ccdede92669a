// The emulator start on the real system: whatever branch this machine takes (plain start as a user; as
// root without a desktop session the token start fails and falls back), the emulator must run with its
// parameters.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/player_launcher.h"
#include "support/test_env.h"

namespace {

using testing_support::readFile;

TEST(PlayerLaunchOnThisSystem, TheEmulatorRunsWithItsParameters) {
    testing_support::TempDir dir;
    testing_support::ScopedEnv sudo("SUDO_UID", std::nullopt);
    testing_support::ScopedEnv pkexec("PKEXEC_UID", std::nullopt);
    // Readable for whichever user the start picks.
    ::chmod(dir.path().c_str(), 0777);
    std::string out = dir.file("qxplayer.out");
    testing_support::writeFile(dir.file("qxplayer"), "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > " + out + ".tmp\nmv " +
                                                         out + ".tmp " + out + "\n");
    ::chmod(dir.file("qxplayer").c_str(), 0755);

    runPlayerWithPackage(std::wstring(dir.path().begin(), dir.path().end()) + L"/", L"com.example.game");

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (readFile(out).empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readFile(out), "1\ndownloadpackage=com.example.game|package=com.example.game\n");
}

}  // namespace
