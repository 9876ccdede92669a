#include "platform/disks.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/system.h"

namespace platform {

namespace {

std::string decodeOctal(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3' && s[i + 2] >= '0' &&
            s[i + 2] <= '7' && s[i + 3] >= '0' && s[i + 3] <= '7') {
            out += char((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool hasOption(const std::string& options, const char* option) {
    std::istringstream in(options);
    std::string item;
    while (std::getline(in, item, ','))
        if (item == option) return true;
    return false;
}

bool readText(const std::string& path, std::string& out) {
    std::ifstream in(path);
    if (!in) return false;
    std::getline(in, out);
    return true;
}

std::optional<uint64_t> readNumber(const std::string& path) {
    std::string text;
    if (!readText(path, text) || text.empty()) return std::nullopt;
    char* end = nullptr;
    unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (end == text.c_str()) return std::nullopt;
    return uint64_t(v);
}

std::string realPath(const std::string& path) {
    char buf[PATH_MAX];
    if (!::realpath(path.c_str(), buf)) return {};
    return buf;
}

bool onHotplugBus(const std::string& sysPath) {
    std::istringstream parts(sysPath);
    std::string piece;
    while (std::getline(parts, piece, '/')) {
        if (piece.rfind("usb", 0) == 0 || piece.rfind("mmc", 0) == 0 || piece.rfind("firewire", 0) == 0) return true;
        if (piece.size() > 2 && piece[0] == 'f' && piece[1] == 'w' && piece[2] >= '0' && piece[2] <= '9') return true;
    }
    return false;
}

struct DeviceFacts {
    bool removable = false;
    bool hotplugBus = false;
    bool rotational = true;
    uint64_t discardMaxBytes = 0;
};

// The whole disk under a block device: the device itself, or its parent when it is a partition.
std::string diskDir(const std::string& devDir) {
    struct stat st {};
    if (::stat((devDir + "/partition").c_str(), &st) == 0) {
        size_t slash = devDir.rfind('/');
        return slash == std::string::npos ? devDir : devDir.substr(0, slash);
    }
    return devDir;
}

DeviceFacts deviceFacts(unsigned major, unsigned minor) {
    DeviceFacts f;
    std::string dev = realPath("/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor));
    if (dev.empty()) return f;
    std::string disk = diskDir(dev);
    if (auto v = readNumber(disk + "/queue/rotational")) f.rotational = *v != 0;
    if (auto v = readNumber(disk + "/queue/discard_max_bytes")) f.discardMaxBytes = *v;
    // Mapped devices (LVM, crypt) sit on other disks: those decide whether it can be unplugged.
    for (int depth = 0; depth < 4; ++depth) {
        if (auto v = readNumber(disk + "/removable")) f.removable = f.removable || *v != 0;
        f.hotplugBus = f.hotplugBus || onHotplugBus(disk);
        std::string slaves = disk + "/slaves";
        std::string first;
        if (auto* d = ::opendir(slaves.c_str())) {
            while (auto* e = ::readdir(d)) {
                if (e->d_name[0] == '.') continue;
                first = e->d_name;
                break;
            }
            ::closedir(d);
        }
        if (first.empty()) break;
        std::string next = realPath(slaves + "/" + first);
        if (next.empty()) break;
        disk = diskDir(next);
    }
    return f;
}

class SystemDisks final : public IDiskQueries {
public:
    std::string homeDir() const override { return platform::homeDir(); }

    std::vector<Volume> volumes() const override {
        std::vector<Volume> out;
        std::ifstream in("/proc/self/mountinfo", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        for (const MountEntry& m : parseMountInfo(text.str())) {
            Volume v;
            v.mountPoint = m.mountPoint;
            v.fileSystem = m.fsType;
            v.readOnly = m.readOnly;
            unsigned major = m.major, minor = m.minor;
            bool fromDev = m.source.rfind("/dev/", 0) == 0;
            if (fromDev && major == 0) {
                // btrfs reports an anonymous device number; the source names the real one.
                struct stat st {};
                if (::stat(m.source.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
                    major = ::major(st.st_rdev);
                    minor = ::minor(st.st_rdev);
                }
            }
            v.deviceId = (uint64_t(m.major) << 32) | m.minor;
            v.blockDevice = fromDev || m.fsType == "zfs";
            struct stat st {};
            v.writable = ::stat(m.mountPoint.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
                         ::access(m.mountPoint.c_str(), W_OK) == 0;
            if (fromDev && major != 0) {
                DeviceFacts f = deviceFacts(major, minor);
                v.removable = f.removable;
                v.hotplugBus = f.hotplugBus;
                v.rotational = f.rotational;
                v.discardMaxBytes = f.discardMaxBytes;
            }
            out.push_back(std::move(v));
        }
        return out;
    }

    std::optional<uint64_t> freeBytes(const std::string& path) const override {
        if (path.empty()) return std::nullopt;
        std::string p = path;
        for (;;) {
            struct statvfs s {};
            if (::statvfs(p.c_str(), &s) == 0) return uint64_t(s.f_bavail) * uint64_t(s.f_frsize);
            if (errno != ENOENT && errno != ENOTDIR) return std::nullopt;
            while (p.size() > 1 && p.back() == '/') p.pop_back();
            size_t slash = p.rfind('/');
            if (slash == std::string::npos) return std::nullopt;  // relative and nothing of it exists
            p = slash == 0 ? "/" : p.substr(0, slash);
        }
    }
};

}  // namespace

std::vector<MountEntry> parseMountInfo(const std::string& text) {
    std::vector<MountEntry> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        // id parent major:minor root mount-point options [optional fields...] - type source super-options
        std::istringstream f(line);
        std::string id, parent, devno, root, mountPoint, options;
        if (!(f >> id >> parent >> devno >> root >> mountPoint >> options)) continue;
        std::string field;
        bool separator = false;
        while (f >> field) {
            if (field == "-") {
                separator = true;
                break;
            }
        }
        std::string type, source, super;
        if (!separator || !(f >> type >> source)) continue;
        f >> super;
        MountEntry m;
        size_t colon = devno.find(':');
        if (colon == std::string::npos) continue;
        m.major = unsigned(std::strtoul(devno.substr(0, colon).c_str(), nullptr, 10));
        m.minor = unsigned(std::strtoul(devno.substr(colon + 1).c_str(), nullptr, 10));
        m.mountPoint = decodeOctal(mountPoint);
        m.fsType = type;
        m.source = decodeOctal(source);
        m.readOnly = hasOption(options, "ro") || hasOption(super, "ro");
        out.push_back(std::move(m));
    }
    return out;
}

const IDiskQueries& systemDisks() {
    static const SystemDisks disks;
    return disks;
}

}  // namespace platform
