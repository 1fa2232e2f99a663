#include "charts/gl/GLObject.h"

#include <algorithm>
#include <cstring>

namespace LChartGL {

VertexBuffer::VertexBuffer(ErrorHandlerHandleRef handle)
    : GLObject(std::move(handle))
{
    gl().GenBuffers(1, &m_name);
}

VertexBuffer::~VertexBuffer()
{
    gl().DeleteBuffers(1, &m_name);
}

void VertexBuffer::regenerate()
{
    gl().DeleteBuffers(1, &m_name);
    gl().GenBuffers(1, &m_name);
}

Texture::Texture(ErrorHandlerHandleRef handle)
    : GLObject(std::move(handle))
{
    gl().GenTextures(1, &m_name);
}

Texture::~Texture()
{
    gl().DeleteTextures(1, &m_name);
}

Shader::Shader(ErrorHandlerHandleRef handle, GLenum type, const char* source)
    : GLObject(std::move(handle))
    , m_source(source)
{
    m_name = gl().CreateShader(type);
}

Shader::~Shader()
{
    gl().DeleteShader(m_name);
}

GLuint Shader::name()
{
    if (!m_compiled) {
        const GLchar* sources[] = { m_source };
        const GLint lengths[] = { static_cast<GLint>(std::strlen(m_source)) };
        gl().ShaderSource(m_name, 1, sources, lengths);
        gl().CompileShader(m_name);
        GLint status = GL_FALSE;
        gl().GetShaderiv(m_name, GL_COMPILE_STATUS, &status);
        check(m_handle, status == GL_TRUE, "Compile shader");
        m_compiled = true;
    }
    return m_name;
}

Program::Program(ErrorHandlerHandleRef handle, std::shared_ptr<Shader> vertexShader,
    std::shared_ptr<Shader> fragmentShader, std::vector<std::pair<Attribute, const char*>> attributes,
    std::vector<std::pair<Uniform, const char*>> uniforms)
    : GLObject(std::move(handle))
    , m_vertexShader(std::move(vertexShader))
    , m_fragmentShader(std::move(fragmentShader))
    , m_attributeNames(std::move(attributes))
    , m_uniformNames(std::move(uniforms))
{
    m_attributes.fill(-1);
    m_name = gl().CreateProgram();
}

Program::~Program()
{
    gl().DeleteProgram(m_name);
}

GLuint Program::name()
{
    if (!m_linked) {
        gl().AttachShader(m_name, m_vertexShader->name());
        gl().AttachShader(m_name, m_fragmentShader->name());
        gl().LinkProgram(m_name);
        GLint status = GL_FALSE;
        gl().GetProgramiv(m_name, GL_LINK_STATUS, &status);
        check(m_handle, status == GL_TRUE, "GL Link Program");
        gl().UseProgram(m_name);
        m_linked = true;
        bind();
    }
    return m_name;
}

void Program::bind()
{
    for (const auto& [slot, name] : m_attributeNames)
        m_attributes[static_cast<size_t>(slot)] = gl().GetAttribLocation(m_name, name);
    for (const auto& [slot, name] : m_uniformNames)
        m_uniforms[static_cast<size_t>(slot)] = gl().GetUniformLocation(m_name, name);
}

bool Program::hasUniform(Uniform slot) const
{
    return std::any_of(
        m_uniformNames.begin(), m_uniformNames.end(), [&](const auto& entry) { return entry.first == slot; });
}

void Program::enableAttributes() const
{
    for (GLint location : m_attributes)
        if (location != -1)
            gl().EnableVertexAttribArray(static_cast<GLuint>(location));
}

void Program::disableAttributes() const
{
    for (GLint location : m_attributes)
        if (location != -1)
            gl().DisableVertexAttribArray(static_cast<GLuint>(location));
}

} // namespace LChartGL
