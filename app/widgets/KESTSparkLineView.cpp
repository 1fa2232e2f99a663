#include "app/widgets/KESTSparkLineView.h"

#include "app/widgets/KESTSparkLinePoint.h"
#include "foundation/Clock.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

VX_REGISTER_CLASS(KESTSparkLineView);

KESTSparkLineView::~KESTSparkLineView()
{
    m_delegate = nullptr;
    m_delegateOwner.reset();
}

Ref<KESTSparkLineView> KESTSparkLineView::initWithFrame(CGRect frame)
{
    auto view = makeView<KESTSparkLineView>(frame);
    view->setBackgroundColor(UIColor::clearColor());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->setContentMode(UIViewContentModeRedraw);
    view->m_color = UIColor::redColor();
    return view;
}

void KESTSparkLineView::addPlotPoint(float value)
{
    m_pointsToAdd.push_back(KESTSparkLinePoint::initWithValue(value));
    if (m_points.empty()) {
        for (int i = 0; i < 6; ++i)
            m_points.push_back(KESTSparkLinePoint::initWithValue(value));
    }
}

float KESTSparkLineView::currentValue() const
{
    return m_points.empty() ? 0 : m_points.back()->value();
}

void KESTSparkLineView::replot()
{
    if (m_points.empty() && m_pointsToAdd.empty())
        return;
    double now = Clock::wallTime();
    if (now - m_lastPointAddedTS >= kIntakeInterval) {
        m_lastPointAddedTS = now;
        Ref<KESTSparkLinePoint> taken;
        if (!m_pointsToAdd.empty()) {
            taken = m_pointsToAdd.back();
            m_pointsToAdd.pop_back();
        } else {
            taken = KESTSparkLinePoint::initWithValue(m_points.front()->value());
        }
        if (m_points.size() >= kMaximumPoints)
            m_points.erase(m_points.begin());
        m_points.push_back(taken);
        if (auto* listener = delegate(); listener && !m_points.empty()) {
            auto owner = m_delegateOwner.lock();
            listener->sparkLineDidAddPlotPointWithValue(self<KESTSparkLineView>(), currentValue());
        }
    }
    CGFloat width = bounds().size.width;
    CGFloat step = width / 6;
    CGFloat slide = step * static_cast<CGFloat>(now - m_lastPointAddedTS) / kIntakeInterval;
    size_t count = m_points.size();
    for (size_t i = 0; i < count; ++i) {
        const auto& point = m_points[i];
        size_t fromNewest = count - 1 - i;
        point->setPosition(CGPointMake(width - fromNewest * step - slide, verticalPositionForPoint(point)));
    }
    m_lastPlotTS = now;
    setNeedsDisplay();
}

float KESTSparkLineView::verticalPositionForPoint(const Ref<KESTSparkLinePoint>& point) const
{
    float lowest = FLT_MAX, highest = FLT_MIN;
    for (const auto& held : m_points) {
        lowest = std::min(lowest, held->value());
        highest = std::max(highest, held->value());
    }
    float lower = std::max(0.0f, 100 * std::floor(lowest / 100) - 100);
    float upper = 100 * std::ceil(highest / 100) + 100;
    float height = frame().size.height;
    // Only negative values can bring the bounds together; such a line sits at mid-height.
    if (upper <= lower)
        return height / 2;
    return height - (15 + (height - 30) * (point->value() - lower) / (upper - lower));
}

void KESTSparkLineView::drawPlotPointInContextAtRect(const CGContextRef& context, CGRect rect) const
{
    CGContextSaveGState(context);
    CGContextSetRGBFillColor(context, 254 / 255.0f, 254 / 255.0f, 254 / 255.0f, 1);
    CGContextFillEllipseInRect(context, rect);
    CGContextRestoreGState(context);
    CGContextSaveGState(context);
    CGContextSetStrokeColorWithColor(context, m_color->CGColor());
    CGContextSetLineWidth(context, 2);
    CGContextStrokeEllipseInRect(context, rect);
    CGContextRestoreGState(context);
}

void KESTSparkLineView::drawRect(CGRect)
{
    replot();
    if (m_points.empty())
        return;
    auto context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGContextSetStrokeColorWithColor(context, m_color->CGColor());
    for (size_t i = m_points.size() - 1; i >= 1; --i) {
        CGPoint from = m_points[i]->position(), to = m_points[i - 1]->position();
        CGContextSetLineWidth(context, 2);
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, from.x, from.y);
        CGContextAddLineToPoint(context, to.x, to.y);
        CGContextStrokePath(context);
    }
    CGPoint newest = m_points.back()->position();
    CGContextSetLineWidth(context, 2);
    CGContextBeginPath(context);
    CGContextMoveToPoint(context, newest.x, newest.y);
    CGContextAddLineToPoint(context, bounds().size.width, newest.y);
    CGContextStrokePath(context);
    for (size_t i = m_points.size(); i-- > 0;) {
        CGPoint at = m_points[i]->position();
        drawPlotPointInContextAtRect(context, CGRectMake(at.x - 4, at.y - 4, 8, 8));
    }
}
