#include "app/language_tables.h"

#include "platform/system.h"

namespace language {
namespace {

struct CodeLocale {
    const wchar_t* code;
    const wchar_t* locale;
};

constexpr CodeLocale kCodes[] = {
    {L"tw", L"zh_TW"}, {L"kr", L"ko_KR"}, {L"vn", L"vi_VN"}, {L"th", L"th_TH"}, {L"ru", L"ru_RU"},
    {L"pt", L"pt_PT"}, {L"tr", L"tr_TR"}, {L"es", L"es_ES"}, {L"ar", L"ar_IL"}, {L"jp", L"ja_JP"},
    {L"in", L"hi_IN"}, {L"de", L"de_DE"}, {L"fr", L"fr_FR"}, {L"id", L"in_ID"}, {L"cn", L"zh_CN"},
    {L"it", L"it_IT"}, {L"en", L"en_US"}, {L"my", L"ms_MY"}, {L"ua", L"uk_UA"}, {L"fa", L"fa_IR"},
};

// The desktop names languages by ISO 639 codes; each maps to the locale its primary language selects.
struct SystemLanguage {
    const char* iso;
    const wchar_t* locale;
};

constexpr SystemLanguage kSystemLanguages[] = {
    {"ko", L"ko_KR"}, {"en", L"en_US"}, {"vi", L"vi_VN"}, {"th", L"th_TH"}, {"ru", L"ru_RU"},
    {"uk", L"uk_UA"}, {"pt", L"pt_PT"}, {"tr", L"tr_TR"}, {"es", L"es_ES"}, {"fr", L"fr_FR"},
    {"de", L"de_DE"}, {"ja", L"ja_JP"}, {"id", L"in_ID"}, {"in", L"in_ID"}, {"ar", L"ar_IL"},
    {"fa", L"fa_IR"}, {"hi", L"hi_IN"}, {"it", L"it_IT"}, {"ms", L"ms_MY"},
};

}  // namespace

std::wstring localeOfCode(const std::wstring& code) {
    for (const auto& c : kCodes) {
        if (code == c.code) return c.locale;
    }
    return L"en_US";
}

std::wstring codeOfLocale(const std::wstring& locale) {
    for (const auto& c : kCodes) {
        if (locale == c.locale) return c.code;
    }
    return L"en";
}

std::wstring systemLocaleFrom(const std::string& text) {
    // "pt_BR.UTF-8@euro" or a LANGUAGE list "pt_BR:en": the language is what precedes the first of _ . @ :
    size_t end = text.find_first_of("_.@:-");
    std::string iso = text.substr(0, end);
    for (auto& c : iso) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    if (iso == "zh") return L"zh_TW";
    for (const auto& l : kSystemLanguages) {
        if (iso == l.iso) return l.locale;
    }
    return L"en_US";
}

std::wstring systemLocale() {
    for (const char* var : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        auto v = platform::environment(var);
        if (v && !v->empty()) return systemLocaleFrom(*v);
    }
    return L"en_US";
}

}  // namespace language
