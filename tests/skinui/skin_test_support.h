#pragma once
// Archives and clean toolkit state for the skinui tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "skinui/language_table.h"
#include "skinui/paint_manager.h"
#include "tools/skin_packer/skin_pack.h"

namespace skin_test {

inline std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }
inline std::string textOf(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

inline std::vector<uint8_t> pack(const std::vector<skin_packer::Entry>& entries,
                                 skin_packer::Compression compression = skin_packer::Compression::Lzma2) {
    std::vector<uint8_t> archive;
    std::string error;
    EXPECT_TRUE(skin_packer::packEntries(entries, compression, archive, error)) << error;
    return archive;
}

// Position of `needle` in `hay`, or npos.
inline size_t find(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle) {
    if (needle.empty() || hay.size() < needle.size()) return std::string::npos;
    for (size_t i = 0; i + needle.size() <= hay.size(); ++i) {
        if (std::equal(needle.begin(), needle.end(), hay.begin() + long(i))) return i;
    }
    return std::string::npos;
}

// Standard CRC-32 (the one 7z uses).
inline uint32_t crc32(const uint8_t* data, size_t length) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// After editing a 7z end header, makes its checksums right again so that only the edit is seen.
inline void fixHeaderChecksums(std::vector<uint8_t>& archive) {
    auto le64 = [&](size_t at) {
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = (v << 8) | archive[at + size_t(i)];
        return v;
    };
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) archive[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    uint64_t offset = le64(12), size = le64(20);
    put32(28, crc32(archive.data() + 32 + offset, size_t(size)));
    put32(8, crc32(archive.data() + 12, 20));
}

// Every test starts and ends with an empty toolkit: no instance, paths, entries, strings or shared tables.
class CleanSkinState : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        SkinUI::CPaintManagerUI::ResetSkinResources();
        SkinUI::CPaintManagerUI::RemoveAllShared();
        SkinUI::ClearLanguageStrings();
    }
};

}  // namespace skin_test
