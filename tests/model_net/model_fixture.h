#pragma once
// A model wired to a local HTTPS server: every host of the deployment points at it.
#include <gtest/gtest.h>

#include <memory>

#include "app/config_imp.h"
#include "app/downloader_model.h"
#include "support/test_env.h"
#include "support/test_server.h"
#include "utility/deployment.h"
#include "utility/ui_dispatcher.h"

namespace model_test {

using testing_support::RecordedRequest;

class ModelWithServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.ok());
        deployment = std::make_unique<testing_support::ScopedEnv>("NIMBARO_DEPLOYMENT", server.writeDeploymentFile());
        utility::Deployment::reload();
        utility::initRuntime();
        ConfigImp::instance()->reset();
        model = std::make_unique<DownloaderModel>();
        model->startConfigurationFetch = false;
    }
    void TearDown() override {
        model.reset();
        ConfigImp::instance()->reset();
    }

    // Analytics events the server received, as (name, label), oldest first.
    std::vector<std::pair<std::string, std::string>> events() const;
    // Waits until `count` events named `name` arrived (events travel on a background job).
    bool waitForEvents(const std::string& name, size_t count, uint32_t timeoutMs = 20000) const;
    size_t eventCount(const std::string& name) const;
    size_t requestsTo(const std::string& path) const;

    testing_support::IsolatedHome home;
    testing_support::TestServer server;
    std::unique_ptr<testing_support::ScopedEnv> deployment;
    std::unique_ptr<DownloaderModel> model;
};

}  // namespace model_test
