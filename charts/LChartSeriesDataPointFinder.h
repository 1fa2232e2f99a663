#pragma once

#include "charts/LChartSeriesDataBin.h"
#include "foundation/NSObject.h"

#include <optional>
#include <vector>

class LChartOrderedDictionary;

// What a finder needs of the series it searches; series implement it.
class LChartFinderSeries : public LChartInternalDataPointValueConverter {
public:
    // The series' bins by start value.
    virtual const LChartOrderedDictionary& dataBins() const = 0;
    // The bin holding the changed value and its position among the bins, if any.
    virtual std::optional<std::pair<Ref<LChartSeriesDataBin>, int32_t>> dataBinContainingChangedValue(
        const Value& value) const = 0;
    virtual void setChangedValueOfDataPoint(const Value& value, LChartInternalDataPoint& point) const = 0;
};

// One point a lookup found: its bin, the point and the low point at the same position (or null).
struct LChartSeriesDataPointFinderResult {
    LChartSeriesDataBin* dataBin { nullptr };
    LChartInternalDataPoint* dataPoint { nullptr };
    LChartInternalDataPoint* lowDataPoint { nullptr };
};

// Looks up the points of one series that share a changed value, remembering where it stopped
// so that a run of ascending lookups costs one comparison per point. Abstract: use the
// searching or the stepping finder. Main thread, or the loading queue while mapping. The
// series is not owned.
class LChartSeriesDataPointFinder : public NSObject {
    VX_OBJECT(LChartSeriesDataPointFinder, NSObject)
public:
    explicit LChartSeriesDataPointFinder(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<LChartSeriesDataPointFinder> initWithSeries(const LChartFinderSeries* series);

    // The consecutive points with the value, or nullopt when there is none. Fatal here.
    virtual std::optional<std::vector<LChartSeriesDataPointFinderResult>> resultsForChangedValue(const Value& value);
    void moveToNextDataPoint();
    std::vector<LChartSeriesDataPointFinderResult> matchingDataPointResultsForChangedValue(const Value& value);

    const LChartFinderSeries* series() const { return m_series; }
    LChartSeriesDataBin* currentBin() const { return m_currentBin.get(); }
    LChartInternalDataPoint* currentDataPoint() const { return m_currentDataPoint.get(); }
    int32_t currentDataBinIndex() const { return m_currentDataBinIndex; }
    int32_t currentDataPointIndex() const { return m_currentDataPointIndex; }

protected:
    void initialiseWithSeries(const LChartFinderSeries* series);
    // The point of the current bin at the current position, or null.
    Ref<LChartInternalDataPoint> pointAtCurrentPosition() const;
    bool currentPointMatches(const Value& value) const;

    const LChartFinderSeries* m_series { nullptr };
    Ref<LChartSeriesDataBin> m_currentBin;
    Ref<LChartInternalDataPoint> m_currentDataPoint;
    int32_t m_currentDataBinIndex { 0 };
    int32_t m_currentDataPointIndex { 0 };
};

// Falls back to a binary search in the value's bin when the remembered position does not match.
class LChartSeriesSearchDataPointFinder final : public LChartSeriesDataPointFinder {
    VX_OBJECT(LChartSeriesSearchDataPointFinder, LChartSeriesDataPointFinder)
public:
    using LChartSeriesDataPointFinder::LChartSeriesDataPointFinder;
    static Ref<LChartSeriesSearchDataPointFinder> initWithSeries(const LChartFinderSeries* series);
    std::optional<std::vector<LChartSeriesDataPointFinderResult>> resultsForChangedValue(const Value& value) override;
    void reset();
};

// Only looks at the remembered position; a miss keeps the position for the next value.
class LChartSeriesSteppingDataPointFinder final : public LChartSeriesDataPointFinder {
    VX_OBJECT(LChartSeriesSteppingDataPointFinder, LChartSeriesDataPointFinder)
public:
    using LChartSeriesDataPointFinder::LChartSeriesDataPointFinder;
    static Ref<LChartSeriesSteppingDataPointFinder> initWithSeries(const LChartFinderSeries* series);
    std::optional<std::vector<LChartSeriesDataPointFinderResult>> resultsForChangedValue(const Value& value) override;
};
