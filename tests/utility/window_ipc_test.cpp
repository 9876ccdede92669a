#include <gtest/gtest.h>

#include "support/test_env.h"
#include "utility/ui_dispatcher.h"
#include "utility/window_ipc.h"

using namespace utility;
using testing_support::IsolatedHome;
using testing_support::runUiUntil;

namespace {

struct Recorder : IWindowIPCHandle {
    std::vector<std::tuple<unsigned, uintptr_t, intptr_t>> seen;
    int onHandleWindowIPC(unsigned m, uintptr_t w, intptr_t l) override {
        seen.emplace_back(m, w, l);
        return 0;
    }
};

class WindowIpc : public ::testing::Test {
protected:
    void SetUp() override { initRuntime(); }
    IsolatedHome home;  // own runtime folder: own lock and own channel
};

TEST_F(WindowIpc, OnlyUserMessagesAndCopyDataReachTheHandler) {
    Recorder handler;
    WindowIPC endpoint;
    ASSERT_TRUE(endpoint.create(L"{test-endpoint}", &handler));

    WindowIPC peer;
    ASSERT_TRUE(peer.open(L"{test-endpoint}", L""));
    for (unsigned m : {1024u, 1025u, 0x004Au, 15u, 11123u}) EXPECT_TRUE(peer.postMessage(m, 7, -9));
    ASSERT_TRUE(runUiUntil([&] { return handler.seen.size() == 3; }));
    using Seen = std::tuple<unsigned, uintptr_t, intptr_t>;
    EXPECT_EQ(handler.seen, (std::vector<Seen>{{1025u, 7u, -9}, {0x004Au, 7u, -9}, {11123u, 7u, -9}}));
}

TEST_F(WindowIpc, NothingToPostToWithoutAPeer) {
    WindowIPC never;
    EXPECT_FALSE(never.postMessage(11123, 0, 0));
    WindowIPC missing;
    EXPECT_FALSE(missing.open(L"{nobody-listens}", L""));
    EXPECT_FALSE(missing.postMessage(11123, 0, 0));
}

TEST_F(WindowIpc, SecondEndpointOfTheSameNameFails) {
    Recorder handler;
    WindowIPC first, second;
    ASSERT_TRUE(first.create(L"{dup}", &handler));
    EXPECT_FALSE(second.create(L"{dup}", &handler));
}

TEST_F(WindowIpc, SingleInstanceLockIsExclusiveUntilClosed) {
    int first = createSingleInstanceMutex(L"{lock}", false, true);
    ASSERT_GE(first, 0);
    EXPECT_EQ(createSingleInstanceMutex(L"{lock}", false, true), -1);
    closeSingleInstanceMutex(first);
    int again = createSingleInstanceMutex(L"{lock}", false, true);
    EXPECT_GE(again, 0);
    closeSingleInstanceMutex(again);
}

}  // namespace
