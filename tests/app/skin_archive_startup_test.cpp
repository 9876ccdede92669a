// The installer starts with its skin archive in place: the log names the archive's size and entry count,
// which match the archive the build packed and the non-empty files of skin/.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <regex>
#include <thread>

#include "support/child_process.h"
#include "support/test_env.h"

using namespace testing_support;

namespace {

TEST(SkinArchiveStartup, LogsTheEmbeddedArchiveSizeAndEntryCount) {
    namespace fs = std::filesystem;
    size_t expectedEntries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(NIMBARO_SOURCE_DIR) / "skin")) {
        if (entry.is_regular_file() && entry.file_size() > 0) ++expectedEntries;
    }
    ASSERT_GT(expectedEntries, 0u);
    uintmax_t expectedSize = fs::file_size(fs::path(NIMBARO_BINARY_DIR) / "tools/skin_packer/skin.7z");

    IsolatedHome home;  // also keeps the instance lock private
    ChildProcess child({NIMBARO_INSTALLER});
    ASSERT_TRUE(child.started());
    std::string log = home.home() + "/.local/state/downloader/downloader.log";
    std::regex line(R"(LoadSkinArchive\t\(\d+\):skin archive: (\d+) bytes, (\d+) entries, result (-?\d+)\r\n)");
    std::smatch match;
    std::string content;
    for (int waited = 0; waited < 10000; waited += 20) {
        content = readFile(log);
        if (std::regex_search(content, match, line)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    child.signal(SIGTERM);
    EXPECT_EQ(child.wait(5000), std::optional<int>(0));
    ASSERT_FALSE(match.empty()) << content;
    EXPECT_EQ(std::stoull(match[1].str()), expectedSize);
    EXPECT_EQ(std::stoull(match[2].str()), expectedEntries);
    EXPECT_EQ(match[3].str(), "0");
    // The toolkit is ready before the main window is made.
    EXPECT_LT(content.find("skin archive:"), content.find("create main")) << content;
}

}  // namespace
