#include "charts/gl/Drawer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace LChartGL {

namespace {

constexpr uint32_t kMaxIndices = 65536;

const StencilSettings kSliceOutline { true, false, GL_REPLACE, GL_ALWAYS };
const StencilSettings kSliceEffect { true, true, GL_REPLACE, GL_ALWAYS };
const StencilSettings kCandleBody { true, false, GL_REPLACE, GL_NOTEQUAL };
const StencilSettings kCandleStick { true, false, GL_KEEP, GL_NOTEQUAL };
const StencilSettings kCandleStickLast { true, true, GL_KEEP, GL_NOTEQUAL };
const StencilSettings kCandleOutline { true, false, GL_ZERO, GL_EQUAL };
const StencilSettings kOHLCArms { true, true, GL_REPLACE, GL_NOTEQUAL };

TextureKind effectTexture(int32_t effect, bool pie)
{
    static const TextureKind pies[] = { TextureKind::PieEffect1, TextureKind::PieEffect2, TextureKind::PieEffect3,
        TextureKind::PieEffect4, TextureKind::PieEffect5 };
    static const TextureKind donuts[] = { TextureKind::DonutEffect1, TextureKind::DonutEffect2,
        TextureKind::DonutEffect3, TextureKind::DonutEffect4, TextureKind::DonutEffect5 };
    return pie ? pies[effect - 1] : donuts[effect - 1];
}

// Places a (position, value) pair on x and y by the orientation.
void place(float position, float value, int32_t orientation, float& x, float& y)
{
    x = orientation == 1 ? value : position;
    y = orientation == 1 ? position : value;
}

Colour4f blend(float e, Colour4f k, Colour4f q)
{
    return { e * k.red + (1 - e) * q.red, e * k.green + (1 - e) * q.green, e * k.blue + (1 - e) * q.blue,
        e * k.alpha + (1 - e) * q.alpha };
}

} // namespace

void Drawer::addRadialSlice(int32_t sliceIndex, const SeriesHandleRef& series, int32_t* fillCounter,
    int32_t* outlineCounter, float startAngle, float endAngle, float innerRadius, float outerRadius, float displacement,
    Colour4f fillColour, Colour4f lineColour, float lineWidth, int32_t effect, float resolutionScale)
{
    const float k = resolutionScale;
    const float R = outerRadius * k;
    const float r = innerRadius * k;
    const float displace = displacement * k;
    const float span = endAngle - startAngle;
    const bool pie = r == 0;
    auto n = static_cast<uint32_t>(
        std::max(90.0, std::trunc(std::fabs(span) * R * std::max(0.1f, (0.5f - R / 1500) / k) / M_PI)));
    const double theta = static_cast<double>(startAngle) + span / 2.0 + M_PI / 2;
    RadialTransform transform;
    const auto sx = static_cast<float>(2 / m_viewportWidth), sy = static_cast<float>(2 / m_viewportHeight);
    transform.projMat[0] = sx * static_cast<float>(std::cos(theta));
    transform.projMat[1] = sx * static_cast<float>(std::sin(theta));
    transform.projMat[2] = sy * static_cast<float>(std::sin(theta));
    transform.projMat[3] = -sy * static_cast<float>(std::cos(theta));
    transform.displace = displace;
    auto angle = [&](uint32_t i) { return -std::fabs(span) / 2 + static_cast<float>(i) * std::fabs(span) / n; };

    // The fill, in the slice's own frame.
    const uint32_t vertexCount = pie ? n + 2 : 2 * (n + 1);
    const uint32_t indexCount = pie ? 3 * n : 6 * n;
    auto* fill = allocate<RadialVertex>(vertexCount);
    auto* indices = allocate<uint16_t>(indexCount);
    if (pie) {
        fill[0] = { 0, 0, 0, fillColour, 0.52f, 0.52f };
        for (uint32_t i = 0; i <= n; ++i)
            fill[i + 1] = { R * std::cos(angle(i)), R * std::sin(angle(i)), 0, fillColour, 0.955f, 0.955f };
        for (uint32_t i = 0; i < n; ++i) {
            indices[3 * i] = 0;
            indices[3 * i + 1] = static_cast<uint16_t>(i + 1);
            indices[3 * i + 2] = static_cast<uint16_t>(i + 2);
        }
    } else {
        for (uint32_t i = 0; i <= n; ++i) {
            fill[i] = { r * std::cos(angle(i)), r * std::sin(angle(i)), 0, fillColour, 0.95f, 0.95f };
            fill[2 * n + 1 - i] = { R * std::cos(angle(i)), R * std::sin(angle(i)), 0, fillColour, 0.05f, 0.05f };
        }
        for (uint32_t i = 0; i < n; ++i) {
            uint32_t j = 2 * n - i;
            const uint16_t quad[6]
                = { static_cast<uint16_t>(i), static_cast<uint16_t>(i + 1), static_cast<uint16_t>(j + 1),
                      static_cast<uint16_t>(i + 1), static_cast<uint16_t>(j), static_cast<uint16_t>(j + 1) };
            std::memcpy(indices + 6 * i, quad, sizeof(quad));
        }
    }
    // The fill and its effect share one index block.
    auto indexBlock = std::make_shared<VboData>(indices, indexCount, true, &set(BufferKind::Indices));

    m_depth *= 0.998f;
    for (uint32_t i = 0; i < vertexCount; ++i)
        fill[i].z = m_depth;
    auto* effectVertices = allocate<RadialVertex>(vertexCount);
    std::memcpy(effectVertices, fill, vertexCount * sizeof(RadialVertex));
    {
        auto block = std::make_shared<VboData>(fill, vertexCount, true, &set(BufferKind::RadialVertices));
        RenderData piece(series, block, indexBlock, fillCounter, GL_TRIANGLES, nullptr, nullptr);
        piece.type = RenderDataType::RadialFill;
        piece.vertexCount = static_cast<int32_t>(vertexCount);
        piece.indexCount = static_cast<int32_t>(indexCount);
        piece.radial = transform;
        addOrReplaceRenderData(series, piece, true);
    }

    // The outline: wide arcs along the rims, then the two straight edges.
    m_depth *= 0.998f;
    auto position = [&](uint32_t i) { return std::pair { effectVertices[i].x, effectVertices[i].y }; };
    auto addArc = [&](uint32_t from, uint32_t to) {
        uint32_t segments = to - from;
        auto* vertices = allocate<OffsetVertex>(segments * 4);
        auto* arcIndices = allocate<uint16_t>(segments * 6);
        for (uint32_t s = 0; s < segments; ++s) {
            auto [px, py] = position(from + s);
            auto [qx, qy] = position(from + s + 1);
            float dx = qx - px, dy = qy - py;
            vertices[4 * s] = { px, py, m_depth, lineColour, dx, dy };
            vertices[4 * s + 1] = { px, py, m_depth, lineColour, -dx, -dy };
            vertices[4 * s + 2] = { qx, qy, m_depth, lineColour, dx, dy };
            vertices[4 * s + 3] = { qx, qy, m_depth, lineColour, -dx, -dy };
            auto v = static_cast<uint16_t>(4 * s);
            const uint16_t quad[6] = { v, static_cast<uint16_t>(v + 1), static_cast<uint16_t>(v + 2),
                static_cast<uint16_t>(v + 1), static_cast<uint16_t>(v + 3), static_cast<uint16_t>(v + 2) };
            std::memcpy(arcIndices + 6 * s, quad, sizeof(quad));
        }
        auto vertexBlock = std::make_shared<VboData>(vertices, segments * 4, true, &set(BufferKind::OffsetVertices));
        auto arcIndexBlock = std::make_shared<VboData>(arcIndices, segments * 6, true, &set(BufferKind::Indices));
        RenderData piece(series, vertexBlock, arcIndexBlock, outlineCounter, GL_LINE_STRIP, &kSliceOutline, nullptr);
        piece.type = RenderDataType::RadialOutline;
        piece.vertexCount = static_cast<int32_t>(segments * 4);
        piece.indexCount = static_cast<int32_t>(segments * 6);
        piece.lineWidth = lineWidth;
        piece.texture = m_resources->texture(TextureKind::DiscSprite);
        piece.drawAsSprites = true;
        piece.radial = transform;
        addOrReplaceRenderData(series, piece, false);
    };
    if (pie) {
        addArc(1, n + 1);
    } else {
        addArc(0, n);
        addArc(n + 1, 2 * n + 1);
    }
    const uint32_t edgeIndices[4] = { pie ? 0 : n, pie ? 1 : n + 1, pie ? n + 1 : 2 * n + 1, 0u };
    auto* edges = allocate<PlainVertex>(4);
    for (uint32_t i = 0; i < 4; ++i) {
        auto [x, y] = position(edgeIndices[i]);
        edges[i] = { x, y, m_depth, lineColour };
    }
    {
        auto block = std::make_shared<VboData>(edges, 4, true, &set(BufferKind::Vertices));
        RenderData piece(series, block, nullptr, outlineCounter, GL_LINES, &kSliceOutline, nullptr);
        piece.type = RenderDataType::RadialOutline;
        piece.vertexCount = 4;
        piece.lineWidth = lineWidth / 2;
        piece.radial = transform;
        addOrReplaceRenderData(series, piece, false);
    }

    // The shading effect over the fill.
    m_depth *= 0.998f;
    for (uint32_t i = 0; i < vertexCount; ++i)
        effectVertices[i].z = m_depth;
    auto block = std::make_shared<VboData>(effectVertices, vertexCount, true, &set(BufferKind::RadialVertices));
    RenderData piece(series, block, indexBlock, fillCounter, GL_TRIANGLES, &kSliceEffect, nullptr);
    piece.type = RenderDataType::RadialTexture;
    piece.vertexCount = static_cast<int32_t>(vertexCount);
    piece.indexCount = static_cast<int32_t>(indexCount);
    piece.texture
        = effect >= 1 && effect <= 5 && fillColour.alpha > 0 ? m_resources->texture(effectTexture(effect, pie)) : 0;
    piece.radial = transform;
    addOrReplaceRenderData(series, piece, false);
    (void)sliceIndex;
}

void Drawer::addBandFill(const float* high, const SeriesHandleRef& series, const float* low, int32_t* idCounter,
    int32_t size, Colour4f colourAbove, Colour4f colourBelow, int32_t orientation,
    const LChartGLTranslation& translation)
{
    const uint32_t n = size > 0 ? static_cast<uint32_t>(size) / 2 : 0;
    const uint32_t positionIndex = orientation == 1 ? 1 : 0, valueIndex = 1 - positionIndex;
    auto p = [&](uint32_t i) { return high[2 * i + positionIndex]; };
    auto h = [&](uint32_t i) { return high[2 * i + valueIndex]; };
    auto l = [&](uint32_t i) { return low[2 * i + valueIndex]; };

    // Every crossing adds two vertices; count them first so the strip is sized exactly.
    uint32_t crossings = 0;
    for (uint32_t i = 1; i < n; ++i)
        if ((h(i - 1) >= l(i - 1)) != (h(i) >= l(i)))
            ++crossings;
    const uint32_t vertexCount = 2 * n + 2 * crossings;
    auto* strip = allocate<PlainVertex>(vertexCount);
    uint32_t written = 0;
    auto write = [&](float position, float value, Colour4f colour) {
        PlainVertex vertex { 0, 0, -0.0f, colour };
        place(position, value, orientation, vertex.x, vertex.y);
        strip[written++] = vertex;
    };
    bool above = false;
    for (uint32_t i = 0; i < n; ++i) {
        Colour4f colour;
        bool crossing = false;
        if (i == 0) {
            above = h(i) >= l(i);
            colour = above ? colourAbove : colourBelow;
        } else if (h(i) < l(i)) {
            colour = colourBelow;
            crossing = above;
            above = false;
        } else {
            colour = colourAbove;
            crossing = !above;
            bool touching = h(i) == l(i) && i + 1 < n && h(i - 1) == h(i) && l(i - 1) == l(i) && h(i + 1) < l(i + 1);
            if (touching)
                colour = colourBelow;
            above = true;
        }
        if (crossing) {
            float dPrevious = std::fabs(h(i - 1) - l(i - 1)), dThis = std::fabs(h(i) - l(i));
            float m = dPrevious + dThis == 0 ? 1 : dPrevious / (dPrevious + dThis);
            float position = p(i - 1) + m * (p(i) - p(i - 1));
            float value = h(i - 1) + m * (h(i) - h(i - 1));
            PlainVertex previous = strip[written - 1];
            write(position, value, previous.colour);
            write(position, value, colour);
        }
        write(p(i), h(i), colour);
        write(p(i), l(i), colour);
    }
    auto piece = makePiece(series, BufferKind::Vertices, strip, written, sizeof(PlainVertex), nullptr, 0, idCounter,
        GL_TRIANGLE_STRIP, nullptr, &translation);
    piece.type = RenderDataType::Flat;
    addOrReplaceRenderData(series, piece, false);
}

void Drawer::addCandlesticks(const float* data, const SeriesHandleRef& series, int32_t* bodyCounter,
    int32_t* linesCounter, int32_t count, const std::vector<Colour4f>& colours,
    const std::vector<Colour4f>& gradientColours, Colour4f outlineColour, Colour4f stickColour, bool hasOutline,
    bool hasStickColour, float candleWidth, float outlineWidth, float stickWidth, int32_t orientation,
    float resolutionScale, const LChartGLTranslation& translation)
{
    const uint32_t candles = count > 0 ? static_cast<uint32_t>(count) : 0;
    const float hw = candleWidth / 2;
    const uint32_t perBatch = kMaxIndices / 8;
    auto colourAt
        = [](const std::vector<Colour4f>& list, uint32_t i) { return i < list.size() ? list[i] : Colour4f {}; };
    uint32_t first = 0;
    do {
        const uint32_t n = std::min(candles - first, perBatch);
        const bool last = first + n >= candles;
        auto* mids = allocate<OffsetVertex>(n * 2);
        auto* bodies = allocate<PlainVertex>(n * 4);
        auto* bodyIndices = allocate<uint16_t>(n * 6);
        auto* sticks = allocate<PlainVertex>(n * 2);
        auto* outlines = hasOutline ? allocate<PlainVertex>(n * 4) : nullptr;
        auto* outlineIndices = hasOutline ? allocate<uint16_t>(n * 8) : nullptr;
        for (uint32_t c = 0; c < n; ++c) {
            const float* candle = data + 5 * (first + c);
            float p = candle[0], H = candle[1], U = candle[2], W = candle[3], L = candle[4];
            Colour4f K = colourAt(colours, first + c), Q = colourAt(gradientColours, first + c);
            auto vertex = [&](float position, float value, Colour4f colour) {
                PlainVertex v { 0, 0, -0.0f, colour };
                place(position, value, orientation, v.x, v.y);
                return v;
            };
            bodies[4 * c] = vertex(p - hw, U, K);
            bodies[4 * c + 1] = vertex(p - hw, W, K);
            bodies[4 * c + 2] = vertex(p + hw, U, Q);
            bodies[4 * c + 3] = vertex(p + hw, W, Q);
            auto b = static_cast<uint16_t>(4 * c);
            const uint16_t quad[6] = { b, static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 2),
                static_cast<uint16_t>(b + 3), static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 2) };
            std::memcpy(bodyIndices + 6 * c, quad, sizeof(quad));
            sticks[2 * c] = vertex(p, H, hasStickColour ? stickColour : K);
            sticks[2 * c + 1] = vertex(p, L, hasStickColour ? stickColour : K);
            float m = U - (U - W) / 2;
            PlainVertex left = vertex(p - hw, m, K), right = vertex(p + hw, m, Q);
            float ox = orientation == 1 ? 0 : 0.5f, oy = orientation == 1 ? 0.5f : 0;
            mids[2 * c] = { left.x, left.y, -0.0f, K, ox, oy };
            mids[2 * c + 1] = { right.x, right.y, -0.0f, Q, -ox, -oy };
            if (hasOutline) {
                for (uint32_t corner = 0; corner < 4; ++corner) {
                    outlines[4 * c + corner] = bodies[4 * c + corner];
                    outlines[4 * c + corner].colour = outlineColour;
                }
                // A-D1, D1-D2, D2-B, B-A.
                const uint16_t sides[8]
                    = { b, static_cast<uint16_t>(b + 2), static_cast<uint16_t>(b + 2), static_cast<uint16_t>(b + 3),
                          static_cast<uint16_t>(b + 3), static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 1), b };
                std::memcpy(outlineIndices + 8 * c, sides, sizeof(sides));
            }
        }
        addOffsetLines(
            mids, series, linesCounter, n * 2, GL_LINES, 2 * resolutionScale, false, &kCandleBody, translation);
        addFlatTriangles(bodies, series, bodyCounter, n * 4, bodyIndices, n * 6, false, &kCandleBody, translation);
        addLines(sticks, series, linesCounter, n * 2, nullptr, 0, GL_LINES, stickWidth, false, false,
            last && !hasOutline ? &kCandleStickLast : &kCandleStick, translation);
        if (hasOutline)
            addLines(outlines, series, linesCounter, n * 4, outlineIndices, n * 8, GL_LINES, 2 * outlineWidth, false,
                false, &kCandleOutline, translation);
        first += n;
    } while (first < candles);
}

void Drawer::addOHLCPoints(const float* data, const SeriesHandleRef& series, int32_t* trunkCounter, int32_t* armCounter,
    int32_t count, const std::vector<Colour4f>& colours, const std::vector<Colour4f>& gradientColours,
    int32_t orientation, float armSpan, float trunkWidth, float armWidth, const LChartGLTranslation& translation)
{
    const uint32_t n = count > 0 ? static_cast<uint32_t>(count) : 0;
    auto* trunks = allocate<PlainVertex>(n * 2);
    auto* arms = allocate<OffsetVertex>(n * 4);
    for (uint32_t i = 0; i < n; ++i) {
        const float* point = data + 5 * i;
        float p = point[0], high = point[1], open = point[2], close = point[3], low = point[4];
        Colour4f K = i < colours.size() ? colours[i] : Colour4f {};
        Colour4f Q = i < gradientColours.size() ? gradientColours[i] : Colour4f {};
        auto colourAt = [&](float v) { return blend(high - low > 0 ? (v - low) / (high - low) : 1, K, Q); };
        auto plain = [&](float position, float value, Colour4f colour) {
            PlainVertex v { 0, 0, -0.0f, colour };
            place(position, value, orientation, v.x, v.y);
            return v;
        };
        auto offset = [&](float position, float value, Colour4f colour) {
            PlainVertex v = plain(position, value, colour);
            return OffsetVertex { v.x, v.y, -0.0f, colour, 0, 0 };
        };
        trunks[2 * i] = plain(p, high, K);
        trunks[2 * i + 1] = plain(p, low, Q);
        arms[4 * i] = offset(p - armSpan / 2, open, colourAt(open));
        arms[4 * i + 1] = offset(p, open, colourAt(open));
        arms[4 * i + 2] = offset(p, close, colourAt(close));
        arms[4 * i + 3] = offset(p + armSpan / 2, close, colourAt(close));
    }
    addLines(
        trunks, series, trunkCounter, n * 2, nullptr, 0, GL_LINES, trunkWidth, false, false, &kCandleBody, translation);
    addOffsetLines(arms, series, armCounter, n * 4, GL_LINES, armWidth, false, &kOHLCArms, translation);
}

} // namespace LChartGL
