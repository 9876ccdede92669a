#include "skinui/color_theme.h"

#include "skinui/attribute_values.h"
#include "skinui/paint_manager.h"
#include "utility/ini_file.h"
#include "utility/ufile.h"

namespace SkinUI {

namespace {

constexpr size_t kMaxValueLength = 1023;

const std::vector<std::wstring>& builtIn() {
    static const std::vector<std::wstring> colors = {L"FF16171F", L"FF20203A", L"FF21212E", L"FF2E3956",
                                                     L"FFF5F5F5", L"FFEAEAEB", L"FFEAEAEB"};
    return colors;
}

std::vector<std::wstring>& themeColors() {
    static std::vector<std::wstring> colors = builtIn();
    return colors;
}

}  // namespace

void LoadThemeColors() {
    std::vector<std::wstring>& colors = themeColors();
    colors = builtIn();
    std::wstring folder = CPaintManagerUI::GetInstancePath();
    if (folder.empty()) return;
    std::wstring path = folder + L"colors.ini";
    if (!utility::ufile::exists(path)) return;
    utility::IniFile ini;
    ini.load(path);
    static const struct {
        const wchar_t* key;
        const wchar_t* fallback;
    } kSettings[] = {
        {L"mainToolbar", L"FF06061F"}, {L"mainContent", L"FF20203A"},  {L"mainToolbarPopup", L"FF1F1F39"},
        {L"toolbar", L"FF06061F"},     {L"content", L"FF20203A"},      {L"setupLeftBar", L"FF20203A"},
        {L"setupBottomBar", L"FF36364D"},
    };
    colors.clear();
    for (const auto& setting : kSettings) {
        std::wstring value = ini.value(L"setting", setting.key);
        if (value.empty()) value = setting.fallback;
        if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
        colors.push_back(value);
    }
}

uint32_t GetThemeColor(int index) {
    const std::vector<std::wstring>& colors = themeColors();
    if (index < 0 || size_t(index) >= colors.size()) return 0;
    return ParseColor(colors[size_t(index)]);
}

const std::vector<std::wstring>& GetThemeColorTexts() { return themeColors(); }

}  // namespace SkinUI
