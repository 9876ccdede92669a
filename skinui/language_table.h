#pragma once
// The toolkit's table of display strings by identifier ("LanguageStrings"), filled at start-up from the
// tab-separated file "multi_language.tsv" with the column of the current UI language. Skin texts written
// "@" + identifier are resolved through it when drawn. UI thread only.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace SkinUI {

// Longest cell, in UTF-16 code units.
inline constexpr size_t kLanguageCellLimit = 512;

// Parses a table (UTF-8; row 1 "Code", "language_code", codes...; row 2 "Language", "language_name",
// names...; then one row per string) with the current language's column, or the first language column
// when the language is not in row 1. Wrong header cells load nothing; rows too short for the column
// are skipped; a later row replaces an earlier one of the same identifier.
void LoadLanguageTable(const uint8_t* bytes, size_t length);

// Null when the identifier is absent.
std::optional<std::wstring> GetLanguageString(const std::wstring& id);
// Inserts or replaces.
void SetLanguageString(const std::wstring& id, const std::wstring& text);
// "@" + identifier (at least two characters) becomes the identifier's text when the table has it;
// anything else stays as it is.
void ResolveText(std::wstring& text);

// What window code shows for an identifier: its text, or, when the table has none, the identifier itself,
// which is then entered as its own text.
std::wstring getText(std::string_view id);
std::wstring getText(const std::wstring& id);

// Empties the table (tests start from scratch with it).
void ClearLanguageStrings();

}  // namespace SkinUI
