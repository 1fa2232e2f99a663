#pragma once

#include "charts/LChartDrawer.h"
#include "charts/gl/SeriesHandle.h"
#include "charts/gl/VboData.h"
#include "gles/GLFunctions.h"

#include <memory>

namespace LChartGL {

enum class RenderDataType : int32_t {
    Flat = 0,
    WideLine = 1,
    Line = 2,
    PixelOffset = 3,
    SizedPoints = 4,
    RadialFill = 5,
    RadialOutline = 6,
    RadialTexture = 7,
};

struct StencilSettings {
    bool enabled { false };
    bool incrementAfter { false };
    GLenum zpassOp { GL_KEEP };
    GLenum func { GL_ALWAYS };
};

struct RadialTransform {
    float projMat[4] { 0, 0, 0, 0 };
    float displace { 0 };
};

// Vertex layouts (floats): position x, y, z; colour r, g, b, a; then the layout's own fields.
struct PlainVertex {
    float x, y, z;
    Colour4f colour;
};
struct OffsetVertex {
    float x, y, z;
    Colour4f colour;
    float offsetX, offsetY;
};
struct RadialVertex {
    float x, y, z;
    Colour4f colour;
    float u, v;
};
struct SizedVertex {
    float x, y, z;
    Colour4f colour;
    float size;
};
static_assert(
    sizeof(PlainVertex) == 28 && sizeof(OffsetVertex) == 36 && sizeof(RadialVertex) == 36 && sizeof(SizedVertex) == 32);

// One drawable piece of a series: its kind, its number within the series (`id`), how to draw it
// and its blocks in the buffer sets. Pieces are copied freely; the blocks are shared.
struct RenderData {
    // Takes the piece's id from `idCounter` and advances it.
    RenderData(SeriesHandleRef series, std::shared_ptr<VboData> vertices, std::shared_ptr<VboData> indices,
        int32_t* idCounter, GLenum mode, const StencilSettings* stencil, const LChartGLTranslation* translation);

    RenderDataType type { RenderDataType::Flat };
    int32_t id { 0 };
    float lineWidth { 0 };
    GLuint texture { 0 };
    GLenum mode { GL_TRIANGLES };
    bool drawAsSprites { false };
    // Every vertex is fully transparent (a line's hidden thin or wide form): kept, never drawn.
    bool invisible { false };
    int32_t vertexCount { 0 };
    int32_t indexCount { 0 };
    StencilSettings stencil;
    LChartGLTranslation translation;
    RadialTransform radial;
    SeriesHandleRef series;
    std::shared_ptr<VboData> vertices;
    std::shared_ptr<VboData> indices;

    // Takes over `other`'s fields; new blocks inherit the old blocks' places in their sets.
    void replaceWith(const RenderData& other);
};

} // namespace LChartGL
