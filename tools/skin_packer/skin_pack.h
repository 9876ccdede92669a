#pragma once
// Packs skin files into one solid 7z archive in memory (the form the installer embeds). Used by the
// build-time packer and by tests that need archives of their own.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace skin_packer {

struct Entry {
    std::string name;  // UTF-8, "/" between folders ("common/close.png")
    std::vector<uint8_t> bytes;
};

enum class Compression {
    Lzma2,
    Store,  // uncompressed: lets tests damage one entry's bytes at a known place
};

// Writes `entries` in the given order. False with `error` set when libarchive refuses.
bool packEntries(const std::vector<Entry>& entries, Compression compression, std::vector<uint8_t>& archive,
                 std::string& error);

// Every regular file below `folder` (symbolic links followed), named relative to it and sorted by name so
// the same tree always packs to the same bytes. False with `error` set when the folder cannot be read.
bool collectFolder(const std::filesystem::path& folder, std::vector<Entry>& entries, std::string& error);

}  // namespace skin_packer
