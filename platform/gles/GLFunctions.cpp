#include "gles/GLFunctions.h"

#include <EGL/egl.h>
#include <GLES3/gl3.h>

#include <atomic>

namespace {

void noDiscard(GLenum, GLsizei, const GLenum*) { }
void noBlit(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLbitfield, GLenum) { }
void noMultisampleStorage(GLenum, GLsizei, GLenum, GLsizei, GLsizei) { }

template <typename F> F loaded(const char* name, F fallback)
{
    auto address = eglGetProcAddress(name);
    return address ? reinterpret_cast<F>(address) : fallback;
}

GLFunctionTable makeRealTable()
{
    GLFunctionTable table;
#define VX_GL_REAL_ENTRY(ret, name, params, args) table.name = &::gl##name;
    // The ES 2 core comes straight from the library; three calls are ES 3 (or extensions).
    VX_GL_FUNCTIONS_CORE(VX_GL_REAL_ENTRY)
#undef VX_GL_REAL_ENTRY
    table.BlitFramebuffer = loaded("glBlitFramebuffer", &noBlit);
    table.RenderbufferStorageMultisample = loaded("glRenderbufferStorageMultisample", &noMultisampleStorage);
    table.DiscardFramebuffer = loaded("glInvalidateFramebuffer", &noDiscard);
    return table;
}

std::atomic<const GLFunctionTable*> s_current { nullptr };

} // namespace

const GLFunctionTable& GLFunctionTable::real()
{
    static const GLFunctionTable s_real = makeRealTable();
    return s_real;
}

const GLFunctionTable& gl()
{
    auto* table = s_current.load(std::memory_order_acquire);
    return table ? *table : GLFunctionTable::real();
}

void setGLFunctionTable(const GLFunctionTable* table)
{
    s_current.store(table, std::memory_order_release);
}
