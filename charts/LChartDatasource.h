#pragma once

#include "charts/LChartData.h"
#include "foundation/NSObject.h"

#include <optional>
#include <vector>

class LChartAxis;
class LChartDataSeries;
class LChartInternalDataPoint;
class LChartSeries;
class UIImage;
class UILabel;

// What the data loader needs of a series: its kind, its data series, and storing points. The
// series classes implement it.
class LChartLoadableSeries {
public:
    virtual ~LChartLoadableSeries() = default;
    virtual bool isRadialSeries() const = 0;
    virtual LChartDataSeries* dataSeries() const = 0;
    // Numbers, stores and bins the point.
    virtual void addDataPoint(const Ref<LChartInternalDataPoint>& point) = 0;
    virtual void removeDataPoint(const Ref<LChartInternalDataPoint>& point) = 0;
    virtual void setDelegate(const Weak<NSObject>& delegate) = 0;
};

// What the data loader needs of the chart it loads.
class LChartLoaderHost {
public:
    virtual ~LChartLoaderHost() = default;
    virtual bool isRadial() const = 0;
    virtual void setIsRadial(bool radial) = 0;
    virtual Weak<NSObject> delegate() const = 0;
};

// A chart's source of series and points. Optional operations answer nullopt (or their probe
// answers false) when the source does not provide them.
class LChartDatasource {
public:
    virtual ~LChartDatasource() = default;
    virtual int32_t numberOfSeriesInSChart(LChartLoaderHost& chart) = 0;
    virtual Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost& chart, int32_t index) = 0;
    virtual int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost& chart, int32_t seriesIndex) = 0;
    virtual Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(
        LChartLoaderHost& chart, int32_t pointIndex, int32_t seriesIndex)
        = 0;

    // All points of a series in one array.
    virtual std::optional<std::vector<Ref<LChartData>>> sChartDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t)
    {
        return std::nullopt;
    }
    virtual bool respondsToTextureForPoint() const { return false; }
    virtual Ref<UIImage> sChartTextureForPointDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t, int32_t)
    {
        return nullptr;
    }
    virtual bool respondsToRadiusForDataPoint() const { return false; }
    virtual float sChartRadiusForDataPointDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t, int32_t)
    {
        return 0;
    }
    virtual bool respondsToInnerRadiusForDataPoint() const { return false; }
    virtual float sChartInnerRadiusForDataPointDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t, int32_t)
    {
        return 0;
    }

    // The axis a series is drawn against; null (as when the source does not choose) means the
    // chart's primary axis of that orientation.
    virtual Ref<LChartAxis> sChartXAxisForSeriesAtIndex(LChartLoaderHost&, int32_t) { return nullptr; }
    virtual Ref<LChartAxis> sChartYAxisForSeriesAtIndex(LChartLoaderHost&, int32_t) { return nullptr; }
    // The label of one slice of a radial series; nullopt when the source makes no labels. The
    // second is the older form of the same question.
    virtual std::optional<Ref<UILabel>> sChartLabelForSliceAtIndexInRadialSeries(
        LChartLoaderHost&, int32_t, LChartSeries&)
    {
        return std::nullopt;
    }
    virtual std::optional<Ref<UILabel>> getLabelsForRadialChartSeriesForIndex(LChartSeries&, int32_t)
    {
        return std::nullopt;
    }
};
