#include "app/install_path.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "common/log.h"
#include "utility/strings.h"
#include "utility/text_codec.h"

namespace helper::disk {

namespace {

constexpr double kBytesPerMiB = 1048576.0;
constexpr int64_t kTrimBonusAboveMiB = 30720;

const wchar_t* const kAcceptedFileSystems[] = {
    L"ext2", L"ext3",    L"ext4", L"xfs",      L"btrfs",    L"f2fs",
    L"zfs",  L"overlay", L"jfs",  L"reiserfs", L"bcachefs", L"nilfs2",
};

// Installing into them would put files where the system keeps its own, or where they vanish.
const char* const kSystemTrees[] = {
    "/boot", "/efi",  "/usr", "/var",  "/opt", "/tmp",   "/etc",   "/dev",    "/proc", "/sys",
    "/run",  "/snap", "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32", "/root",
};

const char* const kNetworkFileSystems[] = {
    "nfs",  "nfs4",      "cifs",   "smb3",  "smbfs", "ncpfs", "9p",   "afs",
    "ceph", "glusterfs", "lustre", "ocfs2", "gfs2",  "davfs", "coda",
};

const char* const kRamFileSystems[] = {"tmpfs", "ramfs", "devtmpfs"};

template <size_t N>
bool inList(const std::string& s, const char* const (&list)[N]) {
    return std::any_of(std::begin(list), std::end(list), [&](const char* item) { return s == item; });
}

bool isUnder(const std::string& path, const std::string& folder) {
    if (folder == "/") return path.size() >= 1 && path[0] == '/';
    return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

bool isNetwork(const std::string& type) {
    // FUSE network mounts are "fuse.sshfs", "fuse.rclone", ...; fuseblk is a local block device.
    return inList(type, kNetworkFileSystems) || (type.rfind("fuse.", 0) == 0);
}

// The volume a path lies on: the mount point that is the longest leading piece of it.
std::optional<Volume> volumeOf(const std::string& path, const std::vector<Volume>& volumes) {
    std::optional<Volume> best;
    for (const Volume& v : volumes) {
        if (!isUnder(path, v.mountPoint)) continue;
        // A later mount on the same point hides an earlier one, so ">=".
        if (!best || v.mountPoint.size() >= best->mountPoint.size()) best = v;
    }
    return best;
}

std::optional<Volume> volumeOf(const std::wstring& path, const IDiskQueries& disks) {
    return volumeOf(utility::wideToUtf8(path), disks.volumes());
}

bool excludedKind(const Volume& v) {
    return isNetwork(v.fileSystem) || inList(v.fileSystem, kRamFileSystems) || v.readOnly || v.removable ||
           v.hotplugBus;
}

std::wstring withSlash(std::wstring p) {
    if (p.empty() || p.back() != L'/') p += L'/';
    return p;
}

std::wstring trimmed(std::wstring s) {
    utility::trim(s);
    return s;
}

}  // namespace

bool isAcceptedFileSystem(const std::wstring& name) {
    if (name.empty()) return true;
    return std::any_of(std::begin(kAcceptedFileSystems), std::end(kAcceptedFileSystems),
                       [&](const wchar_t* fs) { return name == fs; });
}

std::vector<std::wstring> getFixedDrives(const IDiskQueries& disks) {
    std::vector<std::wstring> roots;
    std::vector<Volume> volumes = disks.volumes();
    std::vector<uint64_t> seen;
    std::string home = disks.homeDir();
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    // A home of "/" (system accounts) would put the emulator into the system tree.
    if (!home.empty() && home != "/") {
        std::optional<Volume> homeVolume = volumeOf(home, volumes);
        if (!homeVolume || !excludedKind(*homeVolume)) roots.push_back(withSlash(utility::utf8ToWide(home)));
        if (homeVolume) seen.push_back(homeVolume->deviceId);
    }
    for (const Volume& v : volumes) {
        if (v.mountPoint.empty() || v.mountPoint == "/") continue;
        if (std::any_of(std::begin(kSystemTrees), std::end(kSystemTrees),
                        [&](const char* tree) { return isUnder(v.mountPoint, tree); }))
            continue;
        if (!v.blockDevice || !v.writable || excludedKind(v)) continue;
        if (std::find(seen.begin(), seen.end(), v.deviceId) != seen.end()) continue;
        seen.push_back(v.deviceId);
        roots.push_back(withSlash(utility::utf8ToWide(v.mountPoint)));
    }
    return roots;
}

std::wstring getMaxFreeSpaceDrive(const IDiskQueries& disks) {
    double best = 0;
    std::wstring result;
    for (const std::wstring& root : getFixedDrives(disks)) {
        double score = getDriveScore(root, disks);
        if (score > best) {
            best = score;
            result = root;
        }
    }
    return result;
}

bool isHotplugDevice(const std::wstring& root, const IDiskQueries& disks) {
    std::optional<Volume> v = volumeOf(root, disks);
    return v && (v->removable || v->hotplugBus);
}

bool hasTrim(const std::wstring& drive, const IDiskQueries& disks) {
    std::optional<Volume> v = volumeOf(drive, disks);
    return v && !v->rotational && v->discardMaxBytes > 0;
}

double getDriveScore(const std::wstring& root, const IDiskQueries& disks) {
    std::optional<uint64_t> free = disks.freeBytes(utility::wideToUtf8(root));
    if (!free) return 0;
    std::optional<Volume> v = volumeOf(root, disks);
    if (v && !isAcceptedFileSystem(utility::utf8ToWide(v->fileSystem))) return 0;
    double score = double(*free) / kBytesPerMiB;
    if (hasTrim(root, disks) && int64_t(score) > kTrimBonusAboveMiB) score *= 1000;
    return score;
}

double getFreeSpaceMB(const std::wstring& path, const IDiskQueries& disks) {
    std::optional<uint64_t> free = disks.freeBytes(utility::wideToUtf8(path));
    return free ? double(*free) / kBytesPerMiB : 0;
}

std::wstring normalizePath(const std::wstring& path) {
    std::wstring out;
    out.reserve(path.size());
    for (wchar_t c : path) {
        if (c == L'\\') c = L'/';
        if (c == L'/' && !out.empty() && out.back() == L'/') continue;
        out += c;
    }
    while (out.size() > 1 && out.back() == L'/') out.pop_back();
    return out;
}

bool hasInvalidChar(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) {
        return c < 0x20 || c == 0x7F || std::wstring_view(L"/:*?\"<>|").find(c) != std::wstring_view::npos;
    });
}

bool isValidInstallPath(const std::wstring& path, const IDiskQueries& disks) {
    std::wstring p = trimmed(normalizePath(trimmed(path)));
    if (p.empty() || p[0] != L'/') return false;
    std::optional<uint64_t> free = disks.freeBytes(utility::wideToUtf8(p));
    if (!free || *free == 0) return false;
    std::wstring rest = p.substr(1);
    if (rest.empty()) return true;
    size_t start = 0;
    for (;;) {
        size_t slash = rest.find(L'/', start);
        std::wstring piece = rest.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
        if (trimmed(piece).empty() || hasInvalidChar(piece)) return false;
        if (slash == std::wstring::npos) break;
        start = slash + 1;
    }
    return true;
}

}  // namespace helper::disk

std::wstring calcInstallPath(int variant, const std::wstring& market, const std::wstring& registryKey,
                             const std::wstring& subdir, const InstallDirReader& readInstallDir,
                             const helper::disk::IDiskQueries& disks) {
    std::wstring installPath;
    if (readInstallDir) {
        bool regional = variant != 4 && variant != 64;
        if (regional && market == L"tw")
            installPath = readInstallDir(L"Software\\Peldrun\\qxplayer-tw");
        else if (regional && market == L"kr")
            installPath = readInstallDir(L"Software\\Peldrun\\qxplayer-kr");
        if (installPath.empty()) installPath = readInstallDir(registryKey);
    }
    NLOG(L"read from reg: path is %s", installPath);
    if (!installPath.empty()) {
        // Later steps append file names straight to the folder.
        if (installPath.back() != L'/') installPath += L'/';
        return installPath;
    }
    installPath = helper::disk::getMaxFreeSpaceDrive(disks) + subdir;
    NLOG(L"get install path from MaxFreeSpace: %s", installPath);
    return installPath;
}
