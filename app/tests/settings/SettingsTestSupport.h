#pragma once

#include "app/core/KESTAnalyticsManager.h"
#include "app/tests/AppTestSupport.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"

// A key window whose root is a navigation controller, for the settings family's screens.
class SettingsScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        KESTAnalyticsManager::resetSharedInstanceForTesting();
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_root = UIViewController::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
    }
    void TearDown() override
    {
        settle();
        UIAlertView::resetForTesting();
        UIApplicationHost::resetForTesting();
        KESTAnalyticsManager::resetSharedInstanceForTesting();
    }
    void settle()
    {
        drainAll();
        m_clock.advance(1);
        drainAll();
    }
    // Presents the screen as the root of a navigation controller.
    Ref<UINavigationController> show(const Ref<UIViewController>& screen)
    {
        auto navigation = UINavigationController::initWithRootViewController(screen);
        m_root->presentViewControllerAnimatedCompletion(navigation, false, nullptr);
        settle();
        return navigation;
    }
    std::string alertText()
    {
        auto alerts = UIAlertView::visibleAlerts();
        return alerts.empty() ? std::string() : alerts.back()->title() + ": " + alerts.back()->message();
    }

    AppTestScope m_scope;
    ScopedVirtualClock m_clock;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
};
