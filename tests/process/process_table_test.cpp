#include <gtest/gtest.h>

#include "platform/desktop_user.h"
#include "platform/process.h"

namespace {

using platform::ProcessEntry;

ProcessEntry proc(int pid, int ppid, uint32_t uid, std::string name, bool fromComm = false, bool kernel = false) {
    ProcessEntry e;
    e.pid = pid;
    e.ppid = ppid;
    e.uid = uid;
    e.name = std::move(name);
    e.nameFromComm = fromComm;
    e.kernelThread = kernel;
    return e;
}

TEST(ProcessName, CommIsComparedWithItsFifteenCharacters) {
    struct Case {
        ProcessEntry entry;
        const char* name;
        bool matches;
    } cases[] = {
        {proc(10, 1, 0, "qxplayer"), "qxplayer", true},
        {proc(10, 1, 0, "qxplayer"), "qxplayer.exe", false},
        {proc(10, 1, 0, "qxplayer"), "QXPLAYER", false},
        {proc(10, 1, 0, "qxmultiplayer-x"), "qxmultiplayer-xy", false},       // from exe: whole name
        {proc(10, 1, 0, "qxmultiplayer-x", true), "qxmultiplayer-xy", true},  // from comm: cut to 15
        {proc(10, 1, 0, "qxmultiplayer", true), "qxmultiplayer", true},
        {proc(10, 1, 0, "qxplaye", true), "qxplayer", false},
        {proc(10, 1, 0, ""), "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::processNameMatches(c.entry, c.name), c.matches) << c.entry.name << " vs " << c.name;
}

TEST(ProcessTrees, MatchesWithAllDescendantsButNeverSelfOrKernelThreads) {
    // 1 init
    // ├─ 100 qxplayer ── 101 helper ── 102 worker
    // ├─ 200 bash ── 201 qxplayer ── 202 sleep
    // ├─ 300 installer (self) ── 301 qxplayer
    // ├─ 400 qxplayer (self's name is irrelevant; 400 is a kernel thread)
    // └─ 500 other ── 501 other-child
    std::vector<ProcessEntry> table = {
        proc(1, 0, 0, "qxplayer"),  // pid 1 is never killed, whatever it is called
        proc(100, 1, 1000, "qxplayer"),  proc(101, 100, 1000, "helper"),      proc(102, 101, 1000, "worker"),
        proc(200, 1, 1000, "bash"),      proc(201, 200, 1000, "qxplayer"),    proc(202, 201, 1000, "sleep"),
        proc(300, 1, 1000, "installer"), proc(301, 300, 1000, "qxplayer"),    proc(400, 2, 0, "qxplayer", true, true),
        proc(500, 1, 1000, "other"),     proc(501, 500, 1000, "other-child"),
    };
    EXPECT_EQ(platform::processTreesNamed(table, "qxplayer", 300), (std::vector<int>{100, 101, 102, 201, 202, 301}));
    // The caller itself is spared even when it carries the name, and so is what hangs below it.
    EXPECT_EQ(platform::processTreesNamed(table, "installer", 300), std::vector<int>{});
    EXPECT_EQ(platform::processTreesNamed(table, "nothing", 300), std::vector<int>{});
    // An ended process (a zombie keeps its name in comm) is no target.
    table.push_back(proc(600, 1, 1000, "qxplayer", true));
    table.back().ended = true;
    EXPECT_EQ(platform::processTreesNamed(table, "qxplayer", 300), (std::vector<int>{100, 101, 102, 201, 202, 301}));
    // A match below another match is listed once.
    table.push_back(proc(103, 102, 1000, "qxplayer"));
    EXPECT_EQ(platform::processTreesNamed(table, "qxplayer", 300),
              (std::vector<int>{100, 101, 102, 201, 202, 301, 103}));
}

TEST(DesktopUser, RequestedUserComesFromSudoThenPkexec) {
    struct Case {
        std::optional<std::string> sudo, pkexec;
        std::optional<uint32_t> uid;
    } cases[] = {
        {std::nullopt, std::nullopt, std::nullopt},
        {"1000", std::nullopt, 1000u},
        {std::nullopt, "1001", 1001u},
        {"1000", "1001", 1000u},
        {"0", "1001", 1001u},  // sudo from a root shell names root: look further
        {"", std::nullopt, std::nullopt},
        {"10x0", std::nullopt, std::nullopt},
        {"-5", std::nullopt, std::nullopt},
        {"4294967295", std::nullopt, std::nullopt},
        {"99999999999", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::requestedUserId(c.sudo, c.pkexec), c.uid)
            << c.sudo.value_or("<unset>") << " / " << c.pkexec.value_or("<unset>");
}

TEST(DesktopUser, FirstNonRootDesktopShellOfTheRequestedUser) {
    std::vector<ProcessEntry> table = {
        proc(50, 1, 0, "gnome-shell"),  // the greeter's shell runs as root here: never chosen
        proc(60, 1, 1000, "bash"),
        proc(70, 1, 1001, "plasmashell"),
        proc(80, 1, 1000, "gnome-shell"),
        proc(90, 1, 1000, "gnome-session-b", true),  // comm of gnome-session-binary, exe unreadable
        proc(95, 2, 1000, "sway", false, true),
    };
    EXPECT_EQ(platform::chooseSessionProcess(table, std::nullopt), 2u);  // first in table order wins
    EXPECT_EQ(platform::chooseSessionProcess(table, 1000u), 3u);
    EXPECT_EQ(platform::chooseSessionProcess(table, 1002u), std::nullopt);

    std::vector<ProcessEntry> onlyComm = {proc(90, 1, 1000, "gnome-session-b", true)};
    EXPECT_EQ(platform::chooseSessionProcess(onlyComm, std::nullopt), 0u);
    std::vector<ProcessEntry> none = {proc(60, 1, 1000, "bash"), proc(50, 1, 0, "plasmashell")};
    EXPECT_EQ(platform::chooseSessionProcess(none, std::nullopt), std::nullopt);
}

TEST(DesktopUser, IdsFromProcessStatus) {
    const char* status =
        "Name:\tgnome-shell\nUmask:\t0002\nState:\tS (sleeping)\nUid:\t1000\t1000\t1000\t1000\n"
        "Gid:\t1001\t1001\t1001\t1001\nFDSize:\t256\nGroups:\t4 24 27 1001 \nNStgid:\t80\n";
    auto ids = platform::parseProcessIds(status);
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->uid, 1000u);
    EXPECT_EQ(ids->gid, 1001u);
    EXPECT_EQ(ids->groups, (std::vector<uint32_t>{4, 24, 27, 1001}));

    auto noGroups = platform::parseProcessIds("Uid:\t5\t5\t5\t5\nGid:\t6\t6\t6\t6\nGroups:\t\n");
    ASSERT_TRUE(noGroups);
    EXPECT_TRUE(noGroups->groups.empty());
    EXPECT_FALSE(platform::parseProcessIds("Name:\tx\nGid:\t6\t6\t6\t6\n")) << "no Uid line";
    EXPECT_FALSE(platform::parseProcessIds(""));
}

TEST(DesktopUser, SessionEnvironmentKeepsOnlyTheSessionVariables) {
    using namespace std::string_literals;
    std::string block =
        "HOME=/home/ann\0DISPLAY=:0\0SECRET_TOKEN=abc\0WAYLAND_DISPLAY=wayland-0\0"
        "XDG_RUNTIME_DIR=/run/user/1000\0DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/1000/bus\0"
        "PATH=/usr/bin:/bin\0LD_PRELOAD=/tmp/evil.so\0"s;
    std::vector<std::string> source = platform::parseEnvironBlock(block);
    ASSERT_EQ(source.size(), 8u);
    EXPECT_EQ(source[0], "HOME=/home/ann");

    auto env = platform::sessionEnvironment(source, true, "/home/from-passwd", "ann");
    EXPECT_EQ(env, (std::vector<std::string>{"HOME=/home/ann", "USER=ann", "LOGNAME=ann", "PATH=/usr/bin:/bin",
                                             "DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0",
                                             "DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/1000/bus",
                                             "XDG_RUNTIME_DIR=/run/user/1000"}));

    // Taken from our own (root's) environment under sudo: root's HOME must not reach the user's program.
    std::vector<std::string> sudoEnv = {"HOME=/root", "DISPLAY=:1", "XAUTHORITY=/home/ann/.Xauthority",
                                        "LANG=de_DE.UTF-8"};
    env = platform::sessionEnvironment(sudoEnv, false, "/home/ann", "ann");
    EXPECT_EQ(
        env, (std::vector<std::string>{"HOME=/home/ann", "USER=ann", "LOGNAME=ann", "PATH=/usr/local/bin:/usr/bin:/bin",
                                       "DISPLAY=:1", "XAUTHORITY=/home/ann/.Xauthority", "LANG=de_DE.UTF-8"}));
}

}  // namespace
