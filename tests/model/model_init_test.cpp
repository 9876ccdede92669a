#include <gtest/gtest.h>

#include "app/config_imp.h"
#include "app/downloader_model.h"
#include "app/language_tables.h"
#include "support/test_env.h"

using testing_support::ScopedEnv;

namespace {

// The system language comes from the locale environment; pin it for every case.
class ModelInit : public ::testing::Test {
protected:
    testing_support::IsolatedHome home_;
    void SetUp() override { ConfigImp::instance()->reset(); }
    void TearDown() override { ConfigImp::instance()->reset(); }
    ScopedEnv language_{"LANGUAGE", std::nullopt};
    ScopedEnv lcAll_{"LC_ALL", std::nullopt};
    ScopedEnv lcMessages_{"LC_MESSAGES", std::nullopt};
    ScopedEnv lang_{"LANG", "ko_KR.UTF-8"};
};

TEST_F(ModelInit, FileNames) {
    struct Case {
        const wchar_t* fileName;
        int variant;
        const wchar_t* market;
        const wchar_t* languageCode;
        const wchar_t* locale;
        const wchar_t* openId;
        const wchar_t* package;
        const wchar_t* googleId;
        const wchar_t* campaign;
    } cases[] = {
        {L"nimbaro9_en_12345_x", 9, L"en", L"en", L"en_US", L"12345", L"", L"", L"Downloader"},
        // "ens": market "en", language from the system (Korean here).
        {L"nimbaro64_ens_com.example.game_5678_g1_g2_x", 64, L"en", L"kr", L"ko_KR", L"5678", L"com.example.game",
         L"g1_g2", L"Downloader"},
        {L"nimbaro4_tw_2500_x", 4, L"tw", L"tw", L"zh_TW", L"2500", L"", L"", L"Nimbaro Installer_200"},
        {L"Nimbaro9_cn_1_a", 9, L"cn", L"cn", L"zh_CN", L"1", L"", L"", L"Downloader"},
        {L"nimbaro3_fr_12345_g9_x", 3, L"fr", L"fr", L"fr_FR", L"12345", L"", L"g9", L"Downloader"},
        // A package of five characters or fewer is not kept.
        {L"nimbaro9_en_com.g_77_x", 9, L"en", L"en", L"en_US", L"77", L"", L"", L"Downloader"},
        // Fewer than four parts: nothing is read from the name.
        {L"installer_en_5", 4, L"en", L"kr", L"ko_KR", L"100", L"", L"", L"Downloader"},
        {L"", 4, L"en", L"kr", L"ko_KR", L"100", L"", L"", L"Downloader"},
        // Unknown type keeps variant 4; an unknown market becomes the language code, locale falls back.
        {L"player_zz_42_x", 4, L"zz", L"zz", L"en_US", L"42", L"", L"", L"Downloader"},
        // A language part longer than three characters is ignored.
        {L"nimbaro9_english_42_x", 9, L"en", L"kr", L"ko_KR", L"42", L"", L"", L"Downloader"},
        {L"nimbaro9_en_2999_x", 9, L"en", L"en", L"en_US", L"2999", L"", L"", L"Nimbaro Installer_200"},
        {L"nimbaro9_en_3000_x", 9, L"en", L"en", L"en_US", L"3000", L"", L"", L"Downloader"},
    };
    for (const auto& c : cases) {
        ConfigImp::instance()->reset();
        DownloaderModel model;
        model.startConfigurationFetch = false;
        model.initWithFileName(c.fileName, nullptr);
        SCOPED_TRACE(testing::Message() << "file name #" << (&c - cases));
        EXPECT_EQ(ConfigImp::instance()->variant(), c.variant);
        EXPECT_EQ(ConfigImp::instance()->getRegionCode(), c.market);
        EXPECT_EQ(model.getLanguageCode(), c.languageCode);
        EXPECT_EQ(model.getLocale(), c.locale);
        EXPECT_EQ(model.getOpenId(), c.openId);
        EXPECT_EQ(model.packageName, c.package);
        EXPECT_EQ(model.googleId, c.googleId);
        EXPECT_EQ(ConfigImp::instance()->getCampaignName(), c.campaign);
    }
}

TEST_F(ModelInit, CommandLines) {
    struct Case {
        const wchar_t* commandLine;
        size_t apps;
        const wchar_t* name;
        const wchar_t* package;
        const wchar_t* url;
    } cases[] = {
        {L"\"name=Game|package=com.g|apkurl=u\"", 1, L"Game", L"com.g", L"u"},
        {L"name=Game|package=com.g", 0, L"", L"", L""},
        {L"APKURL=u", 1, L"", L"", L"u"},
        {L" name = My Game | apkurl = https://h/a.apk | apkurl = https://h/b.apk ", 1, L"My Game", L"",
         L"https://h/b.apk"},
        {L"silent=1", 0, L"", L"", L""},
        {L"", 0, L"", L"", L""},
        {L"|||=x|noequals", 0, L"", L"", L""},
    };
    for (const auto& c : cases) {
        DownloaderModel model;
        model.startConfigurationFetch = false;
        model.initWithFileName(L"nimbaro9_en_12345_x", c.commandLine);
        SCOPED_TRACE(testing::Message() << "command line #" << (&c - cases));
        ASSERT_EQ(model.apps.size(), c.apps);
        if (c.apps == 0) continue;
        EXPECT_EQ(model.apps[0].gameName, c.name);
        EXPECT_EQ(model.apps[0].packageName, c.package);
        EXPECT_EQ(model.apps[0].downloadUrl, c.url);
        EXPECT_TRUE(model.apps[0].gameId.empty());
        EXPECT_FALSE(model.apps[0].fromAppStore);
    }
    DownloaderModel nullLine;
    nullLine.startConfigurationFetch = false;
    nullLine.initWithFileName(L"nimbaro9_en_12345_x", nullptr);
    EXPECT_TRUE(nullLine.apps.empty());
}

TEST_F(ModelInit, SetLocaleDerivesTheCode) {
    DownloaderModel model;
    model.setLocale(L"ja_JP");
    EXPECT_EQ(model.getLanguageCode(), L"jp");
    model.setLocale(L"xx_YY");
    EXPECT_EQ(model.getLanguageCode(), L"en");
}

TEST(LanguageTables, CodesAndLocalesAreInverse) {
    const wchar_t* codes[] = {L"tw", L"kr", L"vn", L"th", L"ru", L"pt", L"tr", L"es", L"ar", L"jp",
                              L"in", L"de", L"fr", L"id", L"cn", L"it", L"en", L"my", L"ua", L"fa"};
    for (const wchar_t* code : codes) EXPECT_EQ(language::codeOfLocale(language::localeOfCode(code)), code);
    EXPECT_EQ(language::localeOfCode(L"id"), L"in_ID");
    EXPECT_EQ(language::localeOfCode(L"ar"), L"ar_IL");
    EXPECT_EQ(language::localeOfCode(L"nope"), L"en_US");
    EXPECT_EQ(language::codeOfLocale(L"zh_HK"), L"en");
}

TEST(LanguageTables, SystemLanguage) {
    struct Case {
        const char* text;
        const wchar_t* locale;
    } cases[] = {
        {"zh_CN.UTF-8", L"zh_TW"}, {"zh_TW", L"zh_TW"},      {"zh_HK.UTF-8", L"zh_TW"}, {"zh", L"zh_TW"},
        {"ko_KR.UTF-8", L"ko_KR"}, {"en_GB.UTF-8", L"en_US"}, {"pt_BR", L"pt_PT"},       {"ja_JP.eucJP", L"ja_JP"},
        {"id_ID.UTF-8", L"in_ID"}, {"uk_UA", L"uk_UA"},       {"ms_MY", L"ms_MY"},       {"hi_IN", L"hi_IN"},
        {"C", L"en_US"},           {"POSIX", L"en_US"},       {"nl_NL.UTF-8", L"en_US"}, {"de:en", L"de_DE"},
        {"sr_RS@latin", L"en_US"}, {"FR_fr", L"fr_FR"},
    };
    for (const auto& c : cases) EXPECT_EQ(language::systemLocaleFrom(c.text), c.locale) << c.text;
}

TEST(LanguageTables, SystemLanguageTakesTheFirstSetVariable) {
    ScopedEnv language("LANGUAGE", "");
    ScopedEnv all("LC_ALL", std::nullopt);
    ScopedEnv messages("LC_MESSAGES", "vi_VN.UTF-8");
    ScopedEnv lang("LANG", "ru_RU.UTF-8");
    EXPECT_EQ(language::systemLocale(), L"vi_VN");
}

TEST(InstallerName, SuffixIsCutOnlyWhenItIsAFileType) {
    EXPECT_EQ(installerNameOf(L"/d/nimbaro9_en_12345_x.exe"), L"nimbaro9_en_12345_x");
    EXPECT_EQ(installerNameOf(L"/d/nimbaro9_en_12345_x"), L"nimbaro9_en_12345_x");
    EXPECT_EQ(installerNameOf(L"/d/nimbaro64_ens_com.example.game_5678_g1_g2_x"),
              L"nimbaro64_ens_com.example.game_5678_g1_g2_x");
    EXPECT_EQ(installerNameOf(L"/d/nimbaro64_ens_com.example.game_5678_x.AppImage"),
              L"nimbaro64_ens_com.example.game_5678_x");
}

}  // namespace
