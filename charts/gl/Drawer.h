#pragma once

#include "charts/gl/GLResources.h"
#include "charts/gl/RenderData.h"
#include "charts/gl/VboSet.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace LChartGL {

// The GL ES 2 engine behind a chart's plot area. Geometry builders turn a bin of a series into
// pieces of render data stored under the series (and kept from frame to frame, replaced by id);
// `render` uploads what changed into the five shared buffer sets and draws every piece: opaque
// pieces first by ascending series index with blending off, then transparent ones by descending
// series index with depth writes off. Made with the GL view's context current; main thread only.
class Drawer {
public:
    Drawer(bool opaqueLayer, ErrorHandlerHandleRef errorHandler);
    ~Drawer();
    Drawer(const Drawer&) = delete;
    Drawer& operator=(const Drawer&) = delete;

    void setViewportSize(int32_t width, int32_t height);
    void beginFrame(bool reloaded);
    void clearAllVbos();
    // Draws the frame; answers whether an entry or exit animation is still running.
    bool render(AnimationManager* animationManager);

    GLuint createTexture(const void* pixels, GLenum format, GLenum type, GLsizei width, GLsizei height)
    {
        return m_resources->createTexture(pixels, format, type, width, height);
    }
    void deleteUserTextures() { m_resources->deleteUserTextures(); }
    void deleteUserTextures(const std::vector<GLuint>& names) { m_resources->deleteUserTextures(names); }
    // The textures the stored pieces draw with.
    std::set<GLuint> texturesInUse() const;

    void addOrReplaceRenderData(const SeriesHandleRef& series, const RenderData& data, bool opaque);
    void removeRenderData(const SeriesHandleRef& series, const RenderData& data, bool opaque);
    void updateSeriesTranslation(const SeriesHandleRef& series, const LChartGLTranslation& translation);
    void updateRadialSlice(
        const SeriesHandleRef& series, int32_t sliceIndex, float displacement, float angle, float lineWidth);

    // Builders (points are x, y float pairs; `size` counts floats).
    void addBarColumnFill(const float* points, const SeriesHandleRef& series, const float* baseValues,
        int32_t* idCounter, uint32_t size, Colour4f colour, Colour4f colourBelow, Colour4f gradient,
        Colour4f gradientBelow, float barWidth, float glBaseline, int32_t orientation, bool linesToo,
        const LChartGLTranslation& translation);
    void addBarColumnLine(const float* points, const SeriesHandleRef& series, const float* baseValues,
        int32_t* idCounter, uint32_t size, Colour4f colour, Colour4f colourBelow, bool hasColour, bool hasColourBelow,
        float barWidth, float lineWidth, float glBaseline, int32_t orientation, const LChartGLTranslation& translation);
    void addHorizontalFill(const float* points, const SeriesHandleRef& series, int32_t* idCounter, int32_t size,
        Colour4f colour, Colour4f colourBelow, Colour4f gradient, Colour4f gradientBelow, bool hasGradient,
        bool hasGradientBelow, float baseline, float maxOffsetAbove, float maxOffsetBelow, int32_t fillDirection,
        bool gradientFill, const LChartGLTranslation& translation);
    void addLineStrip(const float* points, const SeriesHandleRef& series, int32_t* linesCounter,
        int32_t* segmentsCounter, int32_t* joinsCounter, int32_t size, Colour4f colour, Colour4f colourBelow,
        float width, float baseline, int32_t fillDirection, const LChartGLTranslation& translation);
    void addDataPoints(const float* points, const SeriesHandleRef& series, int32_t* idCounter, const GLuint* textures,
        int32_t size, Colour4f colour, Colour4f colourBelow, float radius, const float* sizes, float baseline,
        int32_t fillDirection, const LChartGLTranslation& translation);

    void addRadialSlice(int32_t sliceIndex, const SeriesHandleRef& series, int32_t* fillCounter,
        int32_t* outlineCounter, float startAngle, float endAngle, float innerRadius, float outerRadius,
        float displacement, Colour4f fillColour, Colour4f lineColour, float lineWidth, int32_t effect,
        float resolutionScale);
    // The crossings of the two lines are counted here; the strip holds two vertices per point and
    // two per crossing.
    void addBandFill(const float* high, const SeriesHandleRef& series, const float* low, int32_t* idCounter,
        int32_t size, Colour4f colourAbove, Colour4f colourBelow, int32_t orientation,
        const LChartGLTranslation& translation);
    // `data` holds five floats per candle: position, upper stick end, upper body end, lower body
    // end, lower stick end.
    void addCandlesticks(const float* data, const SeriesHandleRef& series, int32_t* bodyCounter, int32_t* linesCounter,
        int32_t count, const std::vector<Colour4f>& colours, const std::vector<Colour4f>& gradientColours,
        Colour4f outlineColour, Colour4f stickColour, bool hasOutline, bool hasStickColour, float candleWidth,
        float outlineWidth, float stickWidth, int32_t orientation, float resolutionScale,
        const LChartGLTranslation& translation);
    // `data` holds five floats per point: position, high, open, close, low.
    void addOHLCPoints(const float* data, const SeriesHandleRef& series, int32_t* trunkCounter, int32_t* armCounter,
        int32_t count, const std::vector<Colour4f>& colours, const std::vector<Colour4f>& gradientColours,
        int32_t orientation, float armSpan, float trunkWidth, float armWidth, const LChartGLTranslation& translation);

    // What tests look at.
    using TypeMap = std::map<RenderDataType, std::vector<RenderData>>;
    struct SeriesHandleCompare {
        bool operator()(const SeriesHandleRef& a, const SeriesHandleRef& b) const { return a->lessThan(*b); }
    };
    using RenderDataMap = std::map<SeriesHandleRef, TypeMap, SeriesHandleCompare>;
    const RenderDataMap& opaqueRenderData() const { return m_opaqueRenderData; }
    const RenderDataMap& transparentRenderData() const { return m_transparentRenderData; }
    GLResources& resources() { return *m_resources; }
    VboSet& set(BufferKind kind) { return *m_sets[static_cast<size_t>(kind)]; }
    float depth() const { return m_depth; }
    bool isAnimating() const { return m_animating; }

private:
    struct Sprite {
        float x, y, z;
        Colour4f colour;
        GLuint texture;
    };

    // Piece makers.
    void addFlatTriangles(PlainVertex* vertices, const SeriesHandleRef& series, int32_t* idCounter,
        uint32_t vertexCount, uint16_t* indices, uint32_t indexCount, bool opaque, const StencilSettings* stencil,
        const LChartGLTranslation& translation);
    void addWideLineTriangles(OffsetVertex* vertices, const SeriesHandleRef& series, int32_t* idCounter,
        uint32_t vertexCount, uint16_t* indices, uint32_t indexCount, float lineWidth, bool opaque,
        const StencilSettings* stencil, const LChartGLTranslation& translation);
    void addLines(PlainVertex* vertices, const SeriesHandleRef& series, int32_t* idCounter, uint32_t vertexCount,
        uint16_t* indices, uint32_t indexCount, GLenum mode, float lineWidth, bool drawAsSprites, bool opaque,
        const StencilSettings* stencil, const LChartGLTranslation& translation);
    void addOffsetLines(OffsetVertex* vertices, const SeriesHandleRef& series, int32_t* idCounter, uint32_t vertexCount,
        GLenum mode, float lineWidth, bool opaque, const StencilSettings* stencil,
        const LChartGLTranslation& translation);
    void addSizedSprites(const std::vector<Sprite>& sprites, const SeriesHandleRef& series, int32_t* idCounter,
        float radius, const float* sizes, bool opaque, const LChartGLTranslation& translation);
    RenderData makePiece(const SeriesHandleRef& series, BufferKind vertexSet, void* vertices, uint32_t vertexCount,
        size_t vertexSize, uint16_t* indices, uint32_t indexCount, int32_t* idCounter, GLenum mode,
        const StencilSettings* stencil, const LChartGLTranslation* translation);

    std::vector<Colour4f> colourByLineRule(
        const float* points, uint32_t count, int32_t coordinate, float baseline, Colour4f above, Colour4f below) const;
    // Zeroed memory for `count` items (one at least, so an empty piece still owns a block);
    // running out is fatal.
    template <typename T> T* allocate(size_t count)
    {
        void* memory = std::calloc(count > 0 ? count : 1, sizeof(T));
        if (!memory)
            fatal(m_errorHandler, "Out of memory");
        return static_cast<T*>(memory);
    }

    // Render pass.
    void rebuffer();
    void drawSeries(const TypeMap& types);
    void drawPiece(const RenderData& piece, const AnimationValues& values);
    void useProgram(Program& program);
    void setTranslation(Program& program, const LChartGLTranslation& translation);
    void setAnimation(Program& program, const AnimationValues& values);
    void setRadial(Program& program, const RadialTransform& radial);
    void setAttributes(Program& program, BufferKind set, const RenderData& piece);
    void drawElementsOrArrays(const RenderData& piece, GLenum mode);
    void finish(Program& program);
    void stencilBegin(const RenderData& piece);
    void stencilEnd(const RenderData& piece);
    void setUniform(Program& program, Uniform slot, float value);

    bool m_opaqueLayer;
    ErrorHandlerHandleRef m_errorHandler;
    float m_depth { 1 };
    float m_viewportWidth { 1 };
    float m_viewportHeight { 1 };
    bool m_animating { false };
    GLuint m_currentProgram { 0 };
    std::unique_ptr<GLResources> m_resources;
    std::vector<std::unique_ptr<VboSet>> m_sets;
    bool m_needsRebuffer { false };
    RenderDataMap m_opaqueRenderData;
    RenderDataMap m_transparentRenderData;
    int32_t m_stencilBit { 0 };
    AnimationManager* m_animationManager { nullptr };
};

} // namespace LChartGL
