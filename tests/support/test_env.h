#pragma once
// Test helpers: temporary folders, environment overrides, file reading, waits on the UI loop.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the temp folder, removed with its contents at destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Sets (or unsets, with nullopt) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// HOME and every XDG folder pointed into one temporary folder, and the deployment settings at a closed
// local port (NIMBARO_DEPLOYMENT), so nothing leaves the machine.
class IsolatedHome {
public:
    IsolatedHome();
    const std::string& home() const { return dir_.path(); }

private:
    TempDir dir_;
    std::vector<std::unique_ptr<ScopedEnv>> env_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// Runs the UI loop until `done` or the deadline (generous by default); returns done().
bool runUiUntil(const std::function<bool()>& done, uint32_t timeoutMs = 10000);

}  // namespace testing_support
