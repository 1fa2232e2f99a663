#include "app/widgets/KESTHistoryRouteProgressContainerView.h"

#include "app/widgets/KESTHistoryRouteProgressView.h"
#include "graphics/UIColor.h"

#include <algorithm>

VX_REGISTER_CLASS(KESTHistoryRouteProgressContainerView);

Ref<KESTHistoryRouteProgressContainerView> KESTHistoryRouteProgressContainerView::initWithFrame(CGRect frame)
{
    auto view = makeView<KESTHistoryRouteProgressContainerView>(frame);
    view->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(246 / 255.0f, 245 / 255.0f, 241 / 255.0f, 1));
    view->setPagingEnabled(true);
    view->setShowsHorizontalScrollIndicator(false);
    view->setShowsVerticalScrollIndicator(false);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setContentMode(UIViewContentModeRedraw);
    view->m_progressView = KESTHistoryRouteProgressView::initWithFrame(CGRectZero);
    view->addSubview(view->m_progressView);
    return view;
}

void KESTHistoryRouteProgressContainerView::sizeBar()
{
    size_t n = m_data.isArray() ? m_data.count() : 0;
    CGSize size = bounds().size;
    CGFloat hops = n > 1 ? static_cast<CGFloat>(n - 1) : 0;
    m_progressView->setFrame(CGRectMake(0, 0, size.width * hops, size.height));
    setContentSize(m_progressView->frame().size);
}

void KESTHistoryRouteProgressContainerView::setData(const Value& data)
{
    m_data = data;
    sizeBar();
    m_progressView->setData(data);
    setContentOffset(CGPointMake(std::max<CGFloat>(0, contentSize().width - bounds().size.width), 0));
    m_progressView->setNeedsDisplay();
}

void KESTHistoryRouteProgressContainerView::performLayout()
{
    sizeBar();
    m_progressView->performLayout();
}

void KESTHistoryRouteProgressContainerView::layoutSubviews()
{
    UIScrollView::layoutSubviews();
    performLayout();
}

void KESTHistoryRouteProgressContainerView::drawRect(CGRect rect)
{
    UIScrollView::drawRect(rect);
    m_progressView->setNeedsDisplay();
}
