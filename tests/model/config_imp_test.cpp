#include <gtest/gtest.h>

#include "app/config_imp.h"
#include "app/deployment_hosts.h"

#include <cwctype>
#include <set>

namespace {

class ConfigTables : public ::testing::Test {
protected:
    void SetUp() override { config().reset(); }
    void TearDown() override { config().reset(); }
    ConfigImp& config() { return *ConfigImp::instance(); }
    void select(int variant, const wchar_t* market) {
        switch (variant) {
        case 4: config().setPlayer4(); break;
        case 64: config().setPlayer64(); break;
        case 9: config().setPlayer9(); break;
        default: config().setPlayer3(); break;
        }
        config().setRegionCode(market);
    }
};

TEST_F(ConfigTables, FreshObjectIsVariant4ForTheInternationalMarket) {
    EXPECT_EQ(config().variant(), 4);
    EXPECT_EQ(config().getRegionCode(), L"en");
    EXPECT_EQ(config().getCampaignName(), L"Downloader");
    EXPECT_EQ(config().getInstallSubdir(), L"Nimbaro/Nimbaro4.0/");
    EXPECT_EQ(config().getRegistryKey(), L"Software\\Orsolan\\Nimbaro");
    EXPECT_EQ(config().getInstallerUrl(), deployment::cdnHost() + L"/download/package/Nimbaro4.0.exe");
    EXPECT_EQ(config().getLanguageFilePath(), L"language/downloader_en.xml");
    EXPECT_EQ(config().getProductName(), L"Nimbaro");
}

TEST_F(ConfigTables, VariantTables) {
    struct Case {
        int variant;
        const wchar_t* market;
        const wchar_t* subdir;
        const wchar_t* registryKey;
        const wchar_t* installerPath;  // on the market's host
        const wchar_t* installerFile;
    } cases[] = {
        {4, L"cn", L"Tavrel/Nimbaro4.0/", L"Software\\tavrel\\Nimbaro", L"/download/release/vxinst4.0.exe", L"/vxinst"},
        {64, L"cn", L"Tavrel/Nimbaro64/", L"Software\\tavrel\\Nimbaro64", L"/download/release/vxinst64.exe", L"/vxinst"},
        {9, L"cn", L"Tavrel/Nimbaro9/", L"Software\\tavrel\\Nimbaro9", L"/download/release/vxinst9.exe", L"/vxinst"},
        {3, L"cn", L"Tavrel/Nimbaro3.0/", L"Software\\Peldrun2\\qxplayer", L"/download/release/vxinst3.0.exe", L"/vxinst"},
        {4, L"en", L"Nimbaro/Nimbaro4.0/", L"Software\\Orsolan\\Nimbaro", L"/download/package/Nimbaro4.0.exe", L"/Nimbaro"},
        {64, L"kr", L"Nimbaro/Nimbaro64/", L"Software\\Orsolan\\Nimbaro64", L"/download/package/Nimbaro64.exe", L"/Nimbaro"},
        {9, L"tw", L"Nimbaro/Nimbaro9/", L"Software\\Orsolan\\Nimbaro9", L"/download/package/Nimbaro9.0.exe", L"/Nimbaro"},
        {3, L"en", L"Nimbaro/Nimbaro3.0/", L"Software\\Peldrun\\Nimbaro", L"/download/package/Nimbaro3.0.exe", L"/Nimbaro"},
        {3, L"CN", L"Nimbaro/Nimbaro3.0/", L"Software\\Peldrun\\Nimbaro", L"/download/package/Nimbaro3.0.exe", L"/Nimbaro"},
    };
    for (const auto& c : cases) {
        select(c.variant, c.market);
        SCOPED_TRACE(testing::Message() << c.variant << " " << std::wstring(c.market).size());
        std::wstring host = std::wstring(c.market) == L"cn" ? deployment::resourceHost() : deployment::cdnHost();
        EXPECT_EQ(config().getInstallSubdir(), c.subdir);
        EXPECT_EQ(config().getRegistryKey(), c.registryKey);
        EXPECT_EQ(config().getInstallerUrl(), host + c.installerPath);
        EXPECT_EQ(config().getInstallerPath(L"/home/u/Nimbaro"), std::wstring(L"/home/u/Nimbaro") + c.installerFile);
        EXPECT_EQ(config().getInstallerPath(L"/home/u/Nimbaro/"), std::wstring(L"/home/u/Nimbaro") + c.installerFile);
    }
}

TEST_F(ConfigTables, DocumentAddresses) {
    select(9, L"cn");
    EXPECT_EQ(config().getPlayerInfoUrl(), deployment::resourceHost() + L"/vx/tavrel");
    EXPECT_EQ(config().getOpenIdConfigUrl(L"12345"), deployment::resourceHost() + L"/player_files/openidconfig/12345.data");
    select(9, L"fr");
    EXPECT_EQ(config().getPlayerInfoUrl(), deployment::cdnHost() + L"/player_files/en/tavrel");
    EXPECT_EQ(config().getOpenIdConfigUrl(L"12345"), deployment::cdnHost() + L"/player_files/openidconfig/12345.data");
}

TEST_F(ConfigTables, MarketTables) {
    const std::wstring defaultHome = (select(4, L"en"), config().getHomepageUrl());
    const std::wstring defaultCommunity = config().getCommunityUrl();
    const std::wstring defaultId = config().getMeasurementId();
    const std::wstring defaultSecret = config().getApiSecret();
    const std::wstring defaultAlternate = config().getAlternateDownloadUrl();

    // "tr" has its own language bundle but the default pages and property.
    select(4, L"tr");
    EXPECT_EQ(config().getLanguageFilePath(), L"language/downloader_tr.xml");
    EXPECT_EQ(config().getHomepageUrl(), defaultHome);
    EXPECT_EQ(config().getCommunityUrl(), defaultCommunity);
    EXPECT_EQ(config().getMeasurementId(), defaultId);

    // Unknown markets behave like "en" in every table.
    for (const wchar_t* code : {L"it", L"my", L"ua", L"in", L"xx"}) {
        select(4, code);
        EXPECT_EQ(config().getLanguageFilePath(), L"language/downloader_en.xml");
        EXPECT_EQ(config().getHomepageUrl(), defaultHome);
        EXPECT_EQ(config().getCommunityUrl(), defaultCommunity);
        EXPECT_EQ(config().getMeasurementId(), defaultId);
        EXPECT_EQ(config().getApiSecret(), defaultSecret);
        EXPECT_EQ(config().getAlternateDownloadUrl(), defaultAlternate);
    }

    // Regional sub-sites are named by the code; "cn" and "tw" have their own sites.
    select(4, L"kr");
    EXPECT_EQ(config().getHomepageUrl(), defaultHome + L"kr/");
    select(4, L"cn");
    EXPECT_EQ(config().getHomepageUrl().rfind(L"http://", 0), 0u);
    EXPECT_EQ(config().getCommunityUrl(), config().getHomepageUrl());
    EXPECT_EQ(config().getAlternateDownloadUrl(), config().getHomepageUrl());
    select(4, L"tw");
    EXPECT_NE(config().getHomepageUrl(), defaultHome);
    EXPECT_EQ(config().getHomepageUrl().rfind(L"https://", 0), 0u);
}

TEST_F(ConfigTables, AnalyticsPropertiesAreWellFormedAndFourteen) {
    const wchar_t* codes[] = {L"cn", L"tw", L"kr", L"vn", L"th", L"ru", L"pt", L"jp",
                              L"id", L"fr", L"es", L"de", L"ar", L"fa", L"en"};
    std::set<std::wstring> ids;
    for (const wchar_t* code : codes) {
        select(4, code);
        std::wstring id = config().getMeasurementId(), secret = config().getApiSecret();
        ASSERT_EQ(id.size(), 12u);
        EXPECT_EQ(id.substr(0, 2), L"G-");
        for (wchar_t c : id.substr(2)) EXPECT_TRUE((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'));
        ASSERT_EQ(secret.size(), 22u);
        for (wchar_t c : secret)
            EXPECT_TRUE(iswalnum(c) || c == L'-' || c == L'_') << int(c);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 14u) << "cn and tw share one property, every other market has its own";
    select(4, L"cn");
    std::wstring cn = config().getMeasurementId();
    select(4, L"tw");
    EXPECT_EQ(config().getMeasurementId(), cn);
}

}  // namespace
