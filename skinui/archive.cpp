#include "skinui/archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "common/utf8.h"
#include "platform/utf8_locale.h"

namespace SkinUI {

namespace {

constexpr uint8_t kSignature[6] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};
constexpr size_t kSignatureHeaderSize = 32;
constexpr size_t kReadChunk = 64 * 1024;

uint64_t readLe64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// libarchive reports most failures only as text; this sorts them into the result codes. The 7z end header
// sits at the end of the file, so a cut archive is recognised before libarchive sees it.
int checkSignatureHeader(const uint8_t* bytes, size_t length) {
    if (length < sizeof(kSignature) || std::memcmp(bytes, kSignature, sizeof(kSignature)) != 0) {
        return kArchiveErrorNoArchive;
    }
    if (length < kSignatureHeaderSize) return kArchiveErrorInputEof;
    uint64_t offset = readLe64(bytes + 12), size = readLe64(bytes + 20);
    uint64_t available = length - kSignatureHeaderSize;
    if (offset > available || size > available - offset) return kArchiveErrorInputEof;
    return kArchiveOk;
}

int classify(archive* a, int fallback) {
    const char* text = archive_error_string(a);
    std::string_view message = text ? text : "";
    auto has = [&](std::string_view part) { return message.find(part) != std::string_view::npos; };
    if (has("bad CRC")) return kArchiveErrorCrc;
    if (has("Unknown codec") || has("not supported") || has("Unsupported") || has("unsupported") || has("encrypted")) {
        return kArchiveErrorUnsupported;
    }
    if (has("Truncated") || has("truncated") || has("Premature end")) return kArchiveErrorInputEof;
    if (has("No memory") || has("allocate") || archive_errno(a) == ENOMEM) return kArchiveErrorMemory;
    if (has("ecompression failed") || has("Lzma library error") || has("Decompression internal")) {
        return kArchiveErrorData;
    }
    if (has("Damaged") || has("Malformed") || has("header")) return kArchiveErrorArchive;
    if (has("Unrecognized archive format") || has("Not 7-Zip")) return kArchiveErrorNoArchive;
    return fallback;
}

struct ReaderCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};

}  // namespace

int ExtractArchive(const void* bytes, size_t length, const ArchiveEntryCallback& onEntry) {
    const auto* data = static_cast<const uint8_t*>(bytes);
    if (!data) length = 0;
    if (int result = checkSignatureHeader(data, length); result != kArchiveOk) return result;

    platform::ScopedUtf8Locale utf8;  // 7z names are UTF-16; libarchive hands them out through the C locale
    std::unique_ptr<archive, ReaderCloser> reader(archive_read_new());
    if (!reader) return kArchiveErrorMemory;
    archive* a = reader.get();
    archive_read_support_format_7zip(a);
    if (archive_read_open_memory(a, data, length) != ARCHIVE_OK) return classify(a, kArchiveErrorNoArchive);

    try {
        std::vector<uint8_t> content;
        for (;;) {
            archive_entry* entry = nullptr;
            int r = archive_read_next_header(a, &entry);
            if (r == ARCHIVE_EOF) return kArchiveOk;
            if (r < ARCHIVE_WARN) return classify(a, kArchiveErrorArchive);
            if (archive_entry_filetype(entry) != AE_IFREG) continue;

            content.clear();
            if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0) {
                content.reserve(size_t(std::min<la_int64_t>(archive_entry_size(entry), 64 << 20)));
            }
            for (;;) {
                size_t used = content.size();
                content.resize(used + kReadChunk);
                la_ssize_t n = archive_read_data(a, content.data() + used, kReadChunk);
                if (n < 0) return classify(a, kArchiveErrorData);  // a bad CRC comes as a warning here
                content.resize(used + size_t(n));
                if (n == 0) break;
            }
            const char* name = archive_entry_pathname_utf8(entry);
            if (content.empty() || !name || !*name) continue;
            onEntry(common::utf8ToWide(name), content.data(), content.size());
        }
    } catch (const std::bad_alloc&) {
        return kArchiveErrorMemory;
    } catch (...) {
        return kArchiveErrorFail;
    }
}

}  // namespace SkinUI
