#pragma once
// Reports milestones as Measurement Protocol events. Queued events are posted in order by one background
// job; sendEventNow posts on the caller's thread. Once disabled, nothing more is sent.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace net {

// Posts one JSON body to one URL and waits for the answer (the answer is ignored).
using EventPoster = std::function<void(const std::string& url, const std::string& body)>;

class AnalyticsReporter {
public:
    static constexpr size_t kQueueLimit = 100;
    // How long destruction waits for an event that is being sent.
    static constexpr unsigned kInFlightGraceMs = 5000;

    // `poster` does the transfer; `host` is "https://host[:port]" of the collection endpoint.
    AnalyticsReporter(EventPoster poster, std::wstring host);
    // Stops the worker and drops what was never sent; an event being sent gets kInFlightGraceMs to finish.
    ~AnalyticsReporter();
    AnalyticsReporter(const AnalyticsReporter&) = delete;
    AnalyticsReporter& operator=(const AnalyticsReporter&) = delete;

    void setProperty(const std::wstring& measurementId, const std::wstring& apiSecret);
    // Any thread; returns at once. Dropped when 100 events are pending or the reporter is disabled.
    void sendEvent(const std::wstring& category, const std::wstring& name, const std::wstring& label);
    // Posts on the calling thread and returns when the post ended.
    void sendEventNow(const std::wstring& category, const std::wstring& name, const std::wstring& label);
    // No event is sent after this.
    void disable();

    // Replaces where hardware addresses come from (tests).
    using AddressSource = std::function<std::vector<std::vector<uint8_t>>()>;
    void setAddressSource(AddressSource source);

    // The compact request body.
    static std::string buildBody(const std::wstring& clientId, const std::wstring& name, const std::wstring& label);
    // Stable anonymous id from hardware addresses: MD5 of the sorted 12-digit upper-case hex addresses joined
    // by "|", prefixed by the count in hex and "-" when there is more than one; empty when there are none.
    static std::wstring computeClientId(const std::vector<std::vector<uint8_t>>& addresses);

private:
    struct State;
    std::shared_ptr<State> state_;  // shared with the worker, which may outlive the reporter
};

}  // namespace net
