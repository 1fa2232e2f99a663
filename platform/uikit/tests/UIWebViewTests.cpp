#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "testing/TemporarySandbox.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIRefreshControl.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIWebView.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class WebDelegate : public NSObject, public UIWebViewDelegate {
    VX_OBJECT(WebDelegate, NSObject)
public:
    explicit WebDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<WebDelegate> init() { return make<WebDelegate>(); }
    bool webViewShouldStartLoadWithRequestNavigationType(
        const Ref<UIWebView>&, const Ref<NSURLRequest>& request, UIWebViewNavigationType type) override
    {
        std::string url = request->URL()->absoluteString();
        log.add("should " + url + " " + std::to_string(type));
        return url.find("blocked") == std::string::npos;
    }
    void webViewDidStartLoad(const Ref<UIWebView>&) override { log.add("start"); }
    void webViewDidFinishLoad(const Ref<UIWebView>& view) override { log.add("finish " + urlOf(view)); }
    static std::string urlOf(const Ref<UIWebView>& view)
    {
        auto request = view->request();
        return request && request->URL() ? request->URL()->absoluteString() : std::string();
    }
    EventRecorder log;
};

Ref<NSURLRequest> requestFor(const std::string& url)
{
    return NSURLRequest::requestWithURL(NSURL::URLWithString(url));
}

class UIWebViewTest : public HostedWindowTest {
protected:
    void TearDown() override
    {
        UIPasteboard::resetForTesting();
        HostedWindowTest::TearDown();
    }
};

TEST_F(UIWebViewTest, WebViewRecordsLoadsKeepsHistoryAndMeasuresPages)
{
    auto view = UIWebView::initWithFrame(CGRectMake(0, 0, 300, 200));
    auto delegate = WebDelegate::init();
    view->setDelegate(delegate.get(), delegate);

    view->loadRequest(requestFor("https://example.test/a"));
    EXPECT_TRUE(view->isLoading());
    EXPECT_THAT(delegate->log.take(), ElementsAre("should https://example.test/a 5", "start"));
    drainAll();
    EXPECT_FALSE(view->isLoading());
    EXPECT_THAT(delegate->log.take(), ElementsAre("finish https://example.test/a"));

    // A newer load supersedes one still in progress: only the newer finishes.
    view->loadRequest(requestFor("https://example.test/b"));
    view->loadHTMLStringBaseURL("<p>One</p><p>Two &amp; three</p>", nullptr);
    drainAll();
    EXPECT_THAT(delegate->log.take(), ElementsAre("should https://example.test/b 5", "start", "start", "finish "));
    view->loadRequest(requestFor("https://blocked.test/"));
    EXPECT_THAT(delegate->log.take(), ElementsAre("should https://blocked.test/ 5"));

    CGFloat twoParagraphs = view->contentHeight();
    EXPECT_GT(twoParagraphs, 0);
    EXPECT_EQ(view->scrollView()->contentSize().height, twoParagraphs);
    EXPECT_EQ(
        view->stringByEvaluatingJavaScriptFromString("document.body.scrollHeight"), std::to_string(int(twoParagraphs)));
    EXPECT_EQ(view->stringByEvaluatingJavaScriptFromString("alert(1)"), "");
    EXPECT_EQ(view->evaluatedScripts().size(), 2u);

    EXPECT_TRUE(view->canGoBack());
    EXPECT_FALSE(view->canGoForward());
    view->goBack();
    drainAll();
    EXPECT_EQ(WebDelegate::urlOf(view), "https://example.test/b");
    view->goBack();
    drainAll();
    EXPECT_EQ(WebDelegate::urlOf(view), "https://example.test/a");
    EXPECT_FALSE(view->canGoBack());
    EXPECT_TRUE(view->canGoForward());
    EXPECT_EQ(view->loads().size(), 5u);
    EXPECT_EQ(view->loads()[2].kind, UIWebView::Load::Kind::HTMLString);
}

TEST_F(UIWebViewTest, WebViewKeepsTheRequestOfEachPage)
{
    auto view = UIWebView::initWithFrame(CGRectMake(0, 0, 300, 200));
    auto delegate = WebDelegate::init();
    view->setDelegate(delegate.get(), delegate);
    EXPECT_EQ(view->request(), nullptr);

    // Nothing to load: no delegate call, no history.
    view->loadRequest(nullptr);
    view->loadRequest(NSURLRequest::requestWithURL(nullptr));
    EXPECT_TRUE(delegate->log.take().empty());
    EXPECT_FALSE(view->isLoading());

    // The page keeps the request as it was when loaded, header fields included.
    auto mutableRequest = NSMutableURLRequest::requestWithURL(NSURL::URLWithString("https://example.test/help"));
    mutableRequest->setValueForHTTPHeaderField("en", "Accept-Language");
    view->loadRequest(mutableRequest);
    mutableRequest->setURL(NSURL::URLWithString("https://example.test/changed"));
    drainAll();
    EXPECT_THAT(delegate->log.take(),
        ElementsAre("should https://example.test/help 5", "start", "finish https://example.test/help"));
    ASSERT_NE(view->request(), nullptr);
    EXPECT_EQ(view->request()->URL()->absoluteString(), "https://example.test/help");
    EXPECT_EQ(view->request()->valueForHTTPHeaderField("accept-language"), "en");

    // HTML and data pages answer a request for their base URL, or none; the delegate is not asked.
    struct Case {
        const char* name;
        std::function<void()> load;
        const char* url; // nullptr: no request
        const char* mimeType;
        const char* content;
    };
    const std::vector<Case> cases = {
        { "html with base",
            [&] { view->loadHTMLStringBaseURL("<b>x</b>", NSURL::URLWithString("https://base.test/")); },
            "https://base.test/", "text/html", "<b>x</b>" },
        { "data with base",
            [&] {
                view->loadDataMIMETypeTextEncodingNameBaseURL(
                    Value::data("abc", 3), "text/plain", "utf-8", NSURL::URLWithString("https://data.test/p"));
            },
            "https://data.test/p", "text/plain", "abc" },
        { "html without base", [&] { view->loadHTMLStringBaseURL("", nullptr); }, nullptr, "text/html", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.load();
        drainAll();
        EXPECT_THAT(delegate->log.take(), ElementsAre("start", std::string("finish ") + (c.url ? c.url : "")));
        if (c.url) {
            ASSERT_NE(view->request(), nullptr);
            EXPECT_EQ(view->request()->URL()->absoluteString(), c.url);
        } else {
            EXPECT_EQ(view->request(), nullptr);
        }
        EXPECT_EQ(view->loads().back().mimeType, c.mimeType);
        EXPECT_EQ(view->loads().back().content, c.content);
    }

    // Going back reloads the earlier request and asks the delegate with the back/forward type.
    view->goBack();
    view->goBack();
    view->goBack();
    drainAll();
    EXPECT_THAT(delegate->log.take(),
        ElementsAre(
            "start", "start", "should https://example.test/help 2", "start", "finish https://example.test/help"));
}

TEST_F(UIWebViewTest, PasteboardsAreSharedByNameAndCountChanges)
{
    auto general = UIPasteboard::generalPasteboard();
    EXPECT_EQ(general, UIPasteboard::generalPasteboard());
    EXPECT_EQ(general->string(), std::nullopt);
    int notes = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        UIPasteboardChangedNotification, general, nullptr, [&](const Ref<NSNotification>&) { ++notes; });
    general->setString("KES123");
    general->setStrings({ "a", "b" });
    EXPECT_EQ(general->string(), "a");
    EXPECT_THAT(general->strings(), ElementsAre("a", "b"));
    EXPECT_EQ(general->changeCount(), 2);
    EXPECT_EQ(notes, 2);
    general->setURL("https://example.test/");
    EXPECT_EQ(general->string(), std::nullopt);
    EXPECT_TRUE(general->containsPasteboardTypes({ UIPasteboardTypeURL }));
    NSNotificationCenter::defaultCenter()->removeObserver(token);

    EXPECT_EQ(UIPasteboard::pasteboardWithNameCreate("flights", false), nullptr);
    auto named = UIPasteboard::pasteboardWithNameCreate("flights", true);
    named->setString("x");
    EXPECT_EQ(UIPasteboard::pasteboardWithNameCreate("flights", false)->string(), "x");
    EXPECT_NE(UIPasteboard::pasteboardWithUniqueName()->name(), UIPasteboard::pasteboardWithUniqueName()->name());
    UIPasteboard::removePasteboardWithName("flights");
    EXPECT_EQ(UIPasteboard::pasteboardWithNameCreate("flights", false), nullptr);
}

TEST_F(UIWebViewTest, PersistentNamedPasteboardsReachOtherProcessesThroughTheSharedRoot)
{
    TemporarySandbox shared;
    UIPasteboard::setSharedRoot(shared.root());
    auto slot = UIPasteboard::pasteboardWithNameCreate("org.example.slot", true);
    slot->setValueForPasteboardType(Value::data({ 1, 2, 3 }), "org.example");
    EXPECT_FALSE(slot->isPersistent());
    // Another process: nothing of this one's memory, only what persistent pasteboards left.
    UIPasteboard::resetForTesting();
    EXPECT_EQ(UIPasteboard::pasteboardWithNameCreate("org.example.slot", false), nullptr);

    slot = UIPasteboard::pasteboardWithNameCreate("org.example.slot", true);
    slot->setPersistent(true);
    slot->setValueForPasteboardType(Value::data({ 4, 5 }), "org.example");
    UIPasteboard::resetForTesting();
    auto found = UIPasteboard::pasteboardWithNameCreate("org.example.slot", false);
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(found->isPersistent());
    EXPECT_EQ(found->valueForPasteboardType("org.example"), Value::data({ 4, 5 }));

    // Removing it removes it for everyone; the general pasteboard never leaves the process.
    UIPasteboard::removePasteboardWithName("org.example.slot");
    UIPasteboard::generalPasteboard()->setString("local");
    UIPasteboard::resetForTesting();
    EXPECT_EQ(UIPasteboard::pasteboardWithNameCreate("org.example.slot", false), nullptr);
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), std::nullopt);
    UIPasteboard::setSharedRoot({});
}

TEST_F(UIWebViewTest, RefreshControlBeginsWhenPulledFarEnough)
{
    auto window = makeKeyWindow();
    auto scrollView = UIScrollView::initWithFrame(CGRectMake(0, 0, 400, 400));
    scrollView->setContentSize(CGSizeMake(400, 2000));
    window->addSubview(scrollView);
    auto refresh = UIRefreshControl::init();
    scrollView->addSubview(refresh);
    int refreshes = 0;
    refresh->addTargetActionForControlEvents(
        nullptr, "refresh", [&](const Ref<UIControl>&, const Ref<UIEvent>&) { ++refreshes; },
        UIControlEventValueChanged);

    struct Case {
        const char* name;
        CGFloat pull; // finger travel; the content follows at half speed past the top
        int refreshes;
    };
    const std::vector<Case> cases = {
        { "short pull", 100, 0 },
        { "long pull", 200, 1 },
        { "again while refreshing", 200, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto touch = UIApplicationHost::touchDown(CGPointMake(200, 50));
        m_clock.advance(0.1);
        UIApplicationHost::touchMove(touch, CGPointMake(200, 50 + c.pull));
        m_clock.advance(0.5);
        UIApplicationHost::touchUp(touch);
        m_clock.advance(1);
        EXPECT_EQ(refreshes, c.refreshes);
        EXPECT_EQ(scrollView->contentOffset().y, 0);
    }
    EXPECT_TRUE(refresh->isRefreshing());
    refresh->endRefreshing();
    EXPECT_FALSE(refresh->isRefreshing());
}

} // namespace
