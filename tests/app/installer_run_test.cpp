// The installer as a user runs it: a copy of the binary under a tagged name, against the local server.
#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <csignal>
#include <filesystem>
#include <thread>

#include "support/child_process.h"
#include "support/test_env.h"
#include "support/test_server.h"
#include "utility/ini_file.h"
#include "utility/text_codec.h"

using namespace testing_support;

namespace {

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

// (name, label, query) of every analytics event the server received.
struct Event {
    std::string name, label, query;
};
std::vector<Event> eventsOf(const TestServer& server) {
    std::vector<Event> out;
    for (const auto& r : server.requests()) {
        if (r.path != "/mp/collect") continue;
        rapidjson::Document doc;
        doc.Parse(r.body.c_str());
        if (!doc.IsObject() || !doc.HasMember("events")) continue;
        const auto& e = doc["events"][0];
        out.push_back({e["name"].GetString(), e["params"]["event_label"].GetString(), r.query});
    }
    return out;
}

size_t countEvents(const TestServer& server, const std::string& name) {
    size_t n = 0;
    for (const auto& e : eventsOf(server)) n += e.name == name;
    return n;
}

// A home folder on the build tree's disk: install roots leave out RAM file systems, and /tmp may be one.
class BuildTreeHome {
public:
    BuildTreeHome() {
        std::filesystem::create_directories(std::string(NIMBARO_BINARY_DIR) + "/test-homes");
        std::string tmpl = std::string(NIMBARO_BINARY_DIR) + "/test-homes/home-XXXXXX";
        path_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
        for (auto sub : {"/.config", "/.local/state", "/run"}) std::filesystem::create_directories(path_ + sub);
        std::filesystem::permissions(path_ + "/run", std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    }
    ~BuildTreeHome() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::map<std::string, std::optional<std::string>> env(const std::string& deployment) const {
        return {{"HOME", path_},
                {"XDG_CONFIG_HOME", path_ + "/.config"},
                {"XDG_STATE_HOME", path_ + "/.local/state"},
                {"XDG_DATA_HOME", std::nullopt},
                {"XDG_RUNTIME_DIR", path_ + "/run"},
                {"NIMBARO_DEPLOYMENT", deployment},
                {"GIO_USE_PROXY_RESOLVER", "dummy"},
                {"no_proxy", "127.0.0.1,localhost"},
                {"http_proxy", std::nullopt},
                {"https_proxy", std::nullopt}};
    }
    std::string log() const { return readFile(path_ + "/.local/state/downloader/downloader.log"); }

private:
    std::string path_;
};

std::string copyInstaller(const std::string& folder, const std::string& name) {
    std::string path = folder + "/" + name;
    std::filesystem::copy_file(NIMBARO_INSTALLER, path, std::filesystem::copy_options::overwrite_existing);
    return path;
}

TEST(InstallerRun, TaggedNameIsReadAndStartIsReportedOnceAndSecondStartDefers) {
    TestServer server;
    ASSERT_TRUE(server.ok());
    BuildTreeHome home;
    auto env = home.env(server.writeDeploymentFile());
    env["LANG"] = "ko_KR.UTF-8";
    env["LANGUAGE"] = std::nullopt;
    env["LC_ALL"] = std::nullopt;
    env["LC_MESSAGES"] = std::nullopt;
    std::string exe = copyInstaller(home.path(), "nimbaro64_ens_com.example.game_5678_g1_g2_x");

    ChildProcess first({exe}, env);
    ASSERT_TRUE(waitUntil([&] { return home.log().find("create main") != std::string::npos; })) << home.log();
    EXPECT_NE(home.log().find("type: nimbaro64, package:com.example.game, openID:5678 google id g1_g2"), std::string::npos);
    ASSERT_TRUE(waitUntil([&] { return countEvents(server, "download_run") == 1; }));
    for (const auto& e : eventsOf(server)) {
        if (e.name != "download_run") continue;
        EXPECT_EQ(e.label, "5678");
        EXPECT_EQ(e.query.rfind("measurement_id=G-", 0), 0u) << e.query;
        EXPECT_NE(e.query.find("&api_secret="), std::string::npos) << e.query;
    }

    auto before = std::chrono::steady_clock::now();
    ChildProcess second({exe}, env);
    EXPECT_EQ(second.wait(10000), std::optional<int>(0));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_TRUE(waitUntil([&] { return home.log().find("onHandleWindowIPC, msg = 11123") != std::string::npos; }));

    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(10000), std::optional<int>(0));
    EXPECT_EQ(countEvents(server, "download_run"), 1u) << "the second start reports nothing";
}

TEST(InstallerRun, SilentRunInstallsTheEmulatorWithItsGameAndStartsIt) {
    TestServer server;
    ASSERT_TRUE(server.ok());
    BuildTreeHome home;
    std::string emulator = readFile(NIMBARO_FAKE_EMULATOR);
    server.addFile("emulator-setup", emulator);
    server.addFile("game.apk", "APK BYTES");
    server.addFile("game.ico", "GAME ICON");
    server.addFile("shortcut.ico", "SHORTCUT ICON");
    server.setRoute("/player_files/en/tavrel",
                    R"({"json": {"kvr9": {"ver": "9.0.1", "url": ")" + server.url("/emulator-setup") + R"("}}})");
    server.setRoute("/player_files/openidconfig/12345.data", R"({"json": {
        "title": "Nimbaro Campaign",
        "shortcutname": "Nimbaro Games", "shortcuturl": ")" + server.url("/shortcut.ico") + R"(",
        "result": [{"app_download_url": ")" + server.url("/game.apk") + R"(", "app_package_name": "com.example.game",
                    "gamename": "Game", "app_icon": ")" + server.url("/game.ico") + R"("}]}})");

    std::string exe = copyInstaller(home.path(), "nimbaro9_en_12345_x");
    auto result = runProgram({exe, "silent=1"}, home.env(server.writeDeploymentFile()), 120000, home.path());
    ASSERT_TRUE(result.has_value()) << "the silent run did not end";
    EXPECT_EQ(*result, 0) << readFile(home.path() + "/stderr.txt") << home.log();

    std::string folder = home.path() + "/Nimbaro/Nimbaro9/";
    EXPECT_EQ(readFile(folder + "installer.args.jsonl"),
              "[\"-silence\", \"-downloader\", \"-openid=12345\", \"-language=en\", \"-path=" + folder + "\"]\n");
    utility::IniFile ini;
    ini.load(utility::utf8ToWide(folder + "data/data.ini"));
    EXPECT_EQ(ini.value(L"setting", L"title"), L"Nimbaro Campaign");
    EXPECT_TRUE(std::filesystem::exists(home.path() + "/Desktop/Nimbaro Games.desktop"));
    EXPECT_TRUE(std::filesystem::exists(home.path() + "/Desktop/Game.desktop"));
    EXPECT_EQ(readFile(folder + "Game.apk"), "APK BYTES");
    std::string console = readFile(folder + "qxconsole.args.jsonl");
    EXPECT_EQ(console, "[\"installapk\", \"--index\", \"0\", \"--filename\", \"" + folder + "Game.apk\", \"--wait\", \"--hide\"]\n");
    EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(folder + "qxplayer.args.jsonl"); }));
    EXPECT_EQ(readFile(folder + "qxplayer.args.jsonl"), "[\"package=com.example.game\"]\n");

    ASSERT_TRUE(waitUntil([&] { return countEvents(server, "download_installComplete") == 1; }));
    std::vector<std::pair<std::string, std::string>> seen;
    for (const auto& e : eventsOf(server)) seen.emplace_back(e.name, e.label);
    auto has = [&](const std::string& name, const std::string& label) {
        return std::find(seen.begin(), seen.end(), std::make_pair(name, label)) != seen.end();
    };
    EXPECT_TRUE(has("download_run", "12345"));
    EXPECT_TRUE(has("download_Success", "12345_0") || has("download_Success", "12345_30"));
    EXPECT_TRUE(has("download_installComplete", "12345"));
    EXPECT_NE(readFile(home.path() + "/stderr.txt").find("emulator started"), std::string::npos);
}

TEST(InstallerRun, SilentRunReportsAFailedDownloadByItsExitCode) {
    TestServer server;
    ASSERT_TRUE(server.ok());
    BuildTreeHome home;
    server.setRoute("/player_files/en/tavrel", R"({"json": {"kvr9": {"url": ")" + server.url("/gone") + R"("}}})");
    std::string exe = copyInstaller(home.path(), "nimbaro9_en_12345_x");
    auto result = runProgram({exe, "silent=1"}, home.env(server.writeDeploymentFile()), 120000, home.path());
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, 11);
    EXPECT_NE(readFile(home.path() + "/stderr.txt").find("download failed"), std::string::npos);
}

}  // namespace
