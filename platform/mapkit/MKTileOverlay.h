#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "mapkit/MKOverlay.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class NSError;

// A tile's address: column x and row y (counted from the top, or from the bottom when the
// overlay's geometry is flipped) at zoom z, for a screen scale.
struct MKTileOverlayPath {
    int32_t x { 0 };
    int32_t y { 0 };
    int32_t z { 0 };
    CGFloat contentScaleFactor { 1 };
};

// One tile covering part of a map rect: its path and where it lies (columns past the world's
// edge keep their unwrapped position, their path's x wraps).
struct MKTileOverlayTile {
    MKTileOverlayPath path;
    MKMapRect mapRect;
};

// An overlay of square image tiles addressed by zoom, column and row. URLForTilePath fills the
// URL template's {x}, {y}, {z} and {scale}; loadTileAtPath fetches a tile through the tile
// loader (the seam URL loading plugs into). Any thread; loadTileAtPath may be called for several
// tiles at once.
class MKTileOverlay : public NSObject, public MKOverlay {
    VX_OBJECT(MKTileOverlay, NSObject)
public:
    using LoadResult = std::function<void(const Value& tileData, const Ref<NSError>& error)>;
    // Fetches the data at a URL and answers through the result block exactly once, on any thread.
    using TileLoader = std::function<void(const std::string& url, LoadResult result)>;

    MKTileOverlay(Passkey, std::optional<std::string> urlTemplate);
    static Ref<MKTileOverlay> initWithURLTemplate(std::optional<std::string> urlTemplate);

    const std::optional<std::string>& URLTemplate() const { return m_urlTemplate; }
    CGSize tileSize() const;
    void setTileSize(CGSize size);
    bool isGeometryFlipped() const;
    void setGeometryFlipped(bool flipped);
    int32_t minimumZ() const;
    void setMinimumZ(int32_t z);
    int32_t maximumZ() const;
    void setMaximumZ(int32_t z);
    bool canReplaceMapContent() const override;
    void setCanReplaceMapContent(bool replaces);

    // The whole world, centred on (0, 0).
    CLLocationCoordinate2D coordinate() const override { return { 0, 0 }; }
    MKMapRect boundingMapRect() const override { return MKMapRectWorld; }

    // The template with the path filled in; "" when there is no template.
    virtual std::string URLForTilePath(const MKTileOverlayPath& path);
    // Loads a tile's data. The default fetches URLForTilePath through the tile loader (the
    // overlay's own, else the process default); with no loader at all it answers
    // NSURLErrorDomain -1002 (unsupported URL), as it does for an empty URL.
    virtual void loadTileAtPath(const MKTileOverlayPath& path, LoadResult result);

    void setTileLoader(TileLoader loader);
    static void setDefaultTileLoader(TileLoader loader);
    static bool hasDefaultTileLoader();

    // The zoom level whose tiles are drawn at `zoomScale` (screen points per map point), not
    // limited to minimumZ..maximumZ, and the paths of the tiles covering a map rect at level z
    // (rows counted as the geometry flag says; columns wrap around the 180th meridian).
    int32_t zoomLevelForZoomScale(double zoomScale) const;
    std::vector<MKTileOverlayTile> tilesForMapRect(MKMapRect rect, int32_t z, CGFloat contentScaleFactor) const;
    // The map rect a tile covers.
    MKMapRect mapRectForTilePath(const MKTileOverlayPath& path) const;

private:
    std::optional<std::string> m_urlTemplate;
    mutable std::mutex m_lock;
    CGSize m_tileSize { 256, 256 };
    bool m_geometryFlipped { false };
    int32_t m_minimumZ { 0 };
    int32_t m_maximumZ { 21 };
    bool m_canReplaceMapContent { false };
    TileLoader m_loader;
};
