#pragma once
// Clock, thread and process-environment facts of the operating system.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Milliseconds of the monotonic clock, wrapped to 32 bits like a tick counter.
uint32_t tickCount();

struct LocalTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};
LocalTime localTime();

// Kernel id of the calling thread.
uint32_t currentThreadId();

// Absolute path of the running executable ("" when it cannot be read).
std::string executablePath();

// Value of an environment variable; empty optional when unset.
std::optional<std::string> environment(const char* name);

// The user's home folder: $HOME, else the password database; never ends with "/".
std::string homeDir();

// XDG base folders with their defaults; never end with "/".
std::string stateHome();   // $XDG_STATE_HOME or ~/.local/state
std::string configHome();  // $XDG_CONFIG_HOME or ~/.config
std::string tempDir();     // $TMPDIR or /tmp
// $XDG_RUNTIME_DIR when it is usable, else "" (callers fall back to tempDir()).
std::string runtimeDir();

uint32_t userId();
bool isRoot();

}  // namespace platform
