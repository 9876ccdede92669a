#include "skinui/archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "common/utf8.h"
#include "skin_test_support.h"
#include "support/test_env.h"

using namespace SkinUI;
using namespace skin_test;
using skin_packer::Compression;
using skin_packer::Entry;

namespace {

struct Extracted {
    int result = -1;
    std::vector<std::wstring> names;  // in delivery order
    std::map<std::wstring, std::vector<uint8_t>> files;
};

Extracted extract(const std::vector<uint8_t>& archive) {
    Extracted out;
    out.result = ExtractArchive(archive.data(), archive.size(),
                                [&out](const std::wstring& name, const uint8_t* bytes, size_t length) {
                                    out.names.push_back(name);
                                    out.files[name].assign(bytes, bytes + length);
                                });
    return out;
}

std::vector<uint8_t> pseudoRandom(size_t count, uint32_t seed) {
    std::vector<uint8_t> bytes(count);
    for (auto& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = uint8_t(seed >> 16);
    }
    return bytes;
}

TEST(SkinArchive, PackingAFolderThenExtractingGivesEveryFileBackByteForByte) {
    testing_support::TempDir dir;
    namespace fs = std::filesystem;
    std::map<std::string, std::vector<uint8_t>> tree = {
        {"mainframe.xml", bytesOf("<Window size=\"640,400\"><VerticalLayout/></Window>")},
        {"common/close.png", pseudoRandom(3000, 7)},  // incompressible, with NUL bytes
        {"common/xml_messagebox.xml", bytesOf("<Window/>")},
        {"language/downloader_en.xml", std::vector<uint8_t>(200000, 'x')},
        {"language/deep/nested/data.bin", pseudoRandom(70000, 99)},  // spans several read chunks
        {"\xE4\xB8\xAD\xE6\x96\x87/\xE5\x90\x8D.txt", bytesOf("non-ASCII names")},
        {"empty.txt", {}},
    };
    for (const auto& [name, bytes] : tree) {
        fs::path path = fs::path(dir.path()) / name;
        fs::create_directories(path.parent_path());
        testing_support::writeFile(path.string(), textOf(bytes));
    }
    fs::create_directories(fs::path(dir.path()) / "empty_folder");

    std::vector<Entry> entries;
    std::string error;
    ASSERT_TRUE(skin_packer::collectFolder(dir.path(), entries, error)) << error;
    std::vector<uint8_t> archive = pack(entries);
    ASSERT_GE(archive.size(), 6u);
    EXPECT_EQ(std::vector<uint8_t>(archive.begin(), archive.begin() + 6),
              (std::vector<uint8_t>{0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C}));

    Extracted got = extract(archive);
    EXPECT_EQ(got.result, kArchiveOk);
    std::map<std::wstring, std::vector<uint8_t>> expected;
    std::vector<std::wstring> expectedOrder;  // the packer sorts by name
    for (const auto& [name, bytes] : tree) {
        if (bytes.empty()) continue;  // empty files are never delivered
        expected[common::utf8ToWide(name)] = bytes;
        expectedOrder.push_back(common::utf8ToWide(name));
    }
    EXPECT_EQ(got.files, expected);
    EXPECT_EQ(got.names, expectedOrder);
}

TEST(SkinArchive, PackingIsReproducible) {
    std::vector<Entry> entries = {{"a.txt", bytesOf("alpha")}, {"b/c.txt", bytesOf("gamma")}};
    EXPECT_EQ(pack(entries), pack(entries));
}

// Three entries, each its own uncompressed block: damage placed in one of them is found by its bytes.
const std::vector<Entry> kStored = {
    {"first.txt", bytesOf("first entry, stored")},
    {"second.txt", bytesOf("second entry, stored")},
    {"third.txt", bytesOf("third entry, stored")},
};

TEST(SkinArchive, FailuresStopExtractionWithTheirCodeAndKeepEarlierEntries) {
    std::vector<uint8_t> stored = pack(kStored, Compression::Store);
    std::vector<uint8_t> compressed =
        pack({{"big.bin", std::vector<uint8_t>(100000, 'z')}, {"other.bin", pseudoRandom(5000, 3)}});

    auto flipInSecond = [&] {
        std::vector<uint8_t> a = stored;
        size_t at = find(a, bytesOf("second entry"));
        EXPECT_NE(at, std::string::npos);
        a[at + 3] ^= 0x01;
        return a;
    };
    // The second block's coder id (Copy, 00) becomes one no reader knows; the header stays consistent.
    auto unknownCoderInSecond = [&] {
        std::vector<uint8_t> a = stored;
        size_t folders = find(a, {0x0B, 0x03, 0x00, 0x01, 0x01, 0x00, 0x01, 0x01, 0x00, 0x01, 0x01, 0x00});
        EXPECT_NE(folders, std::string::npos);
        a[folders + 8] = 0x7F;
        fixHeaderChecksums(a);
        return a;
    };
    auto damagedBlock = [&] {
        std::vector<uint8_t> a = compressed;
        a[40] ^= 0x55;
        return a;
    };
    auto damagedHeader = [&] {
        std::vector<uint8_t> a = stored;
        a[a.size() - 20] ^= 0x01;
        return a;
    };
    auto cut = [](std::vector<uint8_t> a, size_t keep) {
        a.resize(keep);
        return a;
    };

    struct Case {
        const char* what;
        std::vector<uint8_t> archive;
        int result;
        std::vector<std::wstring> delivered;
    } cases[] = {
        {"CRC mismatch in the second entry", flipInSecond(), kArchiveErrorCrc, {L"first.txt"}},
        {"unsupported method in the second block", unknownCoderInSecond(), kArchiveErrorUnsupported, {L"first.txt"}},
        {"damaged compressed block", damagedBlock(), kArchiveErrorData, {}},
        {"damaged header", damagedHeader(), kArchiveErrorArchive, {}},
        {"not an archive", bytesOf("<Window size=\"640,400\"/> is not 7z"), kArchiveErrorNoArchive, {}},
        {"nothing at all", {}, kArchiveErrorNoArchive, {}},
        {"cut by one byte", cut(stored, stored.size() - 1), kArchiveErrorInputEof, {}},
        {"cut in half", cut(compressed, compressed.size() / 2), kArchiveErrorInputEof, {}},
        {"signature only", cut(stored, 6), kArchiveErrorInputEof, {}},
        {"start header only", cut(stored, 32), kArchiveErrorInputEof, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Extracted got = extract(c.archive);
        EXPECT_EQ(got.result, c.result);
        EXPECT_EQ(got.names, c.delivered);
    }
}

TEST(SkinArchive, UndamagedStoredArchiveExtractsCompletely) {
    // The control case for the damage above: without the edits the same archive is fine.
    std::vector<uint8_t> stored = pack(kStored, Compression::Store);
    Extracted got = extract(stored);
    EXPECT_EQ(got.result, kArchiveOk);
    EXPECT_EQ(got.names, (std::vector<std::wstring>{L"first.txt", L"second.txt", L"third.txt"}));

    fixHeaderChecksums(stored);  // recomputing unchanged checksums changes nothing
    EXPECT_EQ(extract(stored).result, kArchiveOk);
}

TEST(SkinArchive, NullInputIsNotAnArchive) {
    int calls = 0;
    EXPECT_EQ(ExtractArchive(nullptr, 100, [&](const std::wstring&, const uint8_t*, size_t) { ++calls; }),
              kArchiveErrorNoArchive);
    EXPECT_EQ(calls, 0);
}

}  // namespace
