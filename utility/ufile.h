#pragma once
// File and path helpers. Paths are wide strings; "/" separates folders (a "\\" is accepted as well where a
// path is taken apart). Failures are returned, and logged where noted.
#include <cstdint>
#include <cstdio>
#include <string>

namespace utility::ufile {

// Flags of moveFile.
inline constexpr unsigned kMoveReplaceExisting = 1;
inline constexpr unsigned kMoveCopyAllowed = 2;

// The per-user application-state folder ($XDG_STATE_HOME or ~/.local/state); no trailing separator.
std::wstring getAppDataPath();
// Folder of the running executable, with a trailing separator.
std::wstring getModuleDir();
// "/a/b/c" and "/a/b/c/" give "/a/b/"; a bare name or a path of at most one character gives "".
std::wstring getParentDir(const std::wstring& path);
// Last path piece; without extension the last "." and what follows are cut. No separator gives "".
std::wstring getFileName(const std::wstring& path, bool keepExtension);
bool exists(const std::wstring& path);
// Creates the folder and missing parents; true when created or already there. Logs failures.
bool makeDir(const std::wstring& path);
// Moves a file; logs failures with the errno value.
bool moveFile(const std::wstring& from, const std::wstring& to, unsigned flags);
bool removeFile(const std::wstring& path);
bool getFileSize(const std::wstring& path, uint64_t& size);

// Wide path -> the byte path the operating system takes (UTF-8).
std::string toNative(const std::wstring& path);

}  // namespace utility::ufile

namespace utility {

// A file opened for writing from scratch; closed at most once.
class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Creates the file anew (an existing one is truncated).
    bool open(const std::wstring& path);
    // True only when all `count` bytes were written.
    bool write(const void* bytes, size_t count);
    void close();
    bool isOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
};

// Always true on this platform: every supported system is "Vista or later" for the installer's purposes.
bool isVistaOrLater();

}  // namespace utility
