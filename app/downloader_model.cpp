#include "app/downloader_model.h"

#include <cwchar>

#include "app/analytics_transport.h"
#include "app/config_imp.h"
#include "app/deployment_hosts.h"
#include "app/install_path.h"
#include "app/language_tables.h"
#include "common/log.h"
#include "platform/system.h"
#include "utility/strings.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"
#include "utility/user_registry.h"
#include "utility/window_ipc.h"

namespace {

constexpr const wchar_t* kInstanceName = L"{7D3A51C2-9E84-4F0B-A6D1-3C58B2E07F49}";
constexpr unsigned kIpcShowMainWindow = 11123;

DownloaderModel* g_model = nullptr;

std::wstring joinParts(const std::vector<std::wstring>& parts, size_t first, size_t last) {
    std::wstring out;
    for (size_t i = first; i <= last && i < parts.size(); ++i) {
        if (i > first) out += L"_";
        out += parts[i];
    }
    return out;
}

// wcstol's reading: leading blanks, optional sign, digits; 0 when none. Clamped instead of overflowing.
long leadingInteger(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > 0x7FFFFFFFLL) value = 0x7FFFFFFFLL + (negative ? 1 : 0);
    }
    return long(negative ? -value : value);
}

}  // namespace

std::wstring installerNameOf(const std::wstring& path) {
    std::wstring name = utility::ufile::getFileName(path, true);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && name.find(L'_', dot) == std::wstring::npos) name.resize(dot);
    return name;
}

DownloaderModel* DownloaderModel::instance() {
    if (!g_model) g_model = new DownloaderModel;
    return g_model;
}

void DownloaderModel::destroyInstance() {
    delete g_model;
    g_model = nullptr;
}

DownloaderModel::DownloaderModel()
    : reporter(std::make_unique<net::AnalyticsReporter>(makeAnalyticsPoster(), deployment::analyticsHost())) {}

DownloaderModel::~DownloaderModel() { stop(); }

bool DownloaderModel::popupExistPwnd() {
    int handle = utility::createSingleInstanceMutex(kInstanceName, false, true);
    if (handle >= 0) {
        instanceMutex = handle;
        NLOG(L"wnd not exist");
        return false;
    }
    utility::WindowIPC peer;
    if (peer.open(kInstanceName, L"")) peer.postMessage(kIpcShowMainWindow, 0, 0);
    NLOG(L"wnd exist");
    return true;
}

void DownloaderModel::init(const wchar_t* commandLine) {
    initWithFileName(installerNameOf(utility::utf8ToWide(platform::executablePath())), commandLine);
}

void DownloaderModel::initWithFileName(const std::wstring& fileName, const wchar_t* commandLine) {
    NLOG(L"DownloaderModel exe filename= %s", fileName);
    parseFileName(fileName);

    if (!languageCode.empty()) {
        locale = language::localeOfCode(languageCode);
    } else {
        locale = language::systemLocale();
        languageCode = language::codeOfLocale(locale);
    }

    ConfigImp* config = ConfigImp::instance();
    reporter->setProperty(config->getMeasurementId(), config->getApiSecret());
    NLOG(L"openid is %s, package is %s", openId, packageName);

    _calcInstallPath();

    long id = leadingInteger(openId);
    if (id >= 2001 && id <= 2999) config->setCampaignName(L"Nimbaro Installer_200");
    NLOG(L"ad id : %s", config->getCampaignName());

    parseCommandLine(commandLine);
    if (startConfigurationFetch)
        urlThread.start(new utility::MemberFuncRunable<DownloaderModel>(this, &DownloaderModel::_threadGetPlayerUrl));
}

void DownloaderModel::parseFileName(const std::wstring& fileName) {
    std::vector<std::wstring> parts;
    utility::split(fileName, L"_", parts);
    const size_t n = parts.size();
    if (n < 4) return;

    std::wstring type = parts[0], lang = parts[1], id = parts[2], package, google;
    if (n >= 5) {
        if (utility::isAllDigits(parts[2])) {
            google = joinParts(parts, 3, n - 2);
        } else {
            package = parts[2];
            id = parts[3];
            if (n >= 6) google = joinParts(parts, 4, n - 2);
        }
    }
    googleId += google;

    NLOG(L"type: %s, package:%s, openID:%s google id %s", type, package, id, google);
    NLOG(L"model. type: %s, language %s package:%s, openID:%s", type, lang, package, id);

    if (!id.empty() && openId == L"100") openId = id;
    ConfigImp* config = ConfigImp::instance();
    if (!lang.empty() && lang.size() <= 3) {
        if (lang == L"ens") {
            config->setRegionCode(L"en");
        } else {
            config->setRegionCode(lang);
            languageCode = lang;
        }
    }
    if (package.size() > 5) packageName = package;

    utility::toLower(type);
    if (type == L"nimbaro4")
        config->setPlayer4();
    else if (type == L"nimbaro64")
        config->setPlayer64();
    else if (type == L"nimbaro3")
        config->setPlayer3();
    else if (type == L"nimbaro9")
        config->setPlayer9();
}

utility::StringMap parseCommandLineKeys(const wchar_t* commandLine) {
    utility::StringMap keys;
    if (!commandLine) return keys;
    std::wstring line = commandLine;
    if (line.size() > 5) {
        if (line.front() == L'"') line.erase(0, 1);
        if (!line.empty() && line.back() == L'"') line.pop_back();
    }
    std::vector<std::wstring> tokens;
    utility::split(line, L"|", tokens);
    utility::parseKeyValues(tokens, L"=", keys);
    return keys;
}

bool isSilentCommandLine(const wchar_t* commandLine) {
    std::wstring value;
    return utility::lookup(parseCommandLineKeys(commandLine), L"silent", value) && value == L"1";
}

void DownloaderModel::parseCommandLine(const wchar_t* commandLine) {
    utility::StringMap keys = parseCommandLineKeys(commandLine);
    if (keys.empty()) return;

    std::wstring name, package, apkUrl;
    utility::lookup(keys, L"name", name);
    utility::lookup(keys, L"package", package);
    utility::lookup(keys, L"apkurl", apkUrl);
    if (!apkUrl.empty()) {
        AppPackageInfo app;
        app.downloadUrl = apkUrl;
        app.packageName = package;
        app.gameName = name;
        apps.push_back(app);
    }
    NLOG(L"cmdline is %s, %s, %s", name, package, apkUrl);
}

void DownloaderModel::_calcInstallPath() {
    ConfigImp* config = ConfigImp::instance();
    installPath = calcInstallPath(config->variant(), config->getRegionCode(), config->getRegistryKey(),
                                  config->getInstallSubdir(), [](const std::wstring& key) {
                                      return utility::registry::readString(key, L"InstallDir");
                                  });
}

void DownloaderModel::setLocale(const std::wstring& newLocale) {
    locale = newLocale;
    languageCode = language::codeOfLocale(newLocale);
}

void DownloaderModel::sendEvent(const std::wstring& name, const std::wstring& label) {
    if (reporter) reporter->sendEvent(L"ui", name, label);
}

void DownloaderModel::sendEventNow(const std::wstring& name, const std::wstring& label) {
    if (reporter) reporter->sendEventNow(L"ui", name, label);
}

void DownloaderModel::stop() {
    retryTimer.stop();
    spareTimer.stop();
    if (instanceMutex >= 0) {
        utility::closeSingleInstanceMutex(instanceMutex);
        instanceMutex = -1;
    }
    urlThread.stop(1000);
    spareThread.stop(1000);
    downloadThread.stop(1000);
    installerDownloader.stop();
    if (reporter) reporter->disable();
    uiPoster.cancelAll();
}
