#pragma once
// HTTP and HTTPS transfers through libcurl: a file download with percentage progress, a download into
// memory and a JSON POST. Each operation runs one transfer on a fresh handle and returns true or false;
// there is no cancellation. TLS peer and host names are verified against the system trust store plus the
// deployment's ca_file; an HTTP status of 400 or more fails the transfer, and so does a transfer that
// receives nothing for 60 s. Only http and https are spoken, on redirects too.
//
// Threads: every transfer runs on the calling thread and blocks it; several threads may transfer at once.
// The progress function is called on the transferring thread. globalInit/globalCleanup belong to the
// entry point's thread, before the first and after the last transfer.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class VxCurlDownloader {
public:
    using ProgressFunction = std::function<void(int percent)>;

    // Streams `url` into the file at `path` (created anew). At most 20 MiB/s and 5 redirects. `progress`
    // (may be empty) gets the percentage at most once a second, never 100, and never when the server
    // announced no length. A failed transfer leaves the partial file for the caller.
    static bool downloadFile(const std::wstring& path, const std::string& url, const ProgressFunction& progress);
    // The raw body of `url`; `response` is set only on success.
    static bool downloadMemory(const std::string& url, std::string& response);
    // POSTs `body` (converted to UTF-8) with "Content-Type:application/json;charset=UTF-8" and then each of
    // `headers` (complete header lines); `response` is set only on success.
    static bool postRequest(const std::string& url, const std::string& body, std::string& response,
                            const std::vector<std::string>& headers = {});

    // Process-wide set-up and tear-down of libcurl.
    static bool globalInit();
    static void globalCleanup();

    // How long a transfer may receive nothing before it fails (60000 ms unless a test shortens it). Any thread.
    static void setStallTimeoutMs(uint32_t ms);
};
