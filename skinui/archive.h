#pragma once
// Unpacking of the skin archive (7z) from memory.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace SkinUI {

// Results of ExtractArchive.
inline constexpr int kArchiveOk = 0;
inline constexpr int kArchiveErrorData = 1001;  // damaged compressed data
inline constexpr int kArchiveErrorMemory = 1002;
inline constexpr int kArchiveErrorUnsupported = 1003;  // compression method or feature not supported
inline constexpr int kArchiveErrorParameter = 1004;
inline constexpr int kArchiveErrorCrc = 1005;        // an entry's bytes do not match its CRC
inline constexpr int kArchiveErrorInputEof = 1006;   // the archive is cut short
inline constexpr int kArchiveErrorFail = 1000;       // anything else
inline constexpr int kArchiveErrorArchive = 1013;    // malformed archive headers
inline constexpr int kArchiveErrorNoArchive = 1014;  // not a 7z archive at all

// Receives one file entry: its stored name ("common/close.png"), its bytes and their count (above 0).
using ArchiveEntryCallback = std::function<void(const std::wstring& name, const uint8_t* bytes, size_t length)>;

// Unpacks every file entry of the 7z archive in `bytes`, in archive order, handing each to `onEntry`.
// Folder entries and empty files are skipped. Extraction stops at the first failure and returns its
// code; entries delivered before it stay delivered. Never throws.
int ExtractArchive(const void* bytes, size_t length, const ArchiveEntryCallback& onEntry);

}  // namespace SkinUI
