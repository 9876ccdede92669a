#include <gtest/gtest.h>

#include <map>

#include "app/install_path.h"
#include "common/log.h"

namespace {

using helper::disk::Volume;

constexpr uint64_t MiB = 1024 * 1024;

std::vector<std::wstring> g_logged;
void captureSink(const char*, int, const wchar_t* text) { g_logged.emplace_back(text); }

// A machine given as a table: the home folder and the mounted file systems with their free space.
class FakeDisks : public helper::disk::IDiskQueries {
public:
    std::string home = "/home/ann";
    std::vector<Volume> table;
    std::map<std::string, uint64_t> freeByMount;  // missing: the question fails

    std::string homeDir() const override { return home; }
    std::vector<Volume> volumes() const override { return table; }
    std::optional<uint64_t> freeBytes(const std::string& path) const override {
        // The longest mount point the path lies under answers.
        std::string best;
        bool found = false;
        for (const Volume& v : table) {
            const std::string& m = v.mountPoint;
            bool under = m == "/"
                             ? !path.empty() && path[0] == '/'
                             : path.compare(0, m.size(), m) == 0 && (path.size() == m.size() || path[m.size()] == '/');
            if (under && (!found || m.size() >= best.size())) {
                best = m;
                found = true;
            }
        }
        auto it = freeByMount.find(best);
        if (!found || it == freeByMount.end()) return std::nullopt;
        return it->second;
    }

    // A local disk mounted at `mount`.
    Volume& add(const std::string& mount, const std::string& fs, uint64_t freeMiB, bool ssd, uint64_t device) {
        Volume v;
        v.mountPoint = mount;
        v.fileSystem = fs;
        v.deviceId = device;
        v.blockDevice = true;
        v.writable = true;
        v.rotational = !ssd;
        v.discardMaxBytes = ssd ? 2147450880 : 0;
        table.push_back(v);
        freeByMount[mount] = freeMiB * MiB;
        return table.back();
    }
};

class InstallPath : public ::testing::Test {
protected:
    void SetUp() override {
        g_logged.clear();
        common::setLogSink(&captureSink);
    }
    void TearDown() override { common::setLogSink(nullptr); }
    FakeDisks disks;
};

TEST_F(InstallPath, DriveScoresPreferLargeSolidStateDrives) {
    // "C:" is the home file system, "D:" a second disk.
    struct Case {
        const char* what;
        std::string homeFs;
        uint64_t homeMiB;
        bool homeSsd;
        std::string dataFs;
        uint64_t dataMiB;
        bool dataSsd;
        std::wstring best;
    } cases[] = {
        {"SSD with 40000 MiB beats HDD with 500000 MiB", "ext4", 40000, true, "ext4", 500000, false, L"/home/ann/"},
        {"SSD with only 20000 MiB gets no bonus", "ext4", 20000, true, "xfs", 500000, false, L"/mnt/data/"},
        {"exactly 30720 MiB gets no bonus", "ext4", 30720, true, "ext4", 40000, false, L"/mnt/data/"},
        {"a tie goes to the first root", "ext4", 1000, false, "btrfs", 1000, false, L"/home/ann/"},
        {"exFAT is never chosen", "exfat", 900000, true, "ext4", 10, false, L"/mnt/data/"},
        {"FAT is never chosen", "ext4", 10, false, "vfat", 900000, false, L"/home/ann/"},
        {"NTFS is never chosen", "ext4", 10, false, "ntfs3", 900000, false, L"/home/ann/"},
        {"nothing usable", "exfat", 900000, false, "fuseblk", 900000, false, L""},
        {"an unknown file-system name is accepted", "", 5, false, "ext4", 4, false, L"/home/ann/"},
        {"no free space at all", "ext4", 0, false, "ext4", 0, false, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDisks d;
        d.add("/", "ext4", 0, false, 1);
        d.add("/home", c.homeFs, c.homeMiB, c.homeSsd, 2);
        d.add("/mnt/data", c.dataFs, c.dataMiB, c.dataSsd, 3);
        EXPECT_EQ(helper::disk::getMaxFreeSpaceDrive(d), c.best);
    }
}

TEST_F(InstallPath, ScoreIsMiBTimesAThousandForTrim) {
    disks.add("/", "ext4", 40000, true, 1);
    disks.add("/mnt/hdd", "ext4", 500000, false, 2);
    EXPECT_DOUBLE_EQ(helper::disk::getDriveScore(L"/home/ann/", disks), 40000000.0);
    EXPECT_DOUBLE_EQ(helper::disk::getDriveScore(L"/mnt/hdd/", disks), 500000.0);
    EXPECT_TRUE(helper::disk::hasTrim(L"/home/ann/", disks));
    EXPECT_FALSE(helper::disk::hasTrim(L"/mnt/hdd/", disks));
    disks.freeByMount.erase("/mnt/hdd");
    EXPECT_EQ(helper::disk::getDriveScore(L"/mnt/hdd/", disks), 0) << "free space that cannot be read";
    EXPECT_DOUBLE_EQ(helper::disk::getFreeSpaceMB(L"/home/ann/not/yet/there", disks), 40000.0);
    EXPECT_EQ(helper::disk::getFreeSpaceMB(L"/mnt/hdd", disks), 0);
}

TEST_F(InstallPath, InstallRootsAreHomeThenOtherLocalWritableDisks) {
    disks.add("/", "ext4", 100, false, 1);
    disks.add("/boot", "ext4", 900000, false, 2);
    disks.add("/var/lib/docker", "ext4", 900000, false, 3);
    disks.add("/home", "ext4", 100, false, 4);
    disks.add("/mnt/data", "ext4", 100, false, 5);
    disks.add("/mnt/nfs", "nfs4", 100, false, 6).blockDevice = false;
    disks.add("/mnt/ssh", "fuse.sshfs", 100, false, 7).blockDevice = false;
    disks.add("/mnt/ram", "tmpfs", 100, false, 8).blockDevice = false;
    disks.add("/mnt/ro", "ext4", 100, false, 9).readOnly = true;
    disks.add("/mnt/usb", "ext4", 100, false, 10).hotplugBus = true;
    disks.add("/mnt/card", "ext4", 100, false, 11).removable = true;
    disks.add("/mnt/theirs", "ext4", 100, false, 12).writable = false;
    disks.add("/srv/bind", "ext4", 100, false, 5);  // the /mnt/data file system again
    disks.add("/home/ann/extra", "xfs", 100, false, 13);
    disks.add("/media/Win Data", "ntfs3", 100, false, 14);  // listed, but its score is 0
    EXPECT_EQ(helper::disk::getFixedDrives(disks),
              (std::vector<std::wstring>{L"/home/ann/", L"/mnt/data/", L"/home/ann/extra/", L"/media/Win Data/"}));
    EXPECT_TRUE(helper::disk::isHotplugDevice(L"/mnt/usb/", disks));
    EXPECT_TRUE(helper::disk::isHotplugDevice(L"/mnt/card/x", disks));
    EXPECT_FALSE(helper::disk::isHotplugDevice(L"/mnt/data/", disks));
}

TEST_F(InstallPath, HomeOnAnUnusableFileSystemIsNoRoot) {
    disks.add("/", "ext4", 100, false, 1);
    disks.add("/home", "nfs", 100, false, 2).blockDevice = false;
    disks.add("/data", "ext4", 50, false, 3);
    EXPECT_EQ(helper::disk::getFixedDrives(disks), std::vector<std::wstring>{L"/data/"});
    disks.home = "/home/ann/";  // a trailing "/" in HOME does not double
    disks.table[1].fileSystem = "ext4";
    EXPECT_EQ(helper::disk::getFixedDrives(disks), (std::vector<std::wstring>{L"/home/ann/", L"/data/"}));
    disks.home = "/";  // a system account: the root of the system tree is no install root
    EXPECT_EQ(helper::disk::getFixedDrives(disks), std::vector<std::wstring>{L"/data/"});
}

TEST_F(InstallPath, NormalizePathKeepsCaseAndTheLeadingSlash) {
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"/Games//Nimbaro/", L"/Games/Nimbaro"},
        {L"\\home\\Ann\\\\Nimbaro\\", L"/home/Ann/Nimbaro"},
        {L"//home///ann", L"/home/ann"},
        {L"/", L"/"},
        {L"///", L"/"},
        {L"relative/Dir/", L"relative/Dir"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(helper::disk::normalizePath(c.in), c.out);
}

TEST_F(InstallPath, ValidInstallPaths) {
    disks.add("/", "ext4", 100, false, 1);
    disks.add("/mnt/full", "ext4", 0, false, 2);
    struct Case {
        std::wstring path;
        bool valid;
    } cases[] = {
        {L"/home/ann/Games/Nimbaro", true},
        {L"  /home/ann/Games/Nimbaro/  ", true},
        {L"\\home\\ann\\Nimbaro", true},
        {L"/home/ann/My Games/\x4E2D\x6587", true},
        {L"/", true},
        {L"/home/ann/ /b", false},  // a piece of only a space
        {L"/home/ann/a?b", false},
        {L"/home/ann/a:b", false},
        {L"/home/ann/a\"b", false},
        {L"/home/ann/a|b/c", false},
        {L"/home/ann/a\nb", false},
        {L"home/ann/Nimbaro", false},  // relative
        {L"Nimbaro/Nimbaro9/", false},
        {L"", false},
        {L"   ", false},
        {L"/mnt/full/Nimbaro", false},  // no free space there
    };
    for (const auto& c : cases)
        EXPECT_EQ(helper::disk::isValidInstallPath(c.path, disks), c.valid)
            << std::string(c.path.begin(), c.path.end());
    EXPECT_TRUE(helper::disk::hasInvalidChar(L"a/b"));
    EXPECT_FALSE(helper::disk::hasInvalidChar(L"My Games (2)"));
}

// A registry given as a map; records which keys were read.
struct FakeRegistry {
    std::map<std::wstring, std::wstring> values;
    std::vector<std::wstring> reads;
    InstallDirReader reader() {
        return [this](const std::wstring& key) {
            reads.push_back(key);
            auto it = values.find(key);
            return it == values.end() ? std::wstring() : it->second;
        };
    }
};

TEST_F(InstallPath, RegistryPathWinsOverTheDrives) {
    disks.add("/", "ext4", 900000, true, 1);
    FakeRegistry reg;
    reg.values[L"Software\\Orsolan\\Nimbaro9"] = L"/gone/Nimbaro9";  // need not exist any more
    EXPECT_EQ(calcInstallPath(9, L"en", L"Software\\Orsolan\\Nimbaro9", L"Nimbaro/Nimbaro9/", reg.reader(), disks),
              L"/gone/Nimbaro9/");
    EXPECT_EQ(reg.reads, std::vector<std::wstring>{L"Software\\Orsolan\\Nimbaro9"});
    EXPECT_EQ(g_logged, std::vector<std::wstring>{L"read from reg: path is /gone/Nimbaro9"});
}

TEST_F(InstallPath, RegionalKeysComeFirstForVariantsThreeAndNine) {
    struct Case {
        int variant;
        std::wstring market;
        std::vector<std::wstring> reads;
        std::wstring path;
    } cases[] = {
        {9, L"kr", {L"Software\\Peldrun\\qxplayer-kr"}, L"/kr/"},
        {3, L"tw", {L"Software\\Peldrun\\qxplayer-tw"}, L"/tw/"},
        {9, L"tw", {L"Software\\Peldrun\\qxplayer-tw"}, L"/tw/"},
        {4, L"kr", {L"OwnKey"}, L"/own/"},
        {64, L"tw", {L"OwnKey"}, L"/own/"},
        {9, L"en", {L"OwnKey"}, L"/own/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        FakeRegistry reg;
        reg.values = {{L"Software\\Peldrun\\qxplayer-kr", L"/kr/"},
                      {L"Software\\Peldrun\\qxplayer-tw", L"/tw/"},
                      {L"OwnKey", L"/own/"}};
        EXPECT_EQ(calcInstallPath(c.variant, c.market, L"OwnKey", L"Nimbaro/Nimbaro9/", reg.reader(), disks), c.path);
        EXPECT_EQ(reg.reads, c.reads);
    }
    // An empty regional value falls through to the variant's own key.
    FakeRegistry reg;
    reg.values = {{L"OwnKey", L"/own/"}};
    EXPECT_EQ(calcInstallPath(9, L"kr", L"OwnKey", L"sub/", reg.reader(), disks), L"/own/");
    EXPECT_EQ(reg.reads, (std::vector<std::wstring>{L"Software\\Peldrun\\qxplayer-kr", L"OwnKey"}));
}

TEST_F(InstallPath, WithoutRegistryTheBestRootAndTheSubFolder) {
    disks.add("/", "ext4", 40000, true, 1);
    disks.add("/mnt/hdd", "ext4", 500000, false, 2);
    FakeRegistry reg;
    EXPECT_EQ(calcInstallPath(9, L"en", L"Software\\Orsolan\\Nimbaro9", L"Nimbaro/Nimbaro9/", reg.reader(), disks),
              L"/home/ann/Nimbaro/Nimbaro9/");
    EXPECT_EQ(g_logged,
              (std::vector<std::wstring>{L"read from reg: path is ",
                                         L"get install path from MaxFreeSpace: /home/ann/Nimbaro/Nimbaro9/"}));

    // No usable root: the bare sub-folder, which the main window will not accept.
    FakeDisks nothing;
    nothing.add("/", "exfat", 900000, false, 1);
    EXPECT_EQ(calcInstallPath(9, L"en", L"K", L"Nimbaro/Nimbaro9/", reg.reader(), nothing), L"Nimbaro/Nimbaro9/");
}

}  // namespace
