#include "mapkit/BaseMapRenderer.h"

#include "mapkit/LandOutlines.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace BaseMapRenderer {

namespace {

// Clips a closed ring to a rect (Sutherland-Hodgman), so that drawing never sees coordinates far
// outside the tile, which the rasteriser cannot represent at deep zoom.
std::vector<MKMapPoint> clipRing(const std::vector<MKMapPoint>& ring, MKMapRect clip)
{
    std::vector<MKMapPoint> current = ring, next;
    const double minX = MKMapRectGetMinX(clip), maxX = MKMapRectGetMaxX(clip);
    const double minY = MKMapRectGetMinY(clip), maxY = MKMapRectGetMaxY(clip);
    for (int edge = 0; edge < 4 && !current.empty(); ++edge) {
        auto inside = [&](MKMapPoint p) {
            switch (edge) {
            case 0:
                return p.x >= minX;
            case 1:
                return p.x <= maxX;
            case 2:
                return p.y >= minY;
            default:
                return p.y <= maxY;
            }
        };
        auto crossing = [&](MKMapPoint a, MKMapPoint b) {
            double t;
            switch (edge) {
            case 0:
                t = (minX - a.x) / (b.x - a.x);
                break;
            case 1:
                t = (maxX - a.x) / (b.x - a.x);
                break;
            case 2:
                t = (minY - a.y) / (b.y - a.y);
                break;
            default:
                t = (maxY - a.y) / (b.y - a.y);
                break;
            }
            return MKMapPoint { a.x + t * (b.x - a.x), a.y + t * (b.y - a.y) };
        };
        next.clear();
        for (size_t i = 0; i < current.size(); ++i) {
            MKMapPoint a = current[i], b = current[(i + 1) % current.size()];
            bool aIn = inside(a), bIn = inside(b);
            if (aIn)
                next.push_back(a);
            if (aIn != bIn)
                next.push_back(crossing(a, b));
        }
        std::swap(current, next);
    }
    return current;
}

} // namespace

Palette paletteFor(MKMapType type)
{
    switch (type) {
    case MKMapTypeSatellite:
        return { { 0.04f, 0.10f, 0.22f }, { 0.30f, 0.36f, 0.22f }, { 0, 0, 0, 0 }, { 0, 0, 0, 0 } };
    case MKMapTypeHybrid:
        return { { 0.04f, 0.10f, 0.22f }, { 0.30f, 0.36f, 0.22f }, { 0.98f, 0.86f, 0.40f, 1 },
            { 0.85f, 0.85f, 0.85f, 0.6f } };
    case MKMapTypeStandard:
    default:
        return { { 0.64f, 0.80f, 0.96f }, { 0.95f, 0.94f, 0.90f }, { 0.55f, 0.66f, 0.78f, 1 }, { 0, 0, 0, 0 } };
    }
}

void drawMapRect(MKMapType type, MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context)
{
    if (!context || MKMapRectIsEmpty(mapRect) || !(zoomScale > 0))
        return;
    auto palette = paletteFor(type);
    const CGRect area = CGRectMake(0, 0, static_cast<CGFloat>(mapRect.size.width * zoomScale),
        static_cast<CGFloat>(mapRect.size.height * zoomScale));
    CGContextSaveGState(context);
    CGContextClipToRect(context, area);
    CGContextSetRGBFillColor(context, palette.sea[0], palette.sea[1], palette.sea[2], 1);
    CGContextFillRect(context, area);

    auto outlines = kMKMapWorldSide * zoomScale > 2048 ? LandOutlines::detailed() : nullptr;
    if (!outlines)
        outlines = LandOutlines::coarse();

    // Map points to context points in double, so large map coordinates keep their precision.
    auto toContext = [&](MKMapPoint p, double worldOffset) {
        return CGPointMake(static_cast<CGFloat>((p.x + worldOffset - mapRect.origin.x) * zoomScale),
            static_cast<CGFloat>((p.y - mapRect.origin.y) * zoomScale));
    };
    // Clipping margin of a few points, so that the edges clipping adds stay outside the tile.
    const MKMapRect clip = MKMapRectInset(mapRect, -4 / zoomScale, -4 / zoomScale);
    const double firstWorld = std::floor(MKMapRectGetMinX(mapRect) / kMKMapWorldSide);
    const double lastWorld = std::floor(MKMapRectGetMaxX(mapRect) / kMKMapWorldSide);
    // Land that crosses the 180th meridian reaches into the worlds either side of its own.
    const double firstLandWorld = firstWorld - 1, lastLandWorld = lastWorld + 1;
    if (outlines) {
        CGContextSetRGBFillColor(context, palette.land[0], palette.land[1], palette.land[2], 1);
        if (palette.coast[3] > 0) {
            CGContextSetRGBStrokeColor(context, palette.coast[0], palette.coast[1], palette.coast[2], palette.coast[3]);
            CGContextSetLineWidth(context, 1);
            CGContextSetLineJoin(context, kCGLineJoinRound);
        }
        for (double world = firstLandWorld; world <= lastLandWorld; ++world) {
            double offset = world * kMKMapWorldSide;
            for (auto& polygon : outlines->polygons()) {
                if (!MKMapRectIntersectsRect(
                        MKMapRectInset(MKMapRectOffset(polygon.bounds, offset, 0), -1, -1), mapRect))
                    continue;
                CGContextBeginPath(context);
                for (auto& original : polygon.rings) {
                    auto ring = clipRing(original, MKMapRectOffset(clip, -offset, 0));
                    if (ring.size() < 3)
                        continue;
                    CGPoint last = toContext(ring[0], offset);
                    CGContextMoveToPoint(context, last.x, last.y);
                    for (size_t i = 1; i < ring.size(); ++i) {
                        CGPoint p = toContext(ring[i], offset);
                        // Points closer than a quarter point add nothing visible.
                        if (std::fabs(p.x - last.x) < 0.25f && std::fabs(p.y - last.y) < 0.25f && i + 1 < ring.size())
                            continue;
                        CGContextAddLineToPoint(context, p.x, p.y);
                        last = p;
                    }
                    CGContextClosePath(context);
                }
                CGContextDrawPath(context, palette.coast[3] > 0 ? kCGPathEOFillStroke : kCGPathEOFill);
            }
        }
    }

    if (palette.grid[3] > 0) {
        // Lines every 15 degrees of longitude and latitude.
        CGContextSetRGBStrokeColor(context, palette.grid[0], palette.grid[1], palette.grid[2], palette.grid[3]);
        CGContextSetLineWidth(context, 1);
        CGContextBeginPath(context);
        for (double world = firstWorld; world <= lastWorld; ++world) {
            double offset = world * kMKMapWorldSide;
            for (int longitude = -180; longitude < 180; longitude += 15) {
                double x = (longitude + 180.0) / 360.0 * kMKMapWorldSide;
                if (x + offset < MKMapRectGetMinX(clip) || x + offset > MKMapRectGetMaxX(clip))
                    continue;
                auto top = toContext({ x, std::max(0.0, MKMapRectGetMinY(clip)) }, offset);
                auto bottom = toContext({ x, std::min(kMKMapWorldSide, MKMapRectGetMaxY(clip)) }, offset);
                CGContextMoveToPoint(context, top.x, top.y);
                CGContextAddLineToPoint(context, bottom.x, bottom.y);
            }
            for (int latitude = -75; latitude <= 75; latitude += 15) {
                double y = MKMapPointForCoordinate({ static_cast<double>(latitude), 0 }).y;
                if (y < MKMapRectGetMinY(clip) || y > MKMapRectGetMaxY(clip))
                    continue;
                auto west = toContext({ std::max(0.0, MKMapRectGetMinX(clip) - offset), y }, offset);
                auto east = toContext({ std::min(kMKMapWorldSide, MKMapRectGetMaxX(clip) - offset), y }, offset);
                CGContextMoveToPoint(context, west.x, west.y);
                CGContextAddLineToPoint(context, east.x, east.y);
            }
        }
        CGContextStrokePath(context);
    }
    CGContextRestoreGState(context);
}

} // namespace BaseMapRenderer
