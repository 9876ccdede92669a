#include "utility/http_client.h"

#include <atomic>

#include "common/log.h"
#include "utility/deployment.h"
#include "utility/text_codec.h"

namespace utility {

namespace {

constexpr size_t kPieceSize = 32768;
std::atomic<unsigned> g_stallTimeoutSeconds{60};

void logFailure(const platform::HttpSession::Error& error) {
    NLOG(L"http error stage %d code %d: %s", error.stage, int(error.code), utf8ToWide(error.text));
}

}  // namespace

void CHttpClient::setStallTimeoutSeconds(unsigned seconds) { g_stallTimeoutSeconds = seconds; }

CHttpClient::~CHttpClient() { close(); }

bool CHttpClient::openUrl(const std::wstring& url, const std::wstring& headers, IHttpClientSink* sink) {
    sink_ = sink;
    headerLines_.clear();
    size_t pos = 0;
    while (pos <= headers.size()) {
        size_t end = headers.find(L"\r\n", pos);
        if (end == std::wstring::npos) end = headers.size();
        if (end > pos) headerLines_.push_back(wideToUtf8(headers.substr(pos, end - pos)));
        pos = end + 2;
    }

    platform::HttpSession::Options options;
    options.caFile = wideToUtf8(Deployment::get().caFile);
    options.ioTimeoutSeconds = g_stallTimeoutSeconds;
    platform::HttpSession::Error error;
    if (!session_.open(wideToUtf8(url), options, error)) {
        logFailure(error);
        if (sink_) sink_->onHttpError(error.stage, error.code);
        return false;
    }
    return true;
}

bool CHttpClient::perform() {
    platform::HttpSession::Response response;
    platform::HttpSession::Error error;
    if (!session_.send(headerLines_, response, error)) {
        logFailure(error);
        if (sink_) sink_->onHttpError(error.stage, error.code);
        return false;
    }
    if (sink_ && !sink_->onHttpRecvHeader(response.contentLength, response.status)) return false;

    buffer_.resize(kPieceSize);
    for (;;) {
        int64_t n = session_.read(buffer_.data(), buffer_.size(), error);
        if (n < 0) {
            logFailure(error);
            return false;
        }
        if (n == 0) {
            if (sink_) sink_->onHttpComplete();
            return true;
        }
        if (sink_ && !sink_->onHttpRecvData(buffer_.data(), unsigned(n))) return false;
    }
}

void CHttpClient::close() {
    session_.close();
    sink_ = nullptr;
}

}  // namespace utility
