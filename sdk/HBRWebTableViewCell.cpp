#include "sdk/HBRWebTableViewCell.h"

#include "foundation/NSString.h"
#include "graphics/NSValue.h"
#include "graphics/UIColor.h"
#include "uikit/UIDevice.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

#include <cstdlib>

VX_REGISTER_CLASS(HBRWebTableViewCell);

Ref<HBRWebTableViewCell> HBRWebTableViewCell::initWithStyleReuseIdentifier(
    UITableViewCellStyle style, const std::string& reuseIdentifier)
{
    auto cell = makeCell<HBRWebTableViewCell>(style, reuseIdentifier);
    cell->m_cellBackgroundColor = UIColor::clearColor();
    return cell;
}

HBRWebTableViewCell::~HBRWebTableViewCell()
{
    if (m_webView) {
        m_webView->setDelegate(nullptr, {});
        m_webView->removeFromSuperview();
    }
}

void HBRWebTableViewCell::setWebViewContent(const std::string& content)
{
    m_webViewContent = content;
}

void HBRWebTableViewCell::setWebViewSize(CGSize size)
{
    willChangeValueForKey("webViewSize");
    m_webViewSize = size;
    didChangeValueForKey("webViewSize");
}

Value HBRWebTableViewCell::valueForKey(const std::string& key)
{
    if (key == "webViewSize")
        return Value(NSValue::valueWithCGSize(m_webViewSize));
    return UITableViewCell::valueForKey(key);
}

std::string HBRWebTableViewCell::pageForContentViewportWidth(const std::string& content, const std::string& width)
{
    return NSString::stringWithFormat(
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><style type=\"text/css\">"
        "body { font: 13px 'Helvetica Neue', Helvetica; color:#626262; word-wrap:break-word; padding:8px;} "
        "p {margin:0;} ul {padding-left: 18px;}</style>"
        "<meta name=\"viewport\" content=\"user-scalable=no width=%@\" /></head><body>%@</body></html>",
        width, content);
}

void HBRWebTableViewCell::addWebView()
{
    if (m_webViewContent.empty())
        return;
    CGRect frame = this->frame();
    frame.origin = CGPointZero;
    if (m_webView) {
        m_webView->setFrame(frame);
    } else {
        m_webView = UIWebView::initWithFrame(frame);
        m_webView->setHidden(true);
        m_webView->setBackgroundColor(m_cellBackgroundColor);
        m_webView->setOpaque(false);
        m_webView->setDelegate(this, self<NSObject>());
        m_webView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        // The page never scrolls on its own; the table scrolls.
        auto scroll = m_webView->scrollView();
        scroll->setScrollEnabled(false);
        scroll->setBounces(false);
        for (const auto& sub : scroll->subviews())
            if (std::dynamic_pointer_cast<UIImageView>(sub))
                sub->setHidden(true);
        addSubview(m_webView);
    }
    std::string width = UIDevice::currentDevice()->userInterfaceIdiom() == UIUserInterfaceIdiomPad
        ? NSString::stringWithFormat("%.0f", double(this->frame().size.width))
        : std::string("device-width");
    m_webView->loadHTMLStringBaseURL(pageForContentViewportWidth(m_webViewContent, width), nullptr);
}

void HBRWebTableViewCell::showWebView()
{
    if (!m_webView)
        return;
    m_webView->setHidden(false);
    textLabel()->setText("");
    setNeedsDisplay();
}

void HBRWebTableViewCell::removeWebView()
{
    if (!m_webView)
        return;
    m_webView->setDelegate(nullptr, {});
    m_webView->resignFirstResponder();
    m_webView->removeFromSuperview();
    m_webView = nullptr;
}

void HBRWebTableViewCell::prepareForReuse()
{
    removeWebView();
    m_webViewContent.clear();
    UITableViewCell::prepareForReuse();
}

void HBRWebTableViewCell::setFrame(CGRect frame)
{
    bool changed = !CGRectEqualToRect(frame, this->frame());
    UITableViewCell::setFrame(frame);
    if (changed)
        addWebView();
}

bool HBRWebTableViewCell::webViewShouldStartLoadWithRequestNavigationType(
    const Ref<UIWebView>&, const Ref<NSURLRequest>&, UIWebViewNavigationType type)
{
    return type == UIWebViewNavigationTypeOther;
}

void HBRWebTableViewCell::webViewDidFinishLoad(const Ref<UIWebView>& webView)
{
    if (m_webViewContent.empty() || !webView)
        return;
    showWebView();
    CGRect frame = webView->frame();
    frame.size.height = 1;
    webView->setFrame(frame);
    CGSize fitting = webView->sizeThatFits(CGSizeZero);
    // The page's own height decides the row's.
    frame.size.height
        = std::atoi(webView->stringByEvaluatingJavaScriptFromString("document.body.scrollHeight;").c_str());
    webView->setFrame(frame);
    setWebViewSize(CGSizeMake(fitting.width > 0 ? fitting.width : frame.size.width, frame.size.height));
}
