#pragma once
// Answers every question whose answer depends on the emulator variant and the market: where the installer
// comes from and goes, the emulator's registry key, pages, language bundle, analytics property.
// One per process. Variant and market are set on the UI thread; any thread may read.
#include <mutex>
#include <string>

class ConfigImp {
public:
    static ConfigImp* instance();

    void setPlayer4();
    void setPlayer64();
    void setPlayer3();
    void setPlayer9();
    bool is4() const { return is4_; }
    bool is64() const { return is64_; }
    bool is9() const { return is9_; }
    // 4, 64, 9 or 3, read from the flags in that order.
    int variant() const;

    void setRegionCode(const std::wstring& code);
    void setCampaignName(const std::wstring& name);
    std::wstring getRegionCode() const;
    std::wstring getCampaignName() const;

    std::wstring getProductName() const { return L"Nimbaro"; }
    std::wstring getInstallSubdir() const;      // ends with "/"
    std::wstring getRegistryKey() const;        // under HKEY_CURRENT_USER
    std::wstring getInstallerUrl() const;
    std::wstring getPlayerInfoUrl() const;
    std::wstring getOpenIdConfigUrl(const std::wstring& openId) const;
    std::wstring getInstallerPath(const std::wstring& installDir) const;
    std::wstring getLanguageFilePath() const;   // inside the skin
    std::wstring getHomepageUrl() const;
    std::wstring getCommunityUrl() const;
    std::wstring getAlternateDownloadUrl() const;
    std::wstring getMeasurementId() const;
    std::wstring getApiSecret() const;

    // Back to the initial values (variant 4, market "en", campaign "Downloader"). For tests.
    void reset();

private:
    ConfigImp() = default;
    bool isHomeMarket() const;

    mutable std::mutex lock_;  // guards the two strings: the market changes while workers may read it
    std::wstring regionCode_ = L"en";
    std::wstring campaignName_ = L"Downloader";
    bool is4_ = true;
    bool is64_ = false;
    bool is9_ = false;
};
