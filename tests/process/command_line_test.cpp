#include <gtest/gtest.h>

#include "app/player_launcher.h"
#include "platform/process.h"

namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheWindowsRules) {
    struct Case {
        const char* text;
        Args args;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"  a   b  ", {"a", "b"}},
        {R"("a b" c)", {"a b", "c"}},
        {R"(-path="/home/u/My Games/Nimbaro9/")", {"-path=/home/u/My Games/Nimbaro9/"}},
        {R"(-silence -downloader -openid=12345 -language=en -path="/h/N/N9/")",
         {"-silence", "-downloader", "-openid=12345", "-language=en", "-path=/h/N/N9/"}},
        {R"("")", {""}},
        {R"(a "" b)", {"a", "", "b"}},
        {R"(a\\b c\d)", {R"(a\\b)", R"(c\d)"}},  // backslashes not before a quote are literal
        {R"(a\"b)", {R"(a"b)"}},                 // 2n+1 backslashes: n of them and a literal quote
        {R"(a\\\"b)", {R"(a\"b)"}},
        {R"("a\\" b)", {R"(a\)", "b"}},  // 2n backslashes: n of them, and the quote closes
        {R"("C:\Nimbaro\Nimbaro9\" x)", {R"(C:\Nimbaro\Nimbaro9" x)"}},  // the classic trap: \" is a quote
        {R"("a""b")", {R"(a"b)"}},                                       // three quotes in a row give one
        {R"(""")", {R"(")"}},
        {R"(x"y z"w)", {"xy zw"}},  // quotes group in the middle of an argument
        {R"("open)", {"open"}},     // an unclosed quote runs to the end
        {"package=com.example.game|package=x", {"package=com.example.game|package=x"}},
        {"\xE4\xB8\xAD \"\xE6\x96\x87 x\"", {"\xE4\xB8\xAD", "\xE6\x96\x87 x"}},  // UTF-8 passes through
    };
    for (const auto& c : cases) EXPECT_EQ(platform::splitCommandLine(c.text), c.args) << "text: " << c.text;
}

TEST(PlayerLaunch, CommandLineAndArguments) {
    EXPECT_EQ(playerExecutable(L"/home/u/Nimbaro/Nimbaro9/"), L"/home/u/Nimbaro/Nimbaro9/qxplayer");
    EXPECT_EQ(playerExecutable(L"/home/u/Nimbaro/Nimbaro9"), L"/home/u/Nimbaro/Nimbaro9/qxplayer");

    EXPECT_EQ(packageParameters(L"com.example.game"), L"downloadpackage=com.example.game|package=com.example.game");
    EXPECT_EQ(packageParameters(L""), L"");

    // An empty parameter text still leaves the space after the quoted path; the program gets no argument.
    EXPECT_EQ(tokenCommandLine(L"/opt/n/qxplayer", L""), L"\"/opt/n/qxplayer\" ");
    EXPECT_EQ(playerArguments(L""), Args{});
    EXPECT_EQ(tokenCommandLine(L"/my dir/qxplayer", L"package=a.b"), L"\"/my dir/qxplayer\" package=a.b");
    EXPECT_EQ(playerArguments(L"downloadpackage=a.b|package=a.b"), Args{"downloadpackage=a.b|package=a.b"});
    EXPECT_EQ(playerArguments(L"apk=\"/home/u/My Games/g.apk\" show=true"),
              (Args{"apk=/home/u/My Games/g.apk", "show=true"}));
}

}  // namespace
