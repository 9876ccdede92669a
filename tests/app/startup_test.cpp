#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <thread>

#include "support/child_process.h"
#include "support/test_env.h"

using namespace testing_support;

namespace {

// Waits until `path` contains `needle` (the log is written in batches).
bool waitForText(const std::string& path, const std::string& needle, int timeoutMs = 10000) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (readFile(path).find(needle) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(Startup, LogsTheStartRecordAndEndsCleanlyOnSigterm) {
    TempDir home;
    writeFile(home.file("offline.ini"), "[hosts]\nresource = https://127.0.0.1:9\ncdn = https://127.0.0.1:9\n"
                                        "analytics = https://127.0.0.1:9\n");
    ChildProcess child({NIMBARO_INSTALLER}, {{"HOME", home.path()},
                                             {"NIMBARO_DEPLOYMENT", home.file("offline.ini")},
                                             {"XDG_STATE_HOME", std::nullopt},
                                             {"XDG_CONFIG_HOME", std::nullopt},
                                             {"XDG_RUNTIME_DIR", std::nullopt},
                                             // the instance lock falls back to the temp folder: keep it private
                                             {"TMPDIR", home.path()}});
    ASSERT_TRUE(child.started());
    std::string log = home.path() + "/.local/state/downloader/downloader.log";
    ASSERT_TRUE(waitForText(log, "create main")) << readFile(log);

    auto before = std::chrono::steady_clock::now();
    child.signal(SIGTERM);
    auto code = child.wait(5000);
    ASSERT_TRUE(code.has_value()) << "the program did not end on SIGTERM";
    EXPECT_EQ(*code, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));

    std::string content = readFile(log);
    std::regex header(R"(^\d\d-\d\d\t\d\d:\d\d:\d\d\.\d{3}\t\d{4,}\tmain\t\(\d+\):\r\n\r\n start run\r\n)");
    EXPECT_TRUE(std::regex_search(content, header)) << content;
}

TEST(Startup, RecordsOfTheLastMomentsAreFlushedAtExit) {
    IsolatedHome home;
    ChildProcess child({NIMBARO_INSTALLER}, {{"XDG_STATE_HOME", home.home() + "/state"}});
    std::string log = home.home() + "/state/downloader/downloader.log";
    ASSERT_TRUE(waitForText(log, " start run"));
    child.signal(SIGTERM);
    ASSERT_EQ(child.wait(5000), std::optional<int>(0));
    // The last record is written after the loop ended, well inside the writer's batch interval.
    std::string content = readFile(log);
    ASSERT_GE(content.size(), 9u);
    EXPECT_EQ(content.substr(content.size() - 9), "end run\r\n") << content;
}

}  // namespace

namespace {

TEST(Startup, SecondStartAsksTheFirstToShowItselfAndExits) {
    IsolatedHome home;
    std::string log = home.home() + "/.local/state/downloader/downloader.log";
    ChildProcess first({NIMBARO_INSTALLER});
    ASSERT_TRUE(waitForText(log, "create main"));

    auto before = std::chrono::steady_clock::now();
    ChildProcess second({NIMBARO_INSTALLER});
    EXPECT_EQ(second.wait(10000), std::optional<int>(0));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));

    EXPECT_TRUE(waitForText(log, "onHandleWindowIPC, msg = 11123")) << readFile(log);
    EXPECT_NE(readFile(log).find("It's exist"), std::string::npos);
    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(5000), std::optional<int>(0));
}

}  // namespace
