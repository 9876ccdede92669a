#pragma once
// Where the emulator goes: the folder of an earlier installation named in the user registry, else the
// variant's sub-folder under the install root with the most usable free space. Also the checks the main
// window applies to a folder the user typed or picked.
//
// Install roots stand for drives: the home folder first, then the mount point of every other local
// block-device file system the user can write to, in mount-table order, leaving out the system tree,
// network and RAM file systems, read-only mounts, removable and hot-plug devices, and file systems seen
// before. Every query takes the disk interface, so tests can feed tables of their own.
#include <functional>
#include <string>
#include <vector>

#include "platform/disks.h"

namespace helper::disk {

using IDiskQueries = platform::IDiskQueries;
using Volume = platform::Volume;

// Install roots in order, each ending with "/".
std::vector<std::wstring> getFixedDrives(const IDiskQueries& disks = platform::systemDisks());
// The root with the highest score, the first of equal ones; "" when every score is 0.
std::wstring getMaxFreeSpaceDrive(const IDiskQueries& disks = platform::systemDisks());
// The device under `root` has removable media or hangs off USB, MMC/SD or FireWire. Unknown: false.
bool isHotplugDevice(const std::wstring& root, const IDiskQueries& disks = platform::systemDisks());
// The device under `drive` is not rotational and accepts discards. Unknown: false.
bool hasTrim(const std::wstring& drive, const IDiskQueries& disks = platform::systemDisks());
// MiB free for the caller; times 1000 for a TRIM device with more than 30720 MiB free; 0 when the free
// space cannot be read or the file system is not one we install on.
double getDriveScore(const std::wstring& root, const IDiskQueries& disks = platform::systemDisks());
// MiB free for the caller on the file system the path is (or would be) on; 0 on failure.
double getFreeSpaceMB(const std::wstring& path, const IDiskQueries& disks = platform::systemDisks());

// Native POSIX file systems (and an unknown one); FAT, exFAT and NTFS carry no Unix permissions.
bool isAcceptedFileSystem(const std::wstring& name);

// "\\" becomes "/", runs of "/" become one, trailing "/" go, except for the root "/" itself. Letter case
// is kept: Linux paths are case-sensitive. A leading "/" stays, since only absolute paths are valid.
std::wstring normalizePath(const std::wstring& path);
// Any of / : * ? " < > | or a control character. Applied to single path pieces.
bool hasInvalidChar(const std::wstring& text);
// Absolute after normalizePath (spaces around it ignored), every piece non-blank and free of invalid
// characters, and its file system has free space for the caller.
bool isValidInstallPath(const std::wstring& path, const IDiskQueries& disks = platform::systemDisks());

}  // namespace helper::disk

// Reads the "InstallDir" value under a key path of the user registry; "" when there is none.
using InstallDirReader = std::function<std::wstring(const std::wstring& keyPath)>;

// The install folder, ending with "/": for variants other than 4 and 64 in the markets "tw" and "kr" the
// value under "Software\\Peldrun\\qxplayer-tw" / "-kr" first, then the value under `registryKey`, then the
// best install root + `subdir`. A registry value is taken as it is (only a missing "/" is added). When no
// root can be used the bare `subdir` comes back, a relative path the user then has to replace.
std::wstring calcInstallPath(int variant, const std::wstring& market, const std::wstring& registryKey,
                             const std::wstring& subdir, const InstallDirReader& readInstallDir,
                             const helper::disk::IDiskQueries& disks = platform::systemDisks());
