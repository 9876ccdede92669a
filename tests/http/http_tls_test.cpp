// TLS refusals of the platform client. Each case runs in a fresh process (a death-test child), because
// a TLS session trusted once may be resumed without a new certificate check.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_env.h"
#include "support/test_server.h"
#include "utility/deployment.h"
#include "utility/http_downloader.h"
#include "utility/text_codec.h"

using namespace testing_support;

namespace {

enum class Trust { None, CaFile };

// Exit code: 0 when the download succeeded, 1 when it failed, 2 when the set-up failed.
int downloadOnce(const char* config, Trust trust) {
    IsolatedHome home;
    TestServer server(config);
    if (!server.ok()) return 2;
    server.addFile("doc.txt", "secret");
    TempDir dir;
    writeFile(dir.file("plain.ini"), "[hosts]\n");
    ScopedEnv env("NIMBARO_DEPLOYMENT", trust == Trust::CaFile ? server.writeDeploymentFile() : dir.file("plain.ini"));
    utility::Deployment::reload();
    utility::CHttpDownloader downloader;
    std::string response;
    bool memory = downloader.downloadToMemory(response, utility::utf8ToWide(server.url("/doc.txt")));
    bool file = downloader.downloadToFile(utility::utf8ToWide(server.url("/doc.txt")),
                                          utility::utf8ToWide(dir.file("doc.txt")), nullptr);
    if (memory != file) return 3;
    return memory && response == "secret" ? 0 : 1;
}

class PlatformTls : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(PlatformTls, UnknownCaIsRefused) {
    EXPECT_EXIT(std::exit(downloadOnce("{}", Trust::None)), ::testing::ExitedWithCode(1), "");
}

TEST_F(PlatformTls, CaFileMakesTheServerTrusted) {
    EXPECT_EXIT(std::exit(downloadOnce("{}", Trust::CaFile)), ::testing::ExitedWithCode(0), "");
}

TEST_F(PlatformTls, CertificateForAnotherHostIsRefusedEvenWithItsCa) {
    EXPECT_EXIT(std::exit(downloadOnce(R"({"cert_hosts": ["wrong.example"]})", Trust::CaFile)),
                ::testing::ExitedWithCode(1), "");
}

}  // namespace
