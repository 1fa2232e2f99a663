#pragma once

#include "charts/LChartDatasource.h"
#include "charts/LChartErrorHandler.h"

#include <memory>

class LChartDateTimeAxis;

// Talks to a chart's data source about series and points: lists the series, fills each with
// internal points through its axes, keeps the data's extremes and tells the axes about the
// data; appends and drops points. One loader serves one load or one append, on one thread
// (a full load may run on the chart's loading queue against load copies of the axes). The chart
// and data source are not owned and must outlive the loader.
class LChartDataLoader final : public NSObject {
    VX_OBJECT(LChartDataLoader, NSObject)
public:
    explicit LChartDataLoader(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartDataLoader> initWithChartDatasourceErrorHandler(
        LChartLoaderHost* chart, LChartDatasource* datasource, std::shared_ptr<LChartErrorHandler> handler);

    // The chart's series, not yet filled; sets the chart's radial flag from the first one.
    std::vector<Ref<LChartLoadableSeries>> emptyChartSeries();
    void populateChartSeriesAtIndexXAxisYAxis(
        const Ref<LChartLoadableSeries>& series, int32_t seriesIndex, LChartAxis& xAxis, LChartAxis& yAxis);
    // The internal points added.
    std::vector<Ref<LChartInternalDataPoint>>
    appendDataPointsToSeriesWithIndexNumberOfPointsToRemoveFromStartXAxisYAxis(int32_t count,
        const Ref<LChartLoadableSeries>& series, int32_t seriesIndex, int32_t removeFromStart, LChartAxis& xAxis,
        LChartAxis& yAxis);
    Ref<LChartInternalDataPoint> addChartDataPointToChartSeriesWithIndexAtDataIndexXAxisYAxis(
        const Ref<LChartData>& point, const Ref<LChartLoadableSeries>& series, int32_t seriesIndex, int32_t pointIndex,
        LChartAxis& xAxis, LChartAxis& yAxis);
    Ref<LChartInternalDataPoint> internalDataPointFromExternalDataPoint(const Ref<LChartData>& point,
        const LChartLoadableSeries& series, int32_t seriesIndex, int32_t pointIndex, LChartAxis& xAxis,
        LChartAxis& yAxis);
    void configureXAxisYAxisWithUserData(
        LChartAxis& xAxis, LChartAxis& yAxis, const std::vector<Ref<LChartData>>& points);
    static void updateUserExtremes(Value& xMin, Value& xMax, Value& yMin, Value& yMax, const Value& x, const Value& y);
    static void setupRefDateForAxisWithFirstDP(LChartAxis& axis, const Value& value);

    const Value& dataMinX() const { return m_dataMinX; }
    const Value& dataMaxX() const { return m_dataMaxX; }
    const Value& dataMinY() const { return m_dataMinY; }
    const Value& dataMaxY() const { return m_dataMaxY; }
    const std::shared_ptr<LChartErrorHandler>& errorHandler() const { return m_errorHandler; }

private:
    void initialiseDataRangesFromDataSeries(const LChartDataSeries& data);
    std::vector<Ref<LChartInternalDataPoint>> removeNumberOfPointsFromSeries(
        int32_t count, LChartLoadableSeries& series);
    void updateDataRangesIfChangedWhenDataPointsRemoved(
        const std::vector<Ref<LChartInternalDataPoint>>& removed, const LChartDataSeries& data);
    void updateExtreme(const LChartInternalDataPoint& point, bool x, bool max);

    LChartLoaderHost* m_chart { nullptr };
    LChartDatasource* m_datasource { nullptr };
    std::shared_ptr<LChartErrorHandler> m_errorHandler;
    bool m_respondsToTexture { false };
    bool m_respondsToRadius { false };
    bool m_respondsToInnerRadius { false };
    Value m_dataMinX, m_dataMaxX, m_dataMinY, m_dataMaxY;
    int32_t m_indexOfDataMinX { 0 }, m_indexOfDataMinY { 0 }, m_indexOfDataMaxX { 0 }, m_indexOfDataMaxY { 0 };
};
