#include "app/deployment_hosts.h"

#include "utility/deployment.h"

namespace deployment {
namespace {

struct PropertyRow {
    const wchar_t* code;
    const wchar_t* measurementId;
    const wchar_t* apiSecret;
};

// Tested in this order; "cn" and "tw" share one property.
constexpr PropertyRow kProperties[] = {
    {L"cn", L"G-UJZDE8GXD6", L"Bel31iEl2hpChYgCfrL1sp"},
    {L"tw", L"G-UJZDE8GXD6", L"Bel31iEl2hpChYgCfrL1sp"},
    {L"kr", L"G-J50CE9UVW5", L"6ilI8ihN5KXSc7Tvo_hBKq"},
    {L"vn", L"G-PZZ5FK2Z9R", L"r3J1TWDtkwtDDb-xHKas1V"},
    {L"th", L"G-UI6D39ZZZZ", L"n9ZhyiA4uoRgnatmUdjAWt"},
    {L"ru", L"G-QWX4HH5344", L"NksnRH9ucAUsdMlHUvTCQC"},
    {L"pt", L"G-MPZOM75WBB", L"J8HyS5SUkCnD8zRA9a9Skp"},
    {L"jp", L"G-YM4L1VFZ3Z", L"kuvqdt7s8Stqcbnr3yBdGB"},
    {L"id", L"G-S6PUQ80IDW", L"61qtc4xatws8phP9nhFyJf"},
    {L"fr", L"G-G629BE2U66", L"zJ59FHz5r1pY4OjE2jBMpt"},
    {L"es", L"G-XJQI3OGZ5K", L"Cu3ZR1zTOlUcR64cXQLioD"},
    {L"de", L"G-GFQRCLRI1Q", L"Zt_PlJhx2jIclHkCiHp6bR"},
    {L"ar", L"G-90RIC7PHKQ", L"gxzNNAL5wIScGebcy8F5n3"},
    {L"fa", L"G-58Z6TNOVMI", L"ZSgqbjG3uhkWKFLf6xuI5a"},
};
constexpr PropertyRow kDefaultProperty = {L"", L"G-QXV9UPCTNW", L"xaQWk8JzFalHlsZfYcMMDk"};

}  // namespace

std::wstring resourceHost() { return utility::Deployment::get().resourceHost; }
std::wstring cdnHost() { return utility::Deployment::get().cdnHost; }
std::wstring analyticsHost() { return utility::Deployment::get().analyticsHost; }

AnalyticsProperty analyticsProperty(const std::wstring& regionCode) {
    for (const auto& row : kProperties) {
        if (regionCode == row.code) return {row.measurementId, row.apiSecret};
    }
    return {kDefaultProperty.measurementId, kDefaultProperty.apiSecret};
}

}  // namespace deployment
