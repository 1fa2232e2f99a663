#pragma once

#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Every UIKit test runs on a virtual clock with a fresh application, and leaves nothing queued
// for the next test.
class UIKitTest : public ::testing::Test {
protected:
    void SetUp() override { UIApplicationHost::resetForTesting(); }
    void TearDown() override
    {
        drainAll();
        UIApplicationHost::resetForTesting();
        resetForTesting();
    }

    // A visible key window of the screen's size.
    Ref<UIWindow> makeKeyWindow()
    {
        auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        window->makeKeyAndVisible();
        return window;
    }

    ScopedVirtualClock m_clock;
};

// Collects what happened, in order.
struct EventLog {
    std::vector<std::string> entries;
    void add(std::string entry) { entries.push_back(std::move(entry)); }
    std::vector<std::string> take()
    {
        auto result = std::move(entries);
        entries.clear();
        return result;
    }
};
