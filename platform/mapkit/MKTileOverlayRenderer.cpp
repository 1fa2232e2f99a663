#include "mapkit/MKTileOverlayRenderer.h"

#include "foundation/NSError.h"
#include "foundation/Value.h"
#include "graphics/CGContext.h"

MKTileOverlayRenderer::MKTileOverlayRenderer(Passkey key, Ref<MKTileOverlay> overlay)
    : MKOverlayRenderer(key, overlay)
    , m_tileOverlay(std::move(overlay))
{
}

Ref<MKTileOverlayRenderer> MKTileOverlayRenderer::initWithTileOverlay(Ref<MKTileOverlay> overlay)
{
    if (!overlay)
        return nullptr;
    return make<MKTileOverlayRenderer>(std::move(overlay));
}

void MKTileOverlayRenderer::setTileData(const MKTileOverlayPath& path, const Value& data)
{
    CGImageRef image;
    if (data.isData())
        image = CGImageCreateWithEncodedData(data.bytes());
    setTileImage(path, image);
}

void MKTileOverlayRenderer::setTileImage(const MKTileOverlayPath& path, CGImageRef image)
{
    {
        std::lock_guard guard(m_tilesLock);
        m_tiles[keyFor(path)] = std::move(image);
        m_loading.erase(keyFor(path));
    }
    setNeedsDisplayInMapRect(m_tileOverlay->mapRectForTilePath(path));
}

bool MKTileOverlayRenderer::hasTile(const MKTileOverlayPath& path) const
{
    std::lock_guard guard(m_tilesLock);
    return m_tiles.count(keyFor(path)) != 0;
}

void MKTileOverlayRenderer::reloadData()
{
    {
        std::lock_guard guard(m_tilesLock);
        m_tiles.clear();
        m_loading.clear();
        ++m_generation;
    }
    setNeedsDisplay();
}

std::optional<int32_t> MKTileOverlayRenderer::levelFor(MKZoomScale zoomScale) const
{
    int32_t level = m_tileOverlay->zoomLevelForZoomScale(zoomScale);
    if (level < m_tileOverlay->minimumZ())
        return std::nullopt;
    return std::min(level, m_tileOverlay->maximumZ());
}

bool MKTileOverlayRenderer::canDrawMapRect(MKMapRect mapRect, MKZoomScale zoomScale)
{
    auto level = levelFor(zoomScale);
    if (!level)
        return false;
    std::vector<MKTileOverlayPath> missing;
    uint64_t generation;
    {
        std::lock_guard guard(m_tilesLock);
        generation = m_generation;
        for (auto& tile : m_tileOverlay->tilesForMapRect(mapRect, *level, contentScaleFactor())) {
            auto key = keyFor(tile.path);
            if (m_tiles.count(key))
                continue;
            if (m_loading.insert(key).second)
                missing.push_back(tile.path);
            else
                missing.push_back({ -1, -1, -1, 0 }); // already on its way
        }
    }
    Weak<MKTileOverlayRenderer> weak = self<MKTileOverlayRenderer>();
    for (auto& path : missing) {
        if (path.z < 0)
            continue;
        m_tileOverlay->loadTileAtPath(path, [weak, path, generation](const Value& data, const Ref<NSError>& error) {
            auto self = weak.lock();
            if (!self)
                return;
            {
                std::lock_guard guard(self->m_tilesLock);
                if (generation != self->m_generation)
                    return; // reloaded meanwhile; this answer is stale
            }
            self->setTileData(path, error ? Value() : data);
        });
    }
    return missing.empty();
}

void MKTileOverlayRenderer::drawMapRect(MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context)
{
    auto level = levelFor(zoomScale);
    if (!level)
        return;
    std::vector<std::pair<CGRect, CGImageRef>> draws;
    {
        std::lock_guard guard(m_tilesLock);
        for (auto& tile : m_tileOverlay->tilesForMapRect(mapRect, *level, contentScaleFactor())) {
            auto it = m_tiles.find(keyFor(tile.path));
            if (it != m_tiles.end() && it->second)
                draws.emplace_back(rectForMapRect(tile.mapRect), it->second);
        }
    }
    for (auto& [rect, image] : draws)
        CGContextDrawImage(context, rect, image);
}

VX_REGISTER_CLASS(MKTileOverlayRenderer);
