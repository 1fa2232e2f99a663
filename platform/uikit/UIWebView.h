#pragma once

#include "foundation/NSError.h"
#include "foundation/Value.h"
#include "net/NSURLRequest.h"
#include "uikit/UIScrollView.h"

#include <string>
#include <vector>

class UIWebView;
class UIWebViewPage;

enum UIWebViewNavigationType : int32_t {
    UIWebViewNavigationTypeLinkClicked = 0,
    UIWebViewNavigationTypeFormSubmitted = 1,
    UIWebViewNavigationTypeBackForward = 2,
    UIWebViewNavigationTypeReload = 3,
    UIWebViewNavigationTypeFormResubmitted = 4,
    UIWebViewNavigationTypeOther = 5,
};

// What a web view asks and tells its delegate; all optional.
class UIWebViewDelegate {
public:
    virtual ~UIWebViewDelegate() = default;
    virtual bool webViewShouldStartLoadWithRequestNavigationType(
        const Ref<UIWebView>&, const Ref<NSURLRequest>& /*request*/, UIWebViewNavigationType)
    {
        return true;
    }
    virtual void webViewDidStartLoad(const Ref<UIWebView>&) { }
    virtual void webViewDidFinishLoad(const Ref<UIWebView>&) { }
    virtual void webViewDidFailLoadWithError(const Ref<UIWebView>&, const Ref<NSError>&) { }
};

// A headless web view. It fetches nothing; HTML and data pages are laid out and drawn by a small
// renderer of their own (UIWebViewPage: paragraphs, bold and small text, lists, centred blocks,
// right floats). It records what it is asked to load (requests, HTML strings, data), keeps a
// back/forward history, and tells its delegate that a load started at once and finished on the
// next main run-loop pass. Only requests are put to the delegate's should-start question; a
// refused request leaves the current page in place. The page's laid-out height becomes the
// scroll view's content height. Script evaluation is recorded; it answers that height for the
// document's scroll and offset height and the empty string otherwise. Main thread only.
class UIWebView : public UIView {
    VX_OBJECT(UIWebView, UIView)
public:
    struct Load {
        enum class Kind { Request, HTMLString, Data } kind;
        // The request loaded; for HTML and data, a request for the base URL (nullptr without one).
        Ref<NSURLRequest> request;
        std::string content; // the HTML or the data's bytes
        std::string mimeType;
        std::string textEncodingName;
    };

    explicit UIWebView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UIWebView> initWithFrame(CGRect frame);

    void setDelegate(UIWebViewDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UIWebViewDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    const Ref<UIScrollView>& scrollView() const { return m_scrollView; }

    // A nil request, or one without a URL, is ignored.
    void loadRequest(const Ref<NSURLRequest>& request);
    void loadHTMLStringBaseURL(const std::string& html, const Ref<NSURL>& baseURL);
    // The data is a data value (anything else loads an empty page).
    void loadDataMIMETypeTextEncodingNameBaseURL(
        const Value& data, const std::string& mimeType, const std::string& textEncodingName, const Ref<NSURL>& baseURL);
    void reload();
    void stopLoading();
    void goBack();
    void goForward();
    bool canGoBack() const { return m_historyIndex > 0; }
    bool canGoForward() const { return m_historyIndex + 1 < int32_t(m_history.size()); }
    bool isLoading() const { return m_loading; }
    // The request of the current page: the request loaded, or a request for the base URL of an
    // HTML or data page; nullptr before the first load.
    Ref<NSURLRequest> request() const;
    // Every load asked for, in order, including reloads and history moves.
    const std::vector<Load>& loads() const { return m_loads; }
    const std::vector<std::string>& evaluatedScripts() const { return m_scripts; }
    std::string stringByEvaluatingJavaScriptFromString(const std::string& script);

    bool scalesPageToFit() const { return m_scalesPageToFit; }
    void setScalesPageToFit(bool v) { m_scalesPageToFit = v; }
    // The page's estimated height once loaded.
    CGFloat contentHeight() const { return m_contentHeight; }

    void layoutSubviews() override;
    // Draws the page.
    void drawRect(CGRect rect) override;

private:
    Ref<UIWebView> protectedView() { return std::static_pointer_cast<UIWebView>(shared_from_this()); }
    // Asks the delegate, records and starts the load; false when the delegate refused it.
    bool start(Load load, UIWebViewNavigationType type, bool addToHistory);
    void finish(uint64_t generation);
    void measure();
    // The current page, parsed once per content; nullptr for a request or before a load.
    const UIWebViewPage* currentPage();

    UIWebViewDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    Ref<UIScrollView> m_scrollView;
    std::vector<Load> m_loads;
    std::vector<Load> m_history;
    int32_t m_historyIndex { -1 };
    std::vector<std::string> m_scripts;
    uint64_t m_generation { 0 };
    CGFloat m_contentHeight { 0 };
    std::shared_ptr<UIWebViewPage> m_page;
    std::string m_pageContent; // what m_page was parsed from
    bool m_loading { false };
    bool m_scalesPageToFit { false };
};
