#include "mapkit/MKTileOverlay.h"

#include "foundation/NSError.h"
#include "foundation/Value.h"

#include <cmath>
#include <cstdio>

namespace {

std::mutex s_defaultLoaderLock;
MKTileOverlay::TileLoader s_defaultLoader;

void replaceAll(std::string& text, const std::string& token, const std::string& value)
{
    for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
}

std::string scaleText(CGFloat scale)
{
    char buffer[32];
    if (scale == std::floor(scale))
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(scale));
    else
        std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(scale));
    return buffer;
}

} // namespace

MKTileOverlay::MKTileOverlay(Passkey key, std::optional<std::string> urlTemplate)
    : NSObject(key)
    , m_urlTemplate(std::move(urlTemplate))
{
}

Ref<MKTileOverlay> MKTileOverlay::initWithURLTemplate(std::optional<std::string> urlTemplate)
{
    return make<MKTileOverlay>(std::move(urlTemplate));
}

CGSize MKTileOverlay::tileSize() const
{
    std::lock_guard guard(m_lock);
    return m_tileSize;
}
void MKTileOverlay::setTileSize(CGSize size)
{
    std::lock_guard guard(m_lock);
    m_tileSize = size;
}
bool MKTileOverlay::isGeometryFlipped() const
{
    std::lock_guard guard(m_lock);
    return m_geometryFlipped;
}
void MKTileOverlay::setGeometryFlipped(bool flipped)
{
    std::lock_guard guard(m_lock);
    m_geometryFlipped = flipped;
}
int32_t MKTileOverlay::minimumZ() const
{
    std::lock_guard guard(m_lock);
    return m_minimumZ;
}
void MKTileOverlay::setMinimumZ(int32_t z)
{
    std::lock_guard guard(m_lock);
    m_minimumZ = z;
}
int32_t MKTileOverlay::maximumZ() const
{
    std::lock_guard guard(m_lock);
    return m_maximumZ;
}
void MKTileOverlay::setMaximumZ(int32_t z)
{
    std::lock_guard guard(m_lock);
    m_maximumZ = z;
}
bool MKTileOverlay::canReplaceMapContent() const
{
    std::lock_guard guard(m_lock);
    return m_canReplaceMapContent;
}
void MKTileOverlay::setCanReplaceMapContent(bool replaces)
{
    std::lock_guard guard(m_lock);
    m_canReplaceMapContent = replaces;
}

std::string MKTileOverlay::URLForTilePath(const MKTileOverlayPath& path)
{
    if (!m_urlTemplate)
        return "";
    std::string url = *m_urlTemplate;
    replaceAll(url, "{x}", std::to_string(path.x));
    replaceAll(url, "{y}", std::to_string(path.y));
    replaceAll(url, "{z}", std::to_string(path.z));
    replaceAll(url, "{scale}", scaleText(path.contentScaleFactor));
    return url;
}

void MKTileOverlay::loadTileAtPath(const MKTileOverlayPath& path, LoadResult result)
{
    if (!result)
        return;
    TileLoader loader;
    {
        std::lock_guard guard(m_lock);
        loader = m_loader;
    }
    if (!loader) {
        std::lock_guard guard(s_defaultLoaderLock);
        loader = s_defaultLoader;
    }
    std::string url = URLForTilePath(path);
    if (!loader || url.empty()) {
        result(Value(), NSError::errorWithDomain("NSURLErrorDomain", -1002));
        return;
    }
    loader(url, std::move(result));
}

void MKTileOverlay::setTileLoader(TileLoader loader)
{
    std::lock_guard guard(m_lock);
    m_loader = std::move(loader);
}

bool MKTileOverlay::hasDefaultTileLoader()
{
    std::lock_guard guard(s_defaultLoaderLock);
    return static_cast<bool>(s_defaultLoader);
}

void MKTileOverlay::setDefaultTileLoader(TileLoader loader)
{
    std::lock_guard guard(s_defaultLoaderLock);
    s_defaultLoader = std::move(loader);
}

int32_t MKTileOverlay::zoomLevelForZoomScale(double zoomScale) const
{
    double side = std::max<double>(1, tileSize().width);
    if (!(zoomScale > 0))
        return 0;
    // At level z a tile spans world / 2^z map points and is drawn `side` points wide.
    double level = std::log2(zoomScale * kMKMapWorldSide / side);
    return static_cast<int32_t>(std::clamp(std::round(level), 0.0, 30.0));
}

std::vector<MKTileOverlayTile> MKTileOverlay::tilesForMapRect(
    MKMapRect rect, int32_t z, CGFloat contentScaleFactor) const
{
    std::vector<MKTileOverlayTile> paths;
    if (MKMapRectIsEmpty(rect) || z < 0 || z > 30)
        return paths;
    const int64_t tiles = int64_t(1) << z;
    const double tileSide = kMKMapWorldSide / double(tiles);
    auto firstColumn = static_cast<int64_t>(std::floor(MKMapRectGetMinX(rect) / tileSide));
    auto lastColumn = static_cast<int64_t>(std::ceil(MKMapRectGetMaxX(rect) / tileSide)) - 1;
    auto firstRow = std::max<int64_t>(0, static_cast<int64_t>(std::floor(MKMapRectGetMinY(rect) / tileSide)));
    auto lastRow = std::min<int64_t>(tiles - 1, static_cast<int64_t>(std::ceil(MKMapRectGetMaxY(rect) / tileSide)) - 1);
    lastColumn = std::min(lastColumn, firstColumn + tiles - 1); // at most one world across
    bool flipped = isGeometryFlipped();
    for (int64_t row = firstRow; row <= lastRow; ++row) {
        for (int64_t column = firstColumn; column <= lastColumn; ++column) {
            int64_t x = ((column % tiles) + tiles) % tiles;
            int64_t y = flipped ? tiles - 1 - row : row;
            MKTileOverlayPath path { static_cast<int32_t>(x), static_cast<int32_t>(y), z, contentScaleFactor };
            paths.push_back({ path, MKMapRectMake(column * tileSide, row * tileSide, tileSide, tileSide) });
        }
    }
    return paths;
}

MKMapRect MKTileOverlay::mapRectForTilePath(const MKTileOverlayPath& path) const
{
    if (path.z < 0 || path.z > 30)
        return MKMapRectNull;
    const int64_t tiles = int64_t(1) << path.z;
    const double tileSide = kMKMapWorldSide / double(tiles);
    int64_t row = isGeometryFlipped() ? tiles - 1 - path.y : path.y;
    return MKMapRectMake(path.x * tileSide, row * tileSide, tileSide, tileSide);
}

VX_REGISTER_CLASS(MKTileOverlay);
