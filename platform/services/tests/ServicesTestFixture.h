#pragma once

#include "services/MFMailComposeViewController.h"
#include "services/SKStoreProductViewController.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

// A fresh application with a key window showing a root screen, on a virtual clock; the
// services' recorded state is forgotten afterwards.
class ServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_root = UIViewController::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
        drainAll();
    }
    void TearDown() override
    {
        drainAll();
        MFMailComposeViewController::resetForTesting();
        SKStoreProductViewController::resetForTesting();
        UIApplicationHost::resetForTesting();
        resetForTesting();
    }

    ScopedVirtualClock m_clock;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
};
