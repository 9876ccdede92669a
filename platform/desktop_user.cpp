#include "platform/desktop_user.h"
#include "platform/file_text.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/close_range.h>
#include <pwd.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace platform {

namespace {

// clang-format off
const char* const kDesktopShells[] = {
    "gnome-shell", "gnome-session-binary", "gnome-flashback", "plasmashell", "ksmserver", "kwin_x11",
    "kwin_wayland", "xfce4-session", "xfce4-panel", "xfdesktop", "mate-session", "mate-panel", "cinnamon",
    "cinnamon-session", "lxsession", "lxqt-session", "lxpanel", "budgie-panel", "budgie-wm", "enlightenment",
    "openbox", "xfwm4", "i3", "sway", "labwc", "wayfire", "Hyprland", "gala", "ukui-session", "dde-desktop",
};
// clang-format on

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::optional<uint32_t> parseUid(const std::optional<std::string>& text) {
    if (!text || text->empty() || text->size() > 10) return std::nullopt;
    uint64_t v = 0;
    for (char c : *text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + uint64_t(c - '0');
    }
    if (v == 0 || v >= 0xFFFFFFFFull) return std::nullopt;  // root, or the "no user" id
    return uint32_t(v);
}

struct PasswdEntry {
    std::string name;
    std::string home;
    uint32_t gid = 0;
    bool found = false;
};

PasswdEntry lookupUser(uint32_t uid) {
    PasswdEntry out;
    passwd pw{};
    passwd* result = nullptr;
    std::vector<char> buf(16384);
    if (getpwuid_r(uid, &pw, buf.data(), buf.size(), &result) == 0 && result) {
        out.found = true;
        out.name = pw.pw_name ? pw.pw_name : "";
        out.home = pw.pw_dir ? pw.pw_dir : "";
        out.gid = pw.pw_gid;
    }
    return out;
}

// A bare program name is looked up here, before fork, because the child may only make system calls.
std::string resolveProgram(const std::string& program) {
    if (program.find('/') != std::string::npos) return program;
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (dir.empty()) continue;
        std::string candidate = dir + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return program;
}

[[noreturn]] void failChild(int pipeFd, int err) {
    ssize_t ignored = ::write(pipeFd, &err, sizeof err);
    (void)ignored;
    ::_exit(127);
}

}  // namespace

// [SECTION] Pure steps

bool isDesktopShell(const std::string& processName) {
    for (const char* shell : kDesktopShells)
        if (processName == shell) return true;
    return false;
}

std::optional<uint32_t> requestedUserId(const std::optional<std::string>& sudoUid,
                                        const std::optional<std::string>& pkexecUid) {
    if (auto uid = parseUid(sudoUid)) return uid;
    return parseUid(pkexecUid);
}

std::optional<size_t> chooseSessionProcess(const std::vector<ProcessEntry>& table, std::optional<uint32_t> uid) {
    for (size_t i = 0; i < table.size(); ++i) {
        const ProcessEntry& e = table[i];
        if (e.uid == 0 || e.kernelThread || (uid && e.uid != *uid)) continue;
        for (const char* shell : kDesktopShells)
            if (processNameMatches(e, shell)) return i;
    }
    return std::nullopt;
}

std::optional<ProcessIds> parseProcessIds(const std::string& statusText) {
    ProcessIds ids;
    bool haveUid = false, haveGid = false;
    std::istringstream lines(statusText);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        uint64_t v = 0;
        if (key == "Uid:" && (fields >> v)) {
            ids.uid = uint32_t(v);
            haveUid = true;
        } else if (key == "Gid:" && (fields >> v)) {
            ids.gid = uint32_t(v);
            haveGid = true;
        } else if (key == "Groups:") {
            while (fields >> v) ids.groups.push_back(uint32_t(v));
        }
    }
    if (!haveUid || !haveGid) return std::nullopt;
    return ids;
}

std::vector<std::string> parseEnvironBlock(const std::string& block) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < block.size()) {
        size_t end = block.find('\0', start);
        if (end == std::string::npos) end = block.size();
        if (end > start) out.push_back(block.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::vector<std::string> sessionEnvironment(const std::vector<std::string>& source, bool homeFromSource,
                                            const std::string& home, const std::string& userName) {
    auto find = [&](const char* name) -> std::optional<std::string> {
        std::string prefix = std::string(name) + "=";
        for (const auto& e : source)
            if (startsWith(e, prefix.c_str())) return e.substr(prefix.size());
        return std::nullopt;
    };
    std::vector<std::string> env;
    auto sourceHome = homeFromSource ? find("HOME") : std::nullopt;
    env.push_back("HOME=" + (sourceHome && !sourceHome->empty() ? *sourceHome : home));
    env.push_back("USER=" + userName);
    env.push_back("LOGNAME=" + userName);
    auto path = find("PATH");
    env.push_back("PATH=" + (path && !path->empty() ? *path : std::string("/usr/local/bin:/usr/bin:/bin")));
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "LANG"}) {
        if (auto v = find(name)) env.push_back(std::string(name) + "=" + *v);
    }
    return env;
}

// [SECTION] System steps

std::optional<DesktopUser> findDesktopUser(int* error) {
    int ignored = 0;
    int& err = error ? *error : ignored;
    err = 0;
    if (::geteuid() != 0) {
        err = EPERM;
        return std::nullopt;
    }
    auto env = [](const char* name) -> std::optional<std::string> {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    std::optional<uint32_t> requested = requestedUserId(env("SUDO_UID"), env("PKEXEC_UID"));
    std::vector<ProcessEntry> table = listProcesses();
    std::optional<size_t> shell = chooseSessionProcess(table, requested);

    DesktopUser user;
    std::vector<std::string> source;
    bool homeFromSource = false;
    if (shell) {
        std::string status, block;
        std::string dir = "/proc/" + std::to_string(table[*shell].pid);
        std::optional<ProcessIds> ids;
        if (readSmallFile(dir + "/status", status)) ids = parseProcessIds(status);
        if (!ids || ids->uid == 0) {
            err = ESRCH;  // the shell ended or changed since the table was read
            return std::nullopt;
        }
        user.uid = ids->uid;
        user.gid = ids->gid;
        user.groups = ids->groups;
        if (readSmallFile(dir + "/environ", block)) source = parseEnvironBlock(block);
        homeFromSource = true;
    } else if (requested) {
        // The user asked for has no desktop shell running: their ids from the user database, and the
        // display variables sudo or pkexec kept for us.
        user.uid = *requested;
        for (char** e = environ; e && *e; ++e) source.emplace_back(*e);
    } else {
        err = ESRCH;
        return std::nullopt;
    }

    PasswdEntry pw = lookupUser(user.uid);
    if (!shell) {
        if (!pw.found) {
            err = ESRCH;
            return std::nullopt;
        }
        user.gid = pw.gid;
        int count = 64;
        std::vector<gid_t> groups(static_cast<size_t>(count), 0);
        if (getgrouplist(pw.name.c_str(), pw.gid, groups.data(), &count) < 0 && count > 0) {
            groups.resize(size_t(count));
            getgrouplist(pw.name.c_str(), pw.gid, groups.data(), &count);
        }
        groups.resize(size_t(std::max(count, 0)));
        user.groups.assign(groups.begin(), groups.end());
    }
    std::string name = pw.found ? pw.name : std::to_string(user.uid);
    std::string home = pw.found && !pw.home.empty() ? pw.home : "/";
    user.environment = sessionEnvironment(source, homeFromSource, home, name);
    for (const auto& e : user.environment)
        if (startsWith(e, "HOME=")) user.home = e.substr(5);
    return user;
}

int startAsUser(const DesktopUser& user, const SpawnRequest& request) {
    if (request.program.empty()) return ENOENT;
    if (user.uid == 0) return EPERM;  // this start exists to leave root behind
    // Everything the child needs is prepared here: after fork it may only make system calls.
    std::string program = resolveProgram(request.program);
    std::vector<std::string> argvStrings{request.program};
    argvStrings.insert(argvStrings.end(), request.args.begin(), request.args.end());
    std::vector<char*> argv;
    for (auto& a : argvStrings) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = user.environment;
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<gid_t> groups(user.groups.begin(), user.groups.end());
    std::string workingDir = !request.workingDir.empty() ? request.workingDir : user.home;
    const bool mustChdir = !request.workingDir.empty();

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return errno;
    pid_t pid = ::fork();
    if (pid < 0) {
        int err = errno;
        ::close(report[0]);
        ::close(report[1]);
        return err;
    }
    if (pid == 0) {
        ::close(report[0]);
        ::setsid();
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        for (int sig = 1; sig < NSIG; ++sig)
            if (sig != SIGKILL && sig != SIGSTOP) ::sigaction(sig, &dfl, nullptr);
        int null = ::open("/dev/null", O_RDWR);
        if (null < 0) failChild(report[1], errno);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        // Nothing of ours may leak into the user's program; the report pipe closes at exec.
        ::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
        if (::setgroups(groups.size(), groups.data()) != 0) failChild(report[1], errno);
        if (::setgid(user.gid) != 0) failChild(report[1], errno);
        if (::setuid(user.uid) != 0) failChild(report[1], errno);
        if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0) {
            if (mustChdir) failChild(report[1], errno);
            if (::chdir("/") != 0) failChild(report[1], errno);
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        failChild(report[1], errno);
    }
    ::close(report[1]);
    int childErr = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &childErr, sizeof childErr);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == ssize_t(sizeof childErr)) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return childErr ? childErr : EIO;
    }
    Process::adopt(pid).release();
    return 0;
}

}  // namespace platform
