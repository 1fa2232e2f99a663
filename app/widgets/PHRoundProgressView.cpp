#include "app/widgets/PHRoundProgressView.h"

#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <cmath>

VX_REGISTER_CLASS(PHRoundProgressView);

namespace {
const char* const kObservedKeys[] = { "progressTintColor", "backgroundTintColor", "progress", "annular" };
}

Ref<PHRoundProgressView> PHRoundProgressView::initWithFrame(CGRect frame)
{
    auto view = makeView<PHRoundProgressView>(frame);
    view->setBackgroundColor(UIColor::clearColor());
    view->setOpaque(false);
    view->m_progressTintColor = UIColor::colorWithWhiteAlpha(1.0f, 1.0f);
    view->m_backgroundTintColor = UIColor::colorWithWhiteAlpha(1.0f, 0.1f);
    for (const char* key : kObservedKeys)
        view->addObserver(view, key, NSKeyValueObservingOptionNew, nullptr);
    return view;
}

void PHRoundProgressView::observeValueForKeyPath(const std::string&, const Ref<NSObject>&, const Value&, void*)
{
    setNeedsDisplay();
}

Value PHRoundProgressView::valueForKey(const std::string& key)
{
    if (key == "progress")
        return Value(double(m_progress));
    if (key == "annular")
        return Value(m_annular);
    return UIView::valueForKey(key);
}

void PHRoundProgressView::drawRect(CGRect)
{
    CGRect all = bounds();
    CGFloat width = all.size.width, height = all.size.height;
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    const CGFloat pi = float(M_PI);
    if (m_annular) {
        // A track ring, then the progress arc over it, both with round caps.
        CGFloat lineWidth = 5;
        CGPoint center = CGPointMake(width / 2, height / 2);
        CGFloat radius = (width - lineWidth) / 2;
        CGContextSetLineWidth(context, lineWidth);
        CGContextSetLineCap(context, kCGLineCapRound);
        CGFloat startAngle = -(pi / 2);
        CGContextBeginPath(context);
        CGContextAddArc(context, center.x, center.y, radius, startAngle, 2 * pi + startAngle, 0);
        CGContextSetStrokeColorWithColor(context, m_backgroundTintColor->CGColor());
        CGContextStrokePath(context);
        CGFloat endAngle = (m_progress * 2 * pi) + startAngle;
        CGContextBeginPath(context);
        CGContextAddArc(context, center.x, center.y, radius, startAngle, endAngle, 0);
        CGContextSetStrokeColorWithColor(context, m_progressTintColor->CGColor());
        CGContextStrokePath(context);
        return;
    }
    CGRect circleRect = CGRectInset(all, 2, 2);
    CGContextSetStrokeColorWithColor(context, m_progressTintColor->CGColor());
    CGContextSetFillColorWithColor(context, m_backgroundTintColor->CGColor());
    CGContextSetLineWidth(context, 2);
    CGContextFillEllipseInRect(context, circleRect);
    CGContextStrokeEllipseInRect(context, circleRect);
    CGPoint center = CGPointMake(width / 2, height / 2);
    CGFloat radius = (width - 4) / 2;
    CGFloat startAngle = -(pi / 2);
    CGFloat endAngle = (m_progress * 2 * pi) + startAngle;
    CGContextSetRGBFillColor(context, 1, 1, 1, 1);
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, center.x, center.y);
    CGContextAddArc(context, center.x, center.y, radius, startAngle, endAngle, 0);
    CGContextClosePath(context);
    CGContextFillPath(context);
}
