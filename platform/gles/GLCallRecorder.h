#pragma once

#include "gles/GLFunctions.h"

#include <cstddef>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// Records every GL call made through `gl()` while it lives, as text such as "UseProgram(3)",
// so tests can assert call sequences. In Forward mode each call then goes on to the real GL (the
// picture is still drawn); in Fake mode nothing reaches GL: names are handed out from counters
// starting at 1, compile and link report success, framebuffers are complete and the bound
// renderbuffer's storage size is remembered. One recorder at a time; main thread only.
class GLCallRecorder {
public:
    enum class Mode { Forward, Fake };

    explicit GLCallRecorder(Mode mode);
    ~GLCallRecorder();
    GLCallRecorder(const GLCallRecorder&) = delete;
    GLCallRecorder& operator=(const GLCallRecorder&) = delete;

    const std::vector<std::string>& calls() const { return m_calls; }
    // The recorded calls whose function is one of `names`, in order.
    std::vector<std::string> callsTo(std::initializer_list<std::string_view> names) const;
    size_t count(std::string_view name) const;
    void clear() { m_calls.clear(); }

    // Fake mode: the status GetShaderiv and GetProgramiv report (GL_TRUE by default).
    void setFakeStatus(GLint status) { m_fakeStatus = status; }

    // The text a call is recorded as: integers and floats as numbers, a null pointer as 0,
    // another pointer as "p", a name string in quotes.
    template <typename... Args> static std::string format(std::string_view name, const Args&... args)
    {
        std::ostringstream out;
        out << name << '(';
        bool first = true;
        ((out << (first ? "" : ", ") << formatArgument(args), first = false), ...);
        out << ')';
        return out.str();
    }

    // Used by the recording table.
    void record(std::string call) { m_calls.push_back(std::move(call)); }
    Mode mode() const { return m_mode; }
    GLuint nextName() { return ++m_lastName; }
    GLint nextLocation() { return m_nextLocation++; }
    GLint fakeStatus() const { return m_fakeStatus; }
    GLuint boundRenderbuffer { 0 };
    std::map<GLuint, std::pair<GLsizei, GLsizei>> renderbufferSizes;
    static GLCallRecorder* active();

private:
    template <typename T> static std::string formatArgument(const T& value)
    {
        if constexpr (std::is_same_v<T, const GLchar*> || std::is_same_v<T, GLchar*>)
            return value ? "\"" + std::string(value) + "\"" : "0";
        else if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>)
            return value != nullptr ? "p" : "0";
        else if constexpr (std::is_same_v<T, GLboolean>)
            return std::to_string(static_cast<int>(value));
        else {
            std::ostringstream out;
            out << value;
            return out.str();
        }
    }

    Mode m_mode;
    std::vector<std::string> m_calls;
    const GLFunctionTable* m_previous { nullptr };
    GLuint m_lastName { 0 };
    GLint m_nextLocation { 0 };
    GLint m_fakeStatus { GL_TRUE };
};
