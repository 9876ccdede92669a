#pragma once
// Facts about the mounted file systems and the devices under them, for choosing an install folder.
//
// The rules that turn these facts into install roots and scores live with the install-path code; this
// layer only reads /proc/self/mountinfo, statvfs and sysfs. Paths are UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One line of /proc/self/mountinfo.
struct MountEntry {
    std::string mountPoint;  // octal escapes ("\040") decoded
    std::string fsType;      // "ext4", "fuse.sshfs", ...
    std::string source;      // "/dev/sda1", "server:/export", "tmpfs", ...
    unsigned major = 0;
    unsigned minor = 0;
    bool readOnly = false;  // the mount or its super block is read-only
};

// Pure: the lines of a mountinfo text in order; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(const std::string& text);

// A mounted file system as the install-folder rules see it.
struct Volume {
    std::string mountPoint;  // "/" or without a trailing "/"
    std::string fileSystem;  // "ext4"; empty when unknown
    uint64_t deviceId = 0;   // equal for mounts of the same file system
    bool readOnly = false;
    bool blockDevice = false;  // backed by a local block device (or a local pool such as ZFS)
    bool writable = false;     // a folder the calling user may create entries in
    bool removable = false;    // the device says its media are removable
    bool hotplugBus = false;   // the device hangs off USB, MMC/SD or FireWire
    bool rotational = true;
    uint64_t discardMaxBytes = 0;  // > 0: the device accepts discards (TRIM)
};

// The one disk interface: a real implementation reads the system, tests give tables.
class IDiskQueries {
public:
    virtual ~IDiskQueries() = default;
    // The user's home folder, without a trailing "/".
    virtual std::string homeDir() const = 0;
    // Every mounted file system in mount-table order.
    virtual std::vector<Volume> volumes() const = 0;
    // Bytes the caller may still use on the file system of `path`; a path that does not exist yet is
    // answered for its nearest existing parent. nullopt when nothing can be asked.
    virtual std::optional<uint64_t> freeBytes(const std::string& path) const = 0;
};

// The running system's answers.
const IDiskQueries& systemDisks();

}  // namespace platform
