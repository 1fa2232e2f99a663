#include "charts/gl/Drawer.h"

#include <cmath>

namespace LChartGL {

namespace {

// A piece is known by its series, mode and id. Its texture is what it draws with, not who it
// is: markers rebuilt with other images replace the old ones instead of drawing beside them.
bool samePiece(const RenderData& a, const RenderData& b)
{
    return a.series->equals(*b.series) && a.mode == b.mode && a.id == b.id;
}

uint32_t strideOf(BufferKind kind)
{
    switch (kind) {
    case BufferKind::Vertices:
        return sizeof(PlainVertex);
    case BufferKind::Indices:
        return sizeof(uint16_t);
    case BufferKind::RadialVertices:
        return sizeof(RadialVertex);
    case BufferKind::OffsetVertices:
        return sizeof(OffsetVertex);
    default:
        return sizeof(SizedVertex);
    }
}

} // namespace

Drawer::Drawer(bool opaqueLayer, ErrorHandlerHandleRef errorHandler)
    : m_opaqueLayer(opaqueLayer)
    , m_errorHandler(std::move(errorHandler))
    , m_resources(std::make_unique<GLResources>(m_errorHandler))
{
    for (size_t i = 0; i < static_cast<size_t>(BufferKind::Count); ++i) {
        auto kind = static_cast<BufferKind>(i);
        m_sets.push_back(std::make_unique<VboSet>(strideOf(kind),
            kind == BufferKind::Indices ? GL_ELEMENT_ARRAY_BUFFER : GL_ARRAY_BUFFER, &m_resources->buffer(kind)));
    }
    gl().Enable(GL_BLEND);
    gl().BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl().Enable(GL_DEPTH_TEST);
    gl().DepthFunc(GL_LESS);
}

Drawer::~Drawer()
{
    // The pieces hold blocks that point at the sets; they go before the sets and the resources.
    m_opaqueRenderData.clear();
    m_transparentRenderData.clear();
    while (!m_sets.empty())
        m_sets.pop_back();
    m_resources.reset();
}

void Drawer::setViewportSize(int32_t width, int32_t height)
{
    m_viewportWidth = static_cast<float>(width);
    m_viewportHeight = static_cast<float>(height);
}

void Drawer::beginFrame(bool reloaded)
{
    m_currentProgram = 0;
    m_depth = 1;
    if (reloaded)
        clearAllVbos();
}

void Drawer::clearAllVbos()
{
    m_opaqueRenderData.clear();
    m_transparentRenderData.clear();
    for (auto& set : m_sets)
        set->clear();
    m_needsRebuffer = true;
}

void Drawer::addOrReplaceRenderData(const SeriesHandleRef& series, const RenderData& data, bool opaque)
{
    m_needsRebuffer = true;
    auto& pieces = (opaque ? m_opaqueRenderData : m_transparentRenderData)[series][data.type];
    for (auto it = pieces.begin(); it != pieces.end(); ++it) {
        if (!samePiece(*it, data))
            continue;
        if (data.vertices && data.vertices->count() < 1)
            pieces.erase(it);
        else
            it->replaceWith(data);
        return;
    }
    // An empty piece only ever removes; it is not kept.
    if (!data.vertices || data.vertices->count() > 0)
        pieces.push_back(data);
}

std::set<GLuint> Drawer::texturesInUse() const
{
    std::set<GLuint> textures;
    for (const auto* map : { &m_opaqueRenderData, &m_transparentRenderData })
        for (const auto& [handle, types] : *map)
            for (const auto& [type, pieces] : types)
                for (const auto& piece : pieces)
                    if (piece.texture != 0)
                        textures.insert(piece.texture);
    return textures;
}

void Drawer::removeRenderData(const SeriesHandleRef& series, const RenderData& data, bool opaque)
{
    m_needsRebuffer = true;
    auto& pieces = (opaque ? m_opaqueRenderData : m_transparentRenderData)[series][data.type];
    for (auto it = pieces.begin(); it != pieces.end(); ++it) {
        if (it->series->equals(*data.series) && it->mode == data.mode && it->id == data.id) {
            pieces.erase(it);
            return;
        }
    }
}

void Drawer::updateSeriesTranslation(const SeriesHandleRef& series, const LChartGLTranslation& translation)
{
    for (auto* map : { &m_opaqueRenderData, &m_transparentRenderData }) {
        for (auto& [handle, types] : *map) {
            for (auto& [type, pieces] : types)
                for (auto& piece : pieces)
                    if (piece.series->equals(*series))
                        piece.translation = translation;
        }
    }
}

void Drawer::updateRadialSlice(
    const SeriesHandleRef& series, int32_t sliceIndex, float displacement, float angle, float lineWidth)
{
    float sx = 2 / m_viewportWidth;
    float sy = 2 / m_viewportHeight;
    for (auto* map : { &m_opaqueRenderData, &m_transparentRenderData }) {
        for (auto& [handle, types] : *map) {
            for (auto& [type, pieces] : types) {
                for (auto& piece : pieces) {
                    if (!piece.series->equals(*series) || piece.id != sliceIndex)
                        continue;
                    piece.lineWidth = lineWidth;
                    piece.radial.displace = displacement;
                    piece.radial.projMat[0] = sx * std::cos(angle);
                    piece.radial.projMat[1] = sx * std::sin(angle);
                    piece.radial.projMat[2] = sy * std::sin(angle);
                    piece.radial.projMat[3] = -sy * std::cos(angle);
                }
            }
        }
    }
}

bool Drawer::render(AnimationManager* animationManager)
{
    if (!animationManager)
        fatal(m_errorHandler, "Null animationManager");
    m_animationManager = animationManager;
    m_animating = false;
    rebuffer();
    m_stencilBit = 0;
    if (!m_opaqueRenderData.empty())
        gl().Disable(GL_BLEND);
    for (auto it = m_opaqueRenderData.rbegin(); it != m_opaqueRenderData.rend(); ++it)
        drawSeries(it->second);
    if (!m_transparentRenderData.empty())
        gl().Enable(GL_BLEND);
    gl().DepthMask(GL_FALSE);
    for (const auto& [series, types] : m_transparentRenderData)
        drawSeries(types);
    gl().DepthMask(GL_TRUE);
    gl().UseProgram(0);
    m_animationManager = nullptr;
    return m_animating;
}

void Drawer::rebuffer()
{
    if (!m_needsRebuffer)
        return;
    for (auto* map : { &m_opaqueRenderData, &m_transparentRenderData }) {
        for (const auto& [series, types] : *map) {
            for (const auto& [type, pieces] : types) {
                for (const auto& piece : pieces) {
                    if (piece.indices)
                        piece.indices->set()->add(piece.indices);
                    if (piece.vertices)
                        piece.vertices->set()->add(piece.vertices);
                }
            }
        }
    }
    for (auto kind : { BufferKind::Indices, BufferKind::Vertices, BufferKind::RadialVertices,
             BufferKind::OffsetVertices, BufferKind::VerticesWithWidth })
        set(kind).buffer();
    m_needsRebuffer = false;
}

void Drawer::drawSeries(const TypeMap& types)
{
    for (const auto& [type, pieces] : types) {
        for (const auto& piece : pieces) {
            AnimationValues values = m_animationManager->updateValues(*piece.series);
            if (!values.visible || piece.invisible)
                continue;
            if (values.running)
                m_animating = m_animating || values.entryExit;
            drawPiece(piece, values);
        }
    }
}

void Drawer::useProgram(Program& program)
{
    GLuint name = program.name();
    if (m_currentProgram != name) {
        gl().UseProgram(name);
        m_currentProgram = name;
    }
    program.enableAttributes();
}

void Drawer::setUniform(Program& program, Uniform slot, float value)
{
    if (program.hasUniform(slot))
        gl().Uniform1f(program.uniform(slot), value);
}

void Drawer::setTranslation(Program& program, const LChartGLTranslation& translation)
{
    setUniform(program, Uniform::ZoomX, translation.xScale);
    setUniform(program, Uniform::ZoomY, translation.yScale);
    setUniform(program, Uniform::MinX, translation.xOffset);
    setUniform(program, Uniform::MinY, translation.yOffset);
}

void Drawer::setAnimation(Program& program, const AnimationValues& values)
{
    if (!values.running)
        return;
    setUniform(program, Uniform::ScaleX, values.xScale);
    setUniform(program, Uniform::ScaleY, values.yScale);
    setUniform(program, Uniform::RefPointX, static_cast<float>(values.originX));
    setUniform(program, Uniform::RefPointY, static_cast<float>(values.originY));
    setUniform(program, Uniform::AlphaMod, values.alphaScale);
}

void Drawer::setRadial(Program& program, const RadialTransform& radial)
{
    setUniform(program, Uniform::Displace, radial.displace);
    if (program.hasUniform(Uniform::ProjMat))
        gl().UniformMatrix2fv(program.uniform(Uniform::ProjMat), 1, GL_FALSE, radial.projMat);
}

void Drawer::setAttributes(Program& program, BufferKind kind, const RenderData& piece)
{
    const auto& vboSet = set(kind);
    gl().BindBuffer(GL_ARRAY_BUFFER, vboSet.vertexBuffer().name());
    auto stride = static_cast<GLsizei>(vboSet.stride());
    size_t base = static_cast<size_t>(piece.vertices ? piece.vertices->offset() : 0) * vboSet.stride();
    auto pointer = [&](Attribute slot, GLint size, size_t at) {
        GLint location = program.attribute(slot);
        if (location != -1)
            gl().VertexAttribPointer(static_cast<GLuint>(location), size, GL_FLOAT, GL_FALSE, stride,
                reinterpret_cast<const void*>(base + at));
    };
    pointer(Attribute::Position, 3, 0);
    pointer(Attribute::Colour, 4, 12);
    if (kind == BufferKind::OffsetVertices)
        pointer(Attribute::Offset, 2, 28);
    else if (kind == BufferKind::RadialVertices)
        pointer(Attribute::UV, 2, 28);
    else if (kind == BufferKind::VerticesWithWidth)
        pointer(Attribute::PointSize, 1, 28);
}

void Drawer::drawElementsOrArrays(const RenderData& piece, GLenum mode)
{
    if (piece.indexCount >= 1 && piece.indices) {
        gl().BindBuffer(GL_ELEMENT_ARRAY_BUFFER, set(BufferKind::Indices).vertexBuffer().name());
        gl().DrawElements(mode, piece.indexCount, GL_UNSIGNED_SHORT,
            reinterpret_cast<const void*>(static_cast<size_t>(piece.indices->offset()) * sizeof(uint16_t)));
    } else {
        gl().DrawArrays(mode, 0, piece.vertexCount);
    }
}

void Drawer::finish(Program& program)
{
    program.disableAttributes();
}

void Drawer::stencilBegin(const RenderData& piece)
{
    if (!piece.stencil.enabled)
        return;
    gl().Enable(GL_STENCIL_TEST);
    gl().StencilOp(GL_KEEP, GL_KEEP, piece.stencil.zpassOp);
    if (m_stencilBit >= 8) {
        gl().Clear(GL_STENCIL_BUFFER_BIT);
        m_stencilBit = 0;
    }
    gl().StencilFunc(piece.stencil.func, 1 << m_stencilBit, 1u << m_stencilBit);
}

void Drawer::stencilEnd(const RenderData& piece)
{
    if (!piece.stencil.enabled)
        return;
    if (piece.stencil.incrementAfter)
        m_stencilBit += 1;
    gl().Disable(GL_STENCIL_TEST);
}

void Drawer::drawPiece(const RenderData& piece, const AnimationValues& values)
{
    const bool animated = values.running;
    auto premultipliedBlend = [&] {
        if (m_opaqueLayer)
            gl().BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    };
    auto normalBlend = [&] {
        if (m_opaqueLayer)
            gl().BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    };
    float pixelWidth = 2 / m_viewportWidth;
    float pixelHeight = 2 / m_viewportHeight;

    switch (piece.type) {
    case RenderDataType::Flat: {
        stencilBegin(piece);
        auto& program = m_resources->program(ProgramKind::CartesianFlat, animated);
        useProgram(program);
        setTranslation(program, piece.translation);
        setAnimation(program, values);
        setAttributes(program, BufferKind::Vertices, piece);
        drawElementsOrArrays(piece, piece.mode);
        finish(program);
        stencilEnd(piece);
        break;
    }
    case RenderDataType::WideLine: {
        stencilBegin(piece);
        auto& program = m_resources->program(ProgramKind::WideLine, animated);
        useProgram(program);
        setTranslation(program, piece.translation);
        setUniform(program, Uniform::PointSize, piece.lineWidth * 0.5f);
        setUniform(program, Uniform::PixelWidth, pixelWidth);
        setUniform(program, Uniform::PixelHeight, pixelHeight);
        setAnimation(program, values);
        setAttributes(program, BufferKind::OffsetVertices, piece);
        drawElementsOrArrays(piece, piece.mode);
        finish(program);
        stencilEnd(piece);
        break;
    }
    case RenderDataType::Line: {
        stencilBegin(piece);
        Program* program;
        if (piece.drawAsSprites && piece.lineWidth > 2.0f) {
            premultipliedBlend();
            gl().BindTexture(GL_TEXTURE_2D, piece.texture);
            if (piece.texture == m_resources->texture(TextureKind::SoftDiscSprite)) {
                gl().StencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
                program = &m_resources->program(ProgramKind::UniformSizeSprite, animated);
            } else {
                program = &m_resources->program(ProgramKind::UniformSizeSpriteCutOff, animated);
            }
            useProgram(*program);
            setTranslation(*program, piece.translation);
            setUniform(*program, Uniform::PointSize, piece.lineWidth);
            setAnimation(*program, values);
            setAttributes(*program, BufferKind::Vertices, piece);
            gl().DrawArrays(GL_POINTS, 0, piece.vertexCount);
        } else {
            program = &m_resources->program(ProgramKind::CartesianFlat, animated);
            useProgram(*program);
            setTranslation(*program, piece.translation);
            setAnimation(*program, values);
            gl().LineWidth(piece.lineWidth);
            setAttributes(*program, BufferKind::Vertices, piece);
            drawElementsOrArrays(piece, piece.mode);
        }
        finish(*program);
        normalBlend();
        gl().BindTexture(GL_TEXTURE_2D, 0);
        stencilEnd(piece);
        break;
    }
    case RenderDataType::PixelOffset: {
        auto& program = m_resources->program(ProgramKind::PixelOffset, animated);
        useProgram(program);
        setTranslation(program, piece.translation);
        setUniform(program, Uniform::PixelWidth, pixelWidth);
        setUniform(program, Uniform::PixelHeight, pixelHeight);
        setAnimation(program, values);
        stencilBegin(piece);
        gl().LineWidth(piece.lineWidth);
        setAttributes(program, BufferKind::OffsetVertices, piece);
        drawElementsOrArrays(piece, piece.mode);
        finish(program);
        stencilEnd(piece);
        break;
    }
    case RenderDataType::SizedPoints: {
        premultipliedBlend();
        gl().BindTexture(GL_TEXTURE_2D, piece.texture);
        auto& program = m_resources->program(ProgramKind::PerVertexSizeSprite, animated);
        useProgram(program);
        setTranslation(program, piece.translation);
        setAnimation(program, values);
        setAttributes(program, BufferKind::VerticesWithWidth, piece);
        gl().DrawArrays(GL_POINTS, 0, piece.vertexCount);
        finish(program);
        gl().BindTexture(GL_TEXTURE_2D, 0);
        normalBlend();
        break;
    }
    case RenderDataType::RadialFill: {
        gl().Enable(GL_STENCIL_TEST);
        gl().StencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
        if (m_stencilBit >= 8) {
            gl().Clear(GL_STENCIL_BUFFER_BIT);
            m_stencilBit = 0;
        }
        gl().StencilFunc(GL_ALWAYS, 1 << m_stencilBit, 1u << m_stencilBit);
        auto& program = m_resources->program(ProgramKind::RadialFlat, animated);
        useProgram(program);
        setAnimation(program, values);
        setRadial(program, piece.radial);
        setAttributes(program, BufferKind::RadialVertices, piece);
        drawElementsOrArrays(piece, GL_TRIANGLES);
        finish(program);
        break;
    }
    case RenderDataType::RadialOutline: {
        gl().StencilOp(GL_KEEP, GL_KEEP, GL_ZERO);
        gl().StencilFunc(GL_EQUAL, 1 << m_stencilBit, 1u << m_stencilBit);
        Program* program;
        if (piece.mode == GL_LINE_STRIP) {
            premultipliedBlend();
            program = &m_resources->program(ProgramKind::RadialWideLine, animated);
            useProgram(*program);
            setRadial(*program, piece.radial);
            setUniform(*program, Uniform::PixelWidth, m_viewportHeight / m_viewportWidth);
            setUniform(*program, Uniform::PointSize, piece.lineWidth * 0.5f);
            setAnimation(*program, values);
            setAttributes(*program, BufferKind::OffsetVertices, piece);
            drawElementsOrArrays(piece, GL_TRIANGLES);
            normalBlend();
        } else {
            program = &m_resources->program(ProgramKind::RadialFlat, animated);
            useProgram(*program);
            setAnimation(*program, values);
            setRadial(*program, piece.radial);
            gl().LineWidth(piece.lineWidth);
            setAttributes(*program, BufferKind::Vertices, piece);
            gl().DrawArrays(piece.mode, 0, piece.vertexCount);
        }
        finish(*program);
        if (piece.stencil.incrementAfter) {
            m_stencilBit += 1;
            gl().Disable(GL_STENCIL_TEST);
        }
        break;
    }
    case RenderDataType::RadialTexture: {
        if (piece.texture == 0)
            break;
        auto& program = m_resources->program(ProgramKind::RadialTextured, animated);
        useProgram(program);
        setAnimation(program, values);
        setRadial(program, piece.radial);
        premultipliedBlend();
        gl().BindTexture(GL_TEXTURE_2D, piece.texture);
        setAttributes(program, BufferKind::RadialVertices, piece);
        drawElementsOrArrays(piece, GL_TRIANGLES);
        gl().BindTexture(GL_TEXTURE_2D, 0);
        normalBlend();
        finish(program);
        break;
    }
    }
}

} // namespace LChartGL
