#include "platform/process.h"
#include "platform/file_text.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <utility>

extern char** environ;

namespace platform {

// [SECTION] Argument splitting

std::vector<std::string> splitCommandLine(const std::string& s) {
    std::vector<std::string> args;
    std::string cur;
    bool inArg = false;
    int quotes = 0;  // odd: inside a quoted run
    size_t backslashes = 0;
    size_t i = 0;
    const size_t n = s.size();
    auto blank = [&](size_t k) { return k < n && (s[k] == ' ' || s[k] == '\t'); };
    while (blank(i)) ++i;
    while (i < n) {
        char c = s[i];
        if ((c == ' ' || c == '\t') && quotes == 0) {
            args.push_back(std::move(cur));
            cur.clear();
            inArg = false;
            while (blank(i)) ++i;
            backslashes = 0;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            cur += c;
            ++backslashes;
            ++i;
        } else if (c == '"') {
            if (backslashes % 2 == 0) {
                cur.resize(cur.size() - backslashes / 2);
                ++quotes;
            } else {
                cur.resize(cur.size() - backslashes / 2 - 1);
                cur += '"';
            }
            ++i;
            backslashes = 0;
            // A run of quotes: every third one is a literal quote.
            while (i < n && s[i] == '"') {
                if (++quotes == 3) {
                    cur += '"';
                    quotes = 0;
                }
                ++i;
            }
            if (quotes == 2) quotes = 0;
        } else {
            cur += c;
            backslashes = 0;
            ++i;
        }
    }
    if (inArg) args.push_back(std::move(cur));
    return args;
}

// [SECTION] Process

namespace {

int pidfdOpen(int pid) {
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

int pidfdSignal(int fd, int sig) {
#ifdef SYS_pidfd_send_signal
    return int(::syscall(SYS_pidfd_send_signal, fd, sig, nullptr, 0));
#else
    (void)fd;
    (void)sig;
    errno = ENOSYS;
    return -1;
#endif
}

WaitResult endedFrom(int status) {
    WaitResult r;
    r.status = WaitResult::Status::Ended;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

// Nobody waits for this child any more: a thread does, so it does not stay a zombie.
void reapInBackground(int pid) {
    try {
        std::thread([pid] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (...) {
        // No thread to spare: the child becomes a zombie until we exit, which harms nobody else.
    }
}

int msLeft(std::chrono::steady_clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return 0;
    return int(std::min<int64_t>(left.count(), INT_MAX));
}

}  // namespace

Process::~Process() { release(); }

Process::Process(Process&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), pidfd_(std::exchange(other.pidfd_, -1)), ended_(std::move(other.ended_)) {
    other.ended_.reset();
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        release();
        pid_ = std::exchange(other.pid_, -1);
        pidfd_ = std::exchange(other.pidfd_, -1);
        ended_ = std::move(other.ended_);
        other.ended_.reset();
    }
    return *this;
}

Process Process::adopt(int pid) {
    Process p;
    if (pid <= 0) return p;
    p.pid_ = pid;
    p.pidfd_ = pidfdOpen(pid);
    return p;
}

void Process::release() {
    if (pidfd_ >= 0) ::close(pidfd_);
    pidfd_ = -1;
    if (pid_ > 0 && !ended_) reapInBackground(pid_);
    pid_ = -1;
    ended_.reset();
}

WaitResult Process::wait(uint32_t timeoutMs) {
    if (ended_) return *ended_;
    WaitResult failed;
    if (pid_ <= 0) {
        failed.error = ECHILD;
        return failed;
    }
    auto finish = [this](int status) {
        ended_ = endedFrom(status);
        if (pidfd_ >= 0) ::close(pidfd_);
        pidfd_ = -1;
        return *ended_;
    };
    int status = 0;
    if (timeoutMs == kWaitForever) {
        for (;;) {
            pid_t r = ::waitpid(pid_, &status, 0);
            if (r == pid_) return finish(status);
            if (r < 0 && errno == EINTR) continue;
            failed.error = errno;
            return failed;
        }
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (pidfd_ >= 0) {
        for (;;) {
            pollfd pfd{pidfd_, POLLIN, 0};
            int r = ::poll(&pfd, 1, msLeft(deadline));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                failed.error = errno;
                return failed;
            }
            if (r == 0) {
                // poll may wake a little early; only a passed deadline is a time-out.
                if (msLeft(deadline) > 0) continue;
                WaitResult t;
                t.status = WaitResult::Status::Timeout;
                return t;
            }
            break;
        }
    }
    // Either the pidfd said the child ended, or there is no pidfd and we poll.
    int nap = 1;
    for (;;) {
        pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) return finish(status);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            failed.error = errno;
            return failed;
        }
        int left = msLeft(deadline);
        if (left == 0) {
            WaitResult t;
            t.status = WaitResult::Status::Timeout;
            return t;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(nap, left)));
        nap = std::min(nap * 2, 20);
    }
}

// [SECTION] Spawning

Process spawnProcess(const SpawnRequest& request, int* error) {
    int ignored = 0;
    int& err = error ? *error : ignored;
    err = 0;
    if (request.program.empty()) {
        err = ENOENT;
        return {};
    }
    std::vector<std::string> argvStrings;
    argvStrings.reserve(request.args.size() + 1);
    argvStrings.push_back(request.program);
    argvStrings.insert(argvStrings.end(), request.args.begin(), request.args.end());
    std::vector<char*> argv;
    for (auto& a : argvStrings) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    std::vector<char*> envp;
    char** env = environ;
    if (request.environment) {
        envStrings = *request.environment;
        for (auto& e : envStrings) envp.push_back(e.data());
        envp.push_back(nullptr);
        env = envp.data();
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!request.workingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, request.workingDir.c_str());

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    bool searchPath = request.program.find('/') == std::string::npos;
    int rc = searchPath ? posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), env)
                        : posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), env);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        err = rc;
        return {};
    }
    return Process::adopt(pid);
}

int runDetached(const SpawnRequest& request) {
    int err = 0;
    Process p = spawnProcess(request, &err);
    p.release();
    return err;
}

int openUrl(const std::string& url) {
    SpawnRequest fallback{"x-www-browser", {url}, {}, {}};
    int err = 0;
    Process opener = spawnProcess({"xdg-open", {url}, {}, {}}, &err);
    if (!opener.valid()) return runDetached(fallback);
    // xdg-open fails when no handler is set up; watch it without blocking the caller.
    try {
        std::thread([p = std::move(opener), fallback]() mutable {
            WaitResult r = p.wait(kWaitForever);
            if (r.status == WaitResult::Status::Ended && r.exitCode != 0) runDetached(fallback);
        }).detach();
    } catch (...) {
    }
    return 0;
}

// [SECTION] Process table and kill by name

namespace {

constexpr unsigned kPfKthread = 0x00200000;
constexpr size_t kCommLength = 15;

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<ProcessEntry> readEntry(int pid) {
    std::string dir = "/proc/" + std::to_string(pid);
    std::string stat;
    if (!readSmallFile(dir + "/stat", stat)) return std::nullopt;
    size_t open = stat.find('(');
    size_t close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return std::nullopt;
    ProcessEntry e;
    e.pid = pid;
    std::string comm = stat.substr(open + 1, close - open - 1);
    std::istringstream rest(stat.substr(close + 1));
    std::string state;
    long long ppid = 0, pgrp = 0, session = 0, tty = 0, tpgid = 0;
    unsigned long long flags = 0;
    if (!(rest >> state >> ppid >> pgrp >> session >> tty >> tpgid >> flags)) return std::nullopt;
    e.ppid = int(ppid);
    e.ended = state == "Z" || state == "X";
    e.kernelThread = (flags & kPfKthread) != 0;
    // The real uid, as a token would carry it; /proc/PID itself belongs to root when the process is not dumpable.
    std::string status;
    if (readSmallFile(dir + "/status", status)) {
        size_t at = status.find("\nUid:");
        if (at != std::string::npos) e.uid = uint32_t(std::strtoul(status.c_str() + at + 5, nullptr, 10));
    }

    char buf[PATH_MAX + 1];
    ssize_t n = ::readlink((dir + "/exe").c_str(), buf, sizeof buf - 1);
    if (n > 0) {
        std::string exe(buf, size_t(n));
        // A program replaced on disk while it runs still has its old name.
        const std::string deleted = " (deleted)";
        if (exe.size() > deleted.size() && exe.compare(exe.size() - deleted.size(), deleted.size(), deleted) == 0)
            exe.resize(exe.size() - deleted.size());
        e.name = baseName(exe);
    } else {
        e.name = comm;
        e.nameFromComm = true;
    }
    return e;
}

bool isGone(int pid) {
    std::string stat;
    if (!readSmallFile("/proc/" + std::to_string(pid) + "/stat", stat)) return true;
    size_t close = stat.rfind(')');
    // A zombie has ended; only its parent's wait is missing.
    return close != std::string::npos && close + 2 < stat.size() && (stat[close + 2] == 'Z' || stat[close + 2] == 'X');
}

}  // namespace

std::vector<ProcessEntry> listProcesses() {
    std::vector<ProcessEntry> table;
    DIR* d = ::opendir("/proc");
    if (!d) return table;
    while (dirent* ent = ::readdir(d)) {
        const char* s = ent->d_name;
        if (!*s || !std::all_of(s, s + std::strlen(s), [](char c) { return c >= '0' && c <= '9'; })) continue;
        long pid = std::strtol(s, nullptr, 10);
        if (pid <= 0 || pid > INT_MAX) continue;
        if (auto e = readEntry(int(pid))) table.push_back(std::move(*e));
    }
    ::closedir(d);
    std::sort(table.begin(), table.end(), [](const ProcessEntry& a, const ProcessEntry& b) { return a.pid < b.pid; });
    return table;
}

bool processNameMatches(const ProcessEntry& entry, const std::string& name) {
    if (name.empty()) return false;
    if (entry.nameFromComm) return entry.name == name.substr(0, kCommLength);
    return entry.name == name;
}

std::vector<int> processTreesNamed(const std::vector<ProcessEntry>& table, const std::string& name, int selfPid) {
    std::multimap<int, int> children;  // ppid -> pid
    std::set<int> chosen;
    std::vector<int> pending;
    for (const auto& e : table) {
        children.emplace(e.ppid, e.pid);
        if (e.pid > 1 && e.pid != selfPid && !e.kernelThread && !e.ended && processNameMatches(e, name))
            pending.push_back(e.pid);
    }
    while (!pending.empty()) {
        int pid = pending.back();
        pending.pop_back();
        if (pid == selfPid || !chosen.insert(pid).second) continue;
        auto [from, to] = children.equal_range(pid);
        for (auto it = from; it != to; ++it) pending.push_back(it->second);
    }
    std::vector<int> out;
    for (const auto& e : table)
        if (chosen.count(e.pid) && !e.kernelThread && !e.ended) out.push_back(e.pid);
    return out;
}

KillResult killProcessesByName(const std::string& name, uint32_t timeoutMs) {
    KillResult result;
    const int self = int(::getpid());
    struct Target {
        int pid;
        int pidfd;
        bool signalled = false;
    };
    std::map<int, Target> targets;
    auto signal = [&](Target& t, int sig) {
        int rc = t.pidfd >= 0 ? pidfdSignal(t.pidfd, sig) : ::kill(t.pid, sig);
        if (rc != 0 && t.pidfd >= 0 && errno == ENOSYS) rc = ::kill(t.pid, sig);
        if (rc == 0 || errno == ESRCH) return true;  // ESRCH: it ended by itself meanwhile
        result.error = errno;
        return false;
    };
    // Pass 1: stop the trees until a fresh look finds nobody new (bounded: a fork bomb must not hold us).
    for (int pass = 0; pass < 8; ++pass) {
        bool added = false;
        for (int pid : processTreesNamed(listProcesses(), name, self)) {
            if (targets.count(pid)) continue;
            Target t{pid, pidfdOpen(pid)};
            signal(t, SIGSTOP);
            targets.emplace(pid, t);
            added = true;
        }
        if (!added) break;
    }
    result.found = int(targets.size());
    // Pass 2: kill.
    for (auto& [pid, t] : targets) {
        t.signalled = signal(t, SIGKILL);
        if (t.signalled) ++result.killed;
    }
    // Pass 3: wait for them to end.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int running = 0;
        std::vector<pollfd> fds;
        for (auto& [pid, t] : targets) {
            if (!t.signalled) continue;
            if (t.pidfd >= 0) {
                pollfd p{t.pidfd, POLLIN, 0};
                if (::poll(&p, 1, 0) == 1) continue;
                fds.push_back({t.pidfd, POLLIN, 0});
            } else if (isGone(pid)) {
                continue;
            }
            ++running;
        }
        result.remaining = running;
        int left = msLeft(deadline);
        if (running == 0 || left == 0) break;
        // Processes without a pidfd are looked at again every few milliseconds.
        int nap = fds.size() == size_t(running) ? left : std::min(left, 10);
        if (!fds.empty())
            ::poll(fds.data(), fds.size(), nap);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(nap));
    }
    for (auto& [pid, t] : targets)
        if (t.pidfd >= 0) ::close(t.pidfd);
    return result;
}

}  // namespace platform
