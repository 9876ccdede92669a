#pragma once
// A plain HTTP GET over the platform's HTTP stack (system proxy settings, TLS verified against the system
// trust store plus the deployment's ca_file), streaming the answer into a sink.
//
// Threads: one transfer at a time; openUrl, perform and close run on the caller's thread and block it,
// and the sink is called on that thread. To abort a transfer from another thread use CHttpDownloader::stop.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/http_session.h"

namespace utility {

class CHttpClient {
public:
    // The events of one transfer. Returning false from a receive slot ends the transfer (no onHttpError).
    class IHttpClientSink {
    public:
        virtual ~IHttpClientSink() = default;
        // stage: 0 session, 1 URL, 2 connect, 6 send (TLS refusals included), 7 status; error: the code
        // of the failing layer.
        virtual void onHttpError(int stage, unsigned error) = 0;
        // contentLength: -1 when the server announced none.
        virtual bool onHttpRecvHeader(int64_t contentLength, int status) = 0;
        virtual bool onHttpRecvData(const char* bytes, unsigned count) = 0;
        // The whole body has arrived.
        virtual void onHttpComplete() = 0;
    };

    CHttpClient() = default;
    virtual ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // Opens a session for `url` ("http://" or "https://", scheme in any letter case). `headers` holds
    // extra request header lines ("Name: value", separated by "\r\n"). The sink may be null.
    bool openUrl(const std::wstring& url, const std::wstring& headers, IHttpClientSink* sink);
    // Sends the GET and streams the answer in pieces of at most 32768 bytes. True when the whole body
    // arrived and the sink took every piece.
    bool perform();
    // Releases the session; safe when nothing is open.
    void close();

    // How long a transfer may receive nothing before it fails (60 s unless a test shortens it). Any thread.
    static void setStallTimeoutSeconds(unsigned seconds);

protected:
    platform::HttpSession session_;

private:
    IHttpClientSink* sink_ = nullptr;
    std::vector<std::string> headerLines_;
    std::vector<char> buffer_;
};

}  // namespace utility
