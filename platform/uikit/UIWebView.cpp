#include "uikit/UIWebView.h"

#include "foundation/NSRunLoop.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "net/NSURL.h"
#include "uikit/UIWebViewPage.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <regex>

VX_REGISTER_CLASS(UIWebView);

Ref<UIWebView> UIWebView::initWithFrame(CGRect frame)
{
    auto view = makeView<UIWebView>(frame);
    view->m_scrollView = UIScrollView::initWithFrame(view->bounds());
    view->m_scrollView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(view->m_scrollView);
    return view;
}

bool UIWebView::start(Load load, UIWebViewNavigationType type, bool addToHistory)
{
    auto self = protectedView();
    if (auto* d = delegate(); d && load.kind == Load::Kind::Request
        && !d->webViewShouldStartLoadWithRequestNavigationType(self, load.request, type))
        return false;
    m_loads.push_back(load);
    if (addToHistory) {
        m_history.resize(size_t(m_historyIndex + 1));
        m_history.push_back(std::move(load));
        m_historyIndex = int32_t(m_history.size()) - 1;
    }
    m_loading = true;
    uint64_t generation = ++m_generation;
    if (auto* d = delegate())
        d->webViewDidStartLoad(self);
    Weak<UIWebView> weak = self;
    NSRunLoop::mainRunLoop()->performInModesBlock({ NSRunLoopCommonModes }, [weak, generation] {
        if (auto strong = weak.lock())
            strong->finish(generation);
    });
    return true;
}

void UIWebView::finish(uint64_t generation)
{
    // A newer load or stopLoading superseded this one.
    if (generation != m_generation || !m_loading)
        return;
    m_loading = false;
    measure();
    if (auto* d = delegate())
        d->webViewDidFinishLoad(protectedView());
}

const UIWebViewPage* UIWebView::currentPage()
{
    if (m_historyIndex < 0 || m_history[size_t(m_historyIndex)].kind == Load::Kind::Request)
        return nullptr;
    const std::string& content = m_history[size_t(m_historyIndex)].content;
    if (!m_page || m_pageContent != content) {
        m_page = std::make_shared<UIWebViewPage>(content);
        m_pageContent = content;
    }
    return m_page.get();
}

void UIWebView::measure()
{
    m_contentHeight = 0;
    if (auto* page = currentPage())
        m_contentHeight = page->heightForWidth(bounds().size.width);
    m_scrollView->setContentSize(CGSizeMake(bounds().size.width, m_contentHeight));
    setNeedsDisplay();
}

void UIWebView::drawRect(CGRect)
{
    if (m_loading)
        return;
    if (auto* page = currentPage())
        page->draw(UIGraphicsGetCurrentContext(), bounds().size.width, bounds().size.height);
}

void UIWebView::layoutSubviews()
{
    UIView::layoutSubviews();
    if (!m_loading)
        measure();
}

namespace {
Ref<NSURLRequest> requestForBaseURL(const Ref<NSURL>& baseURL)
{
    return baseURL ? NSURLRequest::requestWithURL(baseURL) : nullptr;
}
} // namespace

void UIWebView::loadRequest(const Ref<NSURLRequest>& request)
{
    if (!request || !request->URL())
        return;
    // The page keeps its own copy: a mutable request changed by the caller afterwards does not
    // change what was loaded.
    start({ Load::Kind::Request, request->copy(), {}, {}, {} }, UIWebViewNavigationTypeOther, true);
}

void UIWebView::loadHTMLStringBaseURL(const std::string& html, const Ref<NSURL>& baseURL)
{
    start({ Load::Kind::HTMLString, requestForBaseURL(baseURL), html, "text/html", "utf-8" },
        UIWebViewNavigationTypeOther, true);
}

void UIWebView::loadDataMIMETypeTextEncodingNameBaseURL(
    const Value& data, const std::string& mimeType, const std::string& textEncodingName, const Ref<NSURL>& baseURL)
{
    std::string bytes;
    if (data.isData())
        bytes.assign(data.bytes().begin(), data.bytes().end());
    start({ Load::Kind::Data, requestForBaseURL(baseURL), std::move(bytes), mimeType, textEncodingName },
        UIWebViewNavigationTypeOther, true);
}

void UIWebView::reload()
{
    if (m_historyIndex >= 0)
        start(m_history[size_t(m_historyIndex)], UIWebViewNavigationTypeReload, false);
}

void UIWebView::stopLoading()
{
    m_loading = false;
}

void UIWebView::goBack()
{
    if (!canGoBack())
        return;
    if (start(m_history[size_t(m_historyIndex - 1)], UIWebViewNavigationTypeBackForward, false))
        --m_historyIndex;
}

void UIWebView::goForward()
{
    if (!canGoForward())
        return;
    if (start(m_history[size_t(m_historyIndex + 1)], UIWebViewNavigationTypeBackForward, false))
        ++m_historyIndex;
}

Ref<NSURLRequest> UIWebView::request() const
{
    return m_historyIndex >= 0 ? m_history[size_t(m_historyIndex)].request : nullptr;
}

std::string UIWebView::stringByEvaluatingJavaScriptFromString(const std::string& script)
{
    m_scripts.push_back(script);
    static const std::regex s_height(R"(^\s*document\.(body|documentElement)\.(scrollHeight|offsetHeight)\s*;?\s*$)");
    if (std::regex_match(script, s_height))
        return std::to_string(int(std::lround(m_contentHeight)));
    return {};
}
