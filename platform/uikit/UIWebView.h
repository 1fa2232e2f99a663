#pragma once

#include "NSError.h"
#include "UIScrollView.h"

#include <string>
#include <vector>

class UIWebView;

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
        const Ref<UIWebView>&, const std::string& /*url*/, UIWebViewNavigationType)
    {
        return true;
    }
    virtual void webViewDidStartLoad(const Ref<UIWebView>&) { }
    virtual void webViewDidFinishLoad(const Ref<UIWebView>&) { }
    virtual void webViewDidFailLoadWithError(const Ref<UIWebView>&, const Ref<NSError>&) { }
};

// A headless web view. It renders nothing: it records what it is asked to load (requests by
// URL, HTML strings, data), keeps a back/forward history, and tells its delegate that a load
// started at once and finished on the next main run-loop pass. The page's height is estimated
// from its text wrapped at the view's width and becomes the scroll view's content height.
// Script evaluation is recorded; it answers that height for the document's scroll and offset
// height and the empty string otherwise. Main thread only.
class UIWebView : public UIView {
    VX_OBJECT(UIWebView, UIView)
public:
    struct Load {
        enum class Kind { Request, HTMLString, Data } kind;
        std::string url; // the request's URL, or the base URL
        std::string content; // the HTML or data
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

    // Loads a request for the URL (the request type of the URL loading layer carries it).
    void loadRequest(const std::string& url);
    void loadHTMLStringBaseURL(const std::string& html, const std::string& baseURL);
    void loadDataMIMETypeTextEncodingNameBaseURL(const std::string& data, const std::string& mimeType,
        const std::string& textEncodingName, const std::string& baseURL);
    void reload();
    void stopLoading();
    void goBack();
    void goForward();
    bool canGoBack() const { return m_historyIndex > 0; }
    bool canGoForward() const { return m_historyIndex + 1 < int32_t(m_history.size()); }
    bool isLoading() const { return m_loading; }
    // The URL of the current page; empty for none.
    std::string requestURL() const;
    // Every load asked for, in order, including reloads and history moves.
    const std::vector<Load>& loads() const { return m_loads; }
    const std::vector<std::string>& evaluatedScripts() const { return m_scripts; }
    std::string stringByEvaluatingJavaScriptFromString(const std::string& script);

    bool scalesPageToFit() const { return m_scalesPageToFit; }
    void setScalesPageToFit(bool v) { m_scalesPageToFit = v; }
    // The page's estimated height once loaded.
    CGFloat contentHeight() const { return m_contentHeight; }

    void layoutSubviews() override;

private:
    Ref<UIWebView> protectedView() { return std::static_pointer_cast<UIWebView>(shared_from_this()); }
    // Asks the delegate, records and starts the load; false when the delegate refused it.
    bool start(Load load, UIWebViewNavigationType type, bool addToHistory);
    void finish(uint64_t generation);
    void measure();

    UIWebViewDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    Ref<UIScrollView> m_scrollView;
    std::vector<Load> m_loads;
    std::vector<Load> m_history;
    int32_t m_historyIndex { -1 };
    std::vector<std::string> m_scripts;
    uint64_t m_generation { 0 };
    CGFloat m_contentHeight { 0 };
    bool m_loading { false };
    bool m_scalesPageToFit { false };
};
