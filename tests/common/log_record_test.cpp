#include <gtest/gtest.h>

#include "common/log.h"
#include "common/log_record.h"
#include "common/utf8.h"

namespace {

const platform::LocalTime kTime{2026, 3, 7, 9, 5, 4, 32};

std::string header(const char* function, int line) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "03-07\t09:05:04.032\t0042\t%s\t(%d):", function, line);
    return buf;
}

TEST(LogRecord, HeaderTextAndLineEnd) {
    EXPECT_EQ(common::buildLogRecord("wWinMain", 38, L"\r\n\r\n start run", kTime, 42),
              header("wWinMain", 38) + "\r\n\r\n start run\r\n");
}

TEST(LogRecord, ThreadIdHasAtLeastFourDigits) {
    std::string r = common::buildLogRecord("f", 1, L"x", kTime, 123456);
    EXPECT_NE(r.find("\t123456\t"), std::string::npos);
}

TEST(LogRecord, TextCutAfter511Characters) {
    std::wstring text(600, L'a');
    std::string r = common::buildLogRecord("f", 1, text, kTime, 42);
    EXPECT_EQ(r, header("f", 1) + std::string(511, 'a') + "\r\n");
}

TEST(LogRecord, LongUtf8RecordIsCutAtCharacterBoundary) {
    // 500 CJK characters are 1500 bytes of UTF-8: more than a record may hold.
    std::wstring text(500, L'\x4E2D');
    std::string r = common::buildLogRecord("f", 1, text, kTime, 42);
    ASSERT_LE(r.size(), common::kMaxRecordBytes);
    ASSERT_EQ(r.substr(r.size() - 2), "\r\n");
    std::string body = r.substr(header("f", 1).size(), r.size() - 2 - header("f", 1).size());
    EXPECT_EQ(body.size() % 3, 0u) << "a character was split";
    EXPECT_EQ(common::utf8ToWide(body), std::wstring(body.size() / 3, L'\x4E2D'));
    EXPECT_GT(r.size(), common::kMaxRecordBytes - 3) << "the record should be filled up to the limit";
}

}  // namespace

namespace {

std::vector<std::pair<std::string, std::wstring>> g_seen;
void captureSink(const char* function, int line, const wchar_t* text) {
    g_seen.emplace_back(std::string(function) + ":" + std::to_string(line), text);
}

class LogCall : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        common::setLogSink(&captureSink);
    }
    void TearDown() override { common::setLogSink(nullptr); }
};

TEST_F(LogCall, FormatsWideStringsAndNumbers) {
    common::log("f", 7, L"path %s size %d", std::wstring(L"/tmp/\x4E2D"), 12);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].first, "f:7");
    EXPECT_EQ(g_seen[0].second, L"path /tmp/\x4E2D size 12");
}

TEST_F(LogCall, PercentInsideAnArgumentIsVerbatim) {
    common::log("f", 1, L"url %s", std::wstring(L"https://h/a%20b%s%d"));
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].second, L"url https://h/a%20b%s%d");
}

TEST_F(LogCall, MismatchedConversionKeepsTheFormatText) {
    common::log("f", 1, L"count %d", std::wstring(L"not a number"));
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].second, L"count %d");
}

TEST_F(LogCall, NoSinkIsHarmless) {
    common::setLogSink(nullptr);
    common::log("f", 1, L"dropped %d", 1);
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(LogCall, MacroNamesTheQualifiedFunction) {
    struct Holder {
        static void method() { NLOG(L"x"); }
    };
    Holder::method();
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_NE(g_seen[0].first.find("Holder::method:"), std::string::npos) << g_seen[0].first;
}

TEST(FunctionName, FromPrettySignatures) {
    struct Case {
        const char* pretty;
        const char* name;
    } cases[] = {
        {"bool utility::ufile::makeDir(const std::wstring&)", "utility::ufile::makeDir"},
        {"void DownloaderModel::runPlayer()", "DownloaderModel::runPlayer"},
        {"int main(int, char**)", "main"},
        {"static void {anonymous}::Holder::method()", "{anonymous}::Holder::method"},
        {"std::vector<int, std::allocator<int> > ns::f(int)", "ns::f"},
        {"const char* ns::C::name() const", "ns::C::name"},
        {"static void {anonymous}::T::TestBody()::Holder::method()", "{anonymous}::T::TestBody()::Holder::method"},
    };
    for (const auto& c : cases) EXPECT_EQ(common::functionName(c.pretty), c.name) << c.pretty;
}

}  // namespace
