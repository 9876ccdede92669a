#include "skinui/language_table.h"

#include <gtest/gtest.h>

#include "skin_test_support.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace skin_test;

namespace {

const char* const kCodes[] = {"zh_CN", "zh_TW", "en_US", "ko_KR", "vi_VN", "th_TH", "in_ID", "ja_JP", "ru_RU", "pt_PT",
                              "es_ES", "ar_IL", "tr_TR", "fr_FR", "de_DE", "it_IT", "fa_IR", "ms_MY", "uk_UA"};

std::string header() {
    std::string codes = "Code\tlanguage_code", names = "Language\tlanguage_name";
    for (const char* code : kCodes) {
        codes += std::string("\t") + code;
        names += std::string("\tname of ") + code;
    }
    return codes + "\r\n" + names + "\r\n";
}

class LanguageTable : public CleanSkinState {
protected:
    void load(const std::string& table, const std::wstring& language) {
        ClearLanguageStrings();
        CPaintManagerUI::SetCurrentLanguage(language, L"en_US");
        LoadLanguageTable(reinterpret_cast<const uint8_t*>(table.data()), table.size());
    }
    static std::wstring text(const std::wstring& id) { return GetLanguageString(id).value_or(L"<absent>"); }
};

TEST_F(LanguageTable, ColumnOfTheCurrentLanguageOrElseTheFirstLanguageColumn) {
    std::string table = header() +
                        "Label\tButton_install_now\t\xE5\xAE\x89\xE8\xA3\x85\t\xE5\xAE\x89\xE8\xA3\x9D\tInstall\t"
                        "\xEC\x84\xA4\xEC\xB9\x98\r\n";
    struct Case {
        std::wstring language;
        std::wstring expected;
    } cases[] = {
        {L"en_US", L"Install"},      {L"zh_TW", L"\x5B89\x88DD"},
        {L"ko_KR", L"\xC124\xCE58"}, {L"id_ID", L"\x5B89\x88C5"},  // absent: the zh_CN column
        {L"en_us", L"\x5B89\x88C5"},                               // codes match in their own letter case only
        {L"ja_JP", L"<absent>"},                                   // the row is too short for that column
    };
    for (const Case& c : cases) {
        load(table, c.language);
        EXPECT_EQ(text(L"Button_install_now"), c.expected) << utility::wideToUtf8(c.language);
    }
}

TEST_F(LanguageTable, ShippedTableHasTheNineteenLanguagesInOrder) {
    std::string shipped = testing_support::readFile(std::string(NIMBARO_SOURCE_DIR) + "/skin/multi_language.tsv");
    ASSERT_FALSE(shipped.empty());
    std::string row = "\r\nLabel\tprobe";
    for (int i = 0; i < 19; ++i) row += "\tvalue " + std::to_string(i);
    for (int i = 0; i < 19; ++i) {
        load(shipped + row, utility::utf8ToWide(kCodes[i]));
        EXPECT_EQ(text(L"probe"), L"value " + std::to_wstring(i)) << kCodes[i];
    }
}

TEST_F(LanguageTable, HeaderRowsMustNameTheirKind) {
    const std::string row = "Label\tsure\tA\tB\tOK\r\n";
    struct Case {
        const char* what;
        std::string table;
        bool loaded;
    } cases[] = {
        {"both header cells", "Code\tlanguage_code\tzh_CN\tzh_TW\ten_US\nLanguage\tlanguage_name\n" + row, true},
        {"wrong code cell", "Code\tlanguage_codes\tzh_CN\tzh_TW\ten_US\nLanguage\tlanguage_name\n" + row, false},
        {"wrong name cell", "Code\tlanguage_code\tzh_CN\tzh_TW\ten_US\nLanguage\tLanguage_name\n" + row, false},
        {"one cell in row 1", "language_code\nLanguage\tlanguage_name\n" + row, false},
        {"no second row", "Code\tlanguage_code\tzh_CN\tzh_TW\ten_US", false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        load(c.table, L"en_US");
        EXPECT_EQ(text(L"sure"), c.loaded ? L"OK" : L"<absent>") << c.what;
    }
}

TEST_F(LanguageTable, LinesSplitAtEveryKindOfBreakAndEmptyOnesVanish) {
    std::string table = header() +
                        "Label\tcrlf\ta\tb\tCRLF\r\n"
                        "\r\n\r\n"
                        "Label\tlf\ta\tb\tLF\n"
                        "Label\tcr\ta\tb\tCR\r"
                        "\t\tLabel\tleading_tabs\ta\tb\tLEADING\n"
                        "Label\tempty_cells\t\t\tEMPTY\n"
                        "Label\ttrailing_tab\ta\tb\tTRAILING\t\n"
                        "Label\tlast\ta\tb\tLAST";
    load(table, L"en_US");
    EXPECT_EQ(text(L"crlf"), L"CRLF");
    EXPECT_EQ(text(L"lf"), L"LF");
    EXPECT_EQ(text(L"cr"), L"CR");
    EXPECT_EQ(text(L"leading_tabs"), L"LEADING");
    EXPECT_EQ(text(L"empty_cells"), L"EMPTY");
    EXPECT_EQ(text(L"trailing_tab"), L"TRAILING");
    EXPECT_EQ(text(L"last"), L"LAST");

    load(table, L"zh_CN");
    EXPECT_EQ(text(L"empty_cells"), L"");  // two neighbouring tabs: an empty text, not a missing one
}

TEST_F(LanguageTable, RowWithAnEmptyFirstCellReadsItsIdentifierOneCellOver) {
    load(header() + "\tsure\tconfirm\tTW\tEN\r\n", L"zh_CN");
    EXPECT_EQ(text(L"sure"), L"<absent>");
    EXPECT_EQ(text(L"confirm"), L"TW");  // the cells shifted left by one
}

TEST_F(LanguageTable, ShortRowsAreSkippedAndLaterRowsReplaceEarlierOnes) {
    load(header() +
             "Label\tkeep\tzh\ttw\tfirst\r\n"
             "Label\tkeep\tzh\r\n"  // too short for en_US: the earlier text stays
             "Label\treplace\tzh\ttw\told\r\n"
             "Label\treplace\tzh\ttw\tnew\r\n"
             "Label\r\n",  // no identifier at all
         L"en_US");
    EXPECT_EQ(text(L"keep"), L"first");
    EXPECT_EQ(text(L"replace"), L"new");
}

TEST_F(LanguageTable, CellsAreCutAt512Utf16Units) {
    std::string astral = "\xF0\x9F\x98\x80";  // U+1F600: two UTF-16 units
    struct Case {
        const char* what;
        std::string cell;
        std::wstring expected;
    } cases[] = {
        {"600 ASCII", std::string(600, 'a'), std::wstring(512, L'a')},
        {"exactly 512", std::string(512, 'b'), std::wstring(512, L'b')},
        {"a pair that would end past 512 is dropped whole", std::string(511, 'c') + astral, std::wstring(511, L'c')},
        {"a pair ending at 512 stays", std::string(510, 'd') + astral + "tail",
         std::wstring(510, L'd') + L"\U0001F600"},
    };
    for (const Case& c : cases) {
        load(header() + "Label\tlong\tzh\ttw\t" + c.cell + "\r\n", L"en_US");
        EXPECT_EQ(text(L"long"), c.expected) << c.what;
    }
}

TEST_F(LanguageTable, NulByteEndsTheTable) {
    std::string table = header() + "Label\tbefore\ta\tb\tB\r\n";
    table += '\0';
    table += "Label\tafter\ta\tb\tA\r\n";
    load(table, L"en_US");
    EXPECT_EQ(text(L"before"), L"B");
    EXPECT_EQ(text(L"after"), L"<absent>");
}

TEST_F(LanguageTable, ResolveTextReplacesOnlyKnownAtIdentifiers) {
    SetLanguageString(L"sure", L"OK");
    SetLanguageString(L"", L"empty id");
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"@sure", L"OK"}, {L"@prompt", L"@prompt"}, {L"@", L"@"},           {L"sure", L"sure"},
        {L"", L""},        {L" @sure", L" @sure"},   {L"@sure ", L"@sure "},  // the identifier is the whole rest
    };
    for (Case& c : cases) {
        ResolveText(c.in);
        EXPECT_EQ(c.in, c.out);
    }
    SetLanguageString(L"sure", L"Confirm");  // shows at the next resolution
    std::wstring again = L"@sure";
    ResolveText(again);
    EXPECT_EQ(again, L"Confirm");
}

TEST_F(LanguageTable, GetTextEntersAnAbsentIdentifierAsItsOwnText) {
    SetLanguageString(L"cancel", L"Cancel");
    EXPECT_EQ(getText("cancel"), L"Cancel");
    EXPECT_FALSE(GetLanguageString(L"close_tip").has_value());
    EXPECT_EQ(getText("close_tip"), L"close_tip");
    EXPECT_EQ(GetLanguageString(L"close_tip"), std::optional<std::wstring>(L"close_tip"));
    EXPECT_EQ(getText(std::wstring(L"cancel")), L"Cancel");
}

}  // namespace
