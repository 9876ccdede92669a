#include "net/vx_curl_downloader.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <atomic>
#include <cerrno>
#include <new>

#include "common/log.h"
#include "platform/system.h"
#include "utility/deployment.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

namespace {

constexpr long kMaxFileRedirects = 5;
// Memory and POST transfers follow longer chains, but not a redirect loop forever.
constexpr long kMaxOtherRedirects = 30;
constexpr curl_off_t kMaxFileSpeed = 20971520;
constexpr long kPostConnectTimeoutMs = 8000;

std::atomic<uint32_t> g_stallTimeoutMs{60000};

// Fails a transfer on which nothing moved for the stall time.
struct StallWatch {
    uint32_t stallMs = g_stallTimeoutMs.load();
    uint32_t lastMoveTick = platform::tickCount();
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;
    bool stalled = false;

    bool expired(curl_off_t down, curl_off_t up) {
        uint32_t now = platform::tickCount();
        if (down != lastDown || up != lastUp) {
            lastDown = down;
            lastUp = up;
            lastMoveTick = now;
            return false;
        }
        stalled = uint32_t(now - lastMoveTick) > stallMs;
        return stalled;
    }
};

struct ProgressContext {
    StallWatch watch;
    uint32_t lastReportTick = 0;
    VxCurlDownloader::ProgressFunction progress;
};

size_t appendToChunk(const char* function, char* data, size_t size, size_t count, void* user) {
    auto* chunk = static_cast<std::string*>(user);
    size_t bytes = size * count;
    try {
        chunk->append(data, bytes);
    } catch (const std::bad_alloc&) {
        common::log(function, __LINE__, L"not enough memory error %d", ENOMEM);
        return 0;
    }
    return bytes;
}

size_t WriteMemoryCallback(char* data, size_t size, size_t count, void* user) {
    return appendToChunk("WriteMemoryCallback", data, size, count, user);
}

size_t WriteMemoryCallbackPost(char* data, size_t size, size_t count, void* user) {
    return appendToChunk("WriteMemoryCallbackPost", data, size, count, user);
}

size_t WriteFileCallback(char* data, size_t size, size_t count, void* user) {
    size_t bytes = size * count;
    return static_cast<utility::FileWriter*>(user)->write(data, bytes) ? bytes : 0;
}

int StallCallback(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
    return static_cast<StallWatch*>(user)->expired(down, up) ? 1 : 0;
}

int ProgressCallback(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t up) {
    auto* context = static_cast<ProgressContext*>(user);
    if (context->watch.expired(now, up)) return 1;
    double totalBytes = double(total);
    if (totalBytes > -0.1 && totalBytes < 0.1) return 0;
    int percent = int(double(now) / totalBytes * 100);
    if (percent >= 100) percent = 99;
    uint32_t tick = platform::tickCount();
    if (uint32_t(tick - context->lastReportTick) <= 1000) return 0;
    context->lastReportTick = tick;
    if (context->progress) context->progress(percent);
    return 0;
}

// Adds the deployment's CA to the trust store libcurl built from the system bundle.
CURLcode addExtraCa(CURL*, void* sslContext, void* user) {
    const auto* path = static_cast<const std::string*>(user);
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
    if (!store || X509_STORE_load_file(store, path->c_str()) != 1) {
        common::log("VxCurlDownloader::addExtraCa", __LINE__, L"cannot load ca_file %s", utility::utf8ToWide(*path));
        return CURLE_SSL_CACERT_BADFILE;
    }
    return CURLE_OK;
}

// Options every transfer shares: verification, protocols, failing on HTTP errors, progress, error text.
void setCommonOptions(CURL* curl, const std::string& caFile, char* errorText,
                      curl_xferinfo_callback progress, void* progressData) {
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.empty()) {
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, addExtraCa);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &caFile);
    }
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, progressData);
}

void logErrorDetail(const char* function, const char* errorText, const StallWatch& watch) {
    if (watch.stalled)
        common::log(function, __LINE__, L"curl transfer stalled: nothing received for %d ms", int(watch.stallMs));
    else if (errorText[0])
        common::log(function, __LINE__, L"curl error detail %s", utility::utf8ToWide(errorText));
}

// Runs a memory or post transfer and logs its end under the caller's name; the body reaches `response` only
// on success.
bool performIntoMemory(CURL* curl, const char* function, const char* errorText, const StallWatch& watch,
                       const std::string& chunk, std::string& response) {
    CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        logErrorDetail(function, errorText, watch);
        common::log(function, __LINE__, L"curl download error %s", utility::ansiToWide(curl_easy_strerror(code)));
        return false;
    }
    common::log(function, __LINE__, L"curl download sucess %d", int(chunk.size()));
    response.assign(chunk);
    return true;
}

}  // namespace

bool VxCurlDownloader::globalInit() { return curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK; }

void VxCurlDownloader::globalCleanup() { curl_global_cleanup(); }

void VxCurlDownloader::setStallTimeoutMs(uint32_t ms) { g_stallTimeoutMs = ms; }

bool VxCurlDownloader::downloadMemory(const std::string& url, std::string& response) {
    NLOG(L"VxCurlDownloader::downloadMemory start");
    CURL* curl = curl_easy_init();
    if (!curl) {
        NLOG(L"curl init error");
        return false;
    }
    std::string chunk;
    std::string caFile = utility::wideToUtf8(utility::Deployment::get().caFile);
    StallWatch watch;
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteMemoryCallback);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &chunk);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxOtherRedirects);
    setCommonOptions(curl, caFile, errorText, StallCallback, &watch);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(watch.stallMs));
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());

    bool ok = performIntoMemory(curl, "VxCurlDownloader::downloadMemory", errorText, watch, chunk, response);
    curl_easy_cleanup(curl);
    return ok;
}

bool VxCurlDownloader::postRequest(const std::string& url, const std::string& body, std::string& response,
                                   const std::vector<std::string>& headers) {
    NLOG(L"VxCurlDownloader::postRequest start");
    CURL* curl = curl_easy_init();
    if (!curl) {
        NLOG(L"curl init error");
        return false;
    }
    std::string chunk;
    std::string caFile = utility::wideToUtf8(utility::Deployment::get().caFile);
    StallWatch watch;
    char errorText[CURL_ERROR_SIZE] = {};
    curl_slist* headerList = curl_slist_append(nullptr, "Content-Type:application/json;charset=UTF-8");
    for (const std::string& line : headers) {
        if (curl_slist* grown = curl_slist_append(headerList, line.c_str())) headerList = grown;
    }
    // Must outlive the transfer: libcurl sends it from this buffer.
    std::string utf8Body = utility::ansiToUtf8(body);

    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteMemoryCallbackPost);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &chunk);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxOtherRedirects);
    setCommonOptions(curl, caFile, errorText, StallCallback, &watch);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, utf8Body.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(utf8Body.size()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kPostConnectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());

    bool ok = performIntoMemory(curl, "VxCurlDownloader::postRequest", errorText, watch, chunk, response);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headerList);
    return ok;
}

bool VxCurlDownloader::downloadFile(const std::wstring& path, const std::string& url, const ProgressFunction& progress) {
    NLOG(L"VxCurlDownloader::downloadfile start");
    CURL* curl = curl_easy_init();
    if (!curl) {
        NLOG(L"curl init error");
        return false;
    }
    utility::FileWriter file;
    if (!file.open(path)) {
        NLOG(L"openfile error path : %s. %d", path, errno);
        curl_easy_cleanup(curl);
        return false;
    }
    ProgressContext context;
    context.progress = progress;
    std::string caFile = utility::wideToUtf8(utility::Deployment::get().caFile);
    char errorText[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteFileCallback);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    setCommonOptions(curl, caFile, errorText, ProgressCallback, &context);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(context.watch.stallMs));
    curl_easy_setopt(curl, CURLOPT_MAX_RECV_SPEED_LARGE, kMaxFileSpeed);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxFileRedirects);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());

    CURLcode code = curl_easy_perform(curl);
    bool ok = code == CURLE_OK;
    if (!ok) {
        logErrorDetail("VxCurlDownloader::downloadFile", errorText, context.watch);
        NLOG(L"download error %s", utility::utf8ToWide(curl_easy_strerror(code)));
        file.close();
        NLOG(L"curl download file error %s", utility::ansiToWide(curl_easy_strerror(code)));
    } else {
        file.close();
        NLOG(L"curl download  file sucess");
    }
    curl_easy_cleanup(curl);
    return ok;
}
