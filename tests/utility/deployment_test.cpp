#include "utility/deployment.h"

#include <deployment_defaults.h>
#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using utility::Deployment;
using namespace testing_support;

namespace {

std::wstring w(const std::string& s) { return utility::utf8ToWide(s); }

TEST(Deployment, BuiltInDefaultsWithoutAFile) {
    Deployment d = Deployment::load(L"");
    EXPECT_EQ(d.resourceHost, w(NIMBARO_DEFAULT_RESOURCE_HOST));
    EXPECT_EQ(d.cdnHost, w(NIMBARO_DEFAULT_CDN_HOST));
    EXPECT_EQ(d.analyticsHost, w(NIMBARO_DEFAULT_ANALYTICS_HOST));
    EXPECT_EQ(d.caFile, w(NIMBARO_DEFAULT_CA_FILE));
}

TEST(Deployment, FileOverridesWhatItNamesAndNothingElse) {
    TempDir dir;
    LogCapture log;
    writeFile(dir.file("ca.pem"), "pem");
    writeFile(dir.file("deploy.ini"),
              "[hosts]\n"
              "resource = https://127.0.0.1:8443/   ; trailing slash dropped\n"
              "cdn = ftp://elsewhere                ; not http(s): ignored\n"
              "[tls]\n"
              "ca_file = ca.pem                     ; relative to this file\n");
    Deployment d = Deployment::load(w(dir.file("deploy.ini")));
    Deployment defaults = Deployment::load(L"");
    EXPECT_EQ(d.resourceHost, L"https://127.0.0.1:8443");
    EXPECT_EQ(d.cdnHost, defaults.cdnHost);
    EXPECT_EQ(d.analyticsHost, defaults.analyticsHost);
    EXPECT_EQ(d.caFile, w(dir.file("ca.pem")));
    EXPECT_TRUE(log.contains(L"deployment: ignoring cdn = ftp://elsewhere")) << log.dump();
}

TEST(Deployment, UnusableHostsAndMissingFilesKeepTheDefaults) {
    TempDir dir;
    LogCapture log;
    Deployment defaults = Deployment::load(L"");
    EXPECT_EQ(Deployment::load(w(dir.file("absent.ini"))).resourceHost, defaults.resourceHost);
    EXPECT_TRUE(log.contains(L"deployment: cannot read")) << log.dump();

    for (const char* bad : {"https://", "https://host/path", "host:443", "https://a b"}) {
        writeFile(dir.file("d.ini"), std::string("[hosts]\nanalytics=") + bad + "\n");
        EXPECT_EQ(Deployment::load(w(dir.file("d.ini"))).analyticsHost, defaults.analyticsHost) << bad;
    }
    writeFile(dir.file("d.ini"), "[tls]\nca_file=/no/such/ca.pem\n");
    EXPECT_EQ(Deployment::load(w(dir.file("d.ini"))).caFile, L"/no/such/ca.pem");
    EXPECT_TRUE(log.contains(L"ca_file /no/such/ca.pem does not exist")) << log.dump();
}

TEST(Deployment, EnvironmentNamesTheFileReadOnFirstUse) {
    TempDir dir;
    writeFile(dir.file("a.ini"), "[hosts]\ncdn=http://127.0.0.1:1\n");
    writeFile(dir.file("b.ini"), "[hosts]\ncdn=http://127.0.0.1:2\n");
    {
        ScopedEnv env("NIMBARO_DEPLOYMENT", dir.file("a.ini"));
        Deployment::reload();
        EXPECT_EQ(Deployment::get().cdnHost, L"http://127.0.0.1:1");
        setenv("NIMBARO_DEPLOYMENT", dir.file("b.ini").c_str(), 1);
        EXPECT_EQ(Deployment::get().cdnHost, L"http://127.0.0.1:1") << "read once";
        Deployment::reload();
        EXPECT_EQ(Deployment::get().cdnHost, L"http://127.0.0.1:2");
    }
    Deployment::reload();
    EXPECT_EQ(Deployment::get().cdnHost, Deployment::load(L"").cdnHost);
}

}  // namespace
