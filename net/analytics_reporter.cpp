#include "net/analytics_reporter.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

#include "common/log.h"
#include "platform/network_adapters.h"
#include "utility/md5.h"
#include "utility/text_codec.h"

namespace net {

struct AnalyticsReporter::State {
    EventPoster poster;
    std::wstring host;
    AddressSource addresses = &platform::networkHardwareAddresses;

    std::mutex lock;  // guards everything below
    std::condition_variable wake;
    std::deque<std::function<void()>> queue;
    bool stopRequested = false;
    bool sending = false;
    bool workerRunning = false;
    bool disabled = false;
    std::wstring clientId;
    std::wstring measurementId;
    std::wstring apiSecret;

    void ensureClientId() {
        {
            std::lock_guard<std::mutex> g(lock);
            if (!clientId.empty()) return;
        }
        std::wstring id = computeClientId(addresses ? addresses() : std::vector<std::vector<uint8_t>>{});
        std::lock_guard<std::mutex> g(lock);
        clientId = id;
    }

    void post(const std::wstring& name, const std::wstring& label) {
        std::wstring id, mid, secret;
        {
            std::lock_guard<std::mutex> g(lock);
            id = clientId;
            mid = measurementId;
            secret = apiSecret;
        }
        std::string body = buildBody(id, name, label);
        std::string url = utility::wideToAnsi(host + L"/mp/collect?measurement_id=" + mid + L"&api_secret=" + secret);
        if (poster) poster(url, body);
    }

    void workerLoop() {
        for (;;) {
            ensureClientId();
            std::function<void()> event;
            {
                std::unique_lock<std::mutex> g(lock);
                wake.wait(g, [this] { return !queue.empty() || stopRequested; });
                if (stopRequested) {
                    workerRunning = false;
                    wake.notify_all();
                    return;
                }
                event = std::move(queue.front());
                queue.pop_front();
                sending = true;
            }
            event();
            std::lock_guard<std::mutex> g(lock);
            sending = false;
            wake.notify_all();
        }
    }
};

AnalyticsReporter::AnalyticsReporter(EventPoster poster, std::wstring host) : state_(std::make_shared<State>()) {
    state_->poster = std::move(poster);
    state_->host = std::move(host);
}

AnalyticsReporter::~AnalyticsReporter() {
    std::unique_lock<std::mutex> g(state_->lock);
    state_->stopRequested = true;
    state_->queue.clear();  // what was never sent is dropped
    state_->wake.notify_all();
    // An event in flight gets a short grace: a transfer still running when the process exits would race the
    // TLS library's exit clean-up. After that the worker is left alone; it keeps the state alive itself.
    state_->wake.wait_for(g, std::chrono::milliseconds(kInFlightGraceMs), [this] { return !state_->workerRunning; });
}

void AnalyticsReporter::setProperty(const std::wstring& measurementId, const std::wstring& apiSecret) {
    std::lock_guard<std::mutex> g(state_->lock);
    state_->measurementId = measurementId;
    state_->apiSecret = apiSecret;
}

void AnalyticsReporter::setAddressSource(AddressSource source) {
    std::lock_guard<std::mutex> g(state_->lock);
    state_->addresses = std::move(source);
}

void AnalyticsReporter::sendEvent(const std::wstring&, const std::wstring& name, const std::wstring& label) {
    std::shared_ptr<State> s = state_;
    bool launch = false;
    {
        std::lock_guard<std::mutex> g(s->lock);
        if (s->disabled || s->stopRequested) return;
        if (s->queue.size() >= kQueueLimit) return;
        State* raw = s.get();
        s->queue.push_back([raw, name, label] { raw->post(name, label); });
        if (!s->workerRunning) {
            s->workerRunning = true;
            launch = true;
        }
    }
    s->wake.notify_one();
    if (launch) std::thread([s] { s->workerLoop(); }).detach();
}

void AnalyticsReporter::sendEventNow(const std::wstring&, const std::wstring& name, const std::wstring& label) {
    {
        std::lock_guard<std::mutex> g(state_->lock);
        if (state_->disabled) return;
    }
    state_->post(name, label);
}

void AnalyticsReporter::disable() {
    std::lock_guard<std::mutex> g(state_->lock);
    state_->disabled = true;
}

std::string AnalyticsReporter::buildBody(const std::wstring& clientId, const std::wstring& name,
                                         const std::wstring& label) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> w(buffer);
    auto str = [&w](const std::wstring& text) {
        std::string s = utility::wideToAnsi(text);
        w.String(s.data(), rapidjson::SizeType(s.size()));
    };
    w.StartObject();
    w.Key("client_id");
    str(clientId);
    w.Key("events");
    w.StartArray();
    w.StartObject();
    w.Key("name");
    str(name);
    w.Key("params");
    w.StartObject();
    w.Key("event_category");
    w.String("2.2");
    w.Key("event_label");
    str(label);
    w.EndObject();
    w.EndObject();
    w.EndArray();
    w.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

std::wstring AnalyticsReporter::computeClientId(const std::vector<std::vector<uint8_t>>& addresses) {
    std::vector<std::string> list;
    for (const auto& a : addresses) {
        if (std::all_of(a.begin(), a.end(), [](uint8_t b) { return b == 0; })) continue;
        uint8_t b[6] = {0, 0, 0, 0, 0, 0};
        std::copy_n(a.begin(), std::min<size_t>(6, a.size()), b);
        char hex[13];
        std::snprintf(hex, sizeof hex, "%02X%02X%02X%02X%02X%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
        list.emplace_back(hex);
    }
    if (list.empty()) return {};
    std::sort(list.begin(), list.end());
    std::string joined;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) joined += "|";
        joined += list[i];
    }
    std::string id = utility::md5Hex(joined);
    if (list.size() > 1) {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "%zx-", list.size());
        id = prefix + id;
    }
    return utility::utf8ToWide(id);
}

}  // namespace net
