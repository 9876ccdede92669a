// The remote configuration: the variant document (installer address) and the open-id document (game
// packages, launch images, title, shortcut, emulator settings), fetched on urlThread.
#include <rapidjson/document.h>

#include "app/config_imp.h"
#include "app/downloader_model.h"
#include "common/log.h"
#include "net/vx_curl_downloader.h"
#include "utility/text_codec.h"

namespace {

const char* variantMember(int variant) {
    switch (variant) {
    case 4: return "kvr4";
    case 64: return "kvr64";
    case 9: return "kvr9";
    default: return "kvr";
    }
}

bool readString(const rapidjson::Value& object, const char* key, std::wstring& out) {
    auto it = object.FindMember(key);
    if (it == object.MemberEnd() || !it->value.IsString()) return false;
    out = utility::utf8ToWide(std::string(it->value.GetString(), it->value.GetStringLength()));
    return true;
}

bool readInt(const rapidjson::Value& object, const char* key, int& out) {
    auto it = object.FindMember(key);
    if (it == object.MemberEnd() || !it->value.IsInt()) return false;
    out = it->value.GetInt();
    return true;
}

// One "result" element; keys holding anything but a string are ignored one by one.
AppPackageInfo readPackage(const rapidjson::Value& element) {
    AppPackageInfo app;
    if (!element.IsObject()) return app;
    readString(element, "app_download_url", app.downloadUrl);
    readString(element, "app_package_name", app.packageName);
    readString(element, "gamename", app.gameName);
    readString(element, "game_slt_url", app.sltUrl);
    readString(element, "resolution", app.resolution);
    readString(element, "gameid", app.gameId);
    readString(element, "app_icon", app.iconUrl);
    std::wstring obb;
    if (readString(element, "app_obb", obb) && !obb.empty()) app.obbUrl = obb;
    std::wstring flag;
    if (readString(element, "from_appstore", flag)) app.fromAppStore = flag == L"1";
    flag.clear();
    if (readString(element, "xapk", flag)) app.isXapk = flag == L"1";
    return app;
}

}  // namespace

bool DownloaderModel::applyVariantDocument(const std::string& bytes) {
    rapidjson::Document doc;
    doc.Parse(bytes.c_str());  // stops at an embedded zero, like a zero-terminated text
    if (doc.HasParseError() || !doc.IsObject()) return false;
    auto it = doc.FindMember(variantMember(ConfigImp::instance()->variant()));
    if (it == doc.MemberEnd() || !it->value.IsObject()) return true;
    const rapidjson::Value& v = it->value;
    readString(v, "ver", playerVersion);
    auto md5 = v.FindMember("md5");
    if (md5 != v.MemberEnd() && md5->value.IsString())
        playerMd5.assign(md5->value.GetString(), md5->value.GetStringLength());
    std::wstring url;
    if (readString(v, "url", url)) setPlayerUrl(url);
    return true;
}

void DownloaderModel::applyOpenIdDocument(const std::string& bytes) {
    rapidjson::Document doc;
    doc.Parse(bytes.c_str());
    if (doc.HasParseError() || !doc.IsObject()) return;

    auto result = doc.FindMember("result");
    if (result != doc.MemberEnd() && result->value.IsArray()) {
        for (const auto& element : result->value.GetArray()) {
            AppPackageInfo app = readPackage(element);
            if (!app.downloadUrl.empty() || !app.gameId.empty() || !app.packageName.empty()) apps.push_back(app);
        }
    }

    readString(doc, "launch_h", launchImageH);
    readString(doc, "launch_V", launchImageV);
    readString(doc, "title", title);
    readString(doc, "runapp", runApp);
    readString(doc, "qqlink", qqLink);
    readString(doc, "shortcutname", shortcutName);
    readString(doc, "shortcuturl", shortcutUrl);
    readString(doc, "heapsize", heapSize);
    int value = 0;
    if (readInt(doc, "ad", value)) adShow = value != 0;
    if (readInt(doc, "cleanmodel", value)) cleanModel = value != 0;
    if (readInt(doc, "runappstore", value)) runAppStore = value != 0;
    auto root = doc.FindMember("root");
    if (root != doc.MemberEnd() && root->value.IsBool()) useRoot = root->value.GetBool() ? 1 : 0;
}

void DownloaderModel::_threadGetPlayerUrl() {
    NLOG(L"start get player url");
    std::wstring url = ConfigImp::instance()->getPlayerInfoUrl();
    std::string bytes;
    if (!configDownloader.downloadToMemory(bytes, url)) {
        NLOG(L"error 1");
        sendEvent(L"getPlayerUrl_error", openId);
        bytes.clear();
        VxCurlDownloader::downloadMemory(utility::wideToAnsi(url), bytes);
    }
    if (!applyVariantDocument(bytes)) {
        NLOG(L"error 2");
        sendEvent(L"getPlayerUrl_error", openId);
    }
    if (apps.empty()) _getPackageByOpenID(apps);
}

void DownloaderModel::_getPackageByOpenID(std::vector<AppPackageInfo>&) {
    if (openId.size() > 4) {
        NLOG(L"start get package.");
        std::wstring url = ConfigImp::instance()->getOpenIdConfigUrl(openId);
        NLOG(L"get package data by vxcurl ");
        std::string bytes;
        VxCurlDownloader::downloadMemory(utility::wideToAnsi(url), bytes);
        applyOpenIdDocument(bytes);
    }
    NLOG(L"package is %s", packageName);
}
