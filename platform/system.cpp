#include "platform/system.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace platform {

uint32_t tickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    return uint32_t(ms);
}

LocalTime localTime() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm parts{};
    time_t secs = ts.tv_sec;
    localtime_r(&secs, &parts);
    LocalTime t;
    t.year = parts.tm_year + 1900;
    t.month = parts.tm_mon + 1;
    t.day = parts.tm_mday;
    t.hour = parts.tm_hour;
    t.minute = parts.tm_min;
    t.second = parts.tm_sec;
    t.millisecond = int(ts.tv_nsec / 1000000);
    return t;
}

uint32_t currentThreadId() { return uint32_t(::syscall(SYS_gettid)); }

std::string executablePath() {
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return {};
    return std::string(buf.data(), size_t(n));
}

std::optional<std::string> environment(const char* name) {
    const char* v = std::getenv(name);
    if (!v) return std::nullopt;
    return std::string(v);
}

static std::string stripTrailingSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

std::string homeDir() {
    auto home = environment("HOME");
    if (home && !home->empty()) return stripTrailingSlash(*home);
    passwd pw{};
    passwd* result = nullptr;
    std::vector<char> buf(16384);
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &result) == 0 && result && result->pw_dir)
        return stripTrailingSlash(result->pw_dir);
    return "/";
}

// XDG folders must be absolute; a relative value is ignored as the XDG rules require.
static std::string xdgFolder(const char* var, const char* fallbackUnderHome) {
    auto v = environment(var);
    if (v && !v->empty() && (*v)[0] == '/') return stripTrailingSlash(*v);
    return homeDir() + fallbackUnderHome;
}

std::string stateHome() { return xdgFolder("XDG_STATE_HOME", "/.local/state"); }
std::string configHome() { return xdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string tempDir() {
    auto v = environment("TMPDIR");
    if (v && !v->empty() && (*v)[0] == '/') return stripTrailingSlash(*v);
    return "/tmp";
}

std::string runtimeDir() {
    auto v = environment("XDG_RUNTIME_DIR");
    if (!v || v->empty() || (*v)[0] != '/') return {};
    struct stat st{};
    if (::stat(v->c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return {};
    return stripTrailingSlash(*v);
}

uint32_t userId() { return uint32_t(getuid()); }
bool isRoot() { return geteuid() == 0; }

}  // namespace platform
