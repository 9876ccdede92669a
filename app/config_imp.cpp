#include "app/config_imp.h"

#include <array>

#include "app/deployment_hosts.h"
#include "common/log.h"

namespace {

// Sites and pages of the markets. Addresses are deployment data; the defaults sit under reserved
// example domains.
struct MarketPage {
    const wchar_t* code;
    const wchar_t* url;
};

constexpr const wchar_t* kHomeMarketSite = L"http://www.nimbaro.example.cn/";
constexpr const wchar_t* kTwSite = L"https://tw.nimbaro.example.com/";
constexpr const wchar_t* kInternationalSite = L"https://www.nimbaro.example.com/";

constexpr std::array<const wchar_t*, 12> kRegionalSubsites = {L"kr", L"vn", L"th", L"ru", L"pt", L"id",
                                                              L"es", L"fr", L"jp", L"ar", L"fa", L"de"};

constexpr MarketPage kCommunityPages[] = {
    {L"tw", L"https://www.facebook.example.com/nimbaro.tw"},
    {L"kr", L"https://cafe.naver.example.com/nimbaro"},
    {L"vn", L"https://www.facebook.example.com/nimbaro.vn"},
    {L"th", L"https://www.facebook.example.com/nimbaro.th"},
    {L"pt", L"https://www.facebook.example.com/nimbaro.pt"},
    {L"ru", L"https://vk.example.com/nimbaro"},
    {L"fr", L"https://www.facebook.example.com/nimbaro.fr"},
    {L"jp", L"https://twitter.example.com/nimbaro_jp"},
    {L"ar", L"https://www.facebook.example.com/nimbaro.ar"},
    {L"fa", L"https://www.facebook.example.com/nimbaro.fa"},
    {L"de", L"https://www.facebook.example.com/nimbaro.de"},
    {L"id", L"https://www.facebook.example.com/nimbaro.id"},
};
constexpr const wchar_t* kDefaultCommunityPage = L"https://www.facebook.example.com/nimbaro";

constexpr const wchar_t* kAlternateDownload =
    L"https://drive.google.example.com/uc?id=1Nx7pQ2rT4vW6yZ8bC0dF3hJ5kM7nP9sU&export=download";

constexpr const wchar_t* kLanguageBundles[] = {L"cn", L"tw", L"kr", L"vn", L"th", L"ru", L"pt", L"fr",
                                               L"jp", L"es", L"id", L"ar", L"fa", L"tr", L"de"};

const wchar_t* variantName(int variant) {
    switch (variant) {
    case 4: return L"4.0";
    case 64: return L"64";
    case 9: return L"9";
    default: return L"3.0";
    }
}

}  // namespace

ConfigImp* ConfigImp::instance() {
    static ConfigImp* config = new ConfigImp;  // read by workers until process end
    return config;
}

void ConfigImp::setPlayer4() {
    is4_ = true;
    is64_ = false;
    is9_ = false;
    NLOG(L"player is 4");
}

void ConfigImp::setPlayer64() {
    is4_ = false;
    is64_ = true;
    is9_ = false;
    NLOG(L"player is 64");
}

void ConfigImp::setPlayer3() {
    is4_ = false;
    is64_ = false;
    is9_ = false;
}

void ConfigImp::setPlayer9() {
    is4_ = false;
    is64_ = false;
    is9_ = true;
}

int ConfigImp::variant() const {
    if (is4_) return 4;
    if (is64_) return 64;
    if (is9_) return 9;
    return 3;
}

void ConfigImp::setRegionCode(const std::wstring& code) {
    std::lock_guard<std::mutex> g(lock_);
    regionCode_ = code;
}

void ConfigImp::setCampaignName(const std::wstring& name) {
    std::lock_guard<std::mutex> g(lock_);
    campaignName_ = name;
}

std::wstring ConfigImp::getRegionCode() const {
    std::lock_guard<std::mutex> g(lock_);
    return regionCode_;
}

std::wstring ConfigImp::getCampaignName() const {
    std::lock_guard<std::mutex> g(lock_);
    return campaignName_;
}

bool ConfigImp::isHomeMarket() const { return getRegionCode() == L"cn"; }

std::wstring ConfigImp::getInstallSubdir() const {
    std::wstring folder = L"Nimbaro" + std::wstring(variantName(variant()));
    return (isHomeMarket() ? L"Tavrel/" : L"Nimbaro/") + folder + L"/";
}

std::wstring ConfigImp::getRegistryKey() const {
    bool cn = isHomeMarket();
    switch (variant()) {
    case 4: return cn ? L"Software\\tavrel\\Nimbaro" : L"Software\\Orsolan\\Nimbaro";
    case 64: return cn ? L"Software\\tavrel\\Nimbaro64" : L"Software\\Orsolan\\Nimbaro64";
    case 9: return cn ? L"Software\\tavrel\\Nimbaro9" : L"Software\\Orsolan\\Nimbaro9";
    default: return cn ? L"Software\\Peldrun2\\qxplayer" : L"Software\\Peldrun\\Nimbaro";
    }
}

std::wstring ConfigImp::getInstallerUrl() const {
    if (isHomeMarket()) {
        std::wstring name = variant() == 64 ? L"vxinst64" : variant() == 9 ? L"vxinst9" : std::wstring(L"vxinst") + variantName(variant());
        return deployment::resourceHost() + L"/download/release/" + name + L".exe";
    }
    std::wstring name = variant() == 9 ? L"Nimbaro9.0" : std::wstring(L"Nimbaro") + variantName(variant());
    return deployment::cdnHost() + L"/download/package/" + name + L".exe";
}

std::wstring ConfigImp::getPlayerInfoUrl() const {
    if (isHomeMarket()) return deployment::resourceHost() + L"/vx/tavrel";
    return deployment::cdnHost() + L"/player_files/en/tavrel";
}

std::wstring ConfigImp::getOpenIdConfigUrl(const std::wstring& openId) const {
    std::wstring host = isHomeMarket() ? deployment::resourceHost() : deployment::cdnHost();
    return host + L"/player_files/openidconfig/" + openId + L".data";
}

std::wstring ConfigImp::getInstallerPath(const std::wstring& installDir) const {
    std::wstring folder = installDir;
    if (!folder.empty() && folder.back() != L'/') folder += L'/';
    return folder + (isHomeMarket() ? L"vxinst" : L"Nimbaro");
}

std::wstring ConfigImp::getLanguageFilePath() const {
    std::wstring code = getRegionCode();
    for (const wchar_t* known : kLanguageBundles) {
        if (code == known) return L"language/downloader_" + code + L".xml";
    }
    return L"language/downloader_en.xml";
}

std::wstring ConfigImp::getHomepageUrl() const {
    std::wstring code = getRegionCode();
    if (code == L"cn") return kHomeMarketSite;
    if (code == L"tw") return kTwSite;
    for (const wchar_t* sub : kRegionalSubsites) {
        if (code == sub) return std::wstring(kInternationalSite) + code + L"/";
    }
    return kInternationalSite;
}

std::wstring ConfigImp::getCommunityUrl() const {
    std::wstring code = getRegionCode();
    if (code == L"cn") return kHomeMarketSite;
    for (const auto& page : kCommunityPages) {
        if (code == page.code) return page.url;
    }
    return kDefaultCommunityPage;
}

std::wstring ConfigImp::getAlternateDownloadUrl() const {
    return isHomeMarket() ? kHomeMarketSite : kAlternateDownload;
}

std::wstring ConfigImp::getMeasurementId() const { return deployment::analyticsProperty(getRegionCode()).measurementId; }

std::wstring ConfigImp::getApiSecret() const { return deployment::analyticsProperty(getRegionCode()).apiSecret; }

void ConfigImp::reset() {
    setPlayer4();
    setRegionCode(L"en");
    setCampaignName(L"Downloader");
}
