#include "app/overlays/KESTFlightPathOverlayRenderer.h"

#include "app/overlays/KESTFlightPathOverlay.h"
#include "graphics/UIGraphics.h"

#include <algorithm>
#include <cmath>

namespace {

// Squared map points: a point closer than this to the last drawn one is skipped.
constexpr double kMinimumStepSquared = 5.0;

} // namespace

Ref<KESTFlightPathOverlayRenderer> KESTFlightPathOverlayRenderer::initWithOverlay(Ref<KESTFlightPathOverlay> overlay)
{
    return make<KESTFlightPathOverlayRenderer>(std::move(overlay));
}

Ref<KESTFlightPathOverlay> KESTFlightPathOverlayRenderer::pathOverlay() const
{
    return std::dynamic_pointer_cast<KESTFlightPathOverlay>(overlay());
}

KESTFlightPathOverlayRenderer::SegmentColour KESTFlightPathOverlayRenderer::colourForAltitude(double altitude)
{
    if (!(altitude >= 0 && altitude <= 420000))
        return { 0, 0, 0, 1 };
    float f = static_cast<float>(altitude / 42000);
    return { std::clamp(f, 0.0f, 1.0f), 0, std::clamp(1 - f, 0.0f, 1.0f), 1 };
}

bool KESTFlightPathOverlayRenderer::canDrawMapRect(MKMapRect, MKZoomScale)
{
    auto path = pathOverlay();
    return path && !path->points()->empty();
}

void KESTFlightPathOverlayRenderer::drawMapRect(MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context)
{
    auto path = pathOverlay();
    if (!path || !context)
        return;
    double width = MKRoadWidthAtZoomScale(zoomScale);
    if (UIGraphicsScreenScale() == 1.0f)
        width *= 0.5;
    CGContextSetLineJoin(context, kCGLineJoinRound);
    CGContextSetLineCap(context, kCGLineCapRound);
    CGContextSetLineWidth(context, static_cast<CGFloat>(width));
    MKMapRect clip = MKMapRectInset(mapRect, -width, -width);

    // Points and altitudes are read together; a track whose lists differ in length is drawn
    // only as far as both reach.
    auto track = path->track();
    const auto& points = *track.points;
    const auto& altitudes = *track.altitudes;
    size_t count = std::min(points.size(), altitudes.size());
    if (count < 3)
        return;

    MKMapPoint last = points[0];
    // The final point is not visited: the track ends at the plane, which the marker shows.
    for (size_t i = 1; i + 1 < count; ++i) {
        MKMapPoint point = points[i];
        double dx = point.x - last.x;
        double dy = point.y - last.y;
        if (dx * dx + dy * dy < kMinimumStepSquared)
            continue;
        MKMapRect segment
            = MKMapRectMake(std::min(last.x, point.x), std::min(last.y, point.y), std::fabs(dx), std::fabs(dy));
        if (MKMapRectIntersectsRect(segment, clip)) {
            CGPoint from = pointForMapPoint(last);
            CGPoint to = pointForMapPoint(point);
            CGContextMoveToPoint(context, from.x, from.y);
            CGContextAddLineToPoint(context, to.x, to.y);
            SegmentColour colour = colourForAltitude(altitudes[i]);
            CGContextSetRGBStrokeColor(context, colour.red, colour.green, colour.blue, colour.alpha);
            CGContextStrokePath(context);
        }
        last = point;
    }
}
