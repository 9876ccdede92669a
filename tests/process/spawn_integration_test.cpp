// Real child processes: start, wait, time-outs, kill by name, browser start, start as another user.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "common/log.h"
#include "platform/desktop_user.h"
#include "platform/process.h"
#include "platform/system.h"
#include "support/test_env.h"
#include "utility/process.h"

namespace {

using testing_support::readFile;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using Clock = std::chrono::steady_clock;

std::mutex g_logLock;
std::vector<std::wstring> g_logged;
void captureSink(const char*, int, const wchar_t* text) {
    std::lock_guard<std::mutex> lock(g_logLock);
    g_logged.emplace_back(text);
}

std::wstring w(const std::string& s) { return std::wstring(s.begin(), s.end()); }

bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

// Ended (or only waiting for its parent to collect it).
bool processGone(int pid) {
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty()) return true;
    size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
}

class Processes : public ::testing::Test {
protected:
    void SetUp() override {
        {
            std::lock_guard<std::mutex> lock(g_logLock);
            g_logged.clear();
        }
        common::setLogSink(&captureSink);
    }
    void TearDown() override { common::setLogSink(nullptr); }

    std::vector<std::wstring> logged() {
        std::lock_guard<std::mutex> lock(g_logLock);
        return g_logged;
    }
    bool wasLogged(const std::wstring& line) {
        auto lines = logged();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // An executable shell script in the temp folder.
    std::string script(const std::string& name, const std::string& body) {
        std::string path = dir.file(name);
        testing_support::writeFile(path, "#!/bin/sh\n" + body);
        ::chmod(path.c_str(), 0755);
        return path;
    }
    // A script that records its arguments, one per line, after their count, into <name>.out.
    std::string recorder(const std::string& name, int exitCode = 0) {
        std::string out = dir.file(name + ".out");
        return script(name, "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > " + out + ".tmp\nmv " + out +
                                ".tmp " + out + "\nexit " + std::to_string(exitCode) + "\n");
    }
    // A script that waits until the file "gate" exists (at most 30 s), then exits with `exitCode`.
    std::string gated(const std::string& name, int exitCode) {
        return script(name, "i=0\nwhile [ ! -e " + dir.file("gate") +
                                " ] && [ $i -lt 3000 ]; do sleep 0.01; i=$((i+1)); done\n"
                                "touch " +
                                dir.file(name + ".done") + "\nexit " + std::to_string(exitCode) + "\n");
    }

    TempDir dir;
};

TEST_F(Processes, CreateRunsTheProgramAloneInItsSessionWithSplitArguments) {
    // A descriptor of ours without close-on-exec must not reach the child.
    int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 0);
    ASSERT_EQ(::dup2(leaked, 57), 57);
    ::close(leaked);
    std::string probe = script("probe",
                               "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; readlink /proc/$$/fd/0; "
                               "readlink /proc/$$/fd/2; [ -e /proc/$$/fd/57 ] && echo leaked; "
                               "cut -d' ' -f6 /proc/$$/stat; echo $$; } > " +
                                   dir.file("probe.out") + "\n");
    uint32_t pid = 0;
    platform::Process child = utility::process::create(w(probe), L"a \"b c\"", false, &pid);
    ::close(57);
    ASSERT_TRUE(child.valid());
    EXPECT_EQ(pid, uint32_t(child.pid()));
    platform::WaitResult r = child.wait(10000);
    ASSERT_EQ(r.status, platform::WaitResult::Status::Ended);
    EXPECT_EQ(r.exitCode, 0);
    std::string p = std::to_string(pid);
    EXPECT_EQ(readFile(dir.file("probe.out")), "2\na\nb c\n/dev/null\n/dev/null\n" + p + "\n" + p + "\n")
        << "arguments, standard streams, no leaked descriptor, session leader";
    EXPECT_TRUE(wasLogged(L"createProcess filename = [" + w(probe) + L"], param = [a \"b c\"], show = 0"));

    // Empty parameters: the program name alone, no empty argument.
    std::string rec = recorder("rec");
    platform::Process bare = utility::process::create(w(rec), L"", true);
    ASSERT_TRUE(bare.valid());
    EXPECT_EQ(bare.wait(10000).status, platform::WaitResult::Status::Ended);
    EXPECT_EQ(readFile(dir.file("rec.out")), "0\n");
}

TEST_F(Processes, CreateReportsErrnoForProgramsThatCannotRun) {
    struct Case {
        std::string program;
        int error;
    } cases[] = {
        {dir.file("missing"), ENOENT},
        {"nimbaro-no-such-program-on-path", ENOENT},
        {dir.path(), EACCES},
    };
    testing_support::writeFile(dir.file("plain"), "#!/bin/sh\n");
    ::chmod(dir.file("plain").c_str(), 0644);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        int err = 0;
        EXPECT_FALSE(platform::spawnProcess({c.program, {}, {}, {}}, &err).valid());
        EXPECT_EQ(err, c.error);
    }
    int err = 0;
    EXPECT_FALSE(utility::process::create(w(dir.file("plain")), L"", false, nullptr, &err).valid());
    EXPECT_EQ(err, EACCES);
    EXPECT_TRUE(wasLogged(L"createProcess failed!!! lastError = 13"));
    // A missing installer: the errno a caller puts into its event label.
    EXPECT_FALSE(utility::process::create(w(dir.file("vxinst")), L"-silence", false, nullptr, &err).valid());
    EXPECT_EQ(err, ENOENT);
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(Processes, ExecuteResultsFollowTheExitCode) {
    struct Case {
        int exitCode;
        bool result;
    } cases[] = {{0, true}, {1, false}, {42, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exitCode);
        std::string rec = recorder("exit" + std::to_string(c.exitCode), c.exitCode);
        EXPECT_EQ(utility::process::execute(w(rec), L"x", false, utility::process::kInfinite), c.result);
        EXPECT_TRUE(wasLogged(L"execute exitcode = " + std::to_wstring(c.exitCode) + L" lastError = 0"));
    }

    EXPECT_FALSE(utility::process::execute(w(dir.file("missing")), L"", false, 2000));
    EXPECT_TRUE(wasLogged(L"createProcess failed!!! lastError = 2"));
    EXPECT_TRUE(wasLogged(L"execute failed!!! last error = 2"));
}

TEST_F(Processes, ExecuteWithoutWaitingReturnsAtOnce) {
    std::string prog = gated("gated", 1);
    auto start = Clock::now();
    EXPECT_TRUE(utility::process::execute(w(prog), L"", false, 0)) << "its later exit code does not matter";
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(exists(dir.file("gated.done"))) << "the program cannot have ended: its gate is closed";
    testing_support::writeFile(dir.file("gate"), "");
    EXPECT_TRUE(waitFor([&] { return exists(dir.file("gated.done")); }));
}

TEST_F(Processes, ExecuteTimeOutLeavesTheProgramRunning) {
    std::string prog = gated("slow", 0);
    auto start = Clock::now();
    EXPECT_FALSE(utility::process::execute(w(prog), L"", false, 200));
    // It waited (a wait that ends a hair early on a coarse clock still counts).
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_TRUE(wasLogged(L"execute timeout!!!"));
    EXPECT_FALSE(exists(dir.file("slow.done")));
    testing_support::writeFile(dir.file("gate"), "");
    EXPECT_TRUE(waitFor([&] { return exists(dir.file("slow.done")); })) << "it was not killed";
}

TEST_F(Processes, WaitReportsSignalsTimeoutsAndKeepsItsResult) {
    platform::Process child = platform::spawnProcess({gated("sig", 0), {}, {}, {}});
    ASSERT_TRUE(child.valid());
    EXPECT_EQ(child.wait(0).status, platform::WaitResult::Status::Timeout);
    ASSERT_EQ(::kill(child.pid(), SIGKILL), 0);
    platform::WaitResult r = child.wait(10000);
    EXPECT_EQ(r.status, platform::WaitResult::Status::Ended);
    EXPECT_EQ(r.exitCode, 128 + SIGKILL);
    r = child.wait(0);
    EXPECT_EQ(r.status, platform::WaitResult::Status::Ended) << "the result is kept after the child was collected";
    EXPECT_EQ(r.exitCode, 128 + SIGKILL);

    platform::Process none;
    EXPECT_EQ(none.wait(0).status, platform::WaitResult::Status::Failed);
}

TEST_F(Processes, SpawnHonoursWorkingFolderAndEnvironment) {
    std::string sub = dir.file("work");
    std::filesystem::create_directory(sub);
    std::string prog = script("env", "{ pwd; echo \"[$NIMBARO_MARK][$HOME]\"; } > " + dir.file("env.out") + "\n");
    platform::Process child = platform::spawnProcess({prog, {}, sub, std::vector<std::string>{"NIMBARO_MARK=7"}});
    ASSERT_TRUE(child.valid());
    EXPECT_EQ(child.wait(10000).exitCode, 0);
    EXPECT_EQ(readFile(dir.file("env.out")), sub + "\n[7][]\n");
}

TEST_F(Processes, KillByNameKillsTheWholeTree) {
    // A named program that starts a child of another name, as the emulator starts its helpers.
    std::string name = "qxtree" + std::to_string(::getpid());
    std::string prog = dir.file(name);
    std::filesystem::copy_file("/bin/sh", prog);
    ::chmod(prog.c_str(), 0755);
    std::string childFile = dir.file("child");
    platform::Process parent =
        utility::process::create(w(prog), w("-c \"sleep 300 & echo $! > " + childFile + "; wait\""), false);
    ASSERT_TRUE(parent.valid());
    ASSERT_TRUE(waitFor([&] {
        std::string text = readFile(childFile);
        return !text.empty() && text.back() == '\n';
    }));
    int child = std::stoi(readFile(childFile));
    ASSERT_FALSE(processGone(child));

    EXPECT_TRUE(utility::process::killByName(w(name), 5000));
    EXPECT_TRUE(wasLogged(L"killByName name = [" + w(name) + L"]"));
    EXPECT_TRUE(wasLogged(L"killByName found = 2, killed = 2, remaining = 0, lastError = 0"));
    platform::WaitResult r = parent.wait(10000);
    EXPECT_EQ(r.status, platform::WaitResult::Status::Ended);
    EXPECT_EQ(r.exitCode, 128 + SIGKILL);
    EXPECT_TRUE(waitFor([&] { return processGone(child); })) << "the child of the named program survived";

    // Nothing of that name runs any more.
    EXPECT_TRUE(utility::process::killByName(w(name), 1000));
    EXPECT_TRUE(wasLogged(L"killByName found = 0, killed = 0, remaining = 0, lastError = 0"));
}

TEST_F(Processes, ShellStartsDetached) {
    std::string rec = recorder("shelled");
    EXPECT_TRUE(utility::process::shell(w(rec), L"package=com.example.game", true, false));
    EXPECT_TRUE(waitFor([&] { return exists(dir.file("shelled.out")); }));
    EXPECT_EQ(readFile(dir.file("shelled.out")), "1\npackage=com.example.game\n");
    EXPECT_EQ(logged(), (std::vector<std::wstring>{L"shell filename = [" + w(rec) +
                                                       L"], param = [package=com.example.game], runas = 1, show = 0",
                                                   L"shellEx ret . lastError = 0"}));

    EXPECT_FALSE(utility::process::shell(w(dir.file("missing")), L"", false, true));
    EXPECT_TRUE(wasLogged(L"shellEx failed!!! lastError = 2"));
}

TEST_F(Processes, OpenUrlFallsBackToTheBrowserOnlyWhenXdgOpenFails) {
    std::string bin = dir.file("bin");
    std::filesystem::create_directory(bin);
    ScopedEnv path("PATH", bin);
    auto tool = [&](const std::string& name, int exitCode) {
        std::string p = bin + "/" + name;
        testing_support::writeFile(p, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> " + dir.file(name + ".out") + "\nexit " +
                                          std::to_string(exitCode) + "\n");
        ::chmod(p.c_str(), 0755);
    };
    const std::wstring url = L"https://example.com/a?b=1&c=2";

    // Neither exists.
    EXPECT_EQ(utility::process::openUrl(url), 0);
    EXPECT_TRUE(wasLogged(L"openUrl failed!!! lastError = 2"));

    // Only the browser.
    tool("x-www-browser", 0);
    EXPECT_NE(utility::process::openUrl(url), 0);
    EXPECT_TRUE(waitFor([&] { return readFile(dir.file("x-www-browser.out")) == "https://example.com/a?b=1&c=2\n"; }));

    // xdg-open succeeds: the browser is not started again.
    tool("xdg-open", 0);
    EXPECT_NE(utility::process::openUrl(url), 0);
    EXPECT_TRUE(waitFor([&] { return exists(dir.file("xdg-open.out")); }));
    // xdg-open fails: the browser is started.
    tool("xdg-open", 3);
    EXPECT_NE(utility::process::openUrl(url), 0);
    EXPECT_TRUE(waitFor([&] {
        return readFile(dir.file("x-www-browser.out")) ==
               "https://example.com/a?b=1&c=2\nhttps://example.com/a?b=1&c=2\n";
    }));
    EXPECT_EQ(readFile(dir.file("xdg-open.out")), "https://example.com/a?b=1&c=2\nhttps://example.com/a?b=1&c=2\n");
}

TEST_F(Processes, StartAsUserDropsToThatUsersIds) {
    if (!platform::isRoot()) GTEST_SKIP() << "only root can start a program as another user";
    ::chmod(dir.path().c_str(), 0755);
    std::string out = dir.file("out");
    std::filesystem::create_directory(out);
    ::chmod(out.c_str(), 0777);
    std::string prog =
        script("who", "{ id -u; id -g; id -G; pwd; echo \"$HOME|$NIMBARO_MARK|$1\"; } > " + out + "/who.txt\n");
    platform::DesktopUser nobody;
    nobody.uid = 65534;
    nobody.gid = 65534;
    nobody.groups = {65534};
    nobody.home = "/";
    nobody.environment = {"HOME=/", "NIMBARO_MARK=session", "PATH=/usr/bin:/bin"};
    EXPECT_EQ(platform::startAsUser(nobody, {prog, {"package=a b"}, {}, {}}), 0);
    ASSERT_TRUE(waitFor([&] { return readFile(out + "/who.txt").find('|') != std::string::npos; }));
    EXPECT_EQ(readFile(out + "/who.txt"), "65534\n65534\n65534\n/\n/|session|package=a b\n");

    EXPECT_EQ(platform::startAsUser(nobody, {dir.file("missing"), {}, {}, {}}), ENOENT);
    EXPECT_EQ(platform::startAsUser(nobody, {prog, {}, dir.file("no-such-folder"), {}}), ENOENT);
    platform::DesktopUser root = nobody;
    root.uid = 0;
    EXPECT_EQ(platform::startAsUser(root, {prog, {}, {}, {}}), EPERM) << "never as root";
}

TEST_F(Processes, DesktopUserFromSudoWithoutASessionTakesTheUserDatabaseAndOurDisplay) {
    if (!platform::isRoot()) {
        int err = 0;
        EXPECT_FALSE(platform::findDesktopUser(&err));
        EXPECT_EQ(err, EPERM);
        return;
    }
    ScopedEnv sudo("SUDO_UID", "65534");
    ScopedEnv pkexec("PKEXEC_UID", std::nullopt);
    ScopedEnv display("DISPLAY", ":42");
    ScopedEnv secret("NIMBARO_SECRET", "x");
    int err = 0;
    std::optional<platform::DesktopUser> user = platform::findDesktopUser(&err);
    ASSERT_TRUE(user) << err;
    EXPECT_EQ(user->uid, 65534u);
    EXPECT_EQ(user->gid, 65534u);
    EXPECT_EQ(user->home, "/nonexistent");
    const auto& env = user->environment;
    EXPECT_NE(std::find(env.begin(), env.end(), "DISPLAY=:42"), env.end());
    EXPECT_NE(std::find(env.begin(), env.end(), "USER=nobody"), env.end());
    EXPECT_NE(std::find(env.begin(), env.end(), "HOME=/nonexistent"), env.end());
    for (const auto& e : env) EXPECT_NE(e.rfind("NIMBARO_SECRET=", 0), 0u) << "only session variables pass";
}

}  // namespace
