#include "utility/http_downloader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include "support/log_capture.h"
#include "support/test_env.h"
#include "support/test_server.h"
#include "utility/deployment.h"
#include "utility/text_codec.h"

using namespace testing_support;
using utility::CHttpDownloader;
using Clock = std::chrono::steady_clock;

namespace {

std::wstring w(const std::string& s) { return utility::utf8ToWide(s); }

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct Progress : utility::IHttpDownloadSink {
    std::mutex lock;
    std::vector<std::pair<uint64_t, uint64_t>> calls;  // received, total
    std::promise<void> firstPiece;
    bool onDownloadProgress(const char*, unsigned, uint64_t received, uint64_t total) override {
        std::lock_guard<std::mutex> g(lock);
        if (calls.empty()) firstPiece.set_value();
        calls.emplace_back(received, total);
        return true;
    }
};

// Records what a client reports, for the error-stage checks.
struct RecordingSink : utility::CHttpClient::IHttpClientSink {
    std::vector<int> stages;
    int status = 0;
    std::string body;
    bool complete = false;
    void onHttpError(int stage, unsigned) override { stages.push_back(stage); }
    bool onHttpRecvHeader(int64_t, int s) override {
        status = s;
        return true;
    }
    bool onHttpRecvData(const char* bytes, unsigned count) override {
        body.append(bytes, count);
        return true;
    }
    void onHttpComplete() override { complete = true; }
};

// TLS sessions are cached per process, so every test here trusts the server through the ca_file; the
// refusals live in http_tls_test.cpp, each in a fresh process.
class PlatformHttp : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new TestServer(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(server_->ok());
        server_->clearRoutes();
        deployment_ = std::make_unique<ScopedEnv>("NIMBARO_DEPLOYMENT", server_->writeDeploymentFile());
        utility::Deployment::reload();
    }
    void TearDown() override {
        utility::CHttpClient::setStallTimeoutSeconds(60);
        deployment_.reset();
        utility::Deployment::reload();
    }
    TestServer& server() { return *server_; }
    std::wstring url(const std::string& path) { return w(server_->url(path)); }

    IsolatedHome home;
    TempDir dir;
    LogCapture log;
    CHttpDownloader downloader;
    std::unique_ptr<ScopedEnv> deployment_;
    static TestServer* server_;
};
TestServer* PlatformHttp::server_ = nullptr;

TEST_F(PlatformHttp, FileAndMemoryDownloadsCarryTheExactBytes) {
    for (size_t size : {size_t(0), size_t(1), size_t(100000)}) {
        SCOPED_TRACE(size);
        std::string bytes = patternBytes(size);
        server().addFile("blob.bin", bytes);
        Progress progress;
        std::string path = dir.file("blob.bin");
        ASSERT_TRUE(downloader.downloadToFile(url("/blob.bin"), w(path), &progress)) << log.dump();
        EXPECT_EQ(readFile(path), bytes);
        uint64_t expectedTotal = size > 0 ? size : 10485760;
        for (auto& [received, total] : progress.calls) EXPECT_EQ(total, expectedTotal);
        if (size > 0) {
            ASSERT_FALSE(progress.calls.empty());
            EXPECT_EQ(progress.calls.back().first, size);
        }

        std::string response;
        ASSERT_TRUE(downloader.downloadToMemory(response, url("/blob.bin")));
        EXPECT_EQ(response, bytes);
    }
    auto requests = server().requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().method, "GET");
    EXPECT_EQ(requests.back().header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests.back().header("Accept"), "*/*");
}

TEST_F(PlatformHttp, WithoutAContentLengthTheExpectedTotalIsTenMebibytes) {
    std::string bytes = patternBytes(70000);
    server().addFile("unsized.bin", bytes);
    ASSERT_TRUE(server().setRoute("/unsized.bin", R"({"no_content_length": true})"));
    Progress progress;
    ASSERT_TRUE(downloader.downloadToFile(url("/unsized.bin"), w(dir.file("u.bin")), &progress));
    EXPECT_EQ(readFile(dir.file("u.bin")), bytes);
    ASSERT_FALSE(progress.calls.empty());
    for (auto& [received, total] : progress.calls) EXPECT_EQ(total, 10485760u);
    EXPECT_EQ(progress.calls.back().first, bytes.size());
}

TEST_F(PlatformHttp, ErrorStatusesFailWithoutAFileOrBody) {
    ASSERT_TRUE(server().setRoute("/missing", R"({"status": 404, "body": "not here"})"));
    std::string response;
    EXPECT_FALSE(downloader.downloadToMemory(response, url("/missing")));
    EXPECT_EQ(response, "");
    EXPECT_FALSE(downloader.downloadToFile(url("/missing"), w(dir.file("m.bin")), nullptr));
    EXPECT_FALSE(utility::ufile::exists(w(dir.file("m.bin"))));
    EXPECT_TRUE(log.contains(L"onHttpErro status = 404")) << log.dump();
}

TEST_F(PlatformHttp, RedirectChainsAreFollowed) {
    server().addFile("target.bin", "payload");
    ASSERT_TRUE(server().setRoute("/six", R"({"redirect": 6, "file": "target.bin"})"));
    std::string response;
    EXPECT_TRUE(downloader.downloadToMemory(response, url("/six")));
    EXPECT_EQ(response, "payload");
    EXPECT_TRUE(downloader.downloadToFile(url("/six"), w(dir.file("six.bin")), nullptr));
    EXPECT_EQ(readFile(dir.file("six.bin")), "payload");
}

TEST_F(PlatformHttp, UpperCaseSchemeIsStillSecure) {
    server().addFile("doc.txt", "upper");
    std::string response;
    std::wstring address = url("/doc.txt");
    address.replace(0, 5, L"HTTPS");
    EXPECT_TRUE(downloader.downloadToMemory(response, address)) << log.dump();
    EXPECT_EQ(response, "upper");
}

TEST_F(PlatformHttp, StopFromAnotherThreadEndsAStalledDownloadAtOnce) {
    server().addFile("big.bin", patternBytes(500000));
    ASSERT_TRUE(server().setRoute("/stall", R"({"file": "big.bin", "stall_after": 1000})"));
    Progress progress;
    auto firstPiece = progress.firstPiece.get_future();
    auto result = std::async(std::launch::async, [&] {
        return downloader.downloadToFile(url("/stall"), w(dir.file("stall.bin")), &progress);
    });
    ASSERT_EQ(firstPiece.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    // Let the transfer block in its read of the stalled body.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(result.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);

    auto start = Clock::now();
    downloader.stop();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_LT(msSince(start), 1000);
    EXPECT_FALSE(result.get());
    EXPECT_EQ(readFile(dir.file("stall.bin")).size(), 1000u) << "the partial file stays for the caller";
}

// The installer's shape: transfers on worker threads while the UI thread runs its loop.
TEST_F(PlatformHttp, WorkersDownloadWhileTheUiLoopRuns) {
    std::string bytes = patternBytes(200000);
    server().addFile("w.bin", bytes);
    std::atomic<int> done{0};
    std::vector<std::string> bodies(3);
    std::vector<std::thread> workers;
    for (size_t i = 0; i < bodies.size(); ++i) {
        workers.emplace_back([&, i] {
            CHttpDownloader own;
            own.downloadToMemory(bodies[i], url("/w.bin"));
            ++done;
        });
    }
    EXPECT_TRUE(runUiUntil([&] { return done == int(bodies.size()); }, 30000));
    for (auto& t : workers) t.join();
    for (const auto& body : bodies) EXPECT_EQ(body, bytes);
}

TEST_F(PlatformHttp, StopStaysUntilAResetAllowsTheRetry) {
    server().addFile("doc.txt", "again");
    downloader.stop();
    EXPECT_TRUE(downloader.isStopRequested());
    size_t before = server().requests().size();
    std::string response;
    EXPECT_FALSE(downloader.downloadToMemory(response, url("/doc.txt")));
    EXPECT_EQ(server().requests().size(), before + 1) << "the request goes out and ends at its first piece";
    EXPECT_FALSE(downloader.downloadToFile(url("/doc.txt"), w(dir.file("d.txt")), nullptr));

    downloader.resetStop();
    EXPECT_TRUE(downloader.downloadToMemory(response, url("/doc.txt")));
    EXPECT_EQ(response, "again");
    EXPECT_TRUE(downloader.downloadToFile(url("/doc.txt"), w(dir.file("d.txt")), nullptr));
    EXPECT_EQ(readFile(dir.file("d.txt")), "again");
}

TEST_F(PlatformHttp, StalledOrCutBodiesFail) {
    server().addFile("big.bin", patternBytes(200000));
    ASSERT_TRUE(server().setRoute("/stall", R"({"file": "big.bin", "stall_after": 1000})"));
    ASSERT_TRUE(server().setRoute("/cut", R"({"file": "big.bin", "truncate_after": 5000})"));
    std::string response;
    EXPECT_FALSE(downloader.downloadToMemory(response, url("/cut")));
    EXPECT_FALSE(downloader.downloadToFile(url("/cut"), w(dir.file("cut.bin")), nullptr));

    utility::CHttpClient::setStallTimeoutSeconds(1);
    auto start = Clock::now();
    EXPECT_FALSE(downloader.downloadToMemory(response, url("/stall")));
    EXPECT_LT(msSince(start), 10000);
}

TEST_F(PlatformHttp, FailuresReportTheirStage) {
    struct Case {
        std::string url;
        int stage;
    } cases[] = {
        {"ftp://127.0.0.1/x", 1},
        {"not a url", 1},
        {"https://", 1},
        {"https://127.0.0.1:1/", 2},  // nothing listens there
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        utility::CHttpClient client;
        RecordingSink sink;
        bool ok = client.openUrl(w(c.url), L"", &sink) && client.perform();
        EXPECT_FALSE(ok);
        EXPECT_EQ(sink.stages, std::vector<int>{c.stage});
    }

    // Without a sink every step simply goes on.
    server().addFile("doc.txt", "plain");
    utility::CHttpClient client;
    ASSERT_TRUE(client.openUrl(url("/doc.txt"), L"X-A: 1\r\nX-B: 2", nullptr));
    EXPECT_TRUE(client.perform());
    auto r = server().requests().back();
    EXPECT_EQ(r.header("X-A"), "1");
    EXPECT_EQ(r.header("X-B"), "2");
}

TEST_F(PlatformHttp, ServerErrorsThenSuccess) {
    server().addFile("flaky.txt", "finally");
    ASSERT_TRUE(server().setRoute("/flaky.txt", R"({"fail_first": 2})"));
    std::string response;
    EXPECT_FALSE(downloader.downloadToMemory(response, url("/flaky.txt")));
    EXPECT_FALSE(downloader.downloadToMemory(response, url("/flaky.txt")));
    EXPECT_TRUE(downloader.downloadToMemory(response, url("/flaky.txt")));
    EXPECT_EQ(response, "finally");
}

}  // namespace
