#include "charts/gl/Drawer.h"

#include <cstdlib>
#include <cstring>

namespace LChartGL {

namespace {

constexpr uint32_t kMaxIndices = 65536;
constexpr Colour4f kClear { 0, 0, 0, 0 };

const StencilSettings kBarFillUnderOutline { true, false, GL_REPLACE, GL_ALWAYS };
const StencilSettings kBarOutline { true, false, GL_ZERO, GL_EQUAL };
const StencilSettings kWideLineSegments { true, true, GL_REPLACE, GL_NOTEQUAL };

Colour4f mix(Colour4f main, float f, const Colour4f* ramp)
{
    if (!ramp)
        return { f * main.red, f * main.green, f * main.blue, f * main.alpha };
    return { f * main.red + (1 - f) * ramp->red, f * main.green + (1 - f) * ramp->green,
        f * main.blue + (1 - f) * ramp->blue, f * main.alpha + (1 - f) * ramp->alpha };
}

// Whether every vertex's alpha (the colour's fourth float, 24 bytes in) is 0.
bool allTransparent(const uint8_t* vertices, uint32_t count, size_t vertexSize)
{
    for (uint32_t i = 0; i < count; ++i) {
        float alpha;
        std::memcpy(&alpha, vertices + i * vertexSize + 24, sizeof(float));
        if (alpha != 0)
            return false;
    }
    return count > 0;
}

// One bar of a bar or column bin: its value, its base and its four corners (p - h, v),
// (p - h, base), (p + h, v), (p + h, base), placed on x and y by the orientation.
struct BarGeometry {
    const float* points;
    const float* baseValues;
    float glBaseline;
    int32_t orientation;
    float halfWidth;

    uint32_t valueIndex() const { return orientation == 1 ? 0 : 1; }
    float value(uint32_t i) const { return points[2 * i + valueIndex()]; }
    float base(uint32_t i) const { return baseValues ? baseValues[i] : glBaseline; }
    PlainVertex place(float position, float value, Colour4f colour) const
    {
        return orientation == 1 ? PlainVertex { value, position, -0.0f, colour }
                                : PlainVertex { position, value, -0.0f, colour };
    }
    void corners(uint32_t i, Colour4f nearSide, Colour4f farSide, PlainVertex* out) const
    {
        float position = points[2 * i + 1 - valueIndex()];
        float h = orientation == 1 ? -halfWidth : halfWidth;
        out[0] = place(position - h, value(i), nearSide);
        out[1] = place(position - h, base(i), nearSide);
        out[2] = place(position + h, value(i), farSide);
        out[3] = place(position + h, base(i), farSide);
    }
};

} // namespace

// The line rule: a point on the baseline takes the colour below when the line goes on below the
// baseline after it, or arrives from below.
std::vector<Colour4f> Drawer::colourByLineRule(
    const float* points, uint32_t count, int32_t coordinate, float baseline, Colour4f above, Colour4f below) const
{
    std::vector<Colour4f> colours(count);
    auto c = [&](uint32_t i) { return points[2 * i + static_cast<uint32_t>(coordinate)]; };
    for (uint32_t i = 0; i < count; ++i) {
        float value = c(i);
        if (value < baseline)
            colours[i] = below;
        else if (value > baseline)
            colours[i] = above;
        else if (i == count - 1)
            colours[i] = above;
        else if (c(i + 1) < baseline)
            colours[i] = below;
        else if (i == 0)
            colours[i] = above;
        else
            colours[i] = c(i - 1) < baseline ? below : above;
    }
    return colours;
}

RenderData Drawer::makePiece(const SeriesHandleRef& series, BufferKind vertexSet, void* vertices, uint32_t vertexCount,
    size_t vertexSize, uint16_t* indices, uint32_t indexCount, int32_t* idCounter, GLenum mode,
    const StencilSettings* stencil, const LChartGLTranslation* translation)
{
    m_depth *= 0.998f;
    auto* bytes = static_cast<uint8_t*>(vertices);
    for (uint32_t i = 0; i < vertexCount; ++i)
        std::memcpy(bytes + i * vertexSize + 8, &m_depth, sizeof(float));
    auto vertexBlock = std::make_shared<VboData>(vertices, vertexCount, true, &set(vertexSet));
    std::shared_ptr<VboData> indexBlock;
    if (indices)
        indexBlock = std::make_shared<VboData>(indices, indexCount, true, &set(BufferKind::Indices));
    RenderData piece(series, vertexBlock, indexBlock, idCounter, mode, stencil, translation);
    piece.invisible = allTransparent(bytes, vertexCount, vertexSize);
    piece.vertexCount = static_cast<int32_t>(vertexCount);
    piece.indexCount = static_cast<int32_t>(indexCount);
    return piece;
}

void Drawer::addFlatTriangles(PlainVertex* vertices, const SeriesHandleRef& series, int32_t* idCounter,
    uint32_t vertexCount, uint16_t* indices, uint32_t indexCount, bool opaque, const StencilSettings* stencil,
    const LChartGLTranslation& translation)
{
    auto piece = makePiece(series, BufferKind::Vertices, vertices, vertexCount, sizeof(PlainVertex), indices,
        indexCount, idCounter, GL_TRIANGLES, stencil, &translation);
    piece.type = RenderDataType::Flat;
    addOrReplaceRenderData(series, piece, opaque);
}

void Drawer::addWideLineTriangles(OffsetVertex* vertices, const SeriesHandleRef& series, int32_t* idCounter,
    uint32_t vertexCount, uint16_t* indices, uint32_t indexCount, float lineWidth, bool opaque,
    const StencilSettings* stencil, const LChartGLTranslation& translation)
{
    auto piece = makePiece(series, BufferKind::OffsetVertices, vertices, vertexCount, sizeof(OffsetVertex), indices,
        indexCount, idCounter, GL_TRIANGLES, stencil, &translation);
    piece.type = RenderDataType::WideLine;
    piece.lineWidth = lineWidth;
    addOrReplaceRenderData(series, piece, opaque);
}

void Drawer::addLines(PlainVertex* vertices, const SeriesHandleRef& series, int32_t* idCounter, uint32_t vertexCount,
    uint16_t* indices, uint32_t indexCount, GLenum mode, float lineWidth, bool drawAsSprites, bool opaque,
    const StencilSettings* stencil, const LChartGLTranslation& translation)
{
    auto piece = makePiece(series, BufferKind::Vertices, vertices, vertexCount, sizeof(PlainVertex), indices,
        indexCount, idCounter, mode, stencil, &translation);
    piece.type = RenderDataType::Line;
    piece.lineWidth = lineWidth;
    piece.drawAsSprites = drawAsSprites;
    addOrReplaceRenderData(series, piece, opaque);
}

void Drawer::addOffsetLines(OffsetVertex* vertices, const SeriesHandleRef& series, int32_t* idCounter,
    uint32_t vertexCount, GLenum mode, float lineWidth, bool opaque, const StencilSettings* stencil,
    const LChartGLTranslation& translation)
{
    auto piece = makePiece(series, BufferKind::OffsetVertices, vertices, vertexCount, sizeof(OffsetVertex), nullptr, 0,
        idCounter, mode, stencil, &translation);
    piece.type = RenderDataType::PixelOffset;
    piece.lineWidth = lineWidth;
    addOrReplaceRenderData(series, piece, opaque);
}

void Drawer::addSizedSprites(const std::vector<Sprite>& sprites, const SeriesHandleRef& series, int32_t* idCounter,
    float radius, const float* sizes, bool opaque, const LChartGLTranslation& translation)
{
    m_depth *= 0.998f;
    if (sprites.empty()) {
        RenderData probe(series, nullptr, nullptr, idCounter, GL_POINTS, nullptr, &translation);
        probe.type = RenderDataType::SizedPoints;
        removeRenderData(series, probe, opaque);
        return;
    }
    size_t start = 0;
    while (start < sprites.size()) {
        size_t end = start + 1;
        while (end < sprites.size() && sprites[end].texture == sprites[start].texture)
            ++end;
        auto count = static_cast<uint32_t>(end - start);
        auto* vertices = allocate<SizedVertex>(count);
        for (uint32_t i = 0; i < count; ++i) {
            const auto& sprite = sprites[start + i];
            vertices[i] = { sprite.x, sprite.y, m_depth, sprite.colour, sizes ? sizes[start + i] : 2 * radius };
        }
        auto vertexBlock = std::make_shared<VboData>(vertices, count, true, &set(BufferKind::VerticesWithWidth));
        RenderData piece(series, vertexBlock, nullptr, idCounter, GL_POINTS, nullptr, &translation);
        piece.type = RenderDataType::SizedPoints;
        piece.vertexCount = static_cast<int32_t>(count);
        piece.lineWidth = 2 * radius;
        piece.texture = sprites[start].texture;
        piece.invisible = allTransparent(reinterpret_cast<const uint8_t*>(vertices), count, sizeof(SizedVertex));
        addOrReplaceRenderData(series, piece, opaque);
        start = end;
    }
}

void Drawer::addBarColumnFill(const float* points, const SeriesHandleRef& series, const float* baseValues,
    int32_t* idCounter, uint32_t size, Colour4f colour, Colour4f colourBelow, Colour4f gradient, Colour4f gradientBelow,
    float barWidth, float glBaseline, int32_t orientation, bool linesToo, const LChartGLTranslation& translation)
{
    const uint32_t bars = size / 2;
    const BarGeometry geometry { points, baseValues, glBaseline, orientation, barWidth / 2 };
    auto colours
        = colourByLineRule(points, bars, static_cast<int32_t>(geometry.valueIndex()), glBaseline, colour, colourBelow);
    const uint32_t barsPerBatch = (kMaxIndices / 6);
    uint32_t first = 0;
    do {
        uint32_t count = std::min(bars - first, barsPerBatch);
        auto* vertices = allocate<PlainVertex>(count * 4);
        auto* indices = allocate<uint16_t>(count * 6);
        for (uint32_t b = 0; b < count; ++b) {
            uint32_t i = first + b;
            geometry.corners(
                i, colours[i], geometry.value(i) < geometry.base(i) ? gradientBelow : gradient, vertices + b * 4);
            const uint16_t v = static_cast<uint16_t>(b * 4);
            const uint16_t quad[6] = { v, static_cast<uint16_t>(v + 1), static_cast<uint16_t>(v + 2),
                static_cast<uint16_t>(v + 3), static_cast<uint16_t>(v + 1), static_cast<uint16_t>(v + 2) };
            std::memcpy(indices + b * 6, quad, sizeof(quad));
        }
        addFlatTriangles(vertices, series, idCounter, count * 4, indices, count * 6, false,
            linesToo ? &kBarFillUnderOutline : nullptr, translation);
        first += count;
    } while (first < bars);
}

void Drawer::addBarColumnLine(const float* points, const SeriesHandleRef& series, const float* baseValues,
    int32_t* idCounter, uint32_t size, Colour4f colour, Colour4f colourBelow, bool hasColour, bool hasColourBelow,
    float barWidth, float lineWidth, float glBaseline, int32_t orientation, const LChartGLTranslation& translation)
{
    const uint32_t bars = size / 2;
    const BarGeometry geometry { points, baseValues, glBaseline, orientation, barWidth / 2 };
    auto colours
        = colourByLineRule(points, bars, static_cast<int32_t>(geometry.valueIndex()), glBaseline, colour, colourBelow);
    const uint32_t perBar = baseValues ? 8 : 6;
    // 16-bit indices: a batch holds at most 65536 indices and 65536 vertices.
    const uint32_t barsPerBatch = std::min(kMaxIndices / perBar, kMaxIndices / 4);
    uint32_t first = 0;
    do {
        uint32_t count = std::min(bars - first, barsPerBatch);
        auto* vertices = allocate<PlainVertex>(count * 4);
        auto* indices = allocate<uint16_t>(count * perBar);
        uint32_t vertexCount = 0;
        uint32_t indexCount = 0;
        for (uint32_t b = 0; b < count; ++b) {
            uint32_t i = first + b;
            // An outline shows only on the side of the base that has a colour.
            if (!(geometry.value(i) >= geometry.base(i) ? hasColour : hasColourBelow))
                continue;
            auto v = static_cast<uint16_t>(vertexCount);
            geometry.corners(i, colours[i], colours[i], vertices + vertexCount);
            vertexCount += 4;
            // Left side, top, right side; the base side only when the bar has its own base.
            const uint16_t sides[8]
                = { static_cast<uint16_t>(v + 1), v, v, static_cast<uint16_t>(v + 2), static_cast<uint16_t>(v + 2),
                      static_cast<uint16_t>(v + 3), static_cast<uint16_t>(v + 3), static_cast<uint16_t>(v + 1) };
            std::memcpy(indices + indexCount, sides, perBar * sizeof(uint16_t));
            indexCount += perBar;
        }
        addLines(vertices, series, idCounter, vertexCount, indices, indexCount, GL_LINES, lineWidth * 2, false, false,
            &kBarOutline, translation);
        first += count;
    } while (first < bars);
}

void Drawer::addHorizontalFill(const float* points, const SeriesHandleRef& series, int32_t* idCounter, int32_t size,
    Colour4f colour, Colour4f colourBelow, Colour4f gradient, Colour4f gradientBelow, bool hasGradient,
    bool hasGradientBelow, float baseline, float maxOffsetAbove, float maxOffsetBelow, int32_t fillDirection,
    bool gradientFill, const LChartGLTranslation& translation)
{
    const uint32_t n = size > 0 ? static_cast<uint32_t>(size) / 2 : 0;
    const auto d = static_cast<uint32_t>(fillDirection == 0 ? 0 : 1);
    auto c = [&](uint32_t i) { return points[2 * i + d]; };

    std::vector<Colour4f> colours;
    if (gradientFill) {
        colours.resize(n);
        for (uint32_t i = 0; i < n; ++i) {
            float e = c(i) - baseline;
            Colour4f main;
            const Colour4f* ramp;
            float f;
            if (e >= 0) {
                main = colour;
                ramp = hasGradient ? &gradient : nullptr;
                f = maxOffsetAbove != 0 ? std::abs(e) / maxOffsetAbove : 0;
                bool nextBelow = i + 1 < n && c(i + 1) < baseline;
                bool previousBelow = i > 0 && c(i - 1) < baseline;
                if (e == 0 && i + 1 < n && (nextBelow || previousBelow)) {
                    main = colourBelow;
                    if (hasGradientBelow)
                        ramp = &gradientBelow;
                }
            } else {
                main = colourBelow;
                ramp = hasGradientBelow ? &gradientBelow : nullptr;
                f = maxOffsetBelow != 0 ? std::abs(e) / maxOffsetBelow : 0;
            }
            colours[i] = mix(main, f, ramp);
        }
    } else {
        colours = colourByLineRule(points, n, static_cast<int32_t>(d), baseline, colour, colourBelow);
    }
    const Colour4f footAbove = hasGradient ? gradient : kClear;
    const Colour4f footBelow = hasGradientBelow ? gradientBelow : kClear;

    // Segments per piece: 6 indices each; a later batch starts again at its predecessor's last
    // point, so the area has no gap.
    const uint32_t segmentsPerBatch = kMaxIndices / 6;
    const uint32_t segments = n >= 2 ? n - 1 : 0;
    uint32_t firstSegment = 0;
    do {
        uint32_t count = std::min(segments - firstSegment, segmentsPerBatch);
        uint32_t pointCount = count > 0 ? count + 1 : 0;
        auto* vertices = allocate<PlainVertex>(pointCount * 2);
        auto* indices = allocate<uint16_t>(count * 6);
        for (uint32_t k = 0; k < pointCount; ++k) {
            uint32_t i = firstSegment + k;
            PlainVertex top { points[2 * i], points[2 * i + 1], -0.0f, colours[i] };
            PlainVertex foot = top;
            (d == 0 ? foot.x : foot.y) = baseline;
            if (gradientFill) {
                bool above = c(i) >= baseline;
                foot.colour = above ? footAbove : footBelow;
                if (!above && i > 0 && c(i - 1) >= baseline && k > 0)
                    vertices[2 * (k - 1) + 1].colour = footBelow;
            }
            vertices[2 * k] = top;
            vertices[2 * k + 1] = foot;
        }
        for (uint32_t s = 0; s < count; ++s) {
            auto t = static_cast<uint16_t>(2 * s);
            const uint16_t quad[6] = { t, static_cast<uint16_t>(t + 1), static_cast<uint16_t>(t + 2),
                static_cast<uint16_t>(t + 1), static_cast<uint16_t>(t + 3), static_cast<uint16_t>(t + 2) };
            std::memcpy(indices + s * 6, quad, sizeof(quad));
        }
        addFlatTriangles(vertices, series, idCounter, pointCount * 2, indices, count * 6, false, nullptr, translation);
        firstSegment += count;
    } while (firstSegment < segments);
}

void Drawer::addLineStrip(const float* points, const SeriesHandleRef& series, int32_t* linesCounter,
    int32_t* segmentsCounter, int32_t* joinsCounter, int32_t size, Colour4f colour, Colour4f colourBelow, float width,
    float baseline, int32_t fillDirection, const LChartGLTranslation& translation)
{
    const uint32_t n = size > 0 ? static_cast<uint32_t>(size) / 2 : 0;
    const bool thin = width <= 2;
    const Colour4f thinAbove = thin ? colour : kClear, thinBelow = thin ? colourBelow : kClear;
    const Colour4f wideAbove = thin ? kClear : colour, wideBelow = thin ? kClear : colourBelow;

    // The thin line, always made so a series keeps the same pieces whatever its width.
    auto thinColours = colourByLineRule(points, n, fillDirection, baseline, thinAbove, thinBelow);
    auto* lineVertices = allocate<PlainVertex>(n);
    for (uint32_t i = 0; i < n; ++i)
        lineVertices[i] = { points[2 * i], points[2 * i + 1], -0.0f, thinColours[i] };
    addLines(
        lineVertices, series, linesCounter, n, nullptr, 0, GL_LINE_STRIP, width, true, false, nullptr, translation);

    // The wide line: a rectangle per segment, a disc at every point.
    auto wideColours = colourByLineRule(points, n, fillDirection, baseline, wideAbove, wideBelow);
    const uint32_t segments = n >= 2 ? n - 1 : 0;
    const uint32_t segmentsPerBatch = kMaxIndices / 6;
    uint32_t first = 0;
    do {
        uint32_t count = std::min(segments - first, segmentsPerBatch);
        auto* vertices = allocate<OffsetVertex>(count * 4);
        auto* indices = allocate<uint16_t>(count * 6);
        for (uint32_t s = 0; s < count; ++s) {
            uint32_t i = first + s;
            float px = points[2 * i], py = points[2 * i + 1], qx = points[2 * i + 2], qy = points[2 * i + 3];
            float dx = qx - px, dy = qy - py;
            vertices[s * 4 + 0] = { px, py, -0.0f, wideColours[i], dx, dy };
            vertices[s * 4 + 1] = { px, py, -0.0f, wideColours[i], -dx, -dy };
            vertices[s * 4 + 2] = { qx, qy, -0.0f, wideColours[i + 1], dx, dy };
            vertices[s * 4 + 3] = { qx, qy, -0.0f, wideColours[i + 1], -dx, -dy };
            auto v = static_cast<uint16_t>(s * 4);
            const uint16_t quad[6] = { v, static_cast<uint16_t>(v + 1), static_cast<uint16_t>(v + 2),
                static_cast<uint16_t>(v + 1), static_cast<uint16_t>(v + 3), static_cast<uint16_t>(v + 2) };
            std::memcpy(indices + s * 6, quad, sizeof(quad));
        }
        addWideLineTriangles(vertices, series, segmentsCounter, count * 4, indices, count * 6, width, false,
            &kWideLineSegments, translation);
        first += count;
    } while (first < segments);

    std::vector<Sprite> joins(n);
    const GLuint disc = m_resources->texture(TextureKind::DiscSprite);
    for (uint32_t i = 0; i < n; ++i)
        joins[i] = { points[2 * i], points[2 * i + 1], -0.0f, wideColours[i], disc };
    addSizedSprites(joins, series, joinsCounter, width / 2, nullptr, false, translation);
}

void Drawer::addDataPoints(const float* points, const SeriesHandleRef& series, int32_t* idCounter,
    const GLuint* textures, int32_t size, Colour4f colour, Colour4f colourBelow, float radius, const float* sizes,
    float baseline, int32_t fillDirection, const LChartGLTranslation& translation)
{
    const uint32_t n = size > 0 ? static_cast<uint32_t>(size) / 2 : 0;
    const auto d = static_cast<uint32_t>(fillDirection == 0 ? 0 : 1);
    const GLuint disc = m_resources->texture(TextureKind::DiscSprite);
    std::vector<Sprite> sprites(n);
    for (uint32_t i = 0; i < n; ++i) {
        GLuint texture = textures && textures[i] != 0 ? textures[i] : disc;
        Colour4f c = points[2 * i + d] < baseline ? colourBelow : colour;
        sprites[i] = { points[2 * i], points[2 * i + 1], -0.0f, c, texture };
    }
    addSizedSprites(sprites, series, idCounter, radius, sizes, false, translation);
}

} // namespace LChartGL
