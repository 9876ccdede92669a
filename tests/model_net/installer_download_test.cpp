#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/main_loop.h"

#include "model_fixture.h"
#include "utility/md5.h"
#include "utility/text_codec.h"

using namespace model_test;
using testing_support::patternBytes;
using testing_support::readFile;
using testing_support::runUiUntil;

namespace {

class InstallerDownload : public ModelWithServer {
protected:
    void SetUp() override {
        ModelWithServer::SetUp();
        installDir = home.home() + "/Nimbaro/Nimbaro9/";
        model->installPath = utility::utf8ToWide(installDir);
        model->openId = L"12345";
        model->onDownloadSucceeded = [this] { ++succeeded; };
        model->onDownloadFailed = [this] { ++failed; };
        model->onNetProgress = [this](int percent, int, int) { lastPercent = percent; };
    }
    bool waitForResult() {
        return runUiUntil([this] { return succeeded + failed > 0; }, 60000);
    }
    std::string target() const { return installDir + "Nimbaro"; }

    std::string installDir;
    int succeeded = 0;
    int failed = 0;
    int lastPercent = -1;
};

TEST_F(InstallerDownload, QuickDownloadSucceedsWithLabelZero) {
    std::string bytes = patternBytes(2 * 1024 * 1024);
    server.addFile("setup.bin", bytes);
    model->setPlayerUrl(utility::utf8ToWide(server.url("/setup.bin")));
    model->playerMd5 = utility::md5Hex(bytes);
    for (auto& c : model->playerMd5) c = char(toupper(c));  // letter case does not matter
    model->startDownloadPlayer();
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(succeeded, 1);
    EXPECT_EQ(readFile(target()), bytes) << "the install folder is created and the file moved into place";
    EXPECT_FALSE(std::filesystem::exists(target() + ".tmp"));
    auto perms = std::filesystem::status(target()).permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
    ASSERT_TRUE(waitForEvents("download_Success", 1));
    EXPECT_EQ(events().back(), std::make_pair(std::string("download_Success"), std::string("12345_0")));
}

TEST_F(InstallerDownload, DownloadOfOneToThirtySecondsIsLabelledThirty) {
    std::string bytes = patternBytes(600 * 1024);
    server.addFile("slow.bin", bytes);
    server.setRoute("/slow.bin", R"({"rate": 300000})");  // about two seconds
    model->setPlayerUrl(utility::utf8ToWide(server.url("/slow.bin")));
    model->startDownloadPlayer();
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(succeeded, 1);
    ASSERT_TRUE(waitForEvents("download_Success", 1));
    EXPECT_EQ(events().back().second, "12345_30");
    EXPECT_GE(lastPercent, 0) << "progress reached the window";
}

TEST_F(InstallerDownload, MissingInstallerFailsBothTransports) {
    model->setPlayerUrl(utility::utf8ToWide(server.url("/missing.bin")));
    model->startDownloadPlayer();
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(requestsTo("/missing.bin"), 3u) << "two attempts of the first client, then libcurl";
    ASSERT_TRUE(waitForEvents("download_Error", 1));
    EXPECT_EQ(events().back().second, "12345_0");
    EXPECT_FALSE(std::filesystem::exists(target()));
}

TEST_F(InstallerDownload, RetryAfterAFailedFirstAttemptReallyDownloads) {
    // Smaller than the libcurl fallback accepts: only the first client's retry can bring it.
    std::string bytes = patternBytes(64 * 1024);
    server.addFile("flaky.bin", bytes);
    server.setRoute("/flaky.bin", R"({"fail_first": 1})");
    model->setPlayerUrl(utility::utf8ToWide(server.url("/flaky.bin")));
    model->startDownloadPlayer();
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(succeeded, 1);
    EXPECT_EQ(requestsTo("/flaky.bin"), 2u);
    EXPECT_EQ(readFile(target()), bytes);
}

TEST_F(InstallerDownload, Md5MismatchFailsAndRemovesTheFile) {
    std::string bytes = patternBytes(2 * 1024 * 1024);
    server.addFile("setup.bin", bytes);
    model->setPlayerUrl(utility::utf8ToWide(server.url("/setup.bin")));
    model->playerMd5 = "0123456789abcdef0123456789abcdef";
    model->startDownloadPlayer();
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(failed, 1);
    EXPECT_FALSE(std::filesystem::exists(target())) << "a file that failed its check must not stay to be run";
    ASSERT_TRUE(waitForEvents("download_Error", 1));
}

TEST_F(InstallerDownload, AddressArrivingOnTheThirdTickStartsWithoutTheDefault) {
    std::string bytes = patternBytes(64 * 1024);
    server.addFile("late.bin", bytes);
    model->retryPeriodMs = 20;
    model->startDownloadPlayer();  // no address yet: the retry timer waits
    ASSERT_TRUE(runUiUntil([this] { return model->retryTicks() == 2; }));
    model->setPlayerUrl(utility::utf8ToWide(server.url("/late.bin")));  // the fetch thread's write
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(model->retryTicks(), 3);
    EXPECT_EQ(succeeded, 1);
    ASSERT_TRUE(waitForEvents("download_Success", 1));
    EXPECT_EQ(eventCount("download_defaultUrl"), 0u);
}

TEST_F(InstallerDownload, AddressThatNeverArrivesFallsBackOnTheEighthTick) {
    ConfigImp::instance()->setPlayer9();
    std::string bytes = patternBytes(2 * 1024 * 1024);
    server.addFile("download/package/Nimbaro9.0.exe", bytes);
    model->retryPeriodMs = 20;
    model->startDownloadPlayer();
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(model->retryTicks(), 8);
    EXPECT_EQ(model->getPlayerUrl(), utility::utf8ToWide(server.url("/download/package/Nimbaro9.0.exe")));
    EXPECT_EQ(succeeded, 1);
    ASSERT_TRUE(waitForEvents("download_defaultUrl", 1));
    ASSERT_TRUE(waitForEvents("download_Success", 1));
    EXPECT_EQ(eventCount("download_defaultUrl"), 1u);
}

TEST(InstallerProgress, ThrottledToOncePerSecondAndUnknownTotalsAssumed) {
    utility::initRuntime();
    DownloaderModel m;
    std::vector<std::tuple<int, int, int>> seen;
    m.onNetProgress = [&](int p, int d, int t) { seen.emplace_back(p, d, t); };
    EXPECT_TRUE(m.onDownloadProgress(nullptr, 10, 150000000, UINT64_MAX));
    EXPECT_TRUE(m.onDownloadProgress(nullptr, 10, 160000000, 200000000));  // within the second: dropped
    ASSERT_TRUE(runUiUntil([&] { return !seen.empty(); }));
    platform::MainLoop::drain();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_tuple(50, 150000000, 300000000));
}

}  // namespace
