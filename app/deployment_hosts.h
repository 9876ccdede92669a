#pragma once
// Deployment data of the installer's tables: the maker's two download hosts, the analytics endpoint and
// the analytics property of each market.
#include <string>

namespace deployment {

std::wstring resourceHost();   // home-market resource host, "https://host[:port]"
std::wstring cdnHost();        // international content-delivery host
std::wstring analyticsHost();  // Measurement Protocol collection host

struct AnalyticsProperty {
    std::wstring measurementId;
    std::wstring apiSecret;
};
// The property of a market code; codes without their own property get the default one.
AnalyticsProperty analyticsProperty(const std::wstring& regionCode);

}  // namespace deployment
