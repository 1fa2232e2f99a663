#pragma once

#include "mapkit/MKTileOverlay.h"

class KESTChartObject;

// The tile overlay of one chart. Its URL template is the chart's `url` followed by
// "{z}/{x}/{y}.png"; it covers the chart's bounds. Tiles come from the shared DiskDataCache
// when held there (answered at once, on the calling thread); otherwise they are loaded from
// the network and, when the load succeeds, stored in the cache. Any thread.
class KESTAppleMapsTileOverlay : public MKTileOverlay {
    VX_OBJECT(KESTAppleMapsTileOverlay, MKTileOverlay)
public:
    KESTAppleMapsTileOverlay(Passkey key, std::optional<std::string> urlTemplate)
        : MKTileOverlay(key, std::move(urlTemplate))
    {
    }

    // With a nil chart (or a chart without url) the overlay has no template and covers nothing.
    static Ref<KESTAppleMapsTileOverlay> initWithChartObject(const Ref<KESTChartObject>& chart);

    Ref<KESTChartObject> chart() const { return m_chart.lock(); }
    void setChart(const Ref<KESTChartObject>& chart) { m_chart = chart; }
    CLLocationCoordinate2D coordinate() const override { return m_coordinate; }
    MKMapRect boundingMapRect() const override { return m_boundingMapRect; }

    void loadTileAtPath(const MKTileOverlayPath& path, LoadResult result) override;

private:
    Weak<KESTChartObject> m_chart;
    CLLocationCoordinate2D m_coordinate { 0, 0 };
    MKMapRect m_boundingMapRect { { 0, 0 }, { 0, 0 } };
};
