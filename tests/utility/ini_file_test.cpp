#include "utility/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/log_capture.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using utility::IniFile;
using namespace testing_support;

namespace {

std::wstring w(const std::string& s) { return utility::utf8ToWide(s); }

TEST(IniFile, ReadsSectionsKeysAndComments) {
    IniFile ini;
    ini.parse(
        "\xEF\xBB\xBF"
        "top=level\r\n"
        "; comment = not a key\r\n"
        "# also a comment\n"
        "[Main]\n"
        "  Name =  Player 9  \n"
        "path=/opt/\xE4\xB8\xAD\n"
        "empty=\n"
        "name=second wins? no\n"
        "garbage line\n"
        "[main]\n"
        "other=from the duplicate section\n"
        "[ Spaced ]\n"
        "quoted=\"  padded ; kept \"\n"
        "half=\"open\n"
        "eq=a=b\n");
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;  // null: missing
    } cases[] = {
        {L"", L"top", L"level"},
        {L"main", L"name", L"Player 9"},
        {L"MAIN", L"NAME", L"Player 9"},
        {L"Main", L"path", L"/opt/\x4E2D"},
        {L"Main", L"empty", L""},
        {L"Main", L"other", nullptr},  // the first section of a name wins
        {L"Main", L"comment", nullptr},
        {L"Main", L"garbage line", nullptr},
        {L"Spaced", L"quoted", L"  padded ; kept "},
        {L"Spaced", L"half", L"\"open"},
        {L"Spaced", L"eq", L"a=b"},
        {L"missing", L"top", nullptr},
    };
    for (const auto& c : cases) {
        std::wstring value;
        bool found = ini.get(c.section, c.key, value);
        SCOPED_TRACE(utility::wideToUtf8(std::wstring(c.section) + L"/" + c.key));
        EXPECT_EQ(found, c.value != nullptr);
        if (c.value) {
            EXPECT_EQ(value, c.value);
        }
    }
    EXPECT_EQ(ini.sections(), (std::vector<std::wstring>{L"Main", L"Spaced"}));
    EXPECT_EQ(ini.keys(L"main"), (std::vector<std::wstring>{L"Name", L"path", L"empty"}));
    EXPECT_EQ(ini.value(L"Main", L"absent", L"fallback"), L"fallback");
}

TEST(IniFile, InlineCommentsOnlyWhenAsked) {
    const char* text =
        "[hosts]\n"
        "resource = https://127.0.0.1:8443     ; home-market host\n"
        "glued = a;b\n"
        "quoted = \"x ; y\" ; comment\n";
    IniFile whole, inl(IniFile::Comments::Inline);
    whole.parse(text);
    inl.parse(text);
    EXPECT_EQ(whole.value(L"hosts", L"resource"), L"https://127.0.0.1:8443     ; home-market host");
    EXPECT_EQ(inl.value(L"hosts", L"resource"), L"https://127.0.0.1:8443");
    EXPECT_EQ(inl.value(L"hosts", L"glued"), L"a;b");
    EXPECT_EQ(inl.value(L"hosts", L"quoted"), L"x ; y");
}

TEST(IniFile, SavedValuesReadBackUnchangedAndOtherLinesSurvive) {
    TempDir dir;
    std::wstring path = w(dir.file("data.ini"));
    writeFile(dir.file("data.ini"),
              "; written by hand\n"
              "[setting]\n"
              "keep=1\n"
              "\n"
              "[other]\n"
              "x=y\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    const std::wstring tricky[] = {L"  leading and trailing  ", L"semi;colon", L"\"quoted\"", L"\"half",
                                   L"\x6E38\x620F \x540D", L"", L"a=b"};
    for (size_t i = 0; i < std::size(tricky); ++i) ASSERT_TRUE(ini.set(L"Setting", L"k" + std::to_wstring(i), tricky[i]));
    ASSERT_TRUE(ini.set(L"new", L"added", L"v"));
    ASSERT_TRUE(ini.set(L"SETTING", L"KEEP", L"2"));
    ASSERT_TRUE(ini.save(path));

    IniFile back;
    ASSERT_TRUE(back.load(path));
    for (size_t i = 0; i < std::size(tricky); ++i) EXPECT_EQ(back.value(L"setting", L"k" + std::to_wstring(i)), tricky[i]);
    EXPECT_EQ(back.value(L"setting", L"keep"), L"2");
    EXPECT_EQ(back.value(L"new", L"added"), L"v");
    std::string text = readFile(dir.file("data.ini"));
    EXPECT_EQ(text.rfind("; written by hand\n[setting]\nkeep=2\n", 0), 0u) << text;
    // New keys go after the section's last entry, so the blank line still separates the sections.
    EXPECT_NE(text.find("k6=a=b\n\n[other]\nx=y\n[new]\nadded=v\n"), std::string::npos) << text;
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(IniFile, RefusesTextAFileCannotHold) {
    IniFile ini;
    ini.parse("[s]\nk=v\n");
    std::string before = ini.serialize();
    struct Case {
        std::wstring section, key, value;
    } cases[] = {
        {L"s", L"k", L"line\nbreak"}, {L"s", L"k", L"cr\rbreak"}, {L"s", L"k", std::wstring(L"nul\0x", 5)},
        {L"s", L"", L"v"},            {L"s", L"a=b", L"v"},       {L"s", L"[x", L"v"},
        {L"s", L";x", L"v"},          {L"s", L" padded", L"v"},   {L"a]b", L"k", L"v"},
        {L"a\nb", L"k", L"v"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ini.set(c.section, c.key, c.value)) << utility::wideToUtf8(c.section + L"/" + c.key);
    }
    EXPECT_EQ(ini.serialize(), before);
}

TEST(IniFile, RemovesKeysAndSections) {
    IniFile ini;
    ini.parse("[a]\nx=1\ny=2\n[b]\nz=3\n");
    EXPECT_TRUE(ini.remove(L"A", L"X"));
    EXPECT_FALSE(ini.remove(L"a", L"x"));
    EXPECT_TRUE(ini.removeSection(L"B"));
    EXPECT_FALSE(ini.removeSection(L"b"));
    EXPECT_EQ(ini.serialize(), "[a]\ny=2\n");
}

TEST(IniFile, LoadAndSaveFailuresAreReported) {
    TempDir dir;
    LogCapture log;
    IniFile ini;
    ini.parse("[a]\nx=1\n");
    EXPECT_FALSE(ini.load(w(dir.file("missing.ini"))));
    EXPECT_TRUE(ini.sections().empty()) << "a failed load leaves an empty document";
    ini.parse("[a]\nx=1\n");
    EXPECT_FALSE(ini.save(w(dir.file("no/such/folder/data.ini"))));
    EXPECT_TRUE(log.contains(L"write ini file failed")) << log.dump();
}

}  // namespace
