#pragma once
// One HTTP GET at a time over the desktop's own HTTP stack: the system proxy settings, TLS with peer and
// host-name verification against the system trust store plus an optional CA file.
//
// Threads: open, send, read and close belong to one transfer thread and block it. abort() may be called
// from any other thread; it makes a blocked send or read of the current request return at once (a later
// open() starts afresh). TLS sessions are cached per process: once a server was trusted, a later request
// to the same host and port may resume without a fresh certificate check.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class HttpSession {
public:
    // The failing step; the numbers are the error stages of the installer's HTTP client.
    enum Stage : int { kStageSession = 0, kStageUrl = 1, kStageConnect = 2, kStageSend = 6, kStageStatus = 7 };

    struct Options {
        std::string caFile;              // absolute path of extra trusted CA certificates (PEM), or empty
        unsigned ioTimeoutSeconds = 60;  // a connect, send or read that makes no progress this long fails
    };
    struct Error {
        int stage = kStageSession;
        unsigned code = 0;  // code of the failing layer, 0 when there is none
        std::string text;   // for the log
    };
    struct Response {
        int status = 0;
        int64_t contentLength = -1;  // -1 when the server announced none
    };

    HttpSession();
    ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    // Closes what was open, creates the session (stage 0) and checks `url` (stage 1): "http" or "https"
    // (in any letter case) with a host. Bytes outside ASCII and blanks in the URL are percent-encoded.
    bool open(const std::string& url, const Options& options, Error& error);
    // Sends a GET with the extra header lines ("Name: value") and waits for the status and headers.
    // Stage 2 when no connection was made, 6 when sending or receiving the head failed (TLS refusals
    // included), 7 when no status arrived.
    bool send(const std::vector<std::string>& headerLines, Response& response, Error& error);
    // The next piece of the body: its size (at most `size`), 0 at the end, -1 on failure or abort.
    int64_t read(void* buffer, size_t size, Error& error);
    // Ends the request and releases the session. Safe to call when nothing is open.
    void close();
    // Any thread: aborts the current request.
    void abort();

    struct Impl;  // opaque

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
