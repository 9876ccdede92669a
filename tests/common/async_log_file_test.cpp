#include <gtest/gtest.h>

#include <thread>

#include "common/async_log_file.h"
#include "support/test_env.h"

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

TEST(AsyncLogFile, AppendsToAnExistingFileAndFlushesOnStop) {
    TempDir dir;
    std::string path = dir.file("downloader.log");
    writeFile(path, "old\r\n");
    {
        common::AsyncLogFile log(path);
        log.append("one\r\n");
        log.append("two\r\n");
    }  // destruction writes what is pending
    EXPECT_EQ(readFile(path), "old\r\none\r\ntwo\r\n");
}

TEST(AsyncLogFile, Utf16ByteOrderMarkEmptiesTheFile) {
    TempDir dir;
    std::string path = dir.file("downloader.log");
    writeFile(path, std::string("\xFF\xFE" "o\0l\0d\0", 8));
    {
        common::AsyncLogFile log(path);
        log.append("new\r\n");
    }
    EXPECT_EQ(readFile(path), "new\r\n");
}

TEST(AsyncLogFile, WritesInBatchesWithoutAStop) {
    TempDir dir;
    std::string path = dir.file("downloader.log");
    common::AsyncLogFile log(path);
    log.append("batched\r\n");
    // The writer wakes every interval; wait for the observable result, not for a fixed time.
    for (int i = 0; i < 500 && readFile(path) != "batched\r\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(readFile(path), "batched\r\n");
}

TEST(AsyncLogFile, TrimKeepsTheNewestTailAndGoesOn) {
    TempDir dir;
    std::string path = dir.file("downloader.log");
    common::AsyncLogFile::Limits limits;
    limits.trimThreshold = 1000;
    limits.trimKeep = 100;
    std::string old(990, 'x');
    old += "0123456789";
    writeFile(path, old);
    {
        common::AsyncLogFile log(path, limits);
        log.append("ABCDEFGHIJ");  // pushes the file to 1010 bytes
        log.stop();
    }
    std::string expected = (old + "ABCDEFGHIJ").substr(910);
    EXPECT_EQ(readFile(path), expected);

    // A second trim in a later batch still reads the tail of the file.
    {
        common::AsyncLogFile log(path, limits);
        log.append(std::string(950, 'y'));
    }
    EXPECT_EQ(readFile(path), std::string(100, 'y'));
}

TEST(AsyncLogFile, RecordsAfterStopAreDropped) {
    TempDir dir;
    std::string path = dir.file("downloader.log");
    common::AsyncLogFile::Limits limits;
    limits.intervalMs = 60000;  // only the stop wakes the writer
    common::AsyncLogFile log(path, limits);
    log.append("kept\r\n");
    log.stop();
    log.append("after stop\r\n");
    EXPECT_EQ(readFile(path), "kept\r\n");
}

TEST(AsyncLogFile, ConcurrentRecordsNeverInterleave) {
    TempDir dir;
    std::string path = dir.file("downloader.log");
    {
        common::AsyncLogFile::Limits limits;
        limits.flushThreshold = 1u << 26;  // keep every record
        common::AsyncLogFile log(path, limits);
        auto writer = [&log](char c) {
            std::string record(200, c);
            record += "\r\n";
            for (int i = 0; i < 2000; ++i) log.append(record);
        };
        std::thread a(writer, 'a'), b(writer, 'b');
        a.join();
        b.join();
    }
    std::string content = readFile(path);
    ASSERT_EQ(content.size(), 2u * 2000u * 202u);
    for (size_t at = 0; at < content.size(); at += 202) {
        char c = content[at];
        ASSERT_TRUE(c == 'a' || c == 'b');
        ASSERT_EQ(content.substr(at, 202), std::string(200, c) + "\r\n") << "at byte " << at;
    }
}

}  // namespace
