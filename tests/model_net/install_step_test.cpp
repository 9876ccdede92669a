#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model_fixture.h"
#include "app/config_imp.h"
#include "utility/ini_file.h"
#include "utility/text_codec.h"
#include "utility/user_registry.h"

using namespace model_test;
using testing_support::readFile;
using testing_support::runUiUntil;
using testing_support::ScopedEnv;

namespace {

class InstallStep : public ModelWithServer {
protected:
    void SetUp() override {
        ModelWithServer::SetUp();
        ConfigImp::instance()->setPlayer9();
        installDir = home.home() + "/Nimbaro/Nimbaro9/";
        std::filesystem::create_directories(installDir);
        model->installPath = utility::utf8ToWide(installDir);
        model->openId = L"555";
        model->onInstallFinished = [this](bool s) { started = s ? 1 : 0; };
    }
    void placeInstaller() {
        std::filesystem::copy_file(NIMBARO_FAKE_EMULATOR, installDir + "Nimbaro");
    }
    bool runStep() {
        model->_threadInsPlayer();
        return runUiUntil([this] { return started >= 0; });
    }
    std::string installerArgs() const { return readFile(installDir + "installer.args.jsonl"); }
    std::string dataIni() const { return readFile(installDir + "data/data.ini"); }

    std::string installDir;
    int started = -1;
};

TEST(InstallerCommandLine, LanguageAndGoogleIdOnlyWhenGiven) {
    DownloaderModel m;
    m.openId = L"12345";
    m.installPath = L"/home/u/Nimbaro/Nimbaro9/";
    EXPECT_EQ(m.installerParameters(), L"-silence -downloader -openid=12345 -path=\"/home/u/Nimbaro/Nimbaro9/\"");
    m.languageCode = L"en";
    m.googleId = L"g1_g2";
    EXPECT_EQ(m.installerParameters(),
              L"-silence -downloader -openid=12345 -language=en -path=\"/home/u/Nimbaro/Nimbaro9/\" -googleid=g1_g2");
}

TEST_F(InstallStep, MissingInstallerReportsBothEvents) {
    ASSERT_TRUE(runStep());
    EXPECT_EQ(started, 0);
    ASSERT_TRUE(waitForEvents("download_installComplete", 1));
    auto all = events();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], std::make_pair(std::string("download_installPlayerNotExit"), std::string("555_1")));
    EXPECT_EQ(all[1], std::make_pair(std::string("download_installComplete"), std::string("555_errCreateProcess_2")));
}

TEST_F(InstallStep, NormalEndIsLabelledWithTheOpenIdAlone) {
    placeInstaller();
    model->languageCode = L"en";
    ASSERT_TRUE(runStep());
    EXPECT_EQ(started, 1);
    EXPECT_EQ(installerArgs(), "[\"-silence\", \"-downloader\", \"-openid=555\", \"-language=en\", \"-path=" + installDir + "\"]\n");
    ASSERT_TRUE(waitForEvents("download_installComplete", 1));
    EXPECT_EQ(events().back().second, "555");
    EXPECT_TRUE(std::filesystem::exists(installDir + "qxplayer"));
    EXPECT_EQ(utility::registry::readString(L"Software\\Orsolan\\Nimbaro9", L"InstallDir"), utility::utf8ToWide(installDir));
}

TEST_F(InstallStep, InstallerOutlivingItsWaitIsATimeOut) {
    placeInstaller();
    ScopedEnv delay("NIMBARO_FAKE_INSTALL_DELAY_MS", "3000");
    model->installWaitMs = 300;
    ASSERT_TRUE(runStep());
    EXPECT_EQ(started, 1) << "a running installer counts as started";
    ASSERT_TRUE(waitForEvents("download_installComplete", 1));
    EXPECT_EQ(events().back().second, "555_errWaitTimeout");
}

TEST_F(InstallStep, SettingsFollowTheCampaign) {
    struct Case {
        bool adShow;
        bool cleanModel;
        int useRoot;
        bool runAppStore;
        std::vector<std::pair<std::wstring, std::wstring>> keys;  // expected in [setting]
        bool autostartRemoved;
    } cases[] = {
        {true, false, -1, true, {}, false},
        {false, false, -1, true, {{L"adshow", L"0"}}, true},
        {true, true, -1, true, {{L"cleanmodel", L"1"}}, true},
        {true, false, 0, true, {{L"useroot", L"0"}}, false},
        {true, false, 1, true, {}, false},
        {true, false, -1, false, {{L"runappstore", L"0"}}, false},
    };
    std::string autostart = home.home() + "/.config/autostart/VxNews.desktop";
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        std::filesystem::remove_all(installDir + "data");
        std::filesystem::create_directories(home.home() + "/.config/autostart");
        testing_support::writeFile(autostart, "[Desktop Entry]\n");
        model->adShow = c.adShow;
        model->cleanModel = c.cleanModel;
        model->useRoot = c.useRoot;
        model->runAppStore = c.runAppStore;
        model->writeEmulatorSettings(utility::utf8ToWide(installDir + "data/data.ini"));
        utility::IniFile ini;
        ini.load(utility::utf8ToWide(installDir + "data/data.ini"));
        auto keys = ini.keys(L"setting");
        EXPECT_EQ(keys.size(), c.keys.size());
        for (const auto& [k, v] : c.keys) EXPECT_EQ(ini.value(L"setting", k), v);
        EXPECT_EQ(!std::filesystem::exists(autostart), c.autostartRemoved);
    }
}

TEST_F(InstallStep, ExtrasTitleIconAndShortcut) {
    placeInstaller();
    server.addFile("icon.ico", "ICON");
    server.addFile("h.jpg", "JPEG-H");
    model->title = L"Nimbaro \x4E2D";
    model->heapSize = L"2048";
    model->runApp = L"com.example.game";
    model->shortcutName = L"My Game";
    model->shortcutUrl = utility::utf8ToWide(server.url("/icon.ico"));
    model->launchImageH = utility::utf8ToWide(server.url("/h.jpg"));
    model->launchImageV = utility::utf8ToWide(server.url("/missing.jpg"));
    ASSERT_TRUE(runStep());
    EXPECT_EQ(readFile(installDir + "data/My Game.ico"), "ICON");
    EXPECT_EQ(readFile(installDir + "data/launch_1920.jpg"), "JPEG-H");
    EXPECT_FALSE(std::filesystem::exists(installDir + "data/launch_1080.jpg"));
    EXPECT_EQ(requestsTo("/missing.jpg"), 3u) << "three attempts";
    utility::IniFile ini;
    ini.load(utility::utf8ToWide(installDir + "data/data.ini"));
    EXPECT_EQ(ini.value(L"setting", L"title"), L"Nimbaro \x4E2D");
    EXPECT_EQ(ini.value(L"setting", L"heapsize"), L"2048");
    EXPECT_EQ(ini.value(L"setting", L"runapp"), L"com.example.game");
    std::string entry = readFile(home.home() + "/Desktop/My Game.desktop");
    EXPECT_NE(entry.find("package=com.example.game"), std::string::npos) << entry;
}

TEST_F(InstallStep, UnsafeShortcutNameWritesNoFileOutsideTheDataFolder) {
    placeInstaller();
    server.addFile("icon.ico", "ICON");
    model->shortcutName = L"../../escape";
    model->shortcutUrl = utility::utf8ToWide(server.url("/icon.ico"));
    ASSERT_TRUE(runStep());
    EXPECT_EQ(requestsTo("/icon.ico"), 0u);
    EXPECT_FALSE(std::filesystem::exists(installDir + "escape.ico"));
    EXPECT_FALSE(std::filesystem::exists(home.home() + "/Nimbaro/escape.ico"));
}

}  // namespace
