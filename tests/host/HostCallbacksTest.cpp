// The host's callbacks may register more callbacks while they run, as a
// plugin's drawable or hook may: the running one must stay where it is.
// (A list that moves it frees the captures it is still using; the sanitizer
// build sees that as a use after free.)
#include <gtest/gtest.h>

#include "sim/Host.h"

namespace {

TEST(HostCallbacksTest, ADrawableOrHookMayRegisterMoreWhileItRuns) {
    sim::Host host;
    int drawn = 0;
    // Two references: small enough to live inside the callback's own storage.
    host.AddDrawable([&host, &drawn](CanvasWrapper) {
        for (int i = 0; i < 64; ++i) {
            host.AddDrawable([&drawn](CanvasWrapper) { ++drawn; });
        }
        ++drawn; // through a capture read after the list grew
    });
    host.RunFrame();
    EXPECT_EQ(drawn, 65) << "those registered during the frame run in it too";
    EXPECT_EQ(host.DrawableCount(), 65u);

    int fired = 0;
    host.AddHook("Function Game.Event", [&host, &fired](std::string) {
        for (int i = 0; i < 64; ++i) {
            host.AddHook("Function Game.Other", [&fired](std::string) { ++fired; });
        }
        ++fired;
    });
    EXPECT_EQ(host.FireHook("Function Game.Event"), 1);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(host.FireHook("Function Game.Other"), 64);
}

} // namespace
