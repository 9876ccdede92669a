#pragma once
// Deployment settings: the hosts the installer talks to and an optional extra trusted CA. Defaults are
// compiled in (cmake/Deployment.cmake); the INI file named by the environment variable NIMBARO_DEPLOYMENT
// overrides any of them:
//
//   [hosts]
//   resource = https://127.0.0.1:8443   ; home-market resource host (scheme://host[:port])
//   cdn = https://127.0.0.1:8443        ; international content-delivery host
//   analytics = https://127.0.0.1:8443  ; Measurement Protocol endpoint host
//   [tls]
//   ca_file = /path/to/test-ca.pem      ; relative paths are taken from the INI file's folder
//
// Hosts are "http://" or "https://" addresses without a trailing "/", so callers append the path. Other
// code reads hosts only through this.
#include <string>

namespace utility {

struct Deployment {
    std::wstring resourceHost;
    std::wstring cdnHost;
    std::wstring analyticsHost;
    std::wstring caFile;  // absolute path of an extra trusted CA certificate (PEM), or empty

    // The settings of this process, read on first use. Any thread.
    static Deployment get();
    // Reads the defaults and NIMBARO_DEPLOYMENT again (tests that change the variable). Any thread.
    static void reload();

    // Defaults overridden by the file at `path` (empty: no file). An unreadable file or an unusable
    // value is logged and leaves the default in place.
    static Deployment load(const std::wstring& path);
};

}  // namespace utility
