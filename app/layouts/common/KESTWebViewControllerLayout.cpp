#include "app/view-controllers/common/KESTWebViewController.h"
#include "graphics/UIColor.h"
#include "uikit/UINib.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWebView.h"

namespace {

// The screen's view with the web view filling it; the screen places the toolbar below it.
std::vector<Value> buildWebViewController(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = UIScreen::mainScreen()->bounds();
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setBackgroundColor(UIColor::whiteColor());
    auto webView = UIWebView::initWithFrame(CGRectMake(0, 0, frame.size.width, frame.size.height - 44));
    webView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    webView->setScalesPageToFit(true);
    view->addSubview(webView);
    if (auto controller = std::dynamic_pointer_cast<KESTWebViewController>(owner)) {
        controller->setView(view);
        controller->setWebView(webView);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTWebViewController", buildWebViewController);
