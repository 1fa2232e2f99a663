#pragma once

#include "charts/gl/ErrorHandler.h"
#include "gles/GLFunctions.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace LChartGL {

// The base of the engine's GL objects: a GL name and the shared error handle. GL objects are
// made and destroyed with the drawer's context current. Main thread only.
class GLObject {
public:
    explicit GLObject(ErrorHandlerHandleRef handle)
        : m_handle(std::move(handle))
    {
    }
    virtual ~GLObject() = default;
    GLObject(const GLObject&) = delete;
    GLObject& operator=(const GLObject&) = delete;

    virtual GLuint name() { return m_name; }

protected:
    GLuint m_name { 0 };
    ErrorHandlerHandleRef m_handle;
};

// A GL buffer; `regenerate` replaces it by a fresh name with no storage.
class VertexBuffer final : public GLObject {
public:
    explicit VertexBuffer(ErrorHandlerHandleRef handle);
    ~VertexBuffer() override;
    void regenerate();
};

class Texture final : public GLObject {
public:
    explicit Texture(ErrorHandlerHandleRef handle);
    ~Texture() override;
};

// A shader whose source is compiled the first time its name is asked for.
class Shader final : public GLObject {
public:
    Shader(ErrorHandlerHandleRef handle, GLenum type, const char* source);
    ~Shader() override;
    GLuint name() override;
    bool isCompiled() const { return m_compiled; }

private:
    const char* m_source;
    bool m_compiled { false };
};

// The uniform slots a program may have; names sharing a slot never meet in one program.
enum class Uniform {
    ZoomX,
    ZoomY,
    MinX,
    MinY,
    ScaleX,
    ScaleY,
    RefPointX,
    RefPointY,
    AlphaMod,
    PixelWidth, // or aspectCorrection
    PixelHeight,
    Displace,
    ProjMat,
    PointSize, // or lineHalfWidth
    Tex0,
    Count
};
enum class Attribute { Position, Colour, Offset, PointSize, UV, Count };

// A program linked from two shaders the first time its name is asked for; linking then reads
// the locations of the attributes and uniforms its shaders declare into fixed slots (others stay
// -1 for attributes and 0 for uniforms, and the drawer never sets them).
class Program final : public GLObject {
public:
    Program(ErrorHandlerHandleRef handle, std::shared_ptr<Shader> vertexShader, std::shared_ptr<Shader> fragmentShader,
        std::vector<std::pair<Attribute, const char*>> attributes,
        std::vector<std::pair<Uniform, const char*>> uniforms);
    ~Program() override;
    GLuint name() override;
    bool isLinked() const { return m_linked; }

    GLint uniform(Uniform slot) const { return m_uniforms[static_cast<size_t>(slot)]; }
    GLint attribute(Attribute slot) const { return m_attributes[static_cast<size_t>(slot)]; }
    bool hasUniform(Uniform slot) const;
    void enableAttributes() const;
    void disableAttributes() const;

private:
    void bind();

    bool m_linked { false };
    std::shared_ptr<Shader> m_vertexShader;
    std::shared_ptr<Shader> m_fragmentShader;
    std::vector<std::pair<Attribute, const char*>> m_attributeNames;
    std::vector<std::pair<Uniform, const char*>> m_uniformNames;
    std::array<GLint, static_cast<size_t>(Uniform::Count)> m_uniforms {};
    std::array<GLint, static_cast<size_t>(Attribute::Count)> m_attributes;
};

} // namespace LChartGL
