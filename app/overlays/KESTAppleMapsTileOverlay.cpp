#include "app/overlays/KESTAppleMapsTileOverlay.h"

#include "app/core/DiskDataCache.h"
#include "app/core/KESTChartObject.h"
#include "foundation/NSString.h"
#include "net/NSURL.h"

VX_REGISTER_CLASS(KESTAppleMapsTileOverlay);

Ref<KESTAppleMapsTileOverlay> KESTAppleMapsTileOverlay::initWithChartObject(const Ref<KESTChartObject>& chart)
{
    std::optional<std::string> urlTemplate;
    if (chart) {
        auto url = chart->url();
        if (url)
            urlTemplate = *url + "{z}/{x}/{y}.png";
    }
    auto overlay = make<KESTAppleMapsTileOverlay>(urlTemplate);
    overlay->m_chart = chart;
    if (chart) {
        overlay->m_boundingMapRect = chart->bounds();
        overlay->m_coordinate = chart->coordinate();
    }
    return overlay;
}

void KESTAppleMapsTileOverlay::loadTileAtPath(const MKTileOverlayPath& path, LoadResult result)
{
    auto url = NSURL::URLWithString(URLForTilePath(path));
    auto cache = DiskDataCache::sharedCache();
    Value cached = cache->dataForURL(url);
    if (!cached.isNil()) {
        if (result)
            result(cached, nullptr);
        return;
    }
    MKTileOverlay::loadTileAtPath(path, [result, url, cache](const Value& data, const Ref<NSError>& error) {
        if (result)
            result(data, error);
        // A failed load is not kept, so the tile is asked for again next time.
        if (!error)
            cache->setDataForURL(data, url);
    });
}
