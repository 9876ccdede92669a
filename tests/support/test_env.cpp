#include "support/test_env.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/main_loop.h"

namespace testing_support {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "nimbaro-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* v = std::getenv(name_.c_str())) old_ = v;
    if (value)
        setenv(name_.c_str(), value->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (old_)
        setenv(name_.c_str(), old_->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

IsolatedHome::IsolatedHome() {
    const std::string& h = dir_.path();
    for (auto sub : {"/.config", "/.local/state", "/.local/share", "/.cache", "/run"})
        std::filesystem::create_directories(h + sub);
    std::filesystem::permissions(h + "/run", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    env_.push_back(std::make_unique<ScopedEnv>("HOME", h));
    env_.push_back(std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", h + "/.config"));
    env_.push_back(std::make_unique<ScopedEnv>("XDG_STATE_HOME", h + "/.local/state"));
    env_.push_back(std::make_unique<ScopedEnv>("XDG_DATA_HOME", h + "/.local/share"));
    env_.push_back(std::make_unique<ScopedEnv>("XDG_CACHE_HOME", h + "/.cache"));
    env_.push_back(std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", h + "/run"));
    // Every host on a closed local port: code under test never reaches beyond this machine unless a test
    // points the deployment at its own server.
    writeFile(h + "/offline-deployment.ini",
              "[hosts]\nresource = https://127.0.0.1:9\ncdn = https://127.0.0.1:9\nanalytics = https://127.0.0.1:9\n");
    env_.push_back(std::make_unique<ScopedEnv>("NIMBARO_DEPLOYMENT", h + "/offline-deployment.ini"));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool runUiUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
    return platform::MainLoop::runUntil(done, timeoutMs);
}

}  // namespace testing_support
