#pragma once

#include "charts/LChartDrawer.h"
#include "charts/LChartSeries.h"

#include <map>
#include <string>

class LChartRange;

// A point in an axis pair's internal units.
struct LChartPoint {
    double x { 0 };
    double y { 0 };
};

// The base of every series drawn against an x and a y axis. It adds the slot and stack the series
// holds in its series group, the drawing loop that turns each invalid bin into geometry through
// the subclass (`drawBin`), the render-slot bookkeeping that lets a bin's geometry be replaced in
// place, and the distance measure of the nearest-point search. Render slots are counted per kind
// ("Triangles", "Indexed Offset Triangles", "Lines", "OffsetLines", "Points"): a new bin takes
// the next free slots of its kinds and keeps them for its life. Main thread only.
class LChartCartesianSeries : public LChartSeries {
    VX_OBJECT(LChartCartesianSeries, LChartSeries)
public:
    using RenderIndices = std::map<std::string, int32_t>;

    explicit LChartCartesianSeries(Passkey);

    bool isStacked() const { return m_isStacked; }
    void setIsStacked(bool stacked) { m_isStacked = stacked; }
    bool animated() const { return m_animated; }
    void setAnimated(bool animated) { m_animated = animated; }
    Value baseline() const override { return m_baseline; }
    void setBaseline(const Value& baseline) { m_baseline = baseline; }
    const Value& stackIndex() const { return m_stackIndex; }
    // Series kinds that stack override this to call `overrideSetStackIndex`; others log and keep
    // the old value.
    virtual void setStackIndex(const Value& index);
    void overrideSetStackIndex(const Value& index) { m_stackIndex = index; }
    int32_t numSeries() const { return m_numSeries; }
    void setNumSeries(int32_t count) { m_numSeries = count; }
    int32_t index() const { return m_index; }
    void setIndex(int32_t index) { m_index = index; }
    const Value& seriesWidth() const { return m_seriesWidth; }
    void setSeriesWidth(const Value& width) { m_seriesWidth = width; }
    const Ref<LChartRange>& stackedRange() const { return m_stackedRange; }
    void clearStackedRange() { m_stackedRange = nullptr; }
    void checkForNewStackedRangeMinAndMax(double minimum, double maximum);
    float animationDuration() const { return m_animationDuration; }
    void setAnimationDuration(float duration);
    int32_t animationCurve() const { return m_animationCurve; }
    void setAnimationCurve(int32_t curve);
    const RenderIndices& nextAvailableRenderDataIndices() const { return m_nextAvailableRenderDataIndices; }

    // The slot's offset from the middle of the group: with 3 slots -1, 0, 1; with 4 -1, 0, 1, 2.
    float offsetFromCentre() const;

    // Draws the invalid bins (each into its own slots), drops the empty ones and clears the
    // invalid set. Always false.
    bool drawWithDrawerWithGLBaselineAndGLTranslation(
        LChartDrawer& drawer, float glBaseline, const LChartGLTranslation& translation);
    // Moves every piece of the series' geometry to the new translation without rebuilding.
    void updateWithDrawerAndGLTranslation(LChartDrawer& drawer, const LChartGLTranslation& translation);
    void removeEmptyInvalidBins();

    // The distance between two points in units of the scalars: mode 0 in the plane, 1 along x
    // only, 2 along y only; another mode is fatal.
    double distanceToCoordFromCoordWithScalarsWithDistanceMode(
        LChartPoint a, LChartPoint b, LChartPoint scalars, int32_t mode) const;
    virtual int32_t distanceComparisonModeForSeries() const { return 0; }
    virtual int32_t distanceComparisonModeForPoint() const { return 1; }

protected:
    void initCartesianSeries(std::shared_ptr<LChartErrorHandler> errorHandler);
    // The render kinds this series uses, all at 0.
    virtual RenderIndices emptyRenderIndexDict() const { return {}; }
    virtual void willDrawBinsWithGLBaseline(float) { }
    // Builds one bin's geometry, taking slots from (and advancing) `slots`.
    virtual void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
        const LChartGLTranslation& translation, RenderIndices& slots);

private:
    bool m_isStacked { false };
    bool m_animated { false };
    Value m_baseline;
    Value m_stackIndex;
    int32_t m_numSeries { 0 };
    int32_t m_index { 0 };
    Value m_seriesWidth;
    Ref<LChartRange> m_stackedRange;
    float m_animationDuration { 0 };
    int32_t m_animationCurve { 0 };
    RenderIndices m_nextAvailableRenderDataIndices;
};
