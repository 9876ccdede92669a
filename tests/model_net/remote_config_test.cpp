#include <gtest/gtest.h>

#include "model_fixture.h"

using namespace model_test;

namespace {

const char* kVariantDocPath = "/player_files/en/tavrel";

class RemoteConfig : public ModelWithServer {};

TEST_F(RemoteConfig, VariantMemberOfEachVariantReachesTheModel) {
    server.setRoute(kVariantDocPath, R"({"json": {
        "kvr4":  {"ver": "4.1", "url": "https://h/four", "md5": "AA"},
        "kvr64": {"ver": "64.1", "url": "https://h/sixty-four", "md5": "BB"},
        "kvr9":  {"ver": "9.1", "url": "https://h/nine", "md5": "CC", "url_spare": "x"},
        "kvr":   {"ver": "3.1", "url": "https://h/three", "md5": "DD"}}})");
    struct Case {
        int variant;
        const wchar_t* version;
        const wchar_t* url;
        const char* md5;
    } cases[] = {{4, L"4.1", L"https://h/four", "AA"},
                 {64, L"64.1", L"https://h/sixty-four", "BB"},
                 {9, L"9.1", L"https://h/nine", "CC"},
                 {3, L"3.1", L"https://h/three", "DD"}};
    for (const auto& c : cases) {
        switch (c.variant) {
        case 4: ConfigImp::instance()->setPlayer4(); break;
        case 64: ConfigImp::instance()->setPlayer64(); break;
        case 9: ConfigImp::instance()->setPlayer9(); break;
        default: ConfigImp::instance()->setPlayer3(); break;
        }
        DownloaderModel m;
        m._threadGetPlayerUrl();
        EXPECT_EQ(m.playerVersion, c.version) << c.variant;
        EXPECT_EQ(m.getPlayerUrl(), c.url) << c.variant;
        EXPECT_EQ(m.playerMd5, c.md5) << c.variant;
    }
    EXPECT_EQ(eventCount("getPlayerUrl_error"), 0u);
}

TEST_F(RemoteConfig, LibcurlFetchesWhenTheFirstClientFailsWithOneEvent) {
    server.setRoute(kVariantDocPath, R"({"fail_first": 1, "json": {"kvr4": {"url": "https://h/after-retry"}}})");
    model->openId = L"12345";
    model->_threadGetPlayerUrl();
    EXPECT_EQ(model->getPlayerUrl(), L"https://h/after-retry");
    EXPECT_EQ(requestsTo(kVariantDocPath), 2u);
    ASSERT_TRUE(waitForEvents("getPlayerUrl_error", 1));
    EXPECT_EQ(events().front(), std::make_pair(std::string("getPlayerUrl_error"), std::string("12345")));
    // The open-id document is asked for once, by libcurl (this route is not served: nothing changes).
    EXPECT_EQ(requestsTo("/player_files/openidconfig/12345.data"), 1u);
}

TEST_F(RemoteConfig, DocumentThatIsNotAnObjectSendsTheSecondEvent) {
    server.setRoute(kVariantDocPath, R"({"fail_first": 1, "body": "[\"not\", \"an object\"]"})");
    model->_threadGetPlayerUrl();
    EXPECT_EQ(model->getPlayerUrl(), L"");
    ASSERT_TRUE(waitForEvents("getPlayerUrl_error", 2));
}

TEST_F(RemoteConfig, OpenIdDocumentFillsPackagesAndSettings) {
    server.setRoute(kVariantDocPath, R"({"json": {"kvr4": {"url": "https://h/x"}}})");
    server.setRoute("/player_files/openidconfig/12345.data", R"({"json": {
        "result": [
            {"app_download_url": "https://h/a.apk", "app_package_name": "com.a", "gamename": "A",
             "from_appstore": "1", "xapk": "1", "app_obb": "", "resolution": "1280,720"},
            {"gamename": "only a name"},
            {"gameid": "77", "from_appstore": 1, "app_icon": 5},
            "not an object"],
        "title": "Title \u4e2d", "shortcutname": "Game", "shortcuturl": "https://h/i.ico",
        "ad": 0, "cleanmodel": "1", "runappstore": 0, "root": true, "heapsize": "2048",
        "launch_h": "https://h/h.jpg", "launch_V": 7}})");
    model->openId = L"12345";
    model->_threadGetPlayerUrl();
    ASSERT_EQ(model->apps.size(), 2u);
    EXPECT_EQ(model->apps[0].downloadUrl, L"https://h/a.apk");
    EXPECT_EQ(model->apps[0].packageName, L"com.a");
    EXPECT_TRUE(model->apps[0].fromAppStore);
    EXPECT_TRUE(model->apps[0].isXapk);
    EXPECT_EQ(model->apps[0].obbUrl, L"");
    EXPECT_EQ(model->apps[0].resolution, L"1280,720");
    EXPECT_EQ(model->apps[1].gameId, L"77");
    EXPECT_FALSE(model->apps[1].fromAppStore) << "a number is not the string \"1\"";
    EXPECT_EQ(model->apps[1].iconUrl, L"") << "a non-string value is ignored";
    EXPECT_EQ(model->title, L"Title \x4E2D");
    EXPECT_EQ(model->shortcutName, L"Game");
    EXPECT_FALSE(model->adShow);
    EXPECT_FALSE(model->cleanModel) << "a string is not an integer";
    EXPECT_FALSE(model->runAppStore);
    EXPECT_EQ(model->useRoot, 1);
    EXPECT_EQ(model->heapSize, L"2048");
    EXPECT_EQ(model->launchImageH, L"https://h/h.jpg");
    EXPECT_EQ(model->launchImageV, L"");
}

TEST_F(RemoteConfig, DefaultOpenIdAndCommandLinePackagesNeverAskForTheOpenIdDocument) {
    server.setRoute(kVariantDocPath, R"({"json": {"kvr4": {"url": "https://h/x"}}})");
    model->_threadGetPlayerUrl();  // open-id "100"
    DownloaderModel withPackage;
    withPackage.startConfigurationFetch = false;
    withPackage.initWithFileName(L"nimbaro4_en_12345_x", L"apkurl=https://h/g.apk");
    withPackage._threadGetPlayerUrl();
    EXPECT_EQ(withPackage.title, L"");
    for (const auto& r : server.requests()) EXPECT_EQ(r.path.find("/player_files/openidconfig/"), std::string::npos) << r.path;
}

// The type rules of the open-id document, without the network.
TEST(OpenIdDocument, TypeRules) {
    struct Case {
        const char* json;
        bool adShow;
        bool cleanModel;
        bool runAppStore;
        int useRoot;
    } cases[] = {
        {R"({})", true, false, true, -1},
        {R"({"ad": 0})", false, false, true, -1},
        {R"({"ad": false})", true, false, true, -1},
        {R"({"ad": 4294967296})", true, false, true, -1},
        {R"({"cleanmodel": 1, "runappstore": 0})", true, true, false, -1},
        {R"({"root": true})", true, false, true, 1},
        {R"({"root": false})", true, false, true, 0},
        {R"({"root": 1})", true, false, true, -1},
        {R"(not json)", true, false, true, -1},
    };
    for (const auto& c : cases) {
        DownloaderModel m;
        m.applyOpenIdDocument(c.json);
        EXPECT_EQ(m.adShow, c.adShow) << c.json;
        EXPECT_EQ(m.cleanModel, c.cleanModel) << c.json;
        EXPECT_EQ(m.runAppStore, c.runAppStore) << c.json;
        EXPECT_EQ(m.useRoot, c.useRoot) << c.json;
    }
}

TEST(OpenIdDocument, PackagesQualifyByAddressIdOrName) {
    struct Case {
        const char* element;
        bool kept;
    } cases[] = {
        {R"({"gamename": "only a name"})", false},
        {R"({"gameid": "9"})", true},
        {R"({"app_package_name": "com.x"})", true},
        {R"({"app_download_url": "https://h/x.apk"})", true},
        {R"({"app_download_url": 5, "gamename": "G"})", false},
        {R"({"from_appstore": "true", "gameid": "1"})", true},
    };
    for (const auto& c : cases) {
        DownloaderModel m;
        m.applyOpenIdDocument(std::string(R"({"result": [)") + c.element + "]}");
        EXPECT_EQ(m.apps.size(), c.kept ? 1u : 0u) << c.element;
    }
    DownloaderModel flags;
    flags.applyOpenIdDocument(R"({"result": [{"gameid": "1", "from_appstore": "01"}, {"gameid": "2", "from_appstore": "1"}]})");
    ASSERT_EQ(flags.apps.size(), 2u);
    EXPECT_FALSE(flags.apps[0].fromAppStore);
    EXPECT_TRUE(flags.apps[1].fromAppStore);
}

TEST(VariantDocument, MissingOrWrongTypedMembersLeaveTheAddressEmpty) {
    ConfigImp::instance()->setPlayer64();
    DownloaderModel only4;
    EXPECT_TRUE(only4.applyVariantDocument(R"({"kvr4": {"url": "https://h/x"}})"));
    EXPECT_EQ(only4.getPlayerUrl(), L"");
    DownloaderModel number;
    EXPECT_TRUE(number.applyVariantDocument(R"({"kvr64": {"url": 5}})"));
    EXPECT_EQ(number.getPlayerUrl(), L"");
    DownloaderModel array;
    EXPECT_FALSE(array.applyVariantDocument(R"([])"));
    ConfigImp::instance()->reset();
}

}  // namespace
