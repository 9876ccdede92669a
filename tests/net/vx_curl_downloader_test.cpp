#include "net/vx_curl_downloader.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/log_capture.h"
#include "support/test_env.h"
#include "support/test_server.h"
#include "utility/deployment.h"
#include "utility/text_codec.h"

using namespace testing_support;
using Clock = std::chrono::steady_clock;

namespace {

std::wstring w(const std::string& s) { return utility::utf8ToWide(s); }

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// One server for the suite: libcurl keeps no TLS state between transfers.
class CurlTransfers : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        VxCurlDownloader::globalInit();
        server_ = new TestServer();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
        VxCurlDownloader::globalCleanup();
    }
    void SetUp() override {
        ASSERT_TRUE(server_->ok());
        server_->clearRoutes();
        deployment_ = std::make_unique<ScopedEnv>("NIMBARO_DEPLOYMENT", server_->writeDeploymentFile());
        utility::Deployment::reload();
    }
    void TearDown() override {
        VxCurlDownloader::setStallTimeoutMs(60000);
        deployment_.reset();
        utility::Deployment::reload();
    }
    TestServer& server() { return *server_; }
    std::string url(const std::string& path) { return server_->url(path); }

    IsolatedHome home;
    TempDir dir;
    LogCapture log;
    std::unique_ptr<ScopedEnv> deployment_;
    static TestServer* server_;
};
TestServer* CurlTransfers::server_ = nullptr;

struct ProgressLog {
    std::vector<std::pair<Clock::time_point, int>> calls;
    VxCurlDownloader::ProgressFunction function() {
        return [this](int percent) { calls.emplace_back(Clock::now(), percent); };
    }
};

TEST_F(CurlTransfers, FileAndMemoryDownloadsCarryTheExactBytes) {
    for (size_t size : {size_t(0), size_t(1), size_t(300000)}) {
        SCOPED_TRACE(size);
        std::string bytes = patternBytes(size);
        server().addFile("blob.bin", bytes);
        ProgressLog progress;
        std::string path = dir.file("blob.bin");
        auto start = Clock::now();
        ASSERT_TRUE(VxCurlDownloader::downloadFile(w(path), url("/blob.bin"), progress.function())) << log.dump();
        long long took = msSince(start);
        EXPECT_EQ(readFile(path), bytes);
        // A download that ends within a second reports once (the first report is never held back).
        if (size > 0 && took < 1000) {
            EXPECT_EQ(progress.calls.size(), 1u);
        }
        for (auto& [when, percent] : progress.calls) EXPECT_LT(percent, 100);

        std::string response = "stale";
        ASSERT_TRUE(VxCurlDownloader::downloadMemory(url("/blob.bin"), response));
        EXPECT_EQ(response, bytes);
    }
    EXPECT_TRUE(log.contains(L"curl download  file sucess"));
    EXPECT_TRUE(log.contains(L"curl download sucess 300000"));
}

TEST_F(CurlTransfers, ProgressComesAtMostOnceASecondAndNeverReachesHundred) {
    std::string bytes = patternBytes(64 * 1024);
    server().addFile("slow.bin", bytes);
    ASSERT_TRUE(server().setRoute("/slow.bin", R"({"rate": 20000})"));
    ProgressLog progress;
    ASSERT_TRUE(VxCurlDownloader::downloadFile(w(dir.file("slow.bin")), url("/slow.bin"), progress.function()));
    EXPECT_EQ(readFile(dir.file("slow.bin")), bytes);

    ASSERT_GE(progress.calls.size(), 2u) << "a download of about 3 s reports more than once";
    for (size_t i = 0; i < progress.calls.size(); ++i) {
        EXPECT_LT(progress.calls[i].second, 100);
        if (i == 0) continue;
        EXPECT_GE(progress.calls[i].second, progress.calls[i - 1].second);
        auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(progress.calls[i].first -
                                                                         progress.calls[i - 1].first);
        EXPECT_GE(gap.count(), 990) << "call " << i;
    }
}

TEST_F(CurlTransfers, NoProgressWithoutAContentLength) {
    std::string bytes = patternBytes(30000);
    server().addFile("unsized.bin", bytes);
    ASSERT_TRUE(server().setRoute("/unsized.bin", R"({"no_content_length": true, "rate": 15000})"));
    ProgressLog progress;
    ASSERT_TRUE(VxCurlDownloader::downloadFile(w(dir.file("u.bin")), url("/unsized.bin"), progress.function()));
    EXPECT_EQ(readFile(dir.file("u.bin")), bytes);
    EXPECT_TRUE(progress.calls.empty());
}

TEST_F(CurlTransfers, ErrorStatusesFailEveryTransfer) {
    for (int status : {400, 404, 500}) {
        SCOPED_TRACE(status);
        ASSERT_TRUE(server().setRoute("/err", "{\"status\": " + std::to_string(status) + ", \"body\": \"error page\"}"));
        std::string response = "untouched";
        EXPECT_FALSE(VxCurlDownloader::downloadMemory(url("/err"), response));
        EXPECT_FALSE(VxCurlDownloader::postRequest(url("/err"), "{}", response));
        EXPECT_EQ(response, "untouched");
        EXPECT_FALSE(VxCurlDownloader::downloadFile(w(dir.file("err.bin")), url("/err"), {}));
        EXPECT_NE(readFile(dir.file("err.bin")), "error page");
    }
    EXPECT_TRUE(log.contains(L"curl download error HTTP response code said error")) << log.dump();
    EXPECT_TRUE(log.contains(L"curl download file error HTTP response code said error"));
}

TEST_F(CurlTransfers, FileDownloadsFollowFiveRedirectsOthersFollowLongerChains) {
    server().addFile("target.bin", "payload");
    ASSERT_TRUE(server().setRoute("/five", R"({"redirect": 5, "file": "target.bin"})"));
    ASSERT_TRUE(server().setRoute("/six", R"({"redirect": 6, "file": "target.bin"})"));
    ASSERT_TRUE(server().setRoute("/six-post", R"({"redirect": 6, "body": "posted"})"));

    EXPECT_TRUE(VxCurlDownloader::downloadFile(w(dir.file("five.bin")), url("/five"), {}));
    EXPECT_EQ(readFile(dir.file("five.bin")), "payload");
    EXPECT_FALSE(VxCurlDownloader::downloadFile(w(dir.file("six.bin")), url("/six"), {}));
    EXPECT_TRUE(log.contains(L"Number of redirects hit maximum amount")) << log.dump();

    std::string response;
    EXPECT_TRUE(VxCurlDownloader::downloadMemory(url("/six"), response));
    EXPECT_EQ(response, "payload");
    EXPECT_TRUE(VxCurlDownloader::postRequest(url("/six-post"), "{}", response));
    EXPECT_EQ(response, "posted");
}

TEST_F(CurlTransfers, PostSendsUtf8JsonWithTheFixedContentTypeFirst) {
    ASSERT_TRUE(server().setRoute("/mp/collect", R"({"json": {"ok": true}})"));
    std::string body = "{\"label\":\"\xE4\xB8\xAD\xE6\x96\x87 \xC3\xBC\"}";
    std::string response;
    ASSERT_TRUE(VxCurlDownloader::postRequest(url("/mp/collect?measurement_id=G-1"), body, response,
                                              {"X-First: 1", "X-Second: 2"}));
    EXPECT_EQ(response, R"({"ok": true})");

    auto requests = server().requests();
    ASSERT_FALSE(requests.empty());
    const RecordedRequest& r = requests.back();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.path, "/mp/collect");
    EXPECT_EQ(r.query, "measurement_id=G-1");
    EXPECT_EQ(r.body, body);
    EXPECT_EQ(r.header("Content-Type"), "application/json;charset=UTF-8");
    EXPECT_EQ(r.header("Content-Length"), std::to_string(body.size()));
    std::vector<std::string> order;
    for (auto& [name, value] : r.headers)
        if (name == "Content-Type" || name.rfind("X-", 0) == 0) order.push_back(name);
    EXPECT_EQ(order, (std::vector<std::string>{"Content-Type", "X-First", "X-Second"}));
    EXPECT_EQ(r.header("User-Agent"), "") << "no user agent is sent";
}

TEST_F(CurlTransfers, StalledOrCutTransfersFail) {
    server().addFile("big.bin", patternBytes(200000));
    ASSERT_TRUE(server().setRoute("/stall", R"({"file": "big.bin", "stall_after": 1000})"));
    ASSERT_TRUE(server().setRoute("/cut", R"({"file": "big.bin", "truncate_after": 5000})"));
    VxCurlDownloader::setStallTimeoutMs(1500);

    auto start = Clock::now();
    EXPECT_FALSE(VxCurlDownloader::downloadFile(w(dir.file("stall.bin")), url("/stall"), {}));
    long long took = msSince(start);
    EXPECT_GE(took, 1400);
    EXPECT_LT(took, 10000);
    EXPECT_TRUE(log.contains(L"curl transfer stalled: nothing received for 1500 ms")) << log.dump();
    EXPECT_EQ(readFile(dir.file("stall.bin")).size(), 1000u) << "the partial file stays for the caller";

    std::string response;
    start = Clock::now();
    EXPECT_FALSE(VxCurlDownloader::downloadMemory(url("/stall"), response));
    EXPECT_LT(msSince(start), 10000);

    EXPECT_FALSE(VxCurlDownloader::downloadFile(w(dir.file("cut.bin")), url("/cut"), {}));
    EXPECT_FALSE(VxCurlDownloader::downloadMemory(url("/cut"), response));
    EXPECT_TRUE(response.empty());
}

TEST_F(CurlTransfers, UnopenableTargetFailsWithoutTouchingTheNetwork) {
    size_t before = server().requests().size();
    std::string path = dir.file("missing/folder/x.bin");
    EXPECT_FALSE(VxCurlDownloader::downloadFile(w(path), url("/anything"), {}));
    EXPECT_TRUE(log.contains(L"openfile error path : " + w(path) + L". 2")) << log.dump();
    EXPECT_EQ(server().requests().size(), before);
}

TEST_F(CurlTransfers, OnlyHttpAndHttpsAreSpoken) {
    writeFile(dir.file("local.txt"), "secret");
    ASSERT_TRUE(server().setRoute(
        "/to-file", "{\"status\": 302, \"body\": \"\", \"headers\": {\"Location\": \"file://" + dir.file("local.txt") + "\"}}"));
    std::string response;
    EXPECT_FALSE(VxCurlDownloader::downloadMemory("file://" + dir.file("local.txt"), response));
    EXPECT_FALSE(VxCurlDownloader::downloadMemory(url("/to-file"), response));
    EXPECT_FALSE(VxCurlDownloader::downloadFile(w(dir.file("copy.txt")), url("/to-file"), {}));
    EXPECT_EQ(response, "");
    EXPECT_NE(readFile(dir.file("copy.txt")), "secret");
}

// Certificates: an unknown CA and a certificate for another host are refused; the ca_file adds trust.
TEST_F(CurlTransfers, CertificatesAreVerified) {
    server().addFile("doc.txt", "trusted");
    std::string response;
    ASSERT_TRUE(VxCurlDownloader::downloadMemory(url("/doc.txt"), response));
    EXPECT_EQ(response, "trusted");

    ScopedEnv noCa("NIMBARO_DEPLOYMENT", std::nullopt);
    utility::Deployment::reload();
    EXPECT_FALSE(VxCurlDownloader::downloadMemory(url("/doc.txt"), response));
    EXPECT_FALSE(VxCurlDownloader::postRequest(url("/doc.txt"), "{}", response));
    EXPECT_FALSE(VxCurlDownloader::downloadFile(w(dir.file("doc.txt")), url("/doc.txt"), {}));

    TestServer otherName(R"({"cert_hosts": ["wrong.example"]})");
    ASSERT_TRUE(otherName.ok());
    otherName.addFile("doc.txt", "wrong host");
    ScopedEnv otherCa("NIMBARO_DEPLOYMENT", otherName.writeDeploymentFile());
    utility::Deployment::reload();
    EXPECT_FALSE(VxCurlDownloader::downloadMemory(otherName.url("/doc.txt"), response));
    EXPECT_TRUE(log.contains(L"curl error detail")) << log.dump();
    EXPECT_EQ(response, "trusted");
}

}  // namespace

namespace {

// The server's start-up configuration and its run-time control reach the same routes.
TEST(TestServerTool, RoutesComeFromTheStartConfigAndTheControlEndpoint) {
    IsolatedHome home;
    VxCurlDownloader::globalInit();
    TestServer server(R"({"routes": {"/c": {"body": "from config"}}})");
    ASSERT_TRUE(server.ok());
    ScopedEnv env("NIMBARO_DEPLOYMENT", server.writeDeploymentFile());
    utility::Deployment::reload();
    std::string response;
    EXPECT_TRUE(VxCurlDownloader::downloadMemory(server.url("/c"), response));
    EXPECT_EQ(response, "from config");
    ASSERT_TRUE(server.setRoute("/c", "null"));
    EXPECT_FALSE(VxCurlDownloader::downloadMemory(server.url("/c"), response)) << "no route and no file: 404";
    EXPECT_EQ(server.requests().size(), 2u) << "control requests are not recorded";
    utility::Deployment::reload();
    VxCurlDownloader::globalCleanup();
}

}  // namespace
