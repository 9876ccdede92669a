#include <gtest/gtest.h>

#include "app/install_path.h"
#include "platform/disks.h"
#include "support/test_env.h"

namespace {

TEST(MountInfo, ParsesFieldsEscapesAndReadOnlyFlags) {
    const char* text =
        "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw,discard\n"
        "40 27 8:17 / /media/ann/My\\040Disk rw,nosuid master:3 shared:9 - exfat /dev/sdb1 rw,uid=1000\n"
        "41 27 0:45 / /mnt/iso ro,relatime - iso9660 /dev/sr0 ro\n"
        "42 27 8:2 /sub /srv/data rw - xfs /dev/sda2 ro,attr2\n"
        "43 27 0:50 / /net rw - nfs4 server:/export rw,vers=4.2\n"
        "garbage line\n"
        "44 27 8:3 / /no-separator rw ext4 /dev/sda3 rw\n";
    auto m = platform::parseMountInfo(text);
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[0].mountPoint, "/");
    EXPECT_EQ(m[0].fsType, "ext4");
    EXPECT_EQ(m[0].source, "/dev/vda");
    EXPECT_EQ(m[0].major, 254u);
    EXPECT_EQ(m[0].minor, 0u);
    EXPECT_FALSE(m[0].readOnly);
    EXPECT_EQ(m[1].mountPoint, "/media/ann/My Disk");
    EXPECT_EQ(m[1].fsType, "exfat");
    EXPECT_EQ(m[1].minor, 17u);
    EXPECT_TRUE(m[2].readOnly) << "read-only mount";
    EXPECT_TRUE(m[3].readOnly) << "read-only super block under a read-write mount";
    EXPECT_EQ(m[4].source, "server:/export");
}

// This machine, with HOME in a temporary folder: the home folder is the first install root.
TEST(SystemDisks, HomeIsTheFirstRootAndFreeSpaceIsReadForPathsNotYetCreated) {
    testing_support::IsolatedHome home;
    const auto& disks = platform::systemDisks();
    std::wstring homeRoot = std::wstring(home.home().begin(), home.home().end()) + L"/";
    auto free = disks.freeBytes(home.home() + "/Nimbaro/Nimbaro9/not/yet");
    ASSERT_TRUE(free);
    EXPECT_EQ(free, disks.freeBytes(home.home()));
    EXPECT_FALSE(disks.freeBytes(""));

    auto roots = helper::disk::getFixedDrives();
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots[0], homeRoot);
    if (*free > 0) {
        EXPECT_TRUE(helper::disk::isValidInstallPath(homeRoot + L"Nimbaro/Nimbaro9"));
    }
}

}  // namespace
