#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "net/analytics_reporter.h"

using net::AnalyticsReporter;

namespace {

TEST(AnalyticsBody, CompactWithFixedCategoryAndMemberOrder) {
    EXPECT_EQ(AnalyticsReporter::buildBody(L"3-abc", L"download_run", L"5678"),
              R"({"client_id":"3-abc","events":[{"name":"download_run","params":{"event_category":"2.2","event_label":"5678"}}]})");
}

TEST(AnalyticsBody, Escaping) {
    std::wstring label = L"a\"b\\c/d\b\f\n\r\t";
    label.push_back(wchar_t(0x01));
    label.push_back(wchar_t(0x1F));
    label += L"\x4E2D";
    EXPECT_EQ(AnalyticsReporter::buildBody(L"", L"n", label),
              "{\"client_id\":\"\",\"events\":[{\"name\":\"n\",\"params\":{\"event_category\":\"2.2\","
              "\"event_label\":\"a\\\"b\\\\c/d\\b\\f\\n\\r\\t\\u0001\\u001F\xE4\xB8\xAD\"}}]}");
}

TEST(AnalyticsClientId, FromHardwareAddresses) {
    using Addresses = std::vector<std::vector<uint8_t>>;
    EXPECT_EQ(AnalyticsReporter::computeClientId(Addresses{{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}),
              L"7598b725a578ee13656d280b6520f326");
    // Sorted by text, joined with "|", prefixed by the count; an all-zero address is skipped.
    EXPECT_EQ(AnalyticsReporter::computeClientId(Addresses{{0xF0, 0xE1, 0xD2, 0xC3, 0xB4, 0xA5},
                                                           {0, 0, 0, 0, 0, 0},
                                                           {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E},
                                                           {0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}}),
              L"3-e99255ce2b7e6bea4db93198758ac9e9");
    EXPECT_EQ(AnalyticsReporter::computeClientId(Addresses{}), L"");
    EXPECT_EQ(AnalyticsReporter::computeClientId(Addresses{{0, 0, 0, 0, 0, 0, 0, 0}}), L"");
}

// A poster that records what it was given and can hold the worker inside a post.
struct RecordingPoster {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::pair<std::string, std::string>> posts;
    bool gateOpen = true;
    int inside = 0;

    net::EventPoster poster() {
        return [this](const std::string& url, const std::string& body) {
            std::unique_lock<std::mutex> g(lock);
            ++inside;
            changed.notify_all();
            changed.wait(g, [this] { return gateOpen; });
            posts.emplace_back(url, body);
            --inside;
            changed.notify_all();
        };
    }
    bool waitFor(const std::function<bool()>& done) {
        std::unique_lock<std::mutex> g(lock);
        return changed.wait_for(g, std::chrono::seconds(20), done);
    }
};

std::vector<std::vector<uint8_t>> oneAdapter() { return {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}; }

TEST(AnalyticsReporter, QueuedEventsArePostedInOrderWithClientIdAndProperty) {
    RecordingPoster rec;
    {
        AnalyticsReporter reporter(rec.poster(), L"https://127.0.0.1:1");
        reporter.setAddressSource(oneAdapter);
        reporter.setProperty(L"G-ABCDEFGHIJ", L"secret_secret_secret12");
        reporter.sendEvent(L"anything", L"first", L"1");
        reporter.sendEvent(L"ui", L"second", L"2");
        ASSERT_TRUE(rec.waitFor([&] { return rec.posts.size() == 2; }));
    }
    EXPECT_EQ(rec.posts[0].first, "https://127.0.0.1:1/mp/collect?measurement_id=G-ABCDEFGHIJ&api_secret=secret_secret_secret12");
    EXPECT_EQ(rec.posts[0].second, AnalyticsReporter::buildBody(L"7598b725a578ee13656d280b6520f326", L"first", L"1"));
    EXPECT_EQ(rec.posts[1].second, AnalyticsReporter::buildBody(L"7598b725a578ee13656d280b6520f326", L"second", L"2"));
}

TEST(AnalyticsReporter, The101stPendingEventIsDropped) {
    RecordingPoster rec;
    rec.gateOpen = false;
    {
        AnalyticsReporter reporter(rec.poster(), L"https://127.0.0.1:1");
        reporter.setAddressSource(oneAdapter);
        reporter.sendEvent(L"ui", L"held", L"0");
        ASSERT_TRUE(rec.waitFor([&] { return rec.inside == 1; }));  // the worker is inside the first post
        for (int i = 1; i <= 101; ++i) reporter.sendEvent(L"ui", L"e", std::to_wstring(i));
        {
            std::lock_guard<std::mutex> g(rec.lock);
            rec.gateOpen = true;
        }
        rec.changed.notify_all();
        ASSERT_TRUE(rec.waitFor([&] { return rec.posts.size() == 101; }));
    }
    EXPECT_NE(rec.posts.back().second.find("\"event_label\":\"100\""), std::string::npos);
    for (const auto& p : rec.posts) EXPECT_EQ(p.second.find("\"event_label\":\"101\""), std::string::npos);
}

TEST(AnalyticsReporter, NothingIsSentAfterDisabling) {
    RecordingPoster rec;
    {
        AnalyticsReporter reporter(rec.poster(), L"https://127.0.0.1:1");
        reporter.setAddressSource(oneAdapter);
        reporter.sendEvent(L"ui", L"before", L"1");
        ASSERT_TRUE(rec.waitFor([&] { return rec.posts.size() == 1; }));
        reporter.disable();
        reporter.sendEvent(L"ui", L"queued after", L"2");
        reporter.sendEventNow(L"ui", L"now after", L"3");
    }  // destruction waits for the idle worker
    ASSERT_EQ(rec.posts.size(), 1u);
    EXPECT_NE(rec.posts[0].second.find("before"), std::string::npos);
}

TEST(AnalyticsReporter, SendNowPostsOnTheCallersThread) {
    RecordingPoster rec;
    AnalyticsReporter reporter(rec.poster(), L"https://127.0.0.1:1");
    reporter.sendEventNow(L"ui", L"userCancel", L"12345");
    ASSERT_EQ(rec.posts.size(), 1u);  // no waiting: it already happened
    EXPECT_EQ(rec.posts[0].second, AnalyticsReporter::buildBody(L"", L"userCancel", L"12345"));
}

TEST(AnalyticsReporter, DestructionGivesAStuckSendItsGraceThenLeavesItAlone) {
    auto rec = std::make_shared<RecordingPoster>();
    rec->gateOpen = false;
    {
        AnalyticsReporter reporter(rec->poster(), L"https://127.0.0.1:1");
        reporter.setAddressSource(oneAdapter);
        reporter.sendEvent(L"ui", L"slow", L"1");
        reporter.sendEvent(L"ui", L"never", L"2");
        ASSERT_TRUE(rec->waitFor([&] { return rec->inside == 1; }));
    }  // returns after the grace while the worker is still inside its post
    {
        std::lock_guard<std::mutex> g(rec->lock);
        rec->gateOpen = true;
    }
    rec->changed.notify_all();
    ASSERT_TRUE(rec->waitFor([&] { return rec->inside == 0 && rec->posts.size() == 1; }));
    // The queued event was dropped with the reporter.
    EXPECT_NE(rec->posts[0].second.find("slow"), std::string::npos);
}

TEST(AnalyticsReporter, DestructionLetsASendInFlightFinish) {
    RecordingPoster rec;
    rec.gateOpen = false;
    std::thread opener;
    {
        AnalyticsReporter reporter(rec.poster(), L"https://127.0.0.1:1");
        reporter.setAddressSource(oneAdapter);
        reporter.sendEvent(L"ui", L"last", L"1");
        ASSERT_TRUE(rec.waitFor([&] { return rec.inside == 1; }));
        opener = std::thread([&rec] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::lock_guard<std::mutex> g(rec.lock);
            rec.gateOpen = true;
            rec.changed.notify_all();
        });
    }  // waits for the post, which ends inside the grace
    EXPECT_EQ(rec.posts.size(), 1u);
    opener.join();
}

}  // namespace
