#pragma once
// Starting a program as the desktop user from a process that runs as root (sudo, pkexec).
//
// The desktop user is the one named by SUDO_UID or PKEXEC_UID, else the owner of the first process of a
// desktop shell that does not run as root. The user's ids come from that shell process (as a token would)
// and its session environment (display, bus, runtime folder) is what the program starts with. The pure
// steps are separate from the system calls so they can be tried on tables given as data.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace platform {

struct DesktopUser {
    uint32_t uid = 0;
    uint32_t gid = 0;
    std::vector<uint32_t> groups;  // supplementary groups
    std::string home;
    std::vector<std::string> environment;  // NAME=value entries the program starts with
};

// [SECTION] Pure steps

// Programs whose process stands for a running desktop session.
bool isDesktopShell(const std::string& processName);

// The first of SUDO_UID and PKEXEC_UID that holds a user id other than root's.
std::optional<uint32_t> requestedUserId(const std::optional<std::string>& sudoUid,
                                        const std::optional<std::string>& pkexecUid);

// Index in `table` of the first desktop shell not owned by root, owned by `uid` when one is given.
std::optional<size_t> chooseSessionProcess(const std::vector<ProcessEntry>& table, std::optional<uint32_t> uid);

// Uid, gid and supplementary groups from the text of /proc/PID/status (the real ids).
struct ProcessIds {
    uint32_t uid = 0;
    uint32_t gid = 0;
    std::vector<uint32_t> groups;
};
std::optional<ProcessIds> parseProcessIds(const std::string& statusText);

// Entries of a NUL-separated environment block (/proc/PID/environ).
std::vector<std::string> parseEnvironBlock(const std::string& block);

// The environment the program gets: HOME (from `source` when `homeFromSource`, else `home`), USER and
// LOGNAME, PATH (from `source`, else a default) and, when `source` has them, DISPLAY, WAYLAND_DISPLAY,
// XAUTHORITY, DBUS_SESSION_BUS_ADDRESS, XDG_RUNTIME_DIR (a relative WAYLAND_DISPLAY needs it) and LANG.
std::vector<std::string> sessionEnvironment(const std::vector<std::string>& source, bool homeFromSource,
                                            const std::string& home, const std::string& userName);

// [SECTION] System steps

// Finds the desktop user as described at the top. Root only. Nothing found: nullopt with ESRCH in
// `error`; not root: EPERM.
std::optional<DesktopUser> findDesktopUser(int* error = nullptr);

// Starts the program as `user` (fork; setsid; setgroups, setgid, setuid; exec) in a new session with the
// standard streams on /dev/null and `user.environment`. The working folder is the request's, else the
// user's home. `request.environment` is ignored. Returns 0 once the program runs, else errno of the step
// that failed. The child is not waited for.
int startAsUser(const DesktopUser& user, const SpawnRequest& request);

}  // namespace platform
