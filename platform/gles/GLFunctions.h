#pragma once

#include <GLES2/gl2.h>

// Every GL ES call the project makes, as (return type, name without the "gl" prefix, parameters,
// arguments). The drawing code calls GL only through the current table (`gl()`), so tests can
// swap in a recorder (gles/GLCallRecorder.h) and assert call sequences.
#define VX_GL_FUNCTIONS(X)                                                                                             \
    VX_GL_FUNCTIONS_CORE(X)                                                                                            \
    X(void, BlitFramebuffer,                                                                                           \
        (GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0, GLint dstX1, GLint dstY1,       \
            GLbitfield mask, GLenum filter),                                                                           \
        (srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter))                                        \
    X(void, DiscardFramebuffer, (GLenum target, GLsizei count, const GLenum* attachments),                             \
        (target, count, attachments))                                                                                  \
    X(void, RenderbufferStorageMultisample,                                                                            \
        (GLenum target, GLsizei samples, GLenum internalformat, GLsizei width, GLsizei height),                        \
        (target, samples, internalformat, width, height))

// The ES 2 core calls.
#define VX_GL_FUNCTIONS_CORE(X)                                                                                        \
    X(void, AttachShader, (GLuint program, GLuint shader), (program, shader))                                          \
    X(void, BindBuffer, (GLenum target, GLuint buffer), (target, buffer))                                              \
    X(void, BindFramebuffer, (GLenum target, GLuint framebuffer), (target, framebuffer))                               \
    X(void, BindRenderbuffer, (GLenum target, GLuint renderbuffer), (target, renderbuffer))                            \
    X(void, BindTexture, (GLenum target, GLuint texture), (target, texture))                                           \
    X(void, BlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor))                                           \
    X(void, BufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage), (target, size, data, usage)) \
    X(void, BufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const void* data),                        \
        (target, offset, size, data))                                                                                  \
    X(GLenum, CheckFramebufferStatus, (GLenum target), (target))                                                       \
    X(void, Clear, (GLbitfield mask), (mask))                                                                          \
    X(void, ClearColor, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha), (red, green, blue, alpha))          \
    X(void, CompileShader, (GLuint shader), (shader))                                                                  \
    X(GLuint, CreateProgram, (), ())                                                                                   \
    X(GLuint, CreateShader, (GLenum type), (type))                                                                     \
    X(void, DeleteBuffers, (GLsizei n, const GLuint* buffers), (n, buffers))                                           \
    X(void, DeleteFramebuffers, (GLsizei n, const GLuint* framebuffers), (n, framebuffers))                            \
    X(void, DeleteProgram, (GLuint program), (program))                                                                \
    X(void, DeleteRenderbuffers, (GLsizei n, const GLuint* renderbuffers), (n, renderbuffers))                         \
    X(void, DeleteShader, (GLuint shader), (shader))                                                                   \
    X(void, DeleteTextures, (GLsizei n, const GLuint* textures), (n, textures))                                        \
    X(void, DepthFunc, (GLenum func), (func))                                                                          \
    X(void, DepthMask, (GLboolean flag), (flag))                                                                       \
    X(void, Disable, (GLenum cap), (cap))                                                                              \
    X(void, DisableVertexAttribArray, (GLuint index), (index))                                                         \
    X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))                               \
    X(void, DrawElements, (GLenum mode, GLsizei count, GLenum type, const void* indices),                              \
        (mode, count, type, indices))                                                                                  \
    X(void, Enable, (GLenum cap), (cap))                                                                               \
    X(void, EnableVertexAttribArray, (GLuint index), (index))                                                          \
    X(void, Finish, (), ())                                                                                            \
    X(void, FramebufferRenderbuffer, (GLenum target, GLenum attachment, GLenum rbtarget, GLuint renderbuffer),         \
        (target, attachment, rbtarget, renderbuffer))                                                                  \
    X(void, GenBuffers, (GLsizei n, GLuint * buffers), (n, buffers))                                                   \
    X(void, GenFramebuffers, (GLsizei n, GLuint * framebuffers), (n, framebuffers))                                    \
    X(void, GenRenderbuffers, (GLsizei n, GLuint * renderbuffers), (n, renderbuffers))                                 \
    X(void, GenTextures, (GLsizei n, GLuint * textures), (n, textures))                                                \
    X(void, GenerateMipmap, (GLenum target), (target))                                                                 \
    X(GLint, GetAttribLocation, (GLuint program, const GLchar* name), (program, name))                                 \
    X(void, GetIntegerv, (GLenum pname, GLint * data), (pname, data))                                                  \
    X(void, GetProgramiv, (GLuint program, GLenum pname, GLint * params), (program, pname, params))                    \
    X(void, GetRenderbufferParameteriv, (GLenum target, GLenum pname, GLint * params), (target, pname, params))        \
    X(void, GetShaderiv, (GLuint shader, GLenum pname, GLint * params), (shader, pname, params))                       \
    X(GLint, GetUniformLocation, (GLuint program, const GLchar* name), (program, name))                                \
    X(void, LineWidth, (GLfloat width), (width))                                                                       \
    X(void, LinkProgram, (GLuint program), (program))                                                                  \
    X(void, PixelStorei, (GLenum pname, GLint param), (pname, param))                                                  \
    X(void, ReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels),   \
        (x, y, width, height, format, type, pixels))                                                                   \
    X(void, RenderbufferStorage, (GLenum target, GLenum internalformat, GLsizei width, GLsizei height),                \
        (target, internalformat, width, height))                                                                       \
    X(void, ShaderSource, (GLuint shader, GLsizei count, const GLchar* const* string, const GLint* length),            \
        (shader, count, string, length))                                                                               \
    X(void, StencilFunc, (GLenum func, GLint ref, GLuint mask), (func, ref, mask))                                     \
    X(void, StencilOp, (GLenum fail, GLenum zfail, GLenum zpass), (fail, zfail, zpass))                                \
    X(void, TexImage2D,                                                                                                \
        (GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border, GLenum format, \
            GLenum type, const void* pixels),                                                                          \
        (target, level, internalformat, width, height, border, format, type, pixels))                                  \
    X(void, TexParameteri, (GLenum target, GLenum pname, GLint param), (target, pname, param))                         \
    X(void, Uniform1f, (GLint location, GLfloat v0), (location, v0))                                                   \
    X(void, UniformMatrix2fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value),              \
        (location, count, transpose, value))                                                                           \
    X(void, UseProgram, (GLuint program), (program))                                                                   \
    X(void, VertexAttribPointer,                                                                                       \
        (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride, const void* pointer),            \
        (index, size, type, normalized, stride, pointer))                                                              \
    X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))

// Names the GL ES 2 headers lack (ES 3 and extension values the chart's framebuffers use).
inline constexpr GLenum kGLRGBA8 = 0x8058;
inline constexpr GLenum kGLDepth24Stencil8 = 0x88F0;
inline constexpr GLenum kGLReadFramebuffer = 0x8CA8;
inline constexpr GLenum kGLDrawFramebuffer = 0x8CA9;
inline constexpr GLenum kGLDepthStencilAttachment = 0x821A;

// A table of GL entry points. Any thread, but the table itself is process-wide: swap it only
// while no other thread draws.
struct GLFunctionTable {
#define VX_GL_TABLE_ENTRY(ret, name, params, args) ret(*name) params = nullptr;
    VX_GL_FUNCTIONS(VX_GL_TABLE_ENTRY)
#undef VX_GL_TABLE_ENTRY

    // The entry points of the system's GL ES library (Mesa); the ES 3 and extension calls come
    // through EGL's loader, and a call the driver lacks does nothing.
    static const GLFunctionTable& real();
};

// The table GL calls go through now: the real one unless a test installed another.
const GLFunctionTable& gl();
// Installs `table` (nullptr restores the real one). The table must outlive its installation.
void setGLFunctionTable(const GLFunctionTable* table);
