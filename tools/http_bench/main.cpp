// Downloads one large file from the local HTTPS server with each client and with the curl command-line
// tool, and prints the throughput of each side by side.
//
//   build/tools/http_bench/http_bench [MiB, default 100]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "net/vx_curl_downloader.h"
#include "support/child_process.h"
#include "support/test_env.h"
#include "support/test_server.h"
#include "utility/deployment.h"
#include "utility/http_downloader.h"
#include "utility/text_codec.h"

using namespace testing_support;

namespace {

struct Result {
    const char* name;
    const char* note;
    bool ok = false;
    double seconds = 0;
};

// `run` downloads into `body` or into `file`; the bytes are checked after the clock stopped.
using Run = std::function<bool(std::string& body, const std::string& file)>;

Result measure(const char* name, const char* note, const std::string& expected, const std::string& file,
               const Run& run) {
    Result r{name, note};
    std::remove(file.c_str());
    std::string body;
    auto start = std::chrono::steady_clock::now();
    bool done = run(body, file);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (body.empty()) body = readFile(file);
    r.ok = done && body == expected;
    std::remove(file.c_str());
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    long mib = argc > 1 ? std::atol(argv[1]) : 100;
    if (mib <= 0) {
        std::fprintf(stderr, "usage: %s [MiB]\n", argv[0]);
        return 2;
    }
    IsolatedHome home;
    TestServer server;
    if (!server.ok()) {
        std::fprintf(stderr, "the local server did not start\n");
        return 1;
    }
    std::string bytes = patternBytes(size_t(mib) * 1024 * 1024);
    server.addFile("large.bin", bytes);
    ScopedEnv deployment("NIMBARO_DEPLOYMENT", server.writeDeploymentFile());
    utility::Deployment::reload();
    VxCurlDownloader::globalInit();

    TempDir out;
    const std::string url = server.url("/large.bin");
    const std::wstring wideUrl = utility::utf8ToWide(url);
    const std::string file = out.file("large.bin");
    Result results[] = {
        measure("VxCurlDownloader::downloadFile", "capped at 20 MiB/s", bytes, file,
                [&](std::string&, const std::string& f) {
                    return VxCurlDownloader::downloadFile(utility::utf8ToWide(f), url, {});
                }),
        measure("VxCurlDownloader::downloadMemory", "", bytes, file,
                [&](std::string& body, const std::string&) { return VxCurlDownloader::downloadMemory(url, body); }),
        measure("CHttpDownloader::downloadToFile", "", bytes, file,
                [&](std::string&, const std::string& f) {
                    utility::CHttpDownloader downloader;
                    return downloader.downloadToFile(wideUrl, utility::utf8ToWide(f), nullptr);
                }),
        measure("CHttpDownloader::downloadToMemory", "", bytes, file,
                [&](std::string& body, const std::string&) {
                    utility::CHttpDownloader downloader;
                    return downloader.downloadToMemory(body, wideUrl);
                }),
        measure("curl command-line tool", "", bytes, file,
                [&](std::string&, const std::string& f) {
                    return runProgram({"/usr/bin/curl", "-s", "-f", "--noproxy", "*", "--cacert", server.caFile(), "-o",
                                       f, url},
                                      {}, 600000) == std::optional<int>(0);
                }),
    };
    VxCurlDownloader::globalCleanup();

    std::printf("%ld MiB from %s\n\n", mib, url.c_str());
    std::printf("%-34s %9s %9s\n", "client", "seconds", "MiB/s");
    bool allOk = true;
    for (const Result& r : results) {
        if (r.ok) {
            std::printf("%-34s %9.2f %9.1f  %s\n", r.name, r.seconds, double(mib) / r.seconds, r.note);
        } else {
            std::printf("%-34s %9s %9s  %s\n", r.name, "-", "failed", r.note);
            allOk = false;
        }
    }
    return allOk ? 0 : 1;
}
