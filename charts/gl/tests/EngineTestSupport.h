#pragma once

#include "charts/gl/Drawer.h"
#include "charts/gl/ErrorHandler.h"
#include "gles/GLCallRecorder.h"

#include <map>
#include <stdexcept>
#include <string>

// An error handler whose fatal errors throw, and a series handle with a plain index.
class ThrowingErrorHandler final : public LChartGL::ErrorHandler, public LChartGL::ErrorHandlerHandle {
public:
    void log(const std::string& message) override { logged.push_back(message); }
    [[noreturn]] void fatal(const std::string& message) override { throw std::runtime_error(message); }
    LChartGL::ErrorHandler* errorHandler() const override { return const_cast<ThrowingErrorHandler*>(this); }
    std::vector<std::string> logged;
};

inline LChartGL::ErrorHandlerHandleRef throwingHandle()
{
    return std::make_shared<ThrowingErrorHandler>();
}

class TestSeries final : public LChartGL::SeriesHandle {
public:
    explicit TestSeries(int index, int identity = -1)
        : m_index(index)
        , m_identity(identity < 0 ? index : identity)
    {
    }
    bool equals(const SeriesHandle& other) const override
    {
        return m_identity == static_cast<const TestSeries&>(other).m_identity;
    }
    bool lessThan(const SeriesHandle& other) const override
    {
        return static_cast<const TestSeries&>(other).m_index < m_index;
    }
    std::string title() const override { return "series " + std::to_string(m_index); }
    int identity() const { return m_identity; }

private:
    int m_index;
    int m_identity;
};

inline LChartGL::SeriesHandleRef series(int index, int identity = -1)
{
    return std::make_shared<TestSeries>(index, identity);
}

// Answers fixed animation values per series identity (visible and still by default).
class TestAnimationManager final : public LChartGL::AnimationManager {
public:
    LChartGL::AnimationValues updateValues(const LChartGL::SeriesHandle& series) override
    {
        auto found = values.find(static_cast<const TestSeries&>(series).identity());
        return found == values.end() ? LChartGL::AnimationValues {} : found->second;
    }
    std::map<int, LChartGL::AnimationValues> values;
};

inline const LChartGLTranslation kIdentityTranslation { 1, 1, -1, -1 };
