#include "app/view-controllers/common/KESTWebViewController.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIToolbar.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

Ref<KESTWebViewController> makeScreen(const char* url, int32_t delay, bool withClose)
{
    return KESTWebViewController::initWithNibNameBundleWithURLCloseEnableDelayWithCloseButton(
        "KESTWebViewController", nullptr, url ? NSURL::URLWithString(url) : nullptr, delay, withClose);
}

// What each toolbar item is: "Close", "flex", "fixed170", "arrow-left", "arrow-right".
std::vector<std::string> describe(const Ref<UIToolbar>& toolbar)
{
    EXPECT_TRUE(UIImage::imageNamed("arrow-left") && UIImage::imageNamed("arrow-right")) << "the bundle's arrows";
    std::vector<std::string> names;
    for (const auto& item : toolbar->items()) {
        if (item->isFlexibleSpace())
            names.push_back("flex");
        else if (item->isFixedSpace())
            names.push_back("fixed" + std::to_string(int(item->width())));
        else if (item->image() == UIImage::imageNamed("arrow-left"))
            names.push_back("arrow-left");
        else if (item->image() == UIImage::imageNamed("arrow-right"))
            names.push_back("arrow-right");
        else
            names.push_back(item->title());
    }
    return names;
}

TEST(KESTWebViewController, ToolbarAndCloseButton)
{
    struct Case {
        int32_t delay;
        bool withClose;
        std::vector<std::string> items;
        bool enabledAtFirst;
    };
    const Case cases[] = {
        { 0, true, { "Close", "fixed170", "arrow-left", "flex", "arrow-right" }, true },
        { -3, true, { "Close", "fixed170", "arrow-left", "flex", "arrow-right" }, true },
        { 10, true, { "Close", "fixed170", "arrow-left", "flex", "arrow-right" }, false },
        { 0, false, { "flex", "fixed170", "arrow-left", "flex", "arrow-right" }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.delay << (c.withClose ? " with close" : " without"));
        HostedWindow scope;
        auto screen = makeScreen("http://example.invalid/page", c.delay, c.withClose);
        scope.root()->presentViewControllerAnimatedCompletion(screen, false, nullptr);
        drainAll();
        ASSERT_TRUE(screen->bottomToolbar());
        EXPECT_EQ(describe(screen->bottomToolbar()), c.items);
        EXPECT_EQ(screen->closeButton()->isEnabled(), c.enabledAtFirst);
        EXPECT_EQ(screen->bottomToolbar()->autoresizingMask(), 10u);
        CGRect bounds = screen->view()->bounds();
        EXPECT_TRUE(CGRectEqualToRect(
            screen->bottomToolbar()->frame(), CGRectMake(0, bounds.size.height - 44, bounds.size.width, 44)));
        EXPECT_TRUE(CGRectEqualToRect(
            screen->webView()->frame(), CGRectMake(0, 0, bounds.size.width, bounds.size.height - 44)));
        EXPECT_TRUE(screen->prefersStatusBarHidden());
        if (c.delay > 0) {
            scope.clock().advance(c.delay - 0.5);
            EXPECT_FALSE(screen->closeButton()->isEnabled());
            scope.clock().advance(0.5);
            EXPECT_TRUE(screen->closeButton()->isEnabled());
        }
    }
}

TEST(KESTWebViewController, DelayCountsFromCreationEvenBeforeTheViewLoads)
{
    HostedWindow scope;
    auto screen = makeScreen("http://example.invalid/", 5, true);
    scope.clock().advance(6);
    // Shown after the delay ran out: the button is usable.
    scope.root()->presentViewControllerAnimatedCompletion(screen, false, nullptr);
    drainAll();
    EXPECT_TRUE(screen->closeButton()->isEnabled());
}

TEST(KESTWebViewController, LoadsTheURLAndNavigates)
{
    HostedWindow scope;
    auto screen = makeScreen("http://example.invalid/first", 0, true);
    scope.root()->presentViewControllerAnimatedCompletion(screen, false, nullptr);
    drainAll();
    auto web = screen->webView();
    ASSERT_TRUE(web);
    ASSERT_EQ(web->loads().size(), 1u);
    EXPECT_EQ(web->loads()[0].request->URL()->absoluteString(), "http://example.invalid/first");
    web->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString("http://example.invalid/second")));
    drainAll();
    screen->backPress(nullptr);
    drainAll();
    EXPECT_EQ(web->request()->URL()->absoluteString(), "http://example.invalid/first");
    screen->forwardPress(nullptr);
    drainAll();
    EXPECT_EQ(web->request()->URL()->absoluteString(), "http://example.invalid/second");

    screen->closePress(nullptr);
    scope.clock().advance(1);
    drainAll();
    EXPECT_FALSE(scope.root()->presentedViewController());

    // No URL: nothing is loaded.
    auto empty = makeScreen(nullptr, 0, false);
    empty->view();
    EXPECT_TRUE(empty->webView()->loads().empty());
}

} // namespace
