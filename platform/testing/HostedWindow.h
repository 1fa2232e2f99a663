#pragma once

// For test programs that link UIKit: the application host, a key window and a virtual clock.

#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// An application delegate that does nothing. Launching the host with one makes a launched
// application, which the host draws its status bar over.
class PlainAppDelegate : public NSObject, public UIApplicationDelegate {
    VX_OBJECT(PlainAppDelegate, NSObject)
public:
    explicit PlainAppDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<PlainAppDelegate> init() { return make<PlainAppDelegate>(); }
};

// A fresh application host on a virtual clock (the one already installed, if a test scope has
// installed one, else its own for its lifetime). With a window (the default), a visible key
// window of the given size holds a plain root screen that tests present their screens from.
// On the way out the clock moves on by `settleSeconds` (so running animations and delayed
// dismissals end), the queues drain, the window goes and the host, the main run loop and the
// once-only flags are reset, while the virtual clock is still installed. Main thread only.
class HostedWindow {
public:
    enum class Window { Key, None };

    explicit HostedWindow(Window window = Window::Key, CGSize size = CGSizeMake(768, 1024))
    {
        m_clock = std::dynamic_pointer_cast<VirtualClock>(Clock::source());
        if (!m_clock) {
            m_ownClock.emplace();
            m_clock = std::dynamic_pointer_cast<VirtualClock>(Clock::source());
        }
        UIApplicationHost::resetForTesting();
        if (window == Window::Key) {
            m_window = UIWindow::initWithFrame(CGRectMake(0, 0, size.width, size.height));
            m_root = UIViewController::init();
            m_window->setRootViewController(m_root);
            m_window->makeKeyAndVisible();
        }
    }
    ~HostedWindow()
    {
        if (m_settleSeconds > 0)
            m_clock->advance(m_settleSeconds);
        drainAll();
        m_root = nullptr;
        m_window = nullptr;
        UIApplicationHost::resetForTesting();
        resetForTesting();
    }
    HostedWindow(const HostedWindow&) = delete;
    HostedWindow& operator=(const HostedWindow&) = delete;

    VirtualClock& clock() { return *m_clock; }
    const Ref<UIWindow>& window() const { return m_window; }
    const Ref<UIViewController>& root() const { return m_root; }

    // How far the clock moves before the teardown drains (0 by default).
    void setSettleSeconds(double seconds) { m_settleSeconds = seconds; }

    // Presents `screen` over the root screen without animation and lets it settle.
    void present(const Ref<UIViewController>& screen)
    {
        m_root->presentViewControllerAnimatedCompletion(screen, false, nullptr);
        drainAll();
    }
    void dismiss()
    {
        m_root->dismissViewControllerAnimatedCompletion(false, nullptr);
        drainAll();
    }
    // Drains, moves the clock by `seconds` and drains again.
    void settle(double seconds = 1)
    {
        drainAll();
        m_clock->advance(seconds);
        drainAll();
    }

private:
    std::optional<ScopedVirtualClock> m_ownClock;
    std::shared_ptr<VirtualClock> m_clock;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
    double m_settleSeconds { 0 };
};

// The same as a GoogleTest fixture: every test gets a fresh host, and no window unless it asks
// for one with makeKeyWindow().
class HostedWindowTest : public ::testing::Test {
protected:
    // A visible key window of the screen's size; the test keeps it.
    Ref<UIWindow> makeKeyWindow(CGSize size = CGSizeMake(768, 1024))
    {
        auto window = UIWindow::initWithFrame(CGRectMake(0, 0, size.width, size.height));
        window->makeKeyAndVisible();
        return window;
    }
    VirtualClock& clock() { return m_host.clock(); }

    HostedWindow m_host { HostedWindow::Window::None };
    VirtualClock& m_clock { m_host.clock() };
};
