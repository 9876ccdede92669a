#include "platform/file_text.h"

#include <fstream>
#include <sstream>

namespace platform {

bool readSmallFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

}  // namespace platform
