#include "charts/gl/GLResources.h"

#include <algorithm>

namespace LChartGL {

namespace {

// Vertex shader kinds; each has a plain and an animated variant.
enum class VertexKind {
    Cartesian,
    PixelOffset,
    WideLine,
    UniformSizePoint,
    PerVertexSizePoint,
    RadialFlat,
    RadialTextured,
    RadialWideLine,
    Count
};
enum class FragmentKind { Flat, Textured, Sprite, SpriteCutOff, Count };

bool isRadial(VertexKind kind)
{
    return kind == VertexKind::RadialFlat || kind == VertexKind::RadialTextured || kind == VertexKind::RadialWideLine;
}

// GLSL ES 1.00 text of a vertex shader. The animated variant scales the position about the
// reference point (before the cartesian mapping, after the radial one) and fades the alpha.
std::string vertexSource(VertexKind kind, bool animated)
{
    std::string s = "attribute vec4 a_position;\nattribute vec4 a_colour;\nvarying lowp vec4 v_colour;\n";
    if (animated)
        s += "uniform float scaleX;\nuniform float scaleY;\nuniform float refPointX;\nuniform float refPointY;\n"
             "uniform float alphaMod;\n";
    if (isRadial(kind))
        s += "uniform float displace;\nuniform mat2 projMat;\n";
    else
        s += "uniform float zoomX;\nuniform float zoomY;\nuniform float minX;\nuniform float minY;\n";
    switch (kind) {
    case VertexKind::PixelOffset:
        s += "attribute vec2 offset;\nuniform float pixelWidth;\nuniform float pixelHeight;\n";
        break;
    case VertexKind::WideLine:
        s += "attribute vec2 offset;\nuniform float pixelWidth;\nuniform float pixelHeight;\nuniform float "
             "lineHalfWidth;\n";
        break;
    case VertexKind::UniformSizePoint:
        s += "uniform float pointSize;\n";
        break;
    case VertexKind::PerVertexSizePoint:
        s += "attribute float a_pointSize;\n";
        break;
    case VertexKind::RadialTextured:
        s += "attribute vec2 a_uv;\nvarying mediump vec2 texcoord;\n";
        break;
    case VertexKind::RadialWideLine:
        s += "attribute vec2 offset;\nuniform float lineHalfWidth;\nuniform float aspectCorrection;\n";
        break;
    default:
        break;
    }
    const std::string scale = "    p.x = refPointX + (p.x - refPointX) * scaleX;\n"
                              "    p.y = refPointY + (p.y - refPointY) * scaleY;\n";
    s += "void main() {\n    vec4 p = a_position;\n    v_colour = a_colour;\n";
    if (animated)
        s += "    v_colour.a = v_colour.a * alphaMod;\n";
    if (isRadial(kind)) {
        s += "    p.x = p.x + displace;\n    p.xy = p.xy * projMat;\n";
        if (animated)
            s += scale;
        s += "    gl_Position = vec4(p.x, p.y, p.z, 1.0);\n";
        if (kind == VertexKind::RadialTextured)
            s += "    texcoord = a_uv;\n";
        if (kind == VertexKind::RadialWideLine)
            s += "    vec2 d = normalize(offset) * projMat;\n"
                 "    gl_Position.x = gl_Position.x + lineHalfWidth * (-d.y) * aspectCorrection;\n"
                 "    gl_Position.y = gl_Position.y + lineHalfWidth * d.x / aspectCorrection;\n";
    } else {
        if (animated)
            s += scale;
        s += "    gl_Position = vec4(-1.0 + (p.x - minX) / zoomX, -1.0 + (p.y - minY) / zoomY, p.z, 1.0);\n";
        if (kind == VertexKind::PixelOffset)
            s += "    gl_Position.x = gl_Position.x + offset.x * pixelWidth;\n"
                 "    gl_Position.y = gl_Position.y + offset.y * pixelHeight;\n";
        if (kind == VertexKind::WideLine)
            s += "    vec2 d = normalize(vec2(offset.x / (zoomX * pixelWidth), offset.y / (zoomY * pixelHeight)));\n"
                 "    gl_Position.x = gl_Position.x + lineHalfWidth * (-d.y) * pixelWidth;\n"
                 "    gl_Position.y = gl_Position.y + lineHalfWidth * d.x * pixelHeight;\n";
        if (kind == VertexKind::UniformSizePoint)
            s += "    gl_PointSize = pointSize;\n";
        if (kind == VertexKind::PerVertexSizePoint)
            s += "    gl_PointSize = a_pointSize;\n";
    }
    s += "}\n";
    return s;
}

std::string fragmentSource(FragmentKind kind)
{
    switch (kind) {
    case FragmentKind::Flat:
        return "varying lowp vec4 v_colour;\nvoid main() {\n    gl_FragColor = v_colour;\n}\n";
    case FragmentKind::Textured:
        return "precision mediump float;\nuniform sampler2D tex0;\nvarying mediump vec2 texcoord;\n"
               "void main() {\n    gl_FragColor = texture2D(tex0, texcoord);\n}\n";
    case FragmentKind::Sprite:
        return "precision mediump float;\nuniform sampler2D tex0;\nvarying lowp vec4 v_colour;\n"
               "void main() {\n    gl_FragColor = texture2D(tex0, gl_PointCoord) * v_colour;\n}\n";
    default:
        return "precision mediump float;\nuniform sampler2D tex0;\nvarying lowp vec4 v_colour;\n"
               "void main() {\n    vec4 c = texture2D(tex0, gl_PointCoord) * v_colour;\n"
               "    if (c.a < v_colour.a * 0.9) discard;\n    gl_FragColor = c;\n}\n";
    }
}

struct ProgramRecipe {
    VertexKind vertex;
    FragmentKind fragment;
    std::vector<std::pair<Attribute, const char*>> attributes;
    std::vector<std::pair<Uniform, const char*>> uniforms;
};

const std::vector<std::pair<Uniform, const char*>> kTranslationUniforms = { { Uniform::ZoomX, "zoomX" },
    { Uniform::ZoomY, "zoomY" }, { Uniform::MinX, "minX" }, { Uniform::MinY, "minY" } };

std::vector<std::pair<Uniform, const char*>> plus(
    std::vector<std::pair<Uniform, const char*>> base, std::vector<std::pair<Uniform, const char*>> more)
{
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

// The programs in ProgramKind order.
std::vector<ProgramRecipe> recipes()
{
    using A = Attribute;
    using U = Uniform;
    const std::pair<A, const char*> position { A::Position, "a_position" }, colour { A::Colour, "a_colour" },
        offset { A::Offset, "offset" };
    const auto pixels
        = plus(kTranslationUniforms, { { U::PixelWidth, "pixelWidth" }, { U::PixelHeight, "pixelHeight" } });
    const std::vector<std::pair<U, const char*>> radial = { { U::Displace, "displace" }, { U::ProjMat, "projMat" } };
    return {
        { VertexKind::Cartesian, FragmentKind::Flat, { position, colour }, kTranslationUniforms },
        { VertexKind::UniformSizePoint, FragmentKind::Sprite, { position, colour },
            plus(kTranslationUniforms, { { U::PointSize, "pointSize" }, { U::Tex0, "tex0" } }) },
        { VertexKind::PerVertexSizePoint, FragmentKind::Sprite, { position, colour, { A::PointSize, "a_pointSize" } },
            plus(kTranslationUniforms, { { U::Tex0, "tex0" } }) },
        { VertexKind::UniformSizePoint, FragmentKind::SpriteCutOff, { position, colour },
            plus(kTranslationUniforms, { { U::PointSize, "pointSize" }, { U::Tex0, "tex0" } }) },
        { VertexKind::PixelOffset, FragmentKind::Flat, { position, colour, offset }, pixels },
        { VertexKind::WideLine, FragmentKind::Flat, { position, colour, offset },
            plus(pixels, { { U::PointSize, "lineHalfWidth" } }) },
        { VertexKind::RadialFlat, FragmentKind::Flat, { position, colour }, radial },
        { VertexKind::RadialTextured, FragmentKind::Textured, { position, colour, { A::UV, "a_uv" } },
            plus(radial, { { U::Tex0, "tex0" } }) },
        { VertexKind::RadialWideLine, FragmentKind::Flat, { position, colour, offset },
            plus(radial, { { U::PointSize, "lineHalfWidth" }, { U::PixelWidth, "aspectCorrection" } }) },
    };
}

} // namespace

GLResources::GLResources(ErrorHandlerHandleRef handle)
    : m_handle(std::move(handle))
{
    for (auto& buffer : m_buffers)
        buffer = std::make_unique<VertexBuffer>(m_handle);
    makeShadersAndPrograms();
    for (auto& texture : m_textures)
        texture = std::make_unique<Texture>(m_handle);
    fillTextures();
}

GLResources::~GLResources()
{
    deleteUserTextures();
    for (auto it = m_textures.rbegin(); it != m_textures.rend(); ++it)
        it->reset();
    while (!m_programs.empty())
        m_programs.pop_back();
    while (!m_shaders.empty())
        m_shaders.pop_back();
    for (auto it = m_buffers.rbegin(); it != m_buffers.rend(); ++it)
        it->reset();
}

void GLResources::makeShadersAndPrograms()
{
    // All the texts first (the shaders keep pointers into them), then the shaders: every vertex
    // kind plain and animated, then the fragment kinds.
    constexpr size_t vertexKinds = static_cast<size_t>(VertexKind::Count);
    constexpr size_t fragmentKinds = static_cast<size_t>(FragmentKind::Count);
    for (size_t v = 0; v < vertexKinds; ++v) {
        m_sources.push_back(vertexSource(static_cast<VertexKind>(v), false));
        m_sources.push_back(vertexSource(static_cast<VertexKind>(v), true));
    }
    for (size_t f = 0; f < fragmentKinds; ++f)
        m_sources.push_back(fragmentSource(static_cast<FragmentKind>(f)));
    for (size_t i = 0; i < m_sources.size(); ++i)
        m_shaders.push_back(std::make_shared<Shader>(
            m_handle, i < vertexKinds * 2 ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, m_sources[i].c_str()));

    const std::vector<std::pair<Uniform, const char*>> animation
        = { { Uniform::ScaleX, "scaleX" }, { Uniform::ScaleY, "scaleY" }, { Uniform::RefPointX, "refPointX" },
              { Uniform::RefPointY, "refPointY" }, { Uniform::AlphaMod, "alphaMod" } };
    for (const auto& recipe : recipes()) {
        for (bool animated : { false, true }) {
            auto vertex = m_shaders[static_cast<size_t>(recipe.vertex) * 2 + (animated ? 1 : 0)];
            auto fragment = m_shaders[vertexKinds * 2 + static_cast<size_t>(recipe.fragment)];
            m_programs.push_back(std::make_unique<Program>(m_handle, vertex, fragment, recipe.attributes,
                animated ? plus(recipe.uniforms, animation) : recipe.uniforms));
        }
    }
}

GLuint GLResources::createTexture(const void* pixels, GLenum format, GLenum type, GLsizei width, GLsizei height)
{
    GLuint name = 0;
    gl().GenTextures(1, &name);
    gl().BindTexture(GL_TEXTURE_2D, name);
    gl().TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    gl().TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // The pixels come with tightly packed rows; GL's default of 4-byte aligned rows would read
    // past the end of an image whose rows are not a multiple of 4 bytes long.
    gl().PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl().TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, type, pixels);
    gl().GenerateMipmap(GL_TEXTURE_2D);
    m_userTextures.push_back(name);
    m_userTextureCount += 1;
    return name;
}

void GLResources::deleteUserTextures()
{
    if (m_userTextures.empty())
        return;
    gl().DeleteTextures(static_cast<GLsizei>(m_userTextures.size()), m_userTextures.data());
    m_userTextures.clear();
}

void GLResources::deleteUserTextures(const std::vector<GLuint>& names)
{
    std::vector<GLuint> doomed;
    for (GLuint name : names) {
        auto found = std::find(m_userTextures.begin(), m_userTextures.end(), name);
        if (found == m_userTextures.end())
            continue;
        m_userTextures.erase(found);
        doomed.push_back(name);
    }
    if (!doomed.empty())
        gl().DeleteTextures(static_cast<GLsizei>(doomed.size()), doomed.data());
}

} // namespace LChartGL
