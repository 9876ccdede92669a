#include "utility/ufile.h"

#include <filesystem>

#include "common/log.h"
#include "platform/system.h"
#include "utility/text_codec.h"

namespace fs = std::filesystem;

namespace utility::ufile {

std::string toNative(const std::wstring& path) { return wideToUtf8(path); }

std::wstring getAppDataPath() { return utf8ToWide(platform::stateHome()); }

std::wstring getModuleDir() { return getParentDir(utf8ToWide(platform::executablePath())); }

std::wstring getParentDir(const std::wstring& path) {
    if (path.size() <= 1) return {};
    std::wstring p = path;
    if (p.back() == L'\\' || p.back() == L'/') p.pop_back();
    size_t at = p.find_last_of(L"\\/");
    if (at == std::wstring::npos) return {};
    return p.substr(0, at + 1);
}

std::wstring getFileName(const std::wstring& path, bool keepExtension) {
    size_t at = path.find_last_of(L"\\/");
    if (at == std::wstring::npos) return {};
    std::wstring name = path.substr(at + 1);
    if (!keepExtension) {
        size_t dot = name.rfind(L'.');
        if (dot != std::wstring::npos) name.resize(dot);
    }
    return name;
}

bool exists(const std::wstring& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::exists(fs::path(toNative(path)), ec);
}

bool makeDir(const std::wstring& path) {
    std::error_code ec;
    fs::path p(toNative(path));
    fs::create_directories(p, ec);
    if (!ec) return true;
    std::error_code ignored;
    if (fs::is_directory(p, ignored)) return true;
    NLOG(L"make dir failed! error = %d.", ec.value());
    return false;
}

bool moveFile(const std::wstring& from, const std::wstring& to, unsigned flags) {
    fs::path src(toNative(from)), dst(toNative(to));
    std::error_code ec;
    if (!(flags & kMoveReplaceExisting) && fs::exists(fs::symlink_status(dst, ec))) {
        ec = std::make_error_code(std::errc::file_exists);
    } else {
        ec.clear();
        fs::rename(src, dst, ec);
        if (ec == std::errc::cross_device_link && (flags & kMoveCopyAllowed)) {
            ec.clear();
            fs::copy_file(src, dst, fs::copy_options::overwrite_existing, ec);
            if (!ec) fs::remove(src, ec);
        }
    }
    if (!ec) return true;
    NLOG(L"move file from [ %s ] to [ %s ] flag = %d failed! error = %d.", from, to, flags, ec.value());
    return false;
}

bool removeFile(const std::wstring& path) {
    fs::path p(toNative(path));
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(p, ec))) {
        ec = std::make_error_code(std::errc::is_a_directory);  // a file helper never removes folders
    } else if (!fs::remove(p, ec) && !ec) {
        ec = std::make_error_code(std::errc::no_such_file_or_directory);
    }
    if (!ec) return true;
    NLOG(L"removeFile file from [ %s ] error = %d.", path, ec.value());
    return false;
}

bool getFileSize(const std::wstring& path, uint64_t& size) {
    fs::path p(toNative(path));
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) return false;
    uintmax_t n = fs::file_size(p, ec);
    if (ec) return false;
    size = uint64_t(n);
    return true;
}

}  // namespace utility::ufile

namespace utility {

FileWriter::~FileWriter() { close(); }

bool FileWriter::open(const std::wstring& path) {
    close();
    file_ = std::fopen(ufile::toNative(path).c_str(), "w+b");
    return file_ != nullptr;
}

bool FileWriter::write(const void* bytes, size_t count) {
    if (!file_) return false;
    if (count == 0) return true;
    return std::fwrite(bytes, 1, count, file_) == count;
}

void FileWriter::close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool isVistaOrLater() { return true; }

}  // namespace utility
