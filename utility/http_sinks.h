#pragma once
// The sinks of CHttpDownloader: the answer into a string or into a file, with an optional progress
// listener. All slots run on the transfer thread; the stop flag may be set from any thread and is read
// before each piece of data.
#include <atomic>
#include <cstdint>
#include <string>

#include "utility/http_client.h"
#include "utility/ufile.h"

namespace utility {

// Progress of a file download, on the transfer thread. Implemented by the installer's model and windows.
class IHttpDownloadSink {
public:
    virtual ~IHttpDownloadSink() = default;
    // bytes/count: the piece just received (not yet written); received: bytes so far including it;
    // total: the announced length, or 10485760 when the server announced none. False ends the transfer.
    virtual bool onDownloadProgress(const char* bytes, unsigned count, uint64_t received, uint64_t total) = 0;
};

// Appends the body of a 2xx answer to a string.
class CHttpDownload2MemSink : public CHttpClient::IHttpClientSink {
public:
    CHttpDownload2MemSink(std::string* response, const std::atomic<bool>* stop) : response_(response), stop_(stop) {}
    void onHttpError(int, unsigned) override {}
    bool onHttpRecvHeader(int64_t contentLength, int status) override;
    bool onHttpRecvData(const char* bytes, unsigned count) override;
    void onHttpComplete() override {}

private:
    std::string* response_;
    const std::atomic<bool>* stop_;
};

// Writes the body of a 2xx answer to a file, created only once such an answer arrived.
class CHttpDownload2FileSink : public CHttpClient::IHttpClientSink {
public:
    static constexpr uint64_t kAssumedTotal = 10485760;

    CHttpDownload2FileSink(std::wstring path, const std::atomic<bool>* stop, IHttpDownloadSink* progress)
        : path_(std::move(path)), stop_(stop), progress_(progress) {}
    void onHttpError(int stage, unsigned error) override;
    bool onHttpRecvHeader(int64_t contentLength, int status) override;
    bool onHttpRecvData(const char* bytes, unsigned count) override;
    // Closes the file (also after a failed transfer; a partial file stays for the caller).
    void onHttpComplete() override;

private:
    FileWriter file_;
    std::wstring path_;
    const std::atomic<bool>* stop_;
    IHttpDownloadSink* progress_;
    uint64_t received_ = 0;
    uint64_t expectedTotal_ = kAssumedTotal;
};

}  // namespace utility
