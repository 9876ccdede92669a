#pragma once
// Market codes, locales and the system's interface language.
#include <string>

namespace language {

// "tw" -> "zh_TW" ...; unknown codes give "en_US".
std::wstring localeOfCode(const std::wstring& code);
// "zh_TW" -> "tw" ...; unknown locales give "en".
std::wstring codeOfLocale(const std::wstring& locale);
// Locale of the desktop's interface language, from LANGUAGE, LC_ALL, LC_MESSAGES, LANG (first non-empty).
// Chinese of any region gives "zh_TW"; languages outside the table give "en_US".
std::wstring systemLocale();
// The same rule on a locale text such as "ko_KR.UTF-8" or "pt:en".
std::wstring systemLocaleFrom(const std::string& localeText);

}  // namespace language
