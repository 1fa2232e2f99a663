#include "foundation/NSRunLoop.h"
#include "testing/HostedWindow.h"
#include "uikit/UIApplication.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A hosted window inside a scope that already installed a virtual clock moves that clock, and
// leaves it installed when it goes; on its own it installs a clock and takes it away again.
TEST(HostedWindow, SharesAnInstalledClockOrBringsItsOwn)
{
    ASSERT_FALSE(Clock::source()->isVirtual());
    {
        ScopedVirtualClock outer;
        {
            HostedWindow host;
            EXPECT_EQ(&host.clock(), &outer.clock());
            ASSERT_TRUE(host.window());
            EXPECT_TRUE(host.window()->isKeyWindow());
            EXPECT_EQ(host.window()->rootViewController(), host.root());
        }
        EXPECT_EQ(Clock::source().get(), &outer.clock());
    }
    {
        HostedWindow host(HostedWindow::Window::None);
        EXPECT_TRUE(Clock::source()->isVirtual());
        EXPECT_FALSE(host.window());
    }
    EXPECT_FALSE(Clock::source()->isVirtual());
}

// Work due within the settle time runs before the host goes; later work is dropped with it.
TEST(HostedWindow, SettlesBeforeItResets)
{
    std::vector<double> ran;
    {
        HostedWindow host(HostedWindow::Window::None);
        host.setSettleSeconds(1);
        auto target = NSObject::init();
        performSelectorAfterDelay(
            target, "soon", [&] { ran.push_back(0.5); }, 0.5);
        performSelectorAfterDelay(
            target, "later", [&] { ran.push_back(2); }, 2);
    }
    EXPECT_EQ(ran, std::vector<double> { 0.5 });
}

} // namespace
