#pragma once

#include "graphics/CGImage.h"
#include "mapkit/MKOverlayRenderer.h"
#include "mapkit/MKTileOverlay.h"

#include <map>
#include <set>
#include <tuple>

// Draws a tile overlay from the tiles it has been given. For a map rect at a zoom scale it uses
// the overlay's tiles of the matching level (the overlay's maximumZ when zoomed in further;
// nothing below minimumZ). canDrawMapRect asks the overlay to load the tiles it lacks (each
// once) and answers false until all are there; each arriving tile asks for a redraw of its
// rect through setNeedsDisplayInMapRect. Any thread.
class MKTileOverlayRenderer : public MKOverlayRenderer {
    VX_OBJECT(MKTileOverlayRenderer, MKOverlayRenderer)
public:
    MKTileOverlayRenderer(Passkey key, Ref<MKTileOverlay> overlay);
    static Ref<MKTileOverlayRenderer> initWithTileOverlay(Ref<MKTileOverlay> overlay);

    const Ref<MKTileOverlay>& tileOverlay() const { return m_tileOverlay; }

    // Hands the renderer a tile (image data in any format the graphics layer decodes, or an
    // image). Undecodable data is kept as a failed tile: drawn as nothing, not asked for again.
    void setTileData(const MKTileOverlayPath& path, const Value& data);
    void setTileImage(const MKTileOverlayPath& path, CGImageRef image);
    bool hasTile(const MKTileOverlayPath& path) const;
    // Forgets every tile, so they are loaded again.
    void reloadData();

    bool canDrawMapRect(MKMapRect mapRect, MKZoomScale zoomScale) override;
    void drawMapRect(MKMapRect mapRect, MKZoomScale zoomScale, const CGContextRef& context) override;

private:
    using Key = std::tuple<int32_t, int32_t, int32_t>;
    static Key keyFor(const MKTileOverlayPath& path) { return { path.z, path.x, path.y }; }
    std::optional<int32_t> levelFor(MKZoomScale zoomScale) const;

    Ref<MKTileOverlay> m_tileOverlay;
    mutable std::mutex m_tilesLock;
    std::map<Key, CGImageRef> m_tiles; // a null image is a tile that failed
    std::set<Key> m_loading;
    uint64_t m_generation { 0 };
};
