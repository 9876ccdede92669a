#include "model_fixture.h"

#include <rapidjson/document.h>

#include <chrono>
#include <thread>

namespace model_test {

std::vector<std::pair<std::string, std::string>> ModelWithServer::events() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const RecordedRequest& r : server.requests()) {
        if (r.path != "/mp/collect") continue;
        rapidjson::Document doc;
        doc.Parse(r.body.c_str());
        if (!doc.IsObject() || !doc.HasMember("events")) continue;
        const auto& e = doc["events"][0];
        out.emplace_back(e["name"].GetString(), e["params"]["event_label"].GetString());
    }
    return out;
}

size_t ModelWithServer::eventCount(const std::string& name) const {
    size_t n = 0;
    for (const auto& e : events()) n += e.first == name;
    return n;
}

bool ModelWithServer::waitForEvents(const std::string& name, size_t count, uint32_t timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (eventCount(name) < count) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

size_t ModelWithServer::requestsTo(const std::string& path) const {
    size_t n = 0;
    for (const RecordedRequest& r : server.requests()) n += r.path == path;
    return n;
}

}  // namespace model_test
