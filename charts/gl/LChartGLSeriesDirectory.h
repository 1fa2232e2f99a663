#pragma once

#include "charts/ChartsForward.h"
#include "charts/gl/SeriesHandle.h"

#include <cstdint>
#include <memory>
#include <string>

// What the GL view asks about the series that draw into it: their order and title (for the
// engine's series handles), their resolution scale, how to step their animations once per frame
// and the animation values the engine draws them with. A GL view asks the series themselves
// (LChartSeriesGLDirectory below) unless given another directory. Main thread only.
class LChartGLSeriesDirectory {
public:
    virtual ~LChartGLSeriesDirectory() = default;
    virtual int32_t seriesIndexOf(const LChartSeries* series) const = 0;
    virtual std::string titleOf(const LChartSeries*) const { return {}; }
    virtual float resolutionScaleOf(const LChartSeries*) const { return 1; }
    virtual void updateAnimation(LChartSeries*, double) { }
    virtual LChartGL::AnimationValues animationValuesOf(const LChartSeries*) { return {}; }
};

// The engine's handle on a chart series: the same series object is the same series; a series
// comes before another when its index is higher (so the engine's maps run from the highest index
// to the lowest).
class LChartSeriesHandle final : public LChartGL::SeriesHandle {
public:
    LChartSeriesHandle(LChartSeries* series, std::shared_ptr<LChartGLSeriesDirectory> directory)
        : m_series(series)
        , m_directory(std::move(directory))
    {
    }
    bool equals(const SeriesHandle& other) const override
    {
        return m_series == static_cast<const LChartSeriesHandle&>(other).m_series;
    }
    bool lessThan(const SeriesHandle& other) const override
    {
        return static_cast<const LChartSeriesHandle&>(other).index() < index();
    }
    std::string title() const override { return m_directory ? m_directory->titleOf(m_series) : std::string(); }
    LChartSeries* series() const { return m_series; }
    int32_t index() const { return m_directory ? m_directory->seriesIndexOf(m_series) : 0; }

private:
    LChartSeries* m_series;
    std::shared_ptr<LChartGLSeriesDirectory> m_directory;
};

// The directory of real chart series: their own index, title, scale, animation stepping and
// animation state.
class LChartSeriesGLDirectory final : public LChartGLSeriesDirectory {
public:
    int32_t seriesIndexOf(const LChartSeries* series) const override;
    std::string titleOf(const LChartSeries* series) const override;
    float resolutionScaleOf(const LChartSeries* series) const override;
    void updateAnimation(LChartSeries* series, double seconds) override;
    LChartGL::AnimationValues animationValuesOf(const LChartSeries* series) override;
};
