#include "utility/http_sinks.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace utility;
using namespace testing_support;

namespace {

struct Progress : IHttpDownloadSink {
    struct Call {
        unsigned count;
        uint64_t received, total;
    };
    std::vector<Call> calls;
    bool answer = true;
    bool onDownloadProgress(const char*, unsigned count, uint64_t received, uint64_t total) override {
        calls.push_back({count, received, total});
        return answer;
    }
};

class FileSink : public ::testing::Test {
protected:
    TempDir dir;
    LogCapture log;
    std::atomic<bool> stop{false};
    Progress progress;
    std::string path = dir.file("out.bin");
    CHttpDownload2FileSink sink{utf8ToWide(path), &stop, &progress};
    bool exists() const { return ufile::exists(utf8ToWide(path)); }
};

TEST_F(FileSink, RefusesNonSuccessStatusesWithoutCreatingTheFile) {
    for (int status : {199, 300, 404, 500}) {
        EXPECT_FALSE(sink.onHttpRecvHeader(10, status)) << status;
        EXPECT_TRUE(log.contains(L"onHttpErro status = " + std::to_wstring(status))) << log.dump();
    }
    EXPECT_FALSE(exists());
}

TEST_F(FileSink, WritesPiecesAndReportsProgressAgainstTheAnnouncedOrAssumedTotal) {
    struct Case {
        int64_t length;
        uint64_t total;
    } cases[] = {{5, 5}, {-1, 10485760}, {0, 10485760}};
    for (const auto& c : cases) {
        progress.calls.clear();
        ASSERT_TRUE(sink.onHttpRecvHeader(c.length, 200));
        ASSERT_TRUE(sink.onHttpRecvData("abc", 3));
        ASSERT_TRUE(sink.onHttpRecvData("de", 2));
        sink.onHttpComplete();
        EXPECT_EQ(readFile(path), "abcde");
        ASSERT_EQ(progress.calls.size(), 2u);
        EXPECT_EQ(progress.calls[0].received, 3u);
        EXPECT_EQ(progress.calls[1].received, 5u) << "the count restarts with every answer";
        EXPECT_EQ(progress.calls[1].total, c.total);
    }
}

TEST_F(FileSink, StopOrARefusingListenerEndsTheTransferBeforeWriting) {
    ASSERT_TRUE(sink.onHttpRecvHeader(-1, 200));
    progress.answer = false;
    EXPECT_FALSE(sink.onHttpRecvData("abc", 3));
    progress.answer = true;
    stop = true;
    EXPECT_FALSE(sink.onHttpRecvData("abc", 3));
    EXPECT_EQ(progress.calls.size(), 1u) << "a stop is checked before the listener";
    sink.onHttpComplete();
    EXPECT_EQ(readFile(path), "");
}

TEST_F(FileSink, ErrorsAreLogged) {
    sink.onHttpError(6, 5);
    EXPECT_TRUE(log.contains(L"onHttpErro 6, 5"));
    CHttpDownload2FileSink nowhere(utf8ToWide(dir.file("missing/out.bin")), &stop, nullptr);
    EXPECT_FALSE(nowhere.onHttpRecvHeader(3, 200));
    EXPECT_TRUE(log.contains(L"onHttpErro create file error  2")) << log.dump();
}

TEST(MemSink, TakesTheBodyOfSuccessAnswersUntilStopped) {
    std::string response = "kept:";
    std::atomic<bool> stop{false};
    CHttpDownload2MemSink sink(&response, &stop);
    for (int status : {100, 199, 300, 304, 404}) EXPECT_FALSE(sink.onHttpRecvHeader(-1, status)) << status;
    for (int status : {200, 204, 299}) EXPECT_TRUE(sink.onHttpRecvHeader(-1, status)) << status;
    EXPECT_TRUE(sink.onHttpRecvData("ab\0c", 4));
    EXPECT_EQ(response, std::string("kept:ab\0c", 9));
    stop = true;
    EXPECT_FALSE(sink.onHttpRecvData("x", 1));
    EXPECT_EQ(response.size(), 9u);
}

}  // namespace
