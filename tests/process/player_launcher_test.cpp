#include <gtest/gtest.h>

#include "app/player_launcher.h"
#include "common/log.h"

namespace {

std::vector<std::wstring> g_logged;
void captureSink(const char*, int, const wchar_t* text) { g_logged.emplace_back(text); }

// Records what the launch asked of the system; the token start answers `tokenResult`.
struct FakeSystem {
    bool root = false;
    int tokenResult = 0;
    std::vector<std::pair<std::string, std::vector<std::string>>> tokenStarts;
    struct Shell {
        std::wstring file, parameters;
        bool runAs, show;
    };
    std::vector<Shell> shells;

    PlayerLaunchHooks hooks() {
        PlayerLaunchHooks h;
        h.isRoot = [this] { return root; };
        h.startAsDesktopUser = [this](const std::string& exe, const std::vector<std::string>& args) {
            tokenStarts.emplace_back(exe, args);
            return tokenResult;
        };
        h.shell = [this](const std::wstring& file, const std::wstring& parameters, bool runAs, bool show) {
            shells.push_back({file, parameters, runAs, show});
            return true;
        };
        return h;
    }
};

class PlayerLauncher : public ::testing::Test {
protected:
    void SetUp() override {
        g_logged.clear();
        common::setLogSink(&captureSink);
    }
    void TearDown() override { common::setLogSink(nullptr); }
    FakeSystem sys;
};

TEST_F(PlayerLauncher, NotRootStartsPlainlyHiddenAndNeverWithTheToken) {
    runPlayer(L"/home/ann/Nimbaro/Nimbaro9/", L"show=true", sys.hooks());
    EXPECT_TRUE(sys.tokenStarts.empty());
    ASSERT_EQ(sys.shells.size(), 1u);
    EXPECT_EQ(sys.shells[0].file, L"/home/ann/Nimbaro/Nimbaro9/qxplayer");
    EXPECT_EQ(sys.shells[0].parameters, L"show=true");
    EXPECT_TRUE(sys.shells[0].runAs);
    EXPECT_FALSE(sys.shells[0].show);
    EXPECT_TRUE(g_logged.empty()) << "the plain branch writes no launch line of its own";
}

TEST_F(PlayerLauncher, RootUsesTheTokenStartWithSplitArguments) {
    sys.root = true;
    runPlayerWithPackage(L"/home/ann/Nimbaro/Nimbaro9/", L"com.example.game", sys.hooks());
    ASSERT_EQ(sys.tokenStarts.size(), 1u);
    EXPECT_EQ(sys.tokenStarts[0].first, "/home/ann/Nimbaro/Nimbaro9/qxplayer");
    EXPECT_EQ(sys.tokenStarts[0].second,
              std::vector<std::string>{"downloadpackage=com.example.game|package=com.example.game"});
    EXPECT_TRUE(sys.shells.empty());
    EXPECT_EQ(g_logged, std::vector<std::wstring>{L"runPlayer no amdin"});
}

TEST_F(PlayerLauncher, RootFallsBackToThePlainStartWhenTheTokenStartFails) {
    sys.root = true;
    sys.tokenResult = 3;  // ESRCH: no desktop user found
    runPlayer(L"/opt/N9", L"", sys.hooks());
    ASSERT_EQ(sys.tokenStarts.size(), 1u);
    EXPECT_TRUE(sys.tokenStarts[0].second.empty()) << "no parameter text, no argument";
    ASSERT_EQ(sys.shells.size(), 1u);
    EXPECT_EQ(sys.shells[0].file, L"/opt/N9/qxplayer");
    EXPECT_EQ(g_logged, (std::vector<std::wstring>{L"runPlayer no amdin", L"runPlayer no amdin error 3"}));

    int err = 0;
    EXPECT_EQ(runWithExplorerToken(L"/opt/N9/qxplayer", L"", &err, sys.hooks()), -1);
    EXPECT_EQ(err, 3);
    sys.tokenResult = 0;
    EXPECT_EQ(runWithExplorerToken(L"/opt/N9/qxplayer", L"", &err, sys.hooks()), 0);
    EXPECT_EQ(err, 0);
}

}  // namespace
