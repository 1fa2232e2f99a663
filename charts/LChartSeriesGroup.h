#pragma once

#include "charts/LChartAxisHost.h"
#include "charts/LChartDrawer.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <memory>
#include <vector>

class LChartErrorHandler;
class LChartSeriesGroup;

// What a series group asks of its series. Cartesian series implement it. The fields are the
// series' own; the group numbers slots and stacks, hides and re-shows stacked series around
// entry and exit animations, and has the series map and draw themselves.
class LChartGroupedSeries : public LChartAxisSeries {
public:
    // The series' exact class; groups hold series of one class (and its subclasses).
    virtual Class seriesClass() const = 0;

    // A number, or nil for a series that is not stacked.
    virtual Value stackIndex() const = 0;
    virtual void setStackIndex(const Value& index) = 0;
    virtual void setIndex(int32_t slot) = 0;
    virtual void setNumSeries(int32_t count) = 0;
    virtual bool isStacked() const = 0;
    virtual void setIsStacked(bool stacked) = 0;
    virtual bool hidden() const = 0;
    virtual void setHidden(bool hidden) = 0;
    virtual bool isEntering() const = 0;
    virtual bool isExiting() const = 0;
    virtual bool requiresRecalculation() const = 0;
    virtual void setRequiresRecalculation(bool required) = 0;
    virtual bool shouldReenter() const = 0;
    virtual void setShouldReenter(bool reenter) = 0;
    virtual bool delayAnimation() const = 0;
    virtual void setDelayAnimation(bool delay) = 0;
    // The series' own baseline (a number or a date), or nil.
    virtual Value baseline() const = 0;
    virtual void setSeriesGroup(const Weak<LChartSeriesGroup>& group) = 0;
    // Bins whose points changed since they were last mapped (keys of the series' bins).
    virtual std::vector<Value> invalidBinKeys() const = 0;

    virtual void clearStackedRange() = 0;
    virtual void mapDataPointOnXAxisAndYAxis(LChartInternalDataPoint& point, LChartAxis& xAxis, LChartAxis& yAxis) = 0;
    // Maps the receiver's stack (the receiver first) onto the axes.
    virtual void mapWithStackedSeriesOnXAxisAndYAxis(
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis)
        = 0;
    virtual void mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(const std::vector<Value>& bins,
        const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxis& xAxis, LChartAxis& yAxis)
        = 0;
    // Draws into the surface; YES while something still moves (another frame is wanted).
    virtual bool drawWithDrawerWithGLBaselineAndGLTranslation(
        LChartDrawer& drawer, float baseline, const LChartGLTranslation& translation)
        = 0;
    virtual void updateWithDrawerAndGLTranslation(LChartDrawer& drawer, const LChartGLTranslation& translation) = 0;
    // The range the series' visible points cover on the axis, or null.
    virtual Ref<LChartRange> visibleRangeOnAxis(const LChartAxis& axis) const = 0;
};

// The series of one class that share an x axis, a y axis and an orientation. The group numbers
// them into side-by-side slots and stacks (series with equal stack indices share a slot and are
// drawn on top of each other), decides when they must be re-mapped, maps them, works out each
// series' baseline, computes the drawing translation from the axes' visible ranges and draws
// its series in slot order.
//
// Main thread only, except that a background load may group and map against stub axes; the
// group never touches views. Holds its series, both axes and its error handler.
class LChartSeriesGroup final : public NSObject {
    VX_OBJECT(LChartSeriesGroup, NSObject)
public:
    explicit LChartSeriesGroup(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<LChartSeriesGroup> initWithXAxisAndYAxisErrorHandler(
        const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, std::shared_ptr<LChartErrorHandler> handler);
    static Ref<LChartSeriesGroup> initWithSeriesAndXAxisAndYAxisErrorHandler(const Ref<LChartGroupedSeries>& series,
        const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, std::shared_ptr<LChartErrorHandler> handler);

    // A series of another class (not a subclass of the group's) is fatal.
    void addSeries(const Ref<LChartGroupedSeries>& series);
    const std::vector<Ref<LChartGroupedSeries>>& groupedSeries() const { return m_groupedSeries; }
    Class seriesClass() const { return m_class; }
    int32_t seriesOrientation() const { return m_orientation; }
    int32_t numStacks() const { return m_numStacks; }
    bool seriesAreStacked() const { return m_numStacks > 0; }
    bool aSeriesIsEntering() const { return m_aSeriesIsEntering; }
    bool aSeriesIsExiting() const { return m_aSeriesIsExiting; }

    void setStacks();
    bool requiresRecalculation();
    void mapSeries();
    void mapSingleSeries(LChartGroupedSeries& series);
    void mapDataPointsInSingleSeries(
        const std::vector<Ref<LChartInternalDataPoint>>& points, LChartGroupedSeries& series);
    // Maps points just appended to the series (a stacked series re-maps its invalid bins).
    void mapDataPointsInSeries(
        const std::vector<Ref<LChartInternalDataPoint>>& points, const Ref<LChartGroupedSeries>& series);

    // In internal units of the series' measured axis.
    double baselineForSeries(const LChartGroupedSeries& series) const;
    LChartGLTranslation translationForChart(const LChartAxisHost* chart) const;
    bool drawSingleSeriesOnChart(LChartGroupedSeries& series, LChartAxisHost* chart);
    bool drawStackedSeriesOnChart(const std::vector<Ref<LChartGroupedSeries>>& stack, LChartAxisHost* chart);
    // YES when any series wants another frame.
    bool drawSeriesOnChart(LChartAxisHost* chart);
    // Smallest minimum and largest maximum over the shown (or exiting) series; both nil when
    // none gives a range.
    Ref<LChartRange> visibleRangeForAxis(const LChartAxis& axis) const;

    const std::shared_ptr<LChartErrorHandler>& errorHandler() const { return m_errorHandler; }
    void setErrorHandler(std::shared_ptr<LChartErrorHandler> handler) { m_errorHandler = std::move(handler); }
    const Ref<LChartAxis>& xAxis() const { return m_xAxis; }
    void setXAxis(const Ref<LChartAxis>& axis) { m_xAxis = axis; }
    const Ref<LChartAxis>& yAxis() const { return m_yAxis; }
    void setYAxis(const Ref<LChartAxis>& axis) { m_yAxis = axis; }

private:
    // The axis a series' values are measured on (y for orientation 0) and the one its points
    // run along.
    LChartAxis& measuredAxis(const LChartGroupedSeries& series) const;
    LChartAxis& changedAxis(const LChartGroupedSeries& series) const;

    Class m_class { nullptr };
    int32_t m_orientation { 0 };
    std::vector<Ref<LChartGroupedSeries>> m_groupedSeries;
    int32_t m_numStacks { 0 };
    bool m_aSeriesIsEntering { false };
    bool m_aSeriesIsExiting { false };
    std::shared_ptr<LChartErrorHandler> m_errorHandler;
    Ref<LChartAxis> m_xAxis;
    Ref<LChartAxis> m_yAxis;
};
