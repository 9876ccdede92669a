#pragma once
// The colour theme ("ThemeColors"): a process-wide list of colours that "bkcolorIndex" picks from.
// Seven built-in colours, replaced at start-up by the section "setting" of a "colors.ini" beside the
// executable when there is one. UI thread only.
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

// Starts again from the built-in list; then, when "colors.ini" exists in the instance's folder
// (CPaintManagerUI::GetInstancePath), takes its seven "setting" values instead, each key falling back to
// its own default when absent or empty. Called by CPaintManagerUI::SetInstance.
void LoadThemeColors();

// Entry `index` read as hexadecimal "AARRGGBB"; 0 (no colour) for an index outside the list.
uint32_t GetThemeColor(int index);

// The entries as text, for diagnostics and tests.
const std::vector<std::wstring>& GetThemeColorTexts();

}  // namespace SkinUI
