#pragma once
// How the model's analytics events travel: a JSON POST over the transfer library.
#include "net/analytics_reporter.h"

net::EventPoster makeAnalyticsPoster();
