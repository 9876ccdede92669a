#pragma once
// Child processes: start, wait, kill by name, open a web address, and the process table.
//
// A parameter string is split into arguments by the rules a Windows program applies to its own command
// line, so a child sees the same arguments it would see there. Children run in a new session with default
// signal handling, their standard streams on /dev/null and no other inherited descriptors; no shell ever
// runs. Text is UTF-8. Errors are errno values. Everything here may be called from any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

inline constexpr uint32_t kWaitForever = 0xFFFFFFFF;

// Splits a parameter string into arguments: spaces and tabs separate, double quotes group, 2n backslashes
// before a quote give n backslashes and the quote groups, 2n+1 give n backslashes and a literal quote,
// other backslashes are literal; three quotes in a row give one literal quote. `""` is an empty argument.
std::vector<std::string> splitCommandLine(const std::string& parameters);

struct SpawnRequest {
    std::string program;            // a path, or a bare name looked up in PATH
    std::vector<std::string> args;  // argv[1..]; argv[0] is `program`
    std::string workingDir;         // empty: the caller's
    // The whole environment as NAME=value entries; unset: the caller's.
    std::optional<std::vector<std::string>> environment;
};

struct WaitResult {
    enum class Status { Ended, Timeout, Failed };
    Status status = Status::Failed;
    int exitCode = -1;  // Ended: the exit status, or 128 + the signal number for a death by signal
    int error = 0;      // Failed: errno
};

// A started child. Dropping it without a wait that saw it end leaves the child running; it is reaped in
// the background when it ends, so it never lingers as a zombie. Move-only.
class Process {
public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Takes charge of a child of this process that nobody waits for yet.
    static Process adopt(int pid);

    bool valid() const { return pid_ > 0; }
    int pid() const { return pid_; }
    // Waits up to `timeoutMs` (0: only looks, kWaitForever: no limit). Once the child was seen to end,
    // every later wait returns the same result at once.
    WaitResult wait(uint32_t timeoutMs);
    // Gives the child up (see the class comment); the object becomes invalid.
    void release();

private:
    int pid_ = -1;
    int pidfd_ = -1;  // -1 where the kernel offers none: waits then poll waitpid
    std::optional<WaitResult> ended_;
};

// Starts the program. Returns an invalid Process on failure, with errno in `error` (ENOENT for a missing
// program, EACCES for one that may not be run).
Process spawnProcess(const SpawnRequest& request, int* error = nullptr);

// Starts the program and gives it up at once. Returns 0 or errno.
int runDetached(const SpawnRequest& request);

// Opens a web address in the user's browser: xdg-open, or x-www-browser when xdg-open cannot be started
// or ends with a failure. Returns 0 when one of them was started, else errno. Does not wait for either.
int openUrl(const std::string& url);

// One row of the process table.
struct ProcessEntry {
    int pid = 0;
    int ppid = 0;
    uint32_t uid = 0;
    std::string name;           // file name of /proc/PID/exe; comm when that cannot be read
    bool nameFromComm = false;  // comm holds at most 15 characters
    bool kernelThread = false;
    bool ended = false;  // a zombie: dead, only not yet collected by its parent
};

// The processes of /proc in ascending id order.
std::vector<ProcessEntry> listProcesses();

// True when the entry is a program called `name`. A name from comm is compared with the first 15
// characters of `name`.
bool processNameMatches(const ProcessEntry& entry, const std::string& name);

// The processes to kill for `name`: every match (never `selfPid`, pid 1, a kernel thread or an ended
// process) and all its descendants by the table's parent links, each once, in table order. Pure.
std::vector<int> processTreesNamed(const std::vector<ProcessEntry>& table, const std::string& name, int selfPid);

struct KillResult {
    int found = 0;      // processes in the trees: the matches and their descendants
    int killed = 0;     // of those, signalled successfully
    int remaining = 0;  // of those signalled, still running when the time-out passed
    int error = 0;      // errno of the last signal that failed
};

// SIGKILLs every process called `name` with all its descendants (processTreesNamed on the live table) and
// waits up to `timeoutMs` for them to end. The trees are stopped before they are killed and looked at
// again, so a child started meanwhile is caught too.
KillResult killProcessesByName(const std::string& name, uint32_t timeoutMs);

}  // namespace platform
