#include "app/widgets/PHBarProgressView.h"

#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <cmath>

VX_REGISTER_CLASS(PHBarProgressView);

namespace {
const char* const kObservedKeys[] = { "lineColor", "progressRemainingColor", "progressColor", "progress" };
}

Ref<PHBarProgressView> PHBarProgressView::initWithFrame(CGRect frame)
{
    auto view = makeView<PHBarProgressView>(frame);
    view->setBackgroundColor(UIColor::clearColor());
    view->setOpaque(false);
    view->m_lineColor = UIColor::whiteColor();
    view->m_progressRemainingColor = UIColor::clearColor();
    view->m_progressColor = UIColor::whiteColor();
    for (const char* key : kObservedKeys)
        view->addObserver(view, key, NSKeyValueObservingOptionNew, nullptr);
    return view;
}

void PHBarProgressView::observeValueForKeyPath(const std::string&, const Ref<NSObject>&, const Value&, void*)
{
    setNeedsDisplay();
}

Value PHBarProgressView::valueForKey(const std::string& key)
{
    if (key == "progress")
        return Value(double(m_progress));
    return UIView::valueForKey(key);
}

void PHBarProgressView::drawRect(CGRect rect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    const CGFloat width = rect.size.width, height = rect.size.height;
    const CGFloat pi = float(M_PI);

    // The outline, filled with the remaining colour and then stroked.
    CGContextSetLineWidth(context, 2);
    CGContextSetStrokeColorWithColor(context, m_lineColor->CGColor());
    CGContextSetFillColorWithColor(context, m_progressRemainingColor->CGColor());
    CGFloat radius = (height / 2) - 2;
    auto outline = [&] {
        CGContextMoveToPoint(context, 2, height / 2);
        CGContextAddArcToPoint(context, 2, 2, radius + 2, 2, radius);
        CGContextAddLineToPoint(context, width - radius - 2, 2);
        CGContextAddArcToPoint(context, width - 2, 2, width - 2, height / 2, radius);
        CGContextAddArcToPoint(context, width - 2, height - 2, width - radius - 2, height - 2, radius);
        CGContextAddLineToPoint(context, radius + 2, height - 2);
        CGContextAddArcToPoint(context, 2, height - 2, 2, height / 2, radius);
    };
    outline();
    CGContextFillPath(context);
    outline();
    CGContextStrokePath(context);

    CGContextSetFillColorWithColor(context, m_progressColor->CGColor());
    radius = radius - 2;
    CGFloat amount = m_progress * width;

    if (amount >= radius + 4 && amount <= (width - radius - 4)) {
        // In the middle: straight right edge.
        CGContextMoveToPoint(context, 4, height / 2);
        CGContextAddArcToPoint(context, 4, 4, radius + 4, 4, radius);
        CGContextAddLineToPoint(context, amount, 4);
        CGContextAddLineToPoint(context, amount, radius + 4);

        CGContextMoveToPoint(context, 4, height / 2);
        CGContextAddArcToPoint(context, 4, height - 4, radius + 4, height - 4, radius);
        CGContextAddLineToPoint(context, amount, height - 4);
        CGContextAddLineToPoint(context, amount, radius + 4);
        CGContextFillPath(context);
    } else if (amount > radius + 4) {
        // Into the rounded right end.
        CGFloat x = amount - (width - radius - 4);
        CGFloat angle = std::acos(x / radius);
        if (std::isnan(angle))
            angle = 0;

        CGContextMoveToPoint(context, 4, height / 2);
        CGContextAddArcToPoint(context, 4, 4, radius + 4, 4, radius);
        CGContextAddLineToPoint(context, width - radius - 4, 4);
        CGContextAddArc(context, width - radius - 4, height / 2, radius, pi, -angle, 0);
        CGContextAddLineToPoint(context, amount, height / 2);

        CGContextMoveToPoint(context, 4, height / 2);
        CGContextAddArcToPoint(context, 4, height - 4, radius + 4, height - 4, radius);
        CGContextAddLineToPoint(context, width - radius - 4, height - 4);
        CGContextAddArc(context, width - radius - 4, height / 2, radius, -pi, angle, 1);
        CGContextAddLineToPoint(context, amount, height / 2);
        CGContextFillPath(context);
    } else if (amount < radius + 4 && amount > 0) {
        // Inside the rounded left end.
        CGContextMoveToPoint(context, 4, height / 2);
        CGContextAddArcToPoint(context, 4, 4, radius + 4, 4, radius);
        CGContextAddLineToPoint(context, radius + 4, height / 2);

        CGContextMoveToPoint(context, 4, height / 2);
        CGContextAddArcToPoint(context, 4, height - 4, radius + 4, height - 4, radius);
        CGContextAddLineToPoint(context, radius + 4, height / 2);
        CGContextFillPath(context);
    }
}
