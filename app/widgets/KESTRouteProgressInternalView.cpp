#include "app/widgets/KESTRouteProgressInternalView.h"

#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

VX_REGISTER_CLASS(KESTRouteProgressInternalView);

Ref<KESTRouteProgressInternalView> KESTRouteProgressInternalView::initWithFrame(CGRect frame)
{
    auto view = makeView<KESTRouteProgressInternalView>(frame);
    view->setBackgroundColor(UIColor::clearColor());
    view->setContentMode(UIViewContentModeRedraw);
    return view;
}

void KESTRouteProgressInternalView::drawRect(CGRect)
{
    m_lastMarkerStates.clear();
    m_lastFills.clear();
    const auto* source = delegate();
    if (!source)
        return;
    auto owner = m_delegateOwner.lock(); // keeps the delegate alive while drawing
    int32_t airports = static_cast<int32_t>(source->airportData().count());
    int32_t hops = airports - 1;
    bool showProgress = source->showProgress();
    float progress = source->progress();
    int32_t currentHop = source->currentHop();
    CGFloat y0 = source->showTerminals() ? 53 : 40;
    auto active = UIImage::imageNamed("progressHopActive");
    auto inactive = UIImage::imageNamed("progressHopInactive");
    auto barActive = UIImage::imageNamed("progressBarActive");
    auto barInactive = UIImage::imageNamed("progressBarInactive");
    auto marker = UIImage::imageNamed("progressMarker.png");
    CGFloat markerX = 0;
    if (hops >= 1) {
        CGFloat w = (bounds().size.width - 44) / hops;
        auto x = [w](int32_t i) { return 16 + i * w; };
        m_lastMarkerStates.assign(static_cast<size_t>(airports), 'I');
        for (int32_t i = 0; i < hops; ++i) {
            bool startActive = showProgress && progress >= 0 && currentHop >= i;
            bool endActive = showProgress && (i < currentHop || (i == currentHop && progress >= 100));
            const auto& start = startActive ? active : inactive;
            const auto& end = endActive ? active : inactive;
            CGFloat sw = start ? start->size().width : 0;
            CGFloat fill = w * (i < currentHop ? 100 : progress) / 100;
            if (barInactive)
                barInactive->drawInRect(CGRectMake(x(i) + sw, y0 + 2, w, 2));
            CGFloat drawnFill = 0;
            if (showProgress && currentHop >= i) {
                fill = std::max<CGFloat>(0, fill);
                drawnFill = fill;
                if (barActive)
                    barActive->drawInRect(CGRectMake(x(i) + sw, y0 + 2, fill, 2));
            }
            m_lastFills.push_back(drawnFill);
            if (showProgress && currentHop == i)
                markerX = x(i) + sw + fill - (marker ? marker->size().width : 0) / 2;
            if (i == 0) {
                if (start)
                    start->drawAtPoint(CGPointMake(x(0), y0));
                m_lastMarkerStates[0] = startActive ? 'A' : 'I';
            }
            if (end)
                end->drawAtPoint(CGPointMake(x(i + 1), y0));
            m_lastMarkerStates[static_cast<size_t>(i + 1)] = endActive ? 'A' : 'I';
        }
    }
    m_lastMarkerX = markerX;
    if (showProgress && marker)
        marker->drawAtPoint(CGPointMake(markerX, y0 + 3 - marker->size().height / 2));
}
