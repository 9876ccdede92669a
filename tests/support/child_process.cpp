#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace testing_support {

ChildProcess::ChildProcess(std::vector<std::string> argv, std::map<std::string, std::optional<std::string>> env,
                           std::string outputDir) {
    std::map<std::string, std::string> merged;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        size_t eq = entry.find('=');
        if (eq != std::string::npos) merged[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (auto& [k, v] : env) {
        if (v)
            merged[k] = *v;
        else
            merged.erase(k);
    }
    std::vector<std::string> envStrings;
    for (auto& [k, v] : merged) envStrings.push_back(k + "=" + v);
    std::vector<char*> envp, args;
    for (auto& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    for (auto& s : argv) args.push_back(s.data());
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::string out = outputDir.empty() ? "/dev/null" : outputDir + "/stdout.txt";
    std::string err = outputDir.empty() ? "/dev/null" : outputDir + "/stderr.txt";
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data()) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !exitCode_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

void ChildProcess::signal(int sig) {
    if (pid_ > 0 && !exitCode_) ::kill(pid_, sig);
}

std::optional<int> ChildProcess::wait(uint32_t timeoutMs) {
    if (exitCode_ || pid_ <= 0) return exitCode_;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exitCode_;
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::optional<int> runProgram(const std::vector<std::string>& argv,
                              const std::map<std::string, std::optional<std::string>>& env, uint32_t timeoutMs,
                              const std::string& outputDir) {
    ChildProcess child(argv, env, outputDir);
    if (!child.started()) return std::nullopt;
    return child.wait(timeoutMs);
}

}  // namespace testing_support
