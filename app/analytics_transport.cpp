#include "app/analytics_transport.h"

#include "common/log.h"

net::EventPoster makeAnalyticsPoster() {
    // FIXME: wire to the libcurl JSON POST once the transfer layer lands.
    return nullptr;
}
