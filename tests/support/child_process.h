#pragma once
// Runs a program as a child of the test, with extra environment, for black-box tests.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class ChildProcess {
public:
    // argv[0] is the program path. `env` entries override or add to the test's environment;
    // an entry with an empty optional removes the variable. Output goes to files in `outputDir`
    // (stdout.txt, stderr.txt), or to /dev/null when it is empty.
    ChildProcess(std::vector<std::string> argv, std::map<std::string, std::optional<std::string>> env = {},
                 std::string outputDir = {});
    ~ChildProcess();  // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    int pid() const { return pid_; }
    void signal(int sig);
    // The exit code, or nullopt when it did not end within `timeoutMs`. A death by signal gives 128+signal.
    std::optional<int> wait(uint32_t timeoutMs);

private:
    int pid_ = -1;
    std::optional<int> exitCode_;
};

// Runs a program to its end (up to timeoutMs) and returns its exit code, or nullopt on time-out.
std::optional<int> runProgram(const std::vector<std::string>& argv,
                              const std::map<std::string, std::optional<std::string>>& env = {},
                              uint32_t timeoutMs = 60000, const std::string& outputDir = {});

}  // namespace testing_support
