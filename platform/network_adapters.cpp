#include "platform/network_adapters.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace platform {

std::vector<std::vector<uint8_t>> networkHardwareAddresses() {
    std::vector<std::vector<uint8_t>> result;
    std::error_code ec;
    std::vector<std::filesystem::path> interfaces;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/net", ec)) interfaces.push_back(entry.path());
    std::sort(interfaces.begin(), interfaces.end());
    for (const auto& dir : interfaces) {
        std::ifstream in(dir / "address");
        std::string text;
        if (!std::getline(in, text)) continue;
        // "aa:bb:cc:dd:ee:ff": hex pairs separated by colons.
        std::vector<uint8_t> bytes;
        bool ok = !text.empty();
        for (size_t i = 0; ok && i < text.size(); i += 3) {
            auto hex = [](char c) -> int {
                if (c >= '0' && c <= '9') return c - '0';
                if (c >= 'a' && c <= 'f') return c - 'a' + 10;
                if (c >= 'A' && c <= 'F') return c - 'A' + 10;
                return -1;
            };
            int hi = i < text.size() ? hex(text[i]) : -1;
            int lo = i + 1 < text.size() ? hex(text[i + 1]) : -1;
            bool separated = i + 2 >= text.size() || text[i + 2] == ':';
            ok = hi >= 0 && lo >= 0 && separated;
            if (ok) bytes.push_back(uint8_t(hi * 16 + lo));
        }
        if (!ok || bytes.empty()) continue;
        if (std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; })) continue;
        result.push_back(std::move(bytes));
    }
    return result;
}

}  // namespace platform
