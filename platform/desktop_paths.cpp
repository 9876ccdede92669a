#include "platform/desktop_paths.h"

#include <fstream>

#include "platform/system.h"

namespace platform {

std::string desktopFolder() {
    const std::string home = homeDir();
    std::ifstream in(configHome() + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        // XDG_DESKTOP_DIR="$HOME/Desktop"  (only "$HOME/..." or an absolute path are valid values)
        const std::string key = "XDG_DESKTOP_DIR=";
        size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line.compare(at, key.size(), key) != 0) continue;
        std::string value = line.substr(at + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        if (value.empty() || value[0] != '/') continue;
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        // A desktop folder equal to home means "no desktop folder" by convention.
        if (value == home) continue;
        return value;
    }
    return home + "/Desktop";
}

}  // namespace platform
