#pragma once
// Whole-file reads for the small text files of /proc and /sys. Internal to platform/.
#include <string>

namespace platform {

// The file's bytes; false when it cannot be opened.
bool readSmallFile(const std::string& path, std::string& out);

}  // namespace platform
