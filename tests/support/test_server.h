#pragma once
// The local HTTPS test server (tools/test_server/server.py) as a child process of the test.
//
//   TestServer server;                                   // starts it; ASSERT_TRUE(server.ok())
//   server.addFile("setup.bin", bytes);                  // served at /setup.bin
//   server.setRoute("/cfg", R"({"json": {"a": 1}})");    // canned document
//   server.setRoute("/big", R"({"file": "setup.bin", "stall_after": 1000})");
//   ScopedEnv deployment("NIMBARO_DEPLOYMENT", server.writeDeploymentFile());
//   ... run the code under test against server.url("/cfg") ...
//   for (auto& r : server.requests()) ...
//
// Route switches (JSON, see server.py): status, body, body_b64, json, file, content_type, headers,
// no_content_length, redirect (n hops), redirect_status, rate (bytes/s), stall_after, truncate_after,
// fail_first, fail_status.
//
// The constructor also makes the process connect directly (GIO_USE_PROXY_RESOLVER=dummy, no_proxy for
// 127.0.0.1 and localhost) and never restores that. Use the object from one thread; requests() may be
// called while other threads transfer.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/child_process.h"
#include "support/test_env.h"

namespace testing_support {

struct RecordedRequest {
    std::string method;
    std::string path;
    std::string query;
    std::vector<std::pair<std::string, std::string>> headers;  // in arrival order
    std::string body;                                          // raw bytes

    // Value of the first header of that name (ASCII letter case ignored), or "".
    std::string header(const std::string& name) const;
};

class TestServer {
public:
    // `configJson`: {"routes": {...}, "cert_hosts": [...]} given to the server at start.
    explicit TestServer(const std::string& configJson = "{}");
    ~TestServer();  // stops the server and removes its folder
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Whether the server started and printed its port (within 30 s).
    bool ok() const { return port_ > 0; }
    int port() const { return port_; }
    // Absolute path of the CA certificate (PEM) that signed the server's certificate.
    const std::string& caFile() const { return caFile_; }
    // "https://127.0.0.1:<port>"
    std::string baseUrl() const;
    std::string url(const std::string& path) const { return baseUrl() + path; }
    // The folder whose files are served.
    std::string root() const { return dir_.path() + "/root"; }
    void addFile(const std::string& name, const std::string& bytes) const;

    // Sets the switches of one path (a JSON object; "null" removes the route); counters of fail_first
    // restart. True when the server took it.
    bool setRoute(const std::string& path, const std::string& routeJson) const;
    bool clearRoutes() const;

    // Every request recorded so far (control requests excluded), oldest first.
    std::vector<RecordedRequest> requests() const;

    // Writes a deployment settings file that points every host at this server and trusts its CA, and
    // returns its path (for NIMBARO_DEPLOYMENT).
    std::string writeDeploymentFile() const;

private:
    bool control(const std::string& json) const;

    TempDir dir_;
    std::unique_ptr<ChildProcess> child_;
    int port_ = 0;
    std::string caFile_;
};

// Deterministic bytes for downloads of a known content.
std::string patternBytes(size_t size);

}  // namespace testing_support
