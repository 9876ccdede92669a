#include "app/analytics_transport.h"

#include "net/vx_curl_downloader.h"

net::EventPoster makeAnalyticsPoster() {
    return [](const std::string& url, const std::string& body) {
        std::string response;
        VxCurlDownloader::postRequest(url, body, response);
    };
}
