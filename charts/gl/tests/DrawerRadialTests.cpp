#include "charts/gl/Drawer.h"

#include "charts/gl/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace LChartGL;

namespace {

const Colour4f kRed { 1, 0, 0, 1 };
const Colour4f kBlue { 0, 0, 1, 1 };
const Colour4f kWhite { 1, 1, 1, 1 };

class DrawerRadialTest : public ::testing::Test {
protected:
    void SetUp() override { m_drawer.setViewportSize(400, 400); }

    std::vector<const RenderData*> all(const SeriesHandleRef& handle)
    {
        std::vector<const RenderData*> result;
        for (const auto* map : { &m_drawer.opaqueRenderData(), &m_drawer.transparentRenderData() }) {
            auto found = map->find(handle);
            if (found == map->end())
                continue;
            for (const auto& [type, pieces] : found->second)
                for (const auto& piece : pieces)
                    result.push_back(&piece);
        }
        return result;
    }

    GLCallRecorder m_recorder { GLCallRecorder::Mode::Fake };
    Drawer m_drawer { false, throwingHandle() };
};

} // namespace

TEST_F(DrawerRadialTest, SliceSegmentsGrowWithRadiusAndAngleAndNeverFallBelowNinety)
{
    struct Case {
        float span, inner, outer, scale;
        int32_t vertices, indices;
    };
    const Case cases[] = { { float(M_PI / 2), 0, 100, 2, 92, 270 }, { float(2 * M_PI), 200, 400, 1, 374, 1116 } };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vertices);
        auto handle = series(index++);
        int32_t fill = 0, outline = 0;
        m_drawer.addRadialSlice(
            0, handle, &fill, &outline, 0, c.span, c.inner, c.outer, 0, kRed, kWhite, 2, 1, c.scale);
        const auto& fillPiece = m_drawer.opaqueRenderData().at(handle).at(RenderDataType::RadialFill)[0];
        EXPECT_EQ(fillPiece.vertexCount, c.vertices);
        EXPECT_EQ(fillPiece.indexCount, c.indices);
        const auto& effect = m_drawer.transparentRenderData().at(handle).at(RenderDataType::RadialTexture)[0];
        // The fill and the effect share their indices.
        EXPECT_EQ(effect.indices, fillPiece.indices);
        EXPECT_EQ(effect.id, 1);
        EXPECT_NE(effect.texture, 0u);
        const auto& outlines = m_drawer.transparentRenderData().at(handle).at(RenderDataType::RadialOutline);
        EXPECT_EQ(outlines.size(), c.inner == 0 ? 2u : 3u);
        EXPECT_EQ(outlines.back().vertexCount, 4);
        EXPECT_EQ(outlines.back().lineWidth, 1);
    }
}

TEST_F(DrawerRadialTest, ASliceMovesAsAWholeAndAClearSliceGetsNoEffectTexture)
{
    auto handle = series(0);
    const int32_t slice = 2;
    int32_t fill = 3 * slice, outline = 3 * slice;
    m_drawer.addRadialSlice(slice, handle, &fill, &outline, 0, 1, 50, 100, 0, { 0, 0, 0, 0 }, kWhite, 2, 1, 1);
    EXPECT_EQ(m_drawer.transparentRenderData().at(handle).at(RenderDataType::RadialTexture)[0].texture, 0u);

    for (int32_t id = 3 * slice; id < 3 * slice + 3; ++id)
        m_drawer.updateRadialSlice(handle, id, 7, float(M_PI), 3);
    for (const auto* piece : all(handle)) {
        SCOPED_TRACE(piece->id);
        EXPECT_EQ(piece->radial.displace, 7);
        EXPECT_NEAR(piece->radial.projMat[0], -2.0f / 400, 1e-6);
        EXPECT_EQ(piece->lineWidth, 3);
    }
}

TEST_F(DrawerRadialTest, BandsSwitchColourWhereTheLinesCross)
{
    struct Case {
        std::vector<float> high, low;
        int32_t vertices;
    };
    const Case cases[] = {
        { { 0, 1, 1, 0 }, { 0, 0, 1, 1 }, 6 },
        { { 0, 1, 1, 1, 2, 1 }, { 0, 1, 1, 1, 2, 1 }, 6 },
        { { 0, 1, 1, 0, 2, 1 }, { 0, 0, 1, 1, 2, 0 }, 10 },
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vertices);
        auto handle = series(index++);
        int32_t counter = 0;
        m_drawer.addBandFill(c.high.data(), handle, c.low.data(), &counter, static_cast<int32_t>(c.high.size()), kRed,
            kBlue, 0, kIdentityTranslation);
        const auto& piece = m_drawer.transparentRenderData().at(handle).at(RenderDataType::Flat)[0];
        EXPECT_EQ(piece.vertexCount, c.vertices);
        EXPECT_EQ(piece.mode, static_cast<GLenum>(GL_TRIANGLE_STRIP));
        const auto* v = static_cast<const PlainVertex*>(piece.vertices->data());
        if (index == 1) {
            EXPECT_EQ(v[2].x, 0.5f);
            EXPECT_EQ(v[2].y, 0.5f);
            EXPECT_EQ(v[2].colour.red, 1);
            EXPECT_EQ(v[3].colour.blue, 1);
            EXPECT_EQ(v[5].colour.blue, 1);
        }
        if (index == 2) {
            for (int i = 0; i < piece.vertexCount; ++i)
                EXPECT_EQ(v[i].colour.red, 1);
        }
    }
}

TEST_F(DrawerRadialTest, BandStripsInsertTheCrossingPointOfTheLinesWhereverTheyCross)
{
    // A strip vertex: x, y and whether it has the inverted colour (blue) rather than the normal
    // one (red). Crossings lie where the two lines meet, worked out by hand.
    struct Vertex {
        float x, y;
        bool inverted;
        bool operator==(const Vertex&) const = default;
    };
    struct Case {
        const char* name;
        std::vector<float> high, low;
        int32_t orientation;
        std::vector<Vertex> strip;
    };
    const Case cases[] = {
        { "no crossing", { 0, 4, 1, 5, 2, 6 }, { 0, 1, 1, 2, 2, 3 }, 0,
            { { 0, 4, false }, { 0, 1, false }, { 1, 5, false }, { 1, 2, false }, { 2, 6, false }, { 2, 3, false } } },
        // The lines meet half-way, at (1, 2).
        { "one crossing", { 0, 4, 2, 0 }, { 0, 0, 2, 4 }, 0,
            { { 0, 4, false }, { 0, 0, false }, { 1, 2, false }, { 1, 2, true }, { 2, 0, true }, { 2, 4, true } } },
        { "one crossing along y", { 4, 0, 0, 2 }, { 0, 0, 4, 2 }, 1,
            { { 4, 0, false }, { 0, 0, false }, { 2, 1, false }, { 2, 1, true }, { 0, 2, true }, { 4, 2, true } } },
        // Gaps 3 then 1 meet three quarters of the way; 1 then 3 a quarter; 3 then 1 again.
        { "three crossings", { 0, 3, 1, 0, 3, 3, 4, -1 }, { 0, 0, 1, 1, 3, 0, 4, 0 }, 0,
            { { 0, 3, false }, { 0, 0, false }, { 0.75f, 0.75f, false }, { 0.75f, 0.75f, true }, { 1, 0, true },
                { 1, 1, true }, { 1.5f, 0.75f, true }, { 1.5f, 0.75f, false }, { 3, 3, false }, { 3, 0, false },
                { 3.75f, 0, false }, { 3.75f, 0, true }, { 4, -1, true }, { 4, 0, true } } },
        // The lines touch at the first two points and part inverted: the touching stretch takes
        // the inverted colour, and the crossing sits where the lines still touch.
        { "a touching stretch before an inversion", { 0, 1, 1, 1, 2, 0 }, { 0, 1, 1, 1, 2, 2 }, 0,
            { { 0, 1, false }, { 0, 1, false }, { 1, 1, true }, { 1, 1, true }, { 1, 1, true }, { 1, 1, true },
                { 2, 0, true }, { 2, 2, true } } },
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto handle = series(index++);
        int32_t counter = 0;
        m_drawer.addBandFill(c.high.data(), handle, c.low.data(), &counter, static_cast<int32_t>(c.high.size()), kRed,
            kBlue, c.orientation, kIdentityTranslation);
        const auto& piece = m_drawer.transparentRenderData().at(handle).at(RenderDataType::Flat)[0];
        ASSERT_EQ(piece.vertexCount, static_cast<int32_t>(c.strip.size()));
        const auto* v = static_cast<const PlainVertex*>(piece.vertices->data());
        std::vector<Vertex> strip;
        for (int32_t i = 0; i < piece.vertexCount; ++i) {
            EXPECT_TRUE(v[i].colour.red == 1 || v[i].colour.blue == 1) << i;
            strip.push_back({ v[i].x, v[i].y, v[i].colour.blue == 1 });
        }
        EXPECT_EQ(strip, c.strip);
    }
}

TEST_F(DrawerRadialTest, CandlesAndOHLCBarsMakeTheirPiecesWithTheirStencilRoles)
{
    auto handle = series(0);
    int32_t bodies = 0, lines = 0;
    // position, upper stick, upper body, lower body, lower stick; the second is flat.
    const float candles[] = { 1, 10, 8, 4, 2, 2, 6, 5, 5, 4 };
    m_drawer.addCandlesticks(candles, handle, &bodies, &lines, 2, { kRed, kRed }, { kBlue, kBlue }, kWhite, kWhite,
        true, false, 0.5f, 1, 1, 0, 1, kIdentityTranslation);
    const auto& types = m_drawer.transparentRenderData().at(handle);
    EXPECT_EQ(types.at(RenderDataType::Flat)[0].indexCount, 12);
    EXPECT_EQ(types.at(RenderDataType::Line).size(), 2u); // sticks and outlines
    EXPECT_EQ(types.at(RenderDataType::Line)[1].stencil.func, static_cast<GLenum>(GL_EQUAL));
    EXPECT_EQ(types.at(RenderDataType::Line)[1].lineWidth, 2);
    const auto& mids = types.at(RenderDataType::PixelOffset)[0];
    EXPECT_EQ(mids.lineWidth, 2);
    const auto* mid = static_cast<const OffsetVertex*>(mids.vertices->data());
    EXPECT_EQ(mid[2].y, 5); // the flat candle's mid line lies on its body
    EXPECT_EQ(mid[2].offsetX, 0.5f);
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(bodies, 1);

    auto ohlc = series(1);
    int32_t trunks = 0, arms = 0;
    const float points[] = { 1, 5, 5, 5, 5 };
    m_drawer.addOHLCPoints(points, ohlc, &trunks, &arms, 1, { kRed }, { kBlue }, 0, 1, 1, 1, kIdentityTranslation);
    const auto& armPiece = m_drawer.transparentRenderData().at(ohlc).at(RenderDataType::PixelOffset)[0];
    const auto* arm = static_cast<const OffsetVertex*>(armPiece.vertices->data());
    EXPECT_EQ(arm[0].x, 0.5f);
    EXPECT_EQ(arm[3].x, 1.5f);
    EXPECT_EQ(arm[0].colour.red, 1); // high equal to low: the point's own colour
    EXPECT_TRUE(armPiece.stencil.incrementAfter);
}
