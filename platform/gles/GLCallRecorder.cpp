#include "gles/GLCallRecorder.h"

#include <algorithm>

namespace {

GLCallRecorder* s_active = nullptr;
const GLFunctionTable* s_installedTable = nullptr;

// What Fake mode answers: most calls do nothing; the ones with results answer as a driver that
// always succeeds would.
namespace fake {
#define VX_GL_FAKE_ENTRY(ret, name, params, args)                                                                      \
    ret name params                                                                                                    \
    {                                                                                                                  \
        return ret();                                                                                                  \
    }
VX_GL_FUNCTIONS(VX_GL_FAKE_ENTRY)
#undef VX_GL_FAKE_ENTRY

void genNames(GLsizei n, GLuint* names)
{
    for (GLsizei i = 0; i < n; ++i)
        names[i] = s_active->nextName();
}
GLuint create()
{
    return s_active->nextName();
}
GLuint createShader(GLenum)
{
    return s_active->nextName();
}
GLint location(GLuint, const GLchar*)
{
    return s_active->nextLocation();
}
void status(GLuint, GLenum, GLint* params)
{
    *params = s_active->fakeStatus();
}
GLenum complete(GLenum)
{
    return GL_FRAMEBUFFER_COMPLETE;
}
void bindRenderbuffer(GLenum, GLuint renderbuffer)
{
    s_active->boundRenderbuffer = renderbuffer;
}
void storage(GLenum, GLenum, GLsizei width, GLsizei height)
{
    s_active->renderbufferSizes[s_active->boundRenderbuffer] = { width, height };
}
void integer(GLenum pname, GLint* data)
{
    *data = pname == GL_RENDERBUFFER_BINDING ? static_cast<GLint>(s_active->boundRenderbuffer) : 0;
}
void renderbufferParameter(GLenum, GLenum pname, GLint* params)
{
    auto size = s_active->renderbufferSizes[s_active->boundRenderbuffer];
    *params = pname == GL_RENDERBUFFER_WIDTH ? size.first : pname == GL_RENDERBUFFER_HEIGHT ? size.second : 0;
}
} // namespace fake

const GLFunctionTable& fakeTable()
{
    static const GLFunctionTable s_table = [] {
        GLFunctionTable table;
#define VX_GL_FAKE_ASSIGN(ret, name, params, args) table.name = &fake::name;
        VX_GL_FUNCTIONS(VX_GL_FAKE_ASSIGN)
#undef VX_GL_FAKE_ASSIGN
        table.GenBuffers = table.GenFramebuffers = table.GenRenderbuffers = table.GenTextures = &fake::genNames;
        table.CreateProgram = &fake::create;
        table.CreateShader = &fake::createShader;
        table.GetAttribLocation = table.GetUniformLocation = &fake::location;
        table.GetShaderiv = table.GetProgramiv = &fake::status;
        table.CheckFramebufferStatus = &fake::complete;
        table.BindRenderbuffer = &fake::bindRenderbuffer;
        table.RenderbufferStorage = &fake::storage;
        table.GetIntegerv = &fake::integer;
        table.GetRenderbufferParameteriv = &fake::renderbufferParameter;
        return table;
    }();
    return s_table;
}

namespace recording {
#define VX_GL_RECORDING_ENTRY(ret, name, params, args)                                                                 \
    ret name params                                                                                                    \
    {                                                                                                                  \
        s_active->record(VX_GL_CALL_TEXT(#name, args));                                                                \
        const GLFunctionTable& vxTable_                                                                                \
            = s_active->mode() == GLCallRecorder::Mode::Forward ? GLFunctionTable::real() : fakeTable();               \
        return vxTable_.name args;                                                                                     \
    }
#define VX_GL_UNPACK(...) __VA_ARGS__
#define VX_GL_CALL_TEXT(name, args) VX_GL_CALL_TEXT_EXPANDED(name, VX_GL_UNPACK args)
#define VX_GL_CALL_TEXT_EXPANDED(...) VX_GL_CALL_TEXT_JOINED(__VA_ARGS__)
#define VX_GL_CALL_TEXT_JOINED(name, ...) GLCallRecorder::format(name __VA_OPT__(, ) __VA_ARGS__)
VX_GL_FUNCTIONS(VX_GL_RECORDING_ENTRY)
#undef VX_GL_RECORDING_ENTRY
} // namespace recording

const GLFunctionTable& recordingTable()
{
    static const GLFunctionTable s_table = [] {
        GLFunctionTable table;
#define VX_GL_RECORDING_ASSIGN(ret, name, params, args) table.name = &recording::name;
        VX_GL_FUNCTIONS(VX_GL_RECORDING_ASSIGN)
#undef VX_GL_RECORDING_ASSIGN
        return table;
    }();
    return s_table;
}

} // namespace

GLCallRecorder::GLCallRecorder(Mode mode)
    : m_mode(mode)
{
    m_previous = s_installedTable;
    s_active = this;
    s_installedTable = &recordingTable();
    setGLFunctionTable(s_installedTable);
}

GLCallRecorder::~GLCallRecorder()
{
    s_active = nullptr;
    s_installedTable = m_previous;
    setGLFunctionTable(m_previous);
}

GLCallRecorder* GLCallRecorder::active()
{
    return s_active;
}

std::vector<std::string> GLCallRecorder::callsTo(std::initializer_list<std::string_view> names) const
{
    std::vector<std::string> result;
    for (const auto& call : m_calls) {
        std::string_view function = std::string_view(call).substr(0, call.find('('));
        if (std::find(names.begin(), names.end(), function) != names.end())
            result.push_back(call);
    }
    return result;
}

size_t GLCallRecorder::count(std::string_view name) const
{
    return static_cast<size_t>(std::count_if(m_calls.begin(), m_calls.end(),
        [&](const std::string& call) { return std::string_view(call).substr(0, call.find('(')) == name; }));
}
