#pragma once
// Hardware addresses of the machine's network interfaces.
#include <cstdint>
#include <vector>

namespace platform {

// One entry per interface with a hardware address that is not all zero, in the order the system lists
// them. Each entry holds the address bytes (6 for Ethernet and Wi-Fi).
std::vector<std::vector<uint8_t>> networkHardwareAddresses();

}  // namespace platform
