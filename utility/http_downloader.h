#pragma once
// GET downloads into memory or a file on the caller's thread, abortable from another thread.
//
// Threads: downloadToMemory, downloadToFile and resetStop run on the transfer thread (one transfer at a
// time). stop and isStopRequested may be called from any thread.
#include <atomic>
#include <string>

#include "utility/http_client.h"
#include "utility/http_sinks.h"

namespace utility {

class CHttpDownloader : public CHttpClient {
public:
    using IHttpDownloadSink = utility::IHttpDownloadSink;

    // Appends the body of a 2xx answer to `response`. False for any other status, a failed or refused
    // transfer, or a stop.
    bool downloadToMemory(std::string& response, const std::wstring& url);
    // Streams the body of a 2xx answer into `path` (created anew once such an answer arrived; no file for
    // other statuses). A failed transfer leaves the partial file for the caller. `progress` may be null.
    bool downloadToFile(const std::wstring& url, const std::wstring& path, IHttpDownloadSink* progress);

    // Aborts the running transfer at once (a blocked connect or read returns). The stop flag stays set, so
    // later transfers of this downloader end at their first piece of data until resetStop().
    void stop();
    // Clears the stop flag before a deliberate retry. An owner tearing down must not retry after stop().
    void resetStop() { stopRequested_ = false; }
    bool isStopRequested() const { return stopRequested_.load(); }

private:
    std::atomic<bool> stopRequested_{false};
};

}  // namespace utility
