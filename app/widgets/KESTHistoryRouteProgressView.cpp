#include "app/widgets/KESTHistoryRouteProgressView.h"

#include "app/categories/UILabel+DynamicSizing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTHistoryRouteProgressView);

namespace {

std::string firstText(const Value& entry)
{
    const Value& first = entry.objectAtIndex(0);
    return first.isString() ? first.string() : std::string();
}

} // namespace

Ref<KESTHistoryRouteProgressView> KESTHistoryRouteProgressView::initWithFrame(CGRect frame)
{
    auto view = makeView<KESTHistoryRouteProgressView>(frame);
    view->setBackgroundColor(UIColor::clearColor());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setContentMode(UIViewContentModeRedraw);
    return view;
}

void KESTHistoryRouteProgressView::setData(const Value& data)
{
    if (m_data.isNil())
        m_data = data;
    performLayout();
}

void KESTHistoryRouteProgressView::performLayout()
{
    auto subviews = this->subviews();
    for (const auto& subview : subviews)
        subview->removeFromSuperview();
    size_t n = m_data.isArray() ? m_data.count() : 0;
    if (n < 2)
        return;
    CGFloat w = bounds().size.width / static_cast<CGFloat>(n - 1);
    CGFloat lw = (w - 32) / 2;
    auto grey = UIColor::colorWithRedGreenBlueAlpha(51 / 255.0f, 51 / 255.0f, 51 / 255.0f, 1);
    for (size_t i = 1; i < n; ++i) {
        CGFloat x0 = static_cast<CGFloat>(i - 1) * w;
        auto left = UILabel::initWithFrame(CGRectMake(x0 + 16, 14, lw, 18));
        left->setTextAlignment(NSTextAlignmentLeft);
        left->setAutoresizingMask(UIViewAutoresizingFlexibleRightMargin);
        left->setTextColor(grey);
        UILabel_DynamicSizing::usePreferredFontForTextStyle(left, UIFontTextStyleSubheadline);
        left->setText(firstText(m_data.objectAtIndex(i - 1)));
        addSubview(left);
        auto right = UILabel::initWithFrame(CGRectMake(x0 + w - 16 - lw, 14, lw, 18));
        right->setTextAlignment(NSTextAlignmentRight);
        right->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
        right->setTextColor(grey);
        UILabel_DynamicSizing::usePreferredFontForTextStyle(right, UIFontTextStyleSubheadline);
        right->setText(firstText(m_data.objectAtIndex(i)));
        addSubview(right);
    }
}

void KESTHistoryRouteProgressView::drawRect(CGRect)
{
    m_lastCaps.clear();
    size_t n = m_data.isArray() ? m_data.count() : 0;
    if (n < 2)
        return;
    size_t hops = n - 1;
    CGFloat w = bounds().size.width / static_cast<CGFloat>(hops);
    auto bar = UIImage::imageNamed("flightProgressInactive");
    for (size_t e = 0; e < hops; ++e) {
        std::string leftName, rightName;
        if (hops > 1) {
            rightName = e + 1 < hops ? "flightProgressRightCap" : "flightProgressInactiveSinglehopRightCap";
            leftName = e == 0 ? "flightProgressInactiveSinglehopLeftCap" : "flightProgressInactiveRightCap";
        } else {
            leftName = "flightProgressInactiveSinglehopLeftCap";
            rightName = "flightProgressInactiveSinglehopRightCap";
        }
        m_lastCaps.emplace_back(leftName, rightName);
        auto left = UIImage::imageNamed(leftName);
        auto right = UIImage::imageNamed(rightName);
        CGFloat x = static_cast<CGFloat>(e) * w;
        CGFloat leftWidth = left ? left->size().width : 0;
        CGFloat rightWidth = right ? right->size().width : 0;
        if (left)
            left->drawAtPoint(CGPointMake(x, 39));
        if (right)
            right->drawAtPoint(CGPointMake(x + w - rightWidth, 39));
        if (bar)
            bar->drawInRect(CGRectMake(x + leftWidth, 41, w - rightWidth - leftWidth, 2));
    }
}
