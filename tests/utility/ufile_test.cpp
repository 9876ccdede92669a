#include <gtest/gtest.h>

#include <filesystem>

#include "common/log.h"
#include "support/test_env.h"
#include "utility/ufile.h"

using namespace utility;
using testing_support::TempDir;

namespace {

std::vector<std::wstring> g_logged;
void captureSink(const char*, int, const wchar_t* text) { g_logged.emplace_back(text); }

class UFile : public ::testing::Test {
protected:
    void SetUp() override {
        g_logged.clear();
        common::setLogSink(&captureSink);
    }
    void TearDown() override { common::setLogSink(nullptr); }
    std::wstring w(const std::string& s) { return std::wstring(s.begin(), s.end()); }
    TempDir dir;
};

TEST_F(UFile, ParentDir) {
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"/a/b/", L"/a/"}, {L"/a/b", L"/a/"}, {L"/a/b/c.txt", L"/a/b/"}, {L"name", L""},
        {L"/", L""},        {L"", L""},        {L"/a", L"/"},             {L"C:\\a\\b\\", L"C:\\a\\"},
        {L"C:\\", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ufile::getParentDir(c.in), c.out) << std::string(c.in.begin(), c.in.end());
}

TEST_F(UFile, FileName) {
    EXPECT_EQ(ufile::getFileName(L"/dir/setup.new.bin", false), L"setup.new");
    EXPECT_EQ(ufile::getFileName(L"/dir/setup.new.bin", true), L"setup.new.bin");
    EXPECT_EQ(ufile::getFileName(L"/dir/noext", false), L"noext");
    EXPECT_EQ(ufile::getFileName(L"bare.bin", true), L"");
    EXPECT_EQ(ufile::getFileName(L"/dir/", true), L"");
}

TEST_F(UFile, MakeDirCreatesParentsAndAcceptsExisting) {
    std::wstring deep = w(dir.path()) + L"/a/b/\x4E2D";
    EXPECT_TRUE(ufile::makeDir(deep));
    EXPECT_TRUE(ufile::exists(deep));
    EXPECT_TRUE(ufile::makeDir(deep));
    EXPECT_TRUE(g_logged.empty());

    testing_support::writeFile(dir.file("file"), "x");
    EXPECT_FALSE(ufile::makeDir(w(dir.file("file")) + L"/sub"));
    ASSERT_EQ(g_logged.size(), 1u);
    EXPECT_EQ(g_logged[0].rfind(L"make dir failed! error = ", 0), 0u);
}

TEST_F(UFile, MoveFileReplacesOnlyWhenAsked) {
    testing_support::writeFile(dir.file("a"), "new");
    testing_support::writeFile(dir.file("b"), "old");
    EXPECT_FALSE(ufile::moveFile(w(dir.file("a")), w(dir.file("b")), 0));
    ASSERT_EQ(g_logged.size(), 1u);
    EXPECT_NE(g_logged[0].find(L"flag = 0 failed! error = 17."), std::wstring::npos) << g_logged[0].c_str();
    EXPECT_TRUE(ufile::moveFile(w(dir.file("a")), w(dir.file("b")),
                                ufile::kMoveReplaceExisting | ufile::kMoveCopyAllowed));
    EXPECT_EQ(testing_support::readFile(dir.file("b")), "new");
    EXPECT_FALSE(ufile::exists(w(dir.file("a"))));
}

TEST_F(UFile, RemoveAndSize) {
    testing_support::writeFile(dir.file("f"), "12345");
    uint64_t size = 0;
    EXPECT_TRUE(ufile::getFileSize(w(dir.file("f")), size));
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(ufile::getFileSize(w(dir.path()), size)) << "a folder has no file size";
    EXPECT_TRUE(ufile::removeFile(w(dir.file("f"))));
    EXPECT_FALSE(ufile::getFileSize(w(dir.file("f")), size));
    EXPECT_FALSE(ufile::removeFile(w(dir.file("f"))));
    ASSERT_EQ(g_logged.size(), 1u);
    EXPECT_EQ(g_logged[0].rfind(L"removeFile file from [ ", 0), 0u);
    EXPECT_FALSE(ufile::removeFile(w(dir.path()))) << "folders are not removed";
    EXPECT_TRUE(std::filesystem::exists(dir.path()));
}

TEST_F(UFile, FileWriterTruncatesAndWritesAll) {
    testing_support::writeFile(dir.file("out"), "previous content");
    FileWriter writer;
    ASSERT_TRUE(writer.open(w(dir.file("out"))));
    EXPECT_TRUE(writer.write("abc", 3));
    writer.close();
    writer.close();
    EXPECT_FALSE(writer.write("x", 1));
    EXPECT_EQ(testing_support::readFile(dir.file("out")), "abc");
    EXPECT_FALSE(writer.open(w(dir.path()) + L"/missing/out"));
}

TEST_F(UFile, AppDataFollowsXdgStateHome) {
    testing_support::ScopedEnv state("XDG_STATE_HOME", dir.path() + "/state");
    EXPECT_EQ(ufile::getAppDataPath(), w(dir.path()) + L"/state");
    testing_support::ScopedEnv unset("XDG_STATE_HOME", std::nullopt);
    testing_support::ScopedEnv home("HOME", dir.path());
    EXPECT_EQ(ufile::getAppDataPath(), w(dir.path()) + L"/.local/state");
}

TEST_F(UFile, ModuleDirEndsWithSeparator) {
    std::wstring d = ufile::getModuleDir();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d.back(), L'/');
    EXPECT_TRUE(ufile::exists(d));
}

}  // namespace
