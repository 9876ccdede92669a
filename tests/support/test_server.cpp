#include "support/test_server.h"

#include <curl/curl.h>
#include <rapidjson/document.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

namespace testing_support {

namespace {

std::string decodeBase64(const std::string& text) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        size_t at = alphabet.find(c);
        if (at == std::string::npos) continue;
        value = (value << 6) | unsigned(at);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += char((value >> bits) & 0xFF);
        }
    }
    return out;
}

size_t discard(char*, size_t size, size_t count, void*) { return size * count; }

void directConnections() {
    setenv("GIO_USE_PROXY_RESOLVER", "dummy", 1);
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        std::string value = "127.0.0.1,localhost";
        if (const char* old = std::getenv(name); old && *old) value = std::string(old) + "," + value;
        setenv(name, value.c_str(), 1);
    }
}

}  // namespace

std::string RecordedRequest::header(const std::string& name) const {
    for (const auto& [k, v] : headers) {
        if (k.size() != name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < k.size() && same; ++i) same = std::tolower((unsigned char)k[i]) == std::tolower((unsigned char)name[i]);
        if (same) return v;
    }
    return {};
}

TestServer::TestServer(const std::string& configJson) {
    directConnections();
    std::filesystem::create_directories(root());
    writeFile(dir_.file("config.json"), configJson);
    child_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{NIMBARO_PYTHON, NIMBARO_SOURCE_DIR "/tools/test_server/server.py", "--root", root(),
                                 "--workdir", dir_.path(), "--log", dir_.file("requests.jsonl"), "--config",
                                 dir_.file("config.json")},
        std::map<std::string, std::optional<std::string>>{}, dir_.path());
    if (!child_->started()) return;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        std::istringstream out(readFile(dir_.file("stdout.txt")));
        std::string line;
        int port = 0;
        std::string ca;
        while (std::getline(out, line)) {
            if (line.rfind("PORT ", 0) == 0) port = std::atoi(line.c_str() + 5);
            if (line.rfind("CA ", 0) == 0) ca = line.substr(3);
        }
        if (port > 0 && !ca.empty()) {
            port_ = port;
            caFile_ = ca;
            return;
        }
        if (child_->wait(0)) return;  // the server died; stderr.txt in the folder says why
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TestServer::~TestServer() {
    if (child_) {
        child_->signal(SIGTERM);
        if (!child_->wait(5000)) child_->signal(SIGKILL);
        child_.reset();
    }
}

std::string TestServer::baseUrl() const { return "https://127.0.0.1:" + std::to_string(port_); }

void TestServer::addFile(const std::string& name, const std::string& bytes) const {
    std::filesystem::path p = std::filesystem::path(root()) / name;
    std::filesystem::create_directories(p.parent_path());
    writeFile(p.string(), bytes);
}

bool TestServer::control(const std::string& json) const {
    CURL* curl = curl_easy_init();
    if (!curl) return false;
    std::string address = url("/__control");
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, caFile_.c_str());
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, json.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(json.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    bool ok = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_cleanup(curl);
    return ok;
}

bool TestServer::setRoute(const std::string& path, const std::string& routeJson) const {
    std::string key;
    for (char c : path) {
        if (c == '"' || c == '\\') key += '\\';
        key += c;
    }
    return control("{\"routes\": {\"" + key + "\": " + routeJson + "}}");
}

bool TestServer::clearRoutes() const { return control(R"({"clear": true})"); }

std::vector<RecordedRequest> TestServer::requests() const {
    std::vector<RecordedRequest> out;
    std::istringstream log(readFile(dir_.file("requests.jsonl")));
    std::string line;
    while (std::getline(log, line)) {
        rapidjson::Document d;
        d.Parse(line.c_str());
        if (d.HasParseError() || !d.IsObject()) continue;  // a line still being written
        RecordedRequest r;
        auto text = [&](const char* name) {
            return d.HasMember(name) && d[name].IsString() ? std::string(d[name].GetString(), d[name].GetStringLength())
                                                           : std::string();
        };
        r.method = text("method");
        r.path = text("path");
        r.query = text("query");
        r.body = d.HasMember("body_b64") ? decodeBase64(text("body_b64")) : text("body");
        if (d.HasMember("headers") && d["headers"].IsArray()) {
            for (const auto& h : d["headers"].GetArray()) {
                if (h.IsArray() && h.Size() == 2 && h[0].IsString() && h[1].IsString())
                    r.headers.emplace_back(h[0].GetString(), h[1].GetString());
            }
        }
        out.push_back(std::move(r));
    }
    return out;
}

std::string TestServer::writeDeploymentFile() const {
    std::string path = dir_.file("deployment.ini");
    writeFile(path, "[hosts]\nresource = " + baseUrl() + "\ncdn = " + baseUrl() + "\nanalytics = " + baseUrl() +
                        "\n[tls]\nca_file = " + caFile_ + "\n");
    return path;
}

std::string patternBytes(size_t size) {
    std::string out(size, '\0');
    uint32_t x = 2463534242u;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = char(x & 0xFF);
    }
    return out;
}

}  // namespace testing_support
