#include "framework/Timers.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(TimersTest, TicksOnlyWhileEnabledWithAnInterval)
{
    QObject owner;
    auto* timer = new TTimer(&owner);
    int ticks = 0;
    QObject* sender = nullptr;
    timer->OnTimer = [&](QObject* from) {
        ++ticks;
        sender = from;
    };
    EXPECT_EQ(timer->Interval(), 1000);
    EXPECT_TRUE(timer->Active());
    EXPECT_TRUE(timer->Fire());
    EXPECT_EQ(sender, timer);

    timer->SetEnabled(false);
    EXPECT_FALSE(timer->Active());
    EXPECT_FALSE(timer->Fire());
    timer->SetInterval(100);
    EXPECT_FALSE(timer->Active());
    timer->SetEnabled(true);
    EXPECT_TRUE(timer->Fire());
    timer->SetInterval(0);
    EXPECT_FALSE(timer->Fire());
    timer->SetInterval(3500);
    // A handler may stop its own timer.
    timer->OnTimer = [&](QObject*) {
        ++ticks;
        timer->SetEnabled(false);
    };
    EXPECT_TRUE(timer->Fire());
    EXPECT_FALSE(timer->Fire());
    EXPECT_EQ(ticks, 3);
}

}  // namespace
}  // namespace quorvane
