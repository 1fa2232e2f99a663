#include "charts/gl/Drawer.h"

#include "charts/gl/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace LChartGL;

namespace {

const Colour4f kRed { 1, 0, 0, 1 };
const Colour4f kBlue { 0, 0, 1, 1 };
const Colour4f kGreen { 0, 1, 0, 1 };
const Colour4f kNone { 0, 0, 0, 0 };

bool operator==(const Colour4f& a, const Colour4f& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

class DrawerTest : public ::testing::Test {
protected:
    // A Flat piece of `count` vertices under `handle` with the given id and stencil.
    RenderData flatPiece(const SeriesHandleRef& handle, int32_t id, RenderDataType type = RenderDataType::Flat,
        const StencilSettings* stencil = nullptr)
    {
        auto* vertices = static_cast<PlainVertex*>(std::calloc(3, sizeof(PlainVertex)));
        auto block = std::make_shared<VboData>(vertices, 3, true,
            &m_drawer.set(type == RenderDataType::WideLine ? BufferKind::OffsetVertices : BufferKind::Vertices));
        RenderData piece(handle, block, nullptr, &id, GL_TRIANGLES, stencil, &kIdentityTranslation);
        piece.type = type;
        piece.vertexCount = 3;
        return piece;
    }

    template <typename T> const T* vertices(const RenderData& piece)
    {
        return static_cast<const T*>(piece.vertices->data());
    }
    const std::vector<RenderData>& pieces(const SeriesHandleRef& handle, RenderDataType type)
    {
        return m_drawer.transparentRenderData().at(handle).at(type);
    }

    GLCallRecorder m_recorder { GLCallRecorder::Mode::Fake };
    Drawer m_drawer { false, throwingHandle() };
    TestAnimationManager m_animation;
};

} // namespace

TEST_F(DrawerTest, AnEmptyFrameDrawsNothingAndEndsWithDepthWritesOnAndNoProgram)
{
    m_drawer.beginFrame(true);
    m_recorder.clear();
    EXPECT_FALSE(m_drawer.render(&m_animation));
    EXPECT_EQ(m_recorder.calls(),
        (std::vector<std::string> { GLCallRecorder::format("DepthMask", GL_FALSE),
            GLCallRecorder::format("DepthMask", GL_TRUE), "UseProgram(0)" }));
    EXPECT_THROW(m_drawer.render(nullptr), std::runtime_error);
}

TEST_F(DrawerTest, OpaquePiecesDrawFirstWithoutBlendingAndProgramsSwitchOnlyOnChange)
{
    auto back = series(0);
    auto front = series(1);
    m_drawer.beginFrame(false);
    m_drawer.addOrReplaceRenderData(front, flatPiece(front, 0), true);
    m_drawer.addOrReplaceRenderData(back, flatPiece(back, 0), true);
    m_drawer.addOrReplaceRenderData(back, flatPiece(back, 1), false);
    m_drawer.addOrReplaceRenderData(front, flatPiece(front, 1), false);
    m_recorder.clear();
    m_drawer.render(&m_animation);

    auto sequence = m_recorder.callsTo({ "Enable", "Disable", "DepthMask", "DrawArrays", "UseProgram" });
    GLuint flat = m_drawer.resources().program(ProgramKind::CartesianFlat, false).name();
    auto use = GLCallRecorder::format("UseProgram", flat);
    auto draw = GLCallRecorder::format("DrawArrays", GL_TRIANGLES, 0, 3);
    // Linking puts the program in use once more; the drawer itself switches to it only once.
    EXPECT_EQ(sequence,
        (std::vector<std::string> { GLCallRecorder::format("Disable", GL_BLEND), use, use, draw, draw,
            GLCallRecorder::format("Enable", GL_BLEND), GLCallRecorder::format("DepthMask", GL_FALSE), draw, draw,
            GLCallRecorder::format("DepthMask", GL_TRUE), "UseProgram(0)" }));
    // Each draw enables the program's arrays and disables them again.
    EXPECT_EQ(m_recorder.count("EnableVertexAttribArray"), 8u);
    EXPECT_EQ(m_recorder.count("DisableVertexAttribArray"), 8u);
}

TEST_F(DrawerTest, StencilBitsCycleThroughEightThenTheStencilBufferIsCleared)
{
    auto handle = series(0);
    StencilSettings segments { true, true, GL_REPLACE, GL_NOTEQUAL };
    m_drawer.beginFrame(false);
    for (int32_t id = 0; id < 10; ++id)
        m_drawer.addOrReplaceRenderData(handle, flatPiece(handle, id, RenderDataType::WideLine, &segments), false);
    m_recorder.clear();
    m_drawer.render(&m_animation);
    std::vector<std::string> expected;
    for (int bit : { 1, 2, 4, 8, 16, 32, 64, 128 })
        expected.push_back(GLCallRecorder::format("StencilFunc", GL_NOTEQUAL, bit, bit));
    expected.push_back(GLCallRecorder::format("Clear", GL_STENCIL_BUFFER_BIT));
    expected.push_back(GLCallRecorder::format("StencilFunc", GL_NOTEQUAL, 1, 1));
    expected.push_back(GLCallRecorder::format("StencilFunc", GL_NOTEQUAL, 2, 2));
    EXPECT_EQ(m_recorder.callsTo({ "StencilFunc", "Clear" }), expected);
    EXPECT_EQ(m_recorder.count("Enable"), 11u); // ten stencil tests and the blend
}

TEST_F(DrawerTest, AnimationValuesDecideVisibilityProgramsAndTheAnswer)
{
    auto hidden = series(0);
    auto entering = series(1);
    auto moving = series(2);
    m_drawer.beginFrame(false);
    for (const auto& handle : { hidden, entering, moving })
        m_drawer.addOrReplaceRenderData(handle, flatPiece(handle, 0), false);
    m_animation.values[0] = { 1, 1, 1, false, false, false, 0, 0 };
    m_animation.values[2] = { 1, 1, 1, true, true, false, 3, 4 };
    m_recorder.clear();
    EXPECT_FALSE(m_drawer.render(&m_animation));
    EXPECT_EQ(m_recorder.count("DrawArrays"), 2u);
    GLuint animated = m_drawer.resources().program(ProgramKind::CartesianFlat, true).name();
    auto uses = m_recorder.callsTo({ "UseProgram" });
    EXPECT_NE(std::find(uses.begin(), uses.end(), GLCallRecorder::format("UseProgram", animated)), uses.end());
    // The still series sets the four translation uniforms, the moving one five animation ones more.
    EXPECT_EQ(m_recorder.count("Uniform1f"), 13u);

    m_animation.values[1] = { 0.5f, 0.5f, 0.25f, true, true, true, 0, 0 };
    EXPECT_TRUE(m_drawer.render(&m_animation));
}

TEST_F(DrawerTest, ReplacingByIdKeepsTheBlockPlaceAndAnEmptyPieceRemoves)
{
    auto handle = series(0);
    m_drawer.beginFrame(false);
    m_drawer.addOrReplaceRenderData(handle, flatPiece(handle, 0), false);
    m_drawer.addOrReplaceRenderData(handle, flatPiece(handle, 1), false);
    m_drawer.render(&m_animation);
    auto sequence = pieces(handle, RenderDataType::Flat)[0].vertices->sequence();

    m_drawer.beginFrame(false);
    m_drawer.addOrReplaceRenderData(handle, flatPiece(handle, 0), false);
    ASSERT_EQ(pieces(handle, RenderDataType::Flat).size(), 2u);
    EXPECT_EQ(pieces(handle, RenderDataType::Flat)[0].vertices->sequence(), sequence);

    int32_t id = 1;
    auto empty = std::make_shared<VboData>(std::calloc(1, 28), 0, true, &m_drawer.set(BufferKind::Vertices));
    RenderData removal(handle, empty, nullptr, &id, GL_TRIANGLES, nullptr, &kIdentityTranslation);
    m_drawer.addOrReplaceRenderData(handle, removal, false);
    EXPECT_EQ(pieces(handle, RenderDataType::Flat).size(), 1u);

    // Two handles on series with the same index share one entry.
    auto twin = series(0, 7);
    m_drawer.addOrReplaceRenderData(twin, flatPiece(twin, 0), false);
    EXPECT_EQ(m_drawer.transparentRenderData().size(), 1u);
    EXPECT_EQ(pieces(handle, RenderDataType::Flat).size(), 2u);

    LChartGLTranslation moved { 2, 2, 5, 5 };
    m_drawer.updateSeriesTranslation(handle, moved);
    EXPECT_EQ(pieces(handle, RenderDataType::Flat)[0].translation.xOffset, 5);
    EXPECT_EQ(pieces(handle, RenderDataType::Flat)[1].translation.xOffset, -1);
}

TEST_F(DrawerTest, ColumnFillsPlaceTheirCornersAndColourByTheLineRule)
{
    auto handle = series(0);
    int32_t counter = 0;
    const float columns[] = { 10, 5 };
    m_drawer.addBarColumnFill(
        columns, handle, nullptr, &counter, 2, kRed, kBlue, kGreen, kNone, 2, 0, 0, false, kIdentityTranslation);
    EXPECT_EQ(counter, 1);
    const auto* v = vertices<PlainVertex>(pieces(handle, RenderDataType::Flat)[0]);
    EXPECT_EQ(v[0].x, 9);
    EXPECT_EQ(v[0].y, 5);
    EXPECT_EQ(v[1].y, 0);
    EXPECT_EQ(v[2].x, 11);
    EXPECT_TRUE(v[0].colour == kRed && v[1].colour == kRed && v[2].colour == kGreen && v[3].colour == kGreen);

    // Horizontal bars swap the axes and negate the half width.
    counter = 0;
    auto bars = series(1);
    m_drawer.addBarColumnFill(
        columns, bars, nullptr, &counter, 2, kRed, kBlue, kGreen, kNone, 2, 0, 1, false, kIdentityTranslation);
    v = vertices<PlainVertex>(pieces(bars, RenderDataType::Flat)[0]);
    EXPECT_EQ(v[0].y, 6);
    EXPECT_EQ(v[0].x, 10);

    struct Case {
        std::vector<float> values;
        std::vector<Colour4f> colours;
    };
    const Case cases[] = {
        { { 3, 0, -2 }, { kRed, kBlue, kBlue } },
        { { -2, 0, 3 }, { kBlue, kBlue, kRed } },
        { { 3, 0, 3 }, { kRed, kRed, kRed } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.values[0]);
        std::vector<float> points;
        for (size_t i = 0; i < c.values.size(); ++i)
            points.insert(points.end(), { static_cast<float>(i), c.values[i] });
        auto handle3 = series(9);
        counter = 0;
        m_drawer.addBarColumnFill(points.data(), handle3, nullptr, &counter, static_cast<uint32_t>(points.size()), kRed,
            kBlue, kRed, kBlue, 1, 0, 0, false, kIdentityTranslation);
        const auto* corners = vertices<PlainVertex>(pieces(handle3, RenderDataType::Flat)[0]);
        for (size_t i = 0; i < c.colours.size(); ++i)
            EXPECT_TRUE(corners[i * 4].colour == c.colours[i]) << i;
    }
}

TEST_F(DrawerTest, LargeBinsSplitIntoPiecesOfAtMost65536Indices)
{
    struct Case {
        const char* what;
        uint32_t count;
        size_t pieces;
    };
    const Case cases[] = { { "bars", 10923, 2 }, { "bars", 10922, 1 }, { "outline", 10923, 2 }, { "fill", 10923, 1 },
        { "fill", 10924, 2 } };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.count));
        std::vector<float> points;
        for (uint32_t i = 0; i < c.count; ++i)
            points.insert(points.end(), { static_cast<float>(i), static_cast<float>(i % 7) - 3 });
        auto handle = series(++index);
        int32_t counter = 0;
        auto size = static_cast<uint32_t>(points.size());
        std::string what = c.what;
        if (what == "bars")
            m_drawer.addBarColumnFill(points.data(), handle, nullptr, &counter, size, kRed, kBlue, kRed, kBlue, 1, 0, 0,
                false, kIdentityTranslation);
        else if (what == "outline")
            m_drawer.addBarColumnLine(points.data(), handle, points.data(), &counter, size, kRed, kBlue, true, true, 1,
                1, 0, 0, kIdentityTranslation);
        else
            m_drawer.addHorizontalFill(points.data(), handle, &counter, static_cast<int32_t>(size), kRed, kBlue, kNone,
                kNone, false, false, 0, 3, 3, 1, false, kIdentityTranslation);
        const auto& stored = pieces(handle, what == "outline" ? RenderDataType::Line : RenderDataType::Flat);
        EXPECT_EQ(stored.size(), c.pieces);
        EXPECT_EQ(counter, static_cast<int32_t>(c.pieces));
        int32_t points_covered = 0;
        for (const auto& piece : stored) {
            EXPECT_LE(piece.indexCount, 65536);
            EXPECT_LE(piece.vertexCount, 65536);
            points_covered += piece.vertexCount;
        }
        if (what == "fill" && c.pieces == 2) { // the second batch repeats the boundary point
            EXPECT_EQ(points_covered, 2 * (static_cast<int32_t>(c.count) + 1));
        }
    }
}

TEST_F(DrawerTest, BarOutlinesDrawOnlySidesWithAColour)
{
    auto handle = series(0);
    int32_t counter = 0;
    const float columns[] = { 0, 5, 1, -5 };
    m_drawer.addBarColumnLine(
        columns, handle, nullptr, &counter, 4, kNone, kBlue, false, true, 1, 1.5f, 0, 0, kIdentityTranslation);
    const auto& piece = pieces(handle, RenderDataType::Line)[0];
    EXPECT_EQ(piece.vertexCount, 4);
    EXPECT_EQ(piece.indexCount, 6);
    EXPECT_EQ(piece.lineWidth, 3);
    EXPECT_EQ(piece.mode, static_cast<GLenum>(GL_LINES));
    EXPECT_TRUE(piece.stencil.enabled);
    EXPECT_EQ(vertices<PlainVertex>(piece)[0].y, -5);
}

TEST_F(DrawerTest, LinesAreThinUpToWidthTwoAndRectanglesWithDiscsAbove)
{
    const float line[] = { 0, 1, 1, 2, 2, 1 };
    for (float width : { 2.0f, 2.5f }) {
        SCOPED_TRACE(width);
        auto handle = series(width > 2 ? 1 : 0);
        int32_t lines = 0, segments = 0, joins = 0;
        m_drawer.addLineStrip(
            line, handle, &lines, &segments, &joins, 6, kRed, kBlue, width, 0, 1, kIdentityTranslation);
        EXPECT_EQ(lines, 1);
        EXPECT_EQ(segments, 1);
        EXPECT_EQ(joins, 1);
        const auto& thin = pieces(handle, RenderDataType::Line)[0];
        const auto& wide = pieces(handle, RenderDataType::WideLine)[0];
        const auto& discs = pieces(handle, RenderDataType::SizedPoints)[0];
        EXPECT_EQ(thin.mode, static_cast<GLenum>(GL_LINE_STRIP));
        EXPECT_TRUE(thin.drawAsSprites);
        EXPECT_EQ(wide.indexCount, 12);
        EXPECT_EQ(discs.vertexCount, 3);
        EXPECT_EQ(vertices<SizedVertex>(discs)[0].size, width);
        bool thinShows = vertices<PlainVertex>(thin)[0].colour == kRed;
        bool wideShows = vertices<OffsetVertex>(wide)[0].colour == kRed;
        EXPECT_EQ(thinShows, width <= 2);
        EXPECT_EQ(wideShows, width > 2);
    }

    // One point: a single disc, a thin piece of one vertex and no segment piece.
    auto single = series(5);
    int32_t lines = 0, segments = 0, joins = 0;
    m_drawer.addLineStrip(line, single, &lines, &segments, &joins, 2, kRed, kBlue, 3, 0, 1, kIdentityTranslation);
    EXPECT_EQ(pieces(single, RenderDataType::Line)[0].vertexCount, 1);
    EXPECT_TRUE(pieces(single, RenderDataType::WideLine).empty());
    EXPECT_EQ(pieces(single, RenderDataType::SizedPoints)[0].vertexCount, 1);
}

TEST_F(DrawerTest, DataPointsFormOnePiecePerRunOfTexturesWithTheirSizes)
{
    const float points[] = { 0, 1, 1, -1, 2, 1, 3, 1 };
    const GLuint a = 40, b = 41;
    const GLuint textures[] = { a, a, b, a };
    auto handle = series(0);
    int32_t counter = 0;
    m_drawer.addDataPoints(points, handle, &counter, textures, 8, kRed, kBlue, 4, nullptr, 0, 1, kIdentityTranslation);
    const auto& runs = pieces(handle, RenderDataType::SizedPoints);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].vertexCount, 2);
    EXPECT_EQ(runs[0].texture, a);
    EXPECT_EQ(runs[1].texture, b);
    EXPECT_EQ(runs[2].texture, a);
    EXPECT_EQ(vertices<SizedVertex>(runs[0])[0].size, 8);
    EXPECT_TRUE(vertices<SizedVertex>(runs[0])[1].colour == kBlue);

    const float sizes[] = { 10, 20 };
    auto sized = series(1);
    counter = 0;
    m_drawer.addDataPoints(points, sized, &counter, nullptr, 4, kRed, kBlue, 4, sizes, 0, 1, kIdentityTranslation);
    const auto& disc = pieces(sized, RenderDataType::SizedPoints)[0];
    EXPECT_EQ(disc.texture, m_drawer.resources().texture(TextureKind::DiscSprite));
    EXPECT_EQ(vertices<SizedVertex>(disc)[1].size, 20);

    // No points: the stored piece of that id goes.
    counter = 0;
    m_drawer.addDataPoints(points, sized, &counter, nullptr, 0, kRed, kBlue, 4, nullptr, 0, 1, kIdentityTranslation);
    EXPECT_TRUE(pieces(sized, RenderDataType::SizedPoints).empty());
}

TEST_F(DrawerTest, RebuiltMarkersReplaceThePiecesOfTheirIdsWhateverTheirTexturesWere)
{
    // A bin redrawn with other images (a selection style's, say) must not leave its old markers
    // drawn beside the new ones.
    const GLuint a = 40, b = 41, disc = m_drawer.resources().texture(TextureKind::DiscSprite);
    struct Case {
        const char* name;
        std::vector<GLuint> before, after; // one texture per point, 0 for the built-in disc
        std::vector<GLuint> pieces; // the texture of each stored piece, in id order
    };
    const Case cases[] = {
        { "one image for another", { a, a }, { b, b }, { b } },
        { "two runs swap their images", { a, b }, { b, a }, { b, a } },
        { "an image for the disc", { a, a }, { 0, 0 }, { disc } },
        { "the disc for an image", { 0, 0 }, { a, a }, { a } },
        { "the same image again", { a, a }, { a, a }, { a } },
    };
    const float points[] = { 0, 1, 1, 2 };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto handle = series(index++);
        m_drawer.beginFrame(false);
        int32_t counter = 0;
        m_drawer.addDataPoints(
            points, handle, &counter, c.before.data(), 4, kRed, kBlue, 4, nullptr, 0, 1, kIdentityTranslation);
        m_drawer.render(&m_animation);
        m_drawer.beginFrame(false);
        counter = 0;
        m_drawer.addDataPoints(
            points, handle, &counter, c.after.data(), 4, kRed, kBlue, 4, nullptr, 0, 1, kIdentityTranslation);
        std::vector<GLuint> stored;
        for (const auto& piece : pieces(handle, RenderDataType::SizedPoints))
            stored.push_back(piece.texture);
        EXPECT_EQ(stored, c.pieces);
    }
}

TEST_F(DrawerTest, GradientAreaFillsFadeTowardsTheBaseline)
{
    const float points[] = { 0, 10, 1, 5 };
    auto handle = series(0);
    int32_t counter = 0;
    m_drawer.addHorizontalFill(
        points, handle, &counter, 4, kRed, kBlue, kNone, kNone, false, false, 0, 10, 10, 1, true, kIdentityTranslation);
    const auto* v = vertices<PlainVertex>(pieces(handle, RenderDataType::Flat)[0]);
    EXPECT_TRUE(v[0].colour == kRed);
    EXPECT_TRUE(v[2].colour == (Colour4f { 0.5f, 0, 0, 0.5f }));
    EXPECT_TRUE(v[1].colour == kNone && v[3].colour == kNone);
    EXPECT_EQ(v[1].y, 0);
    EXPECT_EQ(v[1].x, 0);
    EXPECT_LT(v[0].z, 1);
}

TEST_F(DrawerTest, TheHiddenFormOfALineIsKeptButNotDrawn)
{
    const float line[] = { 0, 1, 1, 2, 2, 1 };
    auto handle = series(0);
    int32_t lines = 0, segments = 0, joins = 0;
    m_drawer.addLineStrip(line, handle, &lines, &segments, &joins, 6, kRed, kBlue, 1, 0, 1, kIdentityTranslation);
    m_recorder.clear();
    m_drawer.render(&m_animation);
    // Only the thin strip: the clear rectangles and discs are skipped.
    EXPECT_EQ(m_recorder.callsTo({ "DrawArrays", "DrawElements" }),
        std::vector<std::string> { GLCallRecorder::format("DrawArrays", GL_LINE_STRIP, 0, 3) });
    EXPECT_TRUE(pieces(handle, RenderDataType::WideLine)[0].invisible);
}
