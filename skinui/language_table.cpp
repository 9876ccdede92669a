#include "skinui/language_table.h"

#include <map>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

namespace {

std::map<std::wstring, std::wstring>& languageStrings() {
    static std::map<std::wstring, std::wstring> table;
    return table;
}

bool isLineBreak(uint8_t c) { return c == '\r' || c == '\n'; }

// The UTF-16 length of a wide character (wchar_t holds whole code points here).
size_t utf16Units(wchar_t c) { return uint32_t(c) > 0xFFFF ? 2 : 1; }

std::wstring toCell(std::string_view utf8) {
    std::wstring cell = common::utf8ToWide(utf8);
    size_t units = 0, keep = 0;
    for (; keep < cell.size(); ++keep) {
        units += utf16Units(cell[keep]);
        if (units > kLanguageCellLimit) break;  // a pair that does not fit whole is dropped whole
    }
    cell.resize(keep);
    return cell;
}

// Splits the next line at `pos` into cells and moves `pos` past its end. Runs of tabs and line breaks
// before the line are skipped, so empty lines and leading tabs vanish.
std::vector<std::wstring> splitLine(const uint8_t* bytes, size_t length, size_t& pos) {
    while (pos < length && (bytes[pos] == '\t' || isLineBreak(bytes[pos]))) ++pos;
    size_t end = pos;
    while (end < length && !isLineBreak(bytes[end])) ++end;
    std::vector<std::wstring> cells;
    size_t start = pos;
    for (size_t i = pos; i < end; ++i) {
        if (bytes[i] != '\t') continue;
        cells.push_back(toCell(std::string_view(reinterpret_cast<const char*>(bytes + start), i - start)));
        start = i + 1;
    }
    // A tab at the end of the line opens no further cell.
    if (start < end)
        cells.push_back(toCell(std::string_view(reinterpret_cast<const char*>(bytes + start), end - start)));
    pos = end;
    return cells;
}

}  // namespace

void LoadLanguageTable(const uint8_t* bytes, size_t length) {
    if (!bytes) return;
    // The table ends at a NUL byte.
    for (size_t i = 0; i < length; ++i) {
        if (bytes[i] == 0) {
            length = i;
            break;
        }
    }
    size_t pos = 0;
    std::vector<std::wstring> codes = splitLine(bytes, length, pos);
    std::vector<std::wstring> names = splitLine(bytes, length, pos);
    if (codes.size() < 2 || codes[1] != L"language_code" || names.size() < 2 || names[1] != L"language_name") return;

    const std::wstring& language = CPaintManagerUI::GetCurrentLanguage();
    size_t column = 2;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == language) {
            column = i;
            break;
        }
    }
    while (pos < length) {
        std::vector<std::wstring> cells = splitLine(bytes, length, pos);
        // Cell 1 names the string, so a row needs it as well as the chosen column.
        if (cells.size() > column && cells.size() > 1) SetLanguageString(cells[1], cells[column]);
    }
}

std::optional<std::wstring> GetLanguageString(const std::wstring& id) {
    auto& table = languageStrings();
    auto it = table.find(id);
    if (it == table.end()) return std::nullopt;
    return it->second;
}

void SetLanguageString(const std::wstring& id, const std::wstring& text) { languageStrings()[id] = text; }

void ResolveText(std::wstring& text) {
    if (text.size() < 2 || text[0] != L'@') return;
    if (auto found = GetLanguageString(text.substr(1))) text = *found;
}

std::wstring getText(const std::wstring& id) {
    if (auto found = GetLanguageString(id)) return *found;
    SetLanguageString(id, id);
    return id;
}

std::wstring getText(std::string_view id) { return getText(common::utf8ToWide(id)); }

void ClearLanguageStrings() { languageStrings().clear(); }

}  // namespace SkinUI
