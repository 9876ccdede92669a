#include "tools/skin_packer/skin_pack.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/utf8_locale.h"

namespace skin_packer {

namespace {

struct ArchiveCloser {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryCloser {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

la_ssize_t appendToVector(archive*, void* clientData, const void* buffer, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(clientData);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    out->insert(out->end(), bytes, bytes + length);
    return la_ssize_t(length);
}

std::string describe(archive* a, const char* step) {
    const char* text = archive_error_string(a);
    return std::string(step) + ": " + (text ? text : "unknown libarchive error");
}

}  // namespace

bool packEntries(const std::vector<Entry>& entries, Compression compression, std::vector<uint8_t>& out,
                 std::string& error) {
    out.clear();
    platform::ScopedUtf8Locale utf8;  // names reach the 7z header as UTF-16 through the C locale
    std::unique_ptr<archive, ArchiveCloser> a(archive_write_new());
    if (!a) {
        error = "archive_write_new failed";
        return false;
    }
    const char* method = compression == Compression::Store ? "7zip:compression=store" : "7zip:compression=lzma2";
    if (archive_write_set_format_7zip(a.get()) != ARCHIVE_OK ||
        archive_write_set_options(a.get(), method) != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(a.get(), 1) != ARCHIVE_OK) {
        error = describe(a.get(), "configure");
        return false;
    }
    if (archive_write_open2(a.get(), &out, nullptr, appendToVector, nullptr, nullptr) != ARCHIVE_OK) {
        error = describe(a.get(), "open");
        return false;
    }
    std::unique_ptr<archive_entry, EntryCloser> entry(archive_entry_new());
    for (const Entry& e : entries) {
        archive_entry_clear(entry.get());
        archive_entry_set_pathname_utf8(entry.get(), e.name.c_str());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), la_int64_t(e.bytes.size()));
        archive_entry_set_mtime(entry.get(), 0, 0);  // reproducible archives
        if (archive_write_header(a.get(), entry.get()) != ARCHIVE_OK) {
            error = describe(a.get(), ("header of " + e.name).c_str());
            return false;
        }
        if (!e.bytes.empty() &&
            archive_write_data(a.get(), e.bytes.data(), e.bytes.size()) != la_ssize_t(e.bytes.size())) {
            error = describe(a.get(), ("data of " + e.name).c_str());
            return false;
        }
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK) {
        error = describe(a.get(), "close");
        return false;
    }
    return true;
}

bool collectFolder(const std::filesystem::path& folder, std::vector<Entry>& entries, std::string& error) {
    namespace fs = std::filesystem;
    entries.clear();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        error = "not a folder: " + folder.string();
        return false;
    }
    fs::recursive_directory_iterator it(folder, fs::directory_options::follow_directory_symlink, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::ifstream in(it->path(), std::ios::binary);
        if (!in) {
            error = "cannot read " + it->path().string();
            return false;
        }
        Entry e;
        e.name = fs::relative(it->path(), folder, ec).generic_string();
        e.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            error = "cannot read " + it->path().string();
            return false;
        }
        entries.push_back(std::move(e));
    }
    if (ec) {
        error = "cannot walk " + folder.string() + ": " + ec.message();
        return false;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return true;
}

}  // namespace skin_packer
