#include "utility/http_sinks.h"

#include <cerrno>
#include <new>

#include "common/log.h"

namespace utility {

namespace {
bool stopped(const std::atomic<bool>* stop) { return stop && stop->load(); }
bool isSuccess(int status) { return status >= 200 && status < 300; }
}  // namespace

bool CHttpDownload2MemSink::onHttpRecvHeader(int64_t, int status) { return isSuccess(status); }

bool CHttpDownload2MemSink::onHttpRecvData(const char* bytes, unsigned count) {
    if (stopped(stop_)) return false;
    if (!response_) return true;
    try {
        response_->append(bytes, count);
    } catch (const std::bad_alloc&) {
        NLOG(L"not enough memory for %d more bytes", int(count));
        return false;
    }
    return true;
}

void CHttpDownload2FileSink::onHttpError(int stage, unsigned error) {
    file_.close();
    NLOG(L"onHttpErro %d, %d", stage, int(error));
}

bool CHttpDownload2FileSink::onHttpRecvHeader(int64_t contentLength, int status) {
    if (!isSuccess(status)) {
        NLOG(L"onHttpErro status = %d", status);
        return false;
    }
    expectedTotal_ = contentLength > 0 ? uint64_t(contentLength) : kAssumedTotal;
    received_ = 0;
    if (!file_.open(path_)) {
        NLOG(L"onHttpErro create file error  %d", errno);
        return false;
    }
    return true;
}

bool CHttpDownload2FileSink::onHttpRecvData(const char* bytes, unsigned count) {
    if (stopped(stop_)) return false;
    received_ += count;
    if (progress_ && !progress_->onDownloadProgress(bytes, count, received_, expectedTotal_)) return false;
    return file_.write(bytes, count);
}

void CHttpDownload2FileSink::onHttpComplete() { file_.close(); }

}  // namespace utility
