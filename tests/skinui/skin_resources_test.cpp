// The skin file lookup and start-up calls of CPaintManagerUI.
#include <gtest/gtest.h>

#include <filesystem>

#include "skin_test_support.h"
#include "skinui/language_table.h"
#include "skinui/paint_manager.h"
#include "skinui/resource_module.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace skin_test;
using skin_packer::Compression;
using skin_packer::Entry;

namespace {

namespace fs = std::filesystem;

std::string tableWith(const std::string& enText) {
    return "Code\tlanguage_code\tzh_CN\tzh_TW\ten_US\r\nLanguage\tlanguage_name\tA\tB\tC\r\n"
           "Label\tButton_install_now\tzh\ttw\t" +
           enText + "\r\n";
}

std::wstring installText() { return GetLanguageString(L"Button_install_now").value_or(L"<absent>"); }

// An executable in <temp>/app/ whose module carries the given archive as "ZIPRES" 129.
class SkinResources : public CleanSkinState {
protected:
    void SetUp() override {
        CleanSkinState::SetUp();
        appDir_ = fs::path(temp_.path()) / "app";
        fs::create_directories(appDir_);
        module_ = std::make_unique<CResourceModule>(utility::utf8ToWide((appDir_ / "installer").string()));
    }

    void start(const std::vector<uint8_t>& archive) {
        archive_ = archive;
        module_->AddResource(L"ZIPRES", ResourceIdName(129), archive_);
        CPaintManagerUI::SetInstance(module_.get());
        CPaintManagerUI::SetCurrentLanguage(L"", L"en_US");
        CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath() + L"skin");
        CPaintManagerUI::LoadSkinArchive(129, L"multi_language.tsv");
    }

    void putFile(const std::string& relative, const std::string& content) {
        fs::path path = appDir_ / relative;
        fs::create_directories(path.parent_path());
        testing_support::writeFile(path.string(), content);
    }

    std::string find(const std::wstring& name) { return textOf(CPaintManagerUI::LoadFileData(name)); }

    testing_support::TempDir temp_;
    fs::path appDir_;
    std::unique_ptr<CResourceModule> module_;
    std::vector<uint8_t> archive_;
};

const std::vector<Entry> kSkin = {
    {"common/close.png", bytesOf("close from the archive")},
    {"mainframe.xml", bytesOf("main from the archive")},
    {"multi_language.tsv", bytesOf(tableWith("Install (archive)"))},
};

TEST_F(SkinResources, ArchiveNamesMatchWithEitherSeparatorButOnlyInTheirOwnLetterCase) {
    start(pack(kSkin));
    EXPECT_EQ(CPaintManagerUI::GetSkinArchiveEntryCount(), 3u);
    EXPECT_EQ(CPaintManagerUI::GetResourcePath(), L"");  // no skin folder beside the executable

    struct Case {
        std::wstring name;
        std::string found;
    } cases[] = {
        {L"common\\close.png", "close from the archive"},
        {L"common/close.png", "close from the archive"},
        {L"Common/close.png", ""},
        {L"common/Close.png", ""},
        {L"COMMON\\CLOSE.PNG", ""},
        {L"mainframe.xml", "main from the archive"},
        {L"missing.xml", ""},
        {L"", ""},
        {L"/common/close.png", ""},  // an absolute name never matches an entry
    };
    for (const Case& c : cases) EXPECT_EQ(find(c.name), c.found) << utility::wideToUtf8(c.name);

    // Every caller gets its own copy.
    std::vector<uint8_t> copy = CPaintManagerUI::LoadFileData(L"mainframe.xml");
    copy[0] = 'X';
    EXPECT_EQ(find(L"mainframe.xml"), "main from the archive");
}

TEST_F(SkinResources, SkinFolderBesideTheExecutableWinsAndItsEmptyFilesArePassedOver) {
    putFile("skin/common/close.png", "close from the folder");
    putFile("skin/mainframe.xml", "");
    putFile("skin/only_on_disk.xml", "disk only");
    start(pack(kSkin));

    EXPECT_EQ(CPaintManagerUI::GetResourcePath(), utility::utf8ToWide((appDir_ / "skin").string()) + L"/");
    EXPECT_EQ(find(L"common\\close.png"), "close from the folder");
    EXPECT_EQ(find(L"common/close.png"), "close from the folder");
    EXPECT_EQ(find(L"mainframe.xml"), "main from the archive");
    EXPECT_EQ(find(L"only_on_disk.xml"), "disk only");
    EXPECT_EQ(find(L"common"), "");  // a folder is no file
}

TEST_F(SkinResources, ResourcePathTakesEffectOnlyForAnExistingFolder) {
    putFile("skin/x.txt", "x");
    std::wstring folder = utility::utf8ToWide((appDir_ / "skin").string());
    CPaintManagerUI::SetResourcePath(folder + L"/");
    EXPECT_EQ(CPaintManagerUI::GetResourcePath(), folder + L"/");
    CPaintManagerUI::SetResourcePath(folder + L"/nothing_here");
    EXPECT_EQ(CPaintManagerUI::GetResourcePath(), L"");
    CPaintManagerUI::SetResourcePath(utility::utf8ToWide((appDir_ / "skin/x.txt").string()));
    EXPECT_EQ(CPaintManagerUI::GetResourcePath(), L"");
    CPaintManagerUI::SetResourcePath(L"");
    EXPECT_EQ(CPaintManagerUI::GetResourcePath(), L"");
}

TEST_F(SkinResources, AbsoluteNamesAreReadFromDisk) {
    putFile("elsewhere.xml", "absolute");
    start(pack(kSkin));
    EXPECT_EQ(find(utility::utf8ToWide((appDir_ / "elsewhere.xml").string())), "absolute");
    EXPECT_EQ(find(utility::utf8ToWide((appDir_ / "not_there.xml").string())), "");
}

TEST_F(SkinResources, InstancePathAndLanguage) {
    EXPECT_EQ(CPaintManagerUI::GetInstancePath(), L"");
    CPaintManagerUI::SetInstance(module_.get());
    EXPECT_EQ(CPaintManagerUI::GetInstancePath(), utility::utf8ToWide(appDir_.string()) + L"/");

    CPaintManagerUI::SetCurrentLanguage(L"", L"en_US");
    EXPECT_EQ(CPaintManagerUI::GetCurrentLanguage(), L"en_US");
    CPaintManagerUI::SetCurrentLanguage(L"zh_TW", L"en_US");
    EXPECT_EQ(CPaintManagerUI::GetCurrentLanguage(), L"zh_TW");
}

TEST_F(SkinResources, LanguageTableComesFromBesideTheExecutableThenTheSkin) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;  // relative to the executable's folder
        std::vector<Entry> archive;
        std::wstring expected;
    } cases[] = {
        {"archive only", {}, kSkin, L"Install (archive)"},
        {"beside the executable", {{"multi_language.tsv", tableWith("Install (beside)")}}, kSkin, L"Install (beside)"},
        {"empty beside the executable: no table", {{"multi_language.tsv", ""}}, kSkin, L"<absent>"},
        {"skin folder", {{"skin/multi_language.tsv", tableWith("Install (folder)")}}, kSkin, L"Install (folder)"},
        {"no archive table", {}, {{"mainframe.xml", bytesOf("x")}}, L"<absent>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CleanSkinState::reset();
        fs::remove_all(appDir_);
        fs::create_directories(appDir_);
        for (const auto& [name, content] : c.files) putFile(name, content);
        start(pack(c.archive));
        EXPECT_EQ(installText(), c.expected);
    }
}

TEST_F(SkinResources, DamagedArchiveKeepsTheEntriesBeforeTheDamage) {
    std::vector<uint8_t> archive = pack({{"a.xml", bytesOf("entry a, intact")},
                                         {"b.xml", bytesOf("entry b, damaged")},
                                         {"c.xml", bytesOf("entry c, after")}},
                                        Compression::Store);
    archive[skin_test::find(archive, bytesOf("entry b")) + 2] ^= 0x20;
    start(archive);
    EXPECT_EQ(CPaintManagerUI::GetSkinArchiveEntryCount(), 1u);
    EXPECT_EQ(find(L"a.xml"), "entry a, intact");
    EXPECT_EQ(find(L"b.xml"), "");
    EXPECT_EQ(find(L"c.xml"), "");
}

TEST_F(SkinResources, WithoutAnArchiveOnlyTheSkinFolderAnswers) {
    putFile("skin/mainframe.xml", "folder main");
    CPaintManagerUI::SetInstance(module_.get());
    CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath() + L"skin");
    CPaintManagerUI::LoadSkinArchive(129, L"multi_language.tsv");
    EXPECT_EQ(CPaintManagerUI::GetSkinArchiveEntryCount(), 0u);
    EXPECT_EQ(find(L"mainframe.xml"), "folder main");
    EXPECT_EQ(find(L"common/close.png"), "");
}

}  // namespace
