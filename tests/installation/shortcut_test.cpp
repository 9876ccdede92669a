#include <gtest/gtest.h>

#include <filesystem>

#include "app/shortcut.h"
#include "platform/desktop_paths.h"
#include "support/test_env.h"
#include "utility/safe_name.h"

using namespace testing_support;

namespace {

TEST(SafeFileName, RefusesNamesThatCouldLeaveTheirFolder) {
    struct Case {
        std::wstring name;
        bool ok;
    } cases[] = {
        {L"Game", true},           {L"My Game: Deluxe", true}, {L"\x6E38\x620F", true}, {L"com.example.game", true},
        {L"", false},              {L".", false},              {L"..", false},          {L"../x", false},
        {L"a/b", false},           {L"a\\b", false},           {L"a\nb", false},        {L"a..b", false},
        {std::wstring(201, L'x'), false},
    };
    for (const auto& c : cases) EXPECT_EQ(utility::safeFileName(c.name).has_value(), c.ok) << c.name.size();
}

TEST(DesktopFolder, FollowsUserDirsOrFallsBack) {
    IsolatedHome home;
    EXPECT_EQ(platform::desktopFolder(), home.home() + "/Desktop");
    writeFile(home.home() + "/.config/user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(platform::desktopFolder(), home.home() + "/Schreibtisch");
    writeFile(home.home() + "/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"relative\"\n");
    EXPECT_EQ(platform::desktopFolder(), home.home() + "/Desktop");
}

TEST(Shortcut, WritesAnExecutableDesktopEntry) {
    IsolatedHome home;
    helper::disk::createShortcut(L"My Game", L"/opt/n/data/My Game.ico", L"/opt/n/", L"/opt/n/qxplayer",
                                 L"package=com.example.game");
    std::string path = home.home() + "/Desktop/My Game.desktop";
    ASSERT_TRUE(std::filesystem::exists(path));
    std::string entry = readFile(path);
    EXPECT_NE(entry.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(entry.find("Exec=\"/opt/n/qxplayer\" \"package=com.example.game\"\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Path=/opt/n/\n"), std::string::npos);
    EXPECT_NE(entry.find("Icon=/opt/n/data/My Game.ico\n"), std::string::npos);
    auto perms = std::filesystem::status(path).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::owner_exec);
}

TEST(Shortcut, QuotesWhatTheLauncherWouldInterpret) {
    EXPECT_EQ(helper::disk::desktopExecLine(L"/a b/qxplayer", L"package=$x\"y`z%1\\"),
              "\"/a b/qxplayer\" \"package=\\\\$x\\\\\"y\\\\`z%%1\\\\\\\\\"");
    EXPECT_EQ(helper::disk::desktopExecLine(L"/p/qxplayer", L""), "\"/p/qxplayer\"");
}

TEST(Shortcut, UnsafeNameWritesNothing) {
    IsolatedHome home;
    helper::disk::createShortcut(L"../../evil", L"i", L"/w", L"/t", L"");
    EXPECT_FALSE(std::filesystem::exists(home.home() + "/Desktop"));
    EXPECT_FALSE(std::filesystem::exists(home.home() + "/evil.desktop"));
}

}  // namespace
