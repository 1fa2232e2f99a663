#pragma once

#include "uikit/UIViewController.h"
#include "uikit/UIWebView.h"

class NSURL;
class UIBarButtonItem;
class UIToolbar;

// The in-app browser: one page in a web view above a bottom toolbar with back and forward
// arrows and, when asked for, a "Close" button that may stay disabled for some seconds after
// the screen is made (the delay counts from creation, whether or not the view is ever loaded).
// The web view comes from the layout "KESTWebViewController". Main thread only.
class KESTWebViewController : public UIViewController, public UIWebViewDelegate {
    VX_OBJECT(KESTWebViewController, UIViewController)
public:
    explicit KESTWebViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<KESTWebViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeController<KESTWebViewController>(nibName, bundle);
    }
    // `closeEnableDelay` of 1 or more keeps the close button disabled that many seconds;
    // `withCloseButton` YES puts the close button in the toolbar, NO a flexible space.
    static Ref<KESTWebViewController> initWithNibNameBundleWithURLCloseEnableDelayWithCloseButton(
        const std::string& nibName, const Ref<NSBundle>& bundle, const Ref<NSURL>& url, int32_t closeEnableDelay,
        bool withCloseButton);

    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;
    bool prefersStatusBarHidden() const override { return true; }

    void setupUI();
    void enableButton();
    void closePress(const Ref<NSObject>& sender);
    void backPress(const Ref<NSObject>& sender);
    void forwardPress(const Ref<NSObject>& sender);

    const Ref<UIToolbar>& bottomToolbar() const { return m_bottomToolbar; }
    void setBottomToolbar(Ref<UIToolbar> toolbar) { m_bottomToolbar = std::move(toolbar); }
    // The layout's outlet.
    const Ref<UIWebView>& webView() const { return m_webView; }
    void setWebView(Ref<UIWebView> webView) { m_webView = std::move(webView); }
    const Ref<UIBarButtonItem>& closeButton() const { return m_closeButton; }
    const Ref<NSURL>& loadURL() const { return m_loadURL; }

private:
    Ref<UIBarButtonItem> m_closeButton;
    Ref<UIWebView> m_webView;
    bool m_disableCloseButton { false };
    bool m_hideCloseButton { false };
    Ref<NSURL> m_loadURL;
    Ref<UIToolbar> m_bottomToolbar;
};
