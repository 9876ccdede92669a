#include "utility/deployment.h"

#include <deployment_defaults.h>

#include <cwctype>
#include <filesystem>
#include <mutex>
#include <optional>

#include "common/log.h"
#include "platform/system.h"
#include "utility/ini_file.h"
#include "utility/text_codec.h"
#include "utility/ufile.h"

namespace utility {

namespace {

std::mutex g_lock;
std::optional<Deployment> g_current;

bool startsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (wchar_t(std::towlower(wint_t(text[i]))) != prefix[i]) return false;
    return true;
}

// "scheme://host[:port]" with a host; a trailing "/" is dropped.
std::optional<std::wstring> normalizedHost(std::wstring host) {
    while (!host.empty() && host.back() == L'/') host.pop_back();
    size_t schemeEnd = startsWithNoCase(host, L"https://") ? 8 : startsWithNoCase(host, L"http://") ? 7 : 0;
    if (schemeEnd == 0 || host.size() == schemeEnd) return std::nullopt;
    if (host.find_first_of(L"/?# \t", schemeEnd) != std::wstring::npos) return std::nullopt;
    return host;
}

std::wstring absolutePath(const std::wstring& path, const std::wstring& base) {
    if (path.empty()) return path;
    std::filesystem::path p(ufile::toNative(path));
    if (p.is_relative() && !base.empty()) p = std::filesystem::path(ufile::toNative(base)) / p;
    std::error_code ec;
    std::filesystem::path abs = std::filesystem::absolute(p, ec);
    return utf8ToWide((ec ? p : abs).lexically_normal().string());
}

void overrideHost(const IniFile& ini, const wchar_t* key, std::wstring& target) {
    std::wstring value;
    if (!ini.get(L"hosts", key, value) || value.empty()) return;
    if (auto host = normalizedHost(value)) {
        target = *host;
    } else {
        NLOG(L"deployment: ignoring %s = %s (not an http(s) host)", std::wstring(key), value);
    }
}

}  // namespace

Deployment Deployment::load(const std::wstring& path) {
    Deployment d;
    d.resourceHost = normalizedHost(utf8ToWide(NIMBARO_DEFAULT_RESOURCE_HOST)).value_or(L"");
    d.cdnHost = normalizedHost(utf8ToWide(NIMBARO_DEFAULT_CDN_HOST)).value_or(L"");
    d.analyticsHost = normalizedHost(utf8ToWide(NIMBARO_DEFAULT_ANALYTICS_HOST)).value_or(L"");
    d.caFile = absolutePath(utf8ToWide(NIMBARO_DEFAULT_CA_FILE), L"");
    if (path.empty()) return d;

    IniFile ini(IniFile::Comments::Inline);
    if (!ini.load(path)) {
        NLOG(L"deployment: cannot read %s, using the built-in settings", path);
        return d;
    }
    overrideHost(ini, L"resource", d.resourceHost);
    overrideHost(ini, L"cdn", d.cdnHost);
    overrideHost(ini, L"analytics", d.analyticsHost);
    std::wstring ca;
    if (ini.get(L"tls", L"ca_file", ca)) {
        // TLS stores want an absolute path; a relative one is read from the settings file's folder.
        d.caFile = absolutePath(ca, ufile::getParentDir(absolutePath(path, L"")));
        if (!d.caFile.empty() && !ufile::exists(d.caFile)) NLOG(L"deployment: ca_file %s does not exist", d.caFile);
    }
    return d;
}

Deployment Deployment::get() {
    std::lock_guard<std::mutex> g(g_lock);
    if (!g_current) {
        auto file = platform::environment("NIMBARO_DEPLOYMENT");
        g_current = load(file ? utf8ToWide(*file) : std::wstring());
    }
    return *g_current;
}

void Deployment::reload() {
    std::lock_guard<std::mutex> g(g_lock);
    g_current.reset();
}

}  // namespace utility
