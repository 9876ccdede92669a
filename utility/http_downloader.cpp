#include "utility/http_downloader.h"

namespace utility {

namespace {
// Every download request carries this header, although it is a GET without a body.
const wchar_t kRequestHeaders[] = L"Content-Type: application/x-www-form-urlencoded";
}  // namespace

bool CHttpDownloader::downloadToMemory(std::string& response, const std::wstring& url) {
    close();
    CHttpDownload2MemSink sink(&response, &stopRequested_);
    bool ok = openUrl(url, kRequestHeaders, &sink) && perform();
    close();
    return ok;
}

bool CHttpDownloader::downloadToFile(const std::wstring& url, const std::wstring& path, IHttpDownloadSink* progress) {
    close();
    CHttpDownload2FileSink sink(path, &stopRequested_, progress);
    bool ok = openUrl(url, kRequestHeaders, &sink) && perform();
    close();
    sink.onHttpComplete();
    return ok;
}

void CHttpDownloader::stop() {
    stopRequested_ = true;
    session_.abort();
}

}  // namespace utility
