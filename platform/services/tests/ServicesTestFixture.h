#pragma once

#include "services/MFMailComposeViewController.h"
#include "services/SKStoreProductViewController.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"

#include <gtest/gtest.h>

// A hosted key window showing a root screen; the services' recorded state is forgotten
// afterwards.
class ServicesTest : public ::testing::Test {
protected:
    void SetUp() override { drainAll(); }
    void TearDown() override
    {
        drainAll();
        MFMailComposeViewController::resetForTesting();
        SKStoreProductViewController::resetForTesting();
    }

    HostedWindow m_host;
    VirtualClock& m_clock { m_host.clock() };
    const Ref<UIWindow>& m_window { m_host.window() };
    const Ref<UIViewController>& m_root { m_host.root() };
};
