// The host's count of live handles is exact whichever threads make and destroy
// them: the host's own thread counts plainly, the others atomically.

#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "sdk/BallWrapper.h"
#include "sdk/CameraWrapper.h"
#include "sdk/CanvasWrapper.h"
#include "sdk/GameWrapper.h"
#include "sim/Host.h"

namespace {

constexpr int kThreads = 4;
constexpr int kCopiesPerThread = 100000;

TEST(LiveHandleCountTest, CountsEveryCopyUntilItIsDestroyed) {
    sim::Host host;
    {
        const CanvasWrapper canvas(&host);
        const CanvasWrapper copy = canvas;
        std::vector<CanvasWrapper> more(3, canvas);
        EXPECT_EQ(host.LiveHandles(), 5);
    }
    EXPECT_EQ(host.LiveHandles(), 0);
}

TEST(LiveHandleCountTest, AssignmentMovesAHandleBetweenHosts) {
    sim::Host first;
    sim::Host second;
    {
        CanvasWrapper handle(&first);
        const CanvasWrapper other(&second);
        handle = other;
        EXPECT_EQ(first.LiveHandles(), 0) << "the handle is no longer the first host's";
        EXPECT_EQ(second.LiveHandles(), 2);
        handle = other;
        EXPECT_EQ(second.LiveHandles(), 2) << "within one host nothing is made or destroyed";
    }
    EXPECT_EQ(first.LiveHandles(), 0);
    EXPECT_EQ(second.LiveHandles(), 0);
}

TEST(LiveHandleCountTest, AssignmentKeepsTheLogOfEachKindBalanced) {
    sim::Host host;
    host.log.handles = true;
    {
        ActorWrapper actor(&host, nullptr);
        const BallWrapper ball(&host, nullptr);
        actor = ball;
    }
    // Every kind made is destroyed as that kind: the log's +Kind and -Kind
    // lines pair up.
    std::map<std::string, int> balance;
    for (const std::string& line : host.log.lines) {
        balance[line.substr(1)] += line[0] == '+' ? 1 : -1;
    }
    EXPECT_EQ(balance, (std::map<std::string, int>{{"ActorWrapper", 0}, {"BallWrapper", 0}}));
    EXPECT_EQ(host.LiveHandles(), 0);
}

TEST(LiveHandleCountTest, EachKindIsCountedApart) {
    sim::Host host;
    const auto game = host.MakeGameWrapper();
    {
        const CanvasWrapper canvas(&host);
        const CanvasWrapper copy = canvas;
        const CameraWrapper camera = game->GetCamera();
        std::thread([&] { const CanvasWrapper elsewhere = canvas; }).join();
        EXPECT_EQ(host.LiveHandles(HandleKind::Canvas), 2);
        EXPECT_EQ(host.LiveHandles(HandleKind::Camera), 1);
        EXPECT_EQ(host.LiveHandles(HandleKind::Game), 1);
        EXPECT_EQ(host.LiveHandles(HandleKind::Ball), 0);
        EXPECT_EQ(host.LiveHandles(), 4) << "the kinds add up to the whole count";
    }
    EXPECT_EQ(host.LiveHandles(HandleKind::Canvas), 0);
    EXPECT_EQ(host.LiveHandles(HandleKind::Camera), 0);
}

TEST(LiveHandleCountTest, CopiesRacingOnOtherThreadsAllCount) {
    sim::Host host;
    const CanvasWrapper canvas(&host);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&canvas] {
            for (int i = 0; i < kCopiesPerThread; ++i) {
                const CanvasWrapper copy = canvas;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(host.LiveHandles(), 1) << "only the host thread's own handle should be left";
}

TEST(LiveHandleCountTest, HandlesMayChangeThreadsBetweenMakingAndDestroying) {
    sim::Host host;
    const CanvasWrapper canvas(&host);

    // Made on other threads, destroyed here.
    std::vector<std::unique_ptr<CanvasWrapper>> madeElsewhere(kThreads);
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back(
                [&, t] { madeElsewhere[t] = std::make_unique<CanvasWrapper>(canvas); });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    EXPECT_EQ(host.LiveHandles(), 1 + kThreads);
    madeElsewhere.clear();
    EXPECT_EQ(host.LiveHandles(), 1);

    // Made here, destroyed on other threads.
    std::vector<std::unique_ptr<CanvasWrapper>> madeHere;
    for (int t = 0; t < kThreads; ++t) {
        madeHere.push_back(std::make_unique<CanvasWrapper>(canvas));
    }
    EXPECT_EQ(host.LiveHandles(), 1 + kThreads);
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] { madeHere[t].reset(); });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    EXPECT_EQ(host.LiveHandles(), 1);
}

} // namespace
