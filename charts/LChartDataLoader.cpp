#include "charts/LChartDataLoader.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDateRange.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartRange.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <cmath>

Ref<LChartDataLoader> LChartDataLoader::initWithChartDatasourceErrorHandler(
    LChartLoaderHost* chart, LChartDatasource* datasource, std::shared_ptr<LChartErrorHandler> handler)
{
    auto loader = make<LChartDataLoader>();
    loader->m_chart = chart;
    loader->m_datasource = datasource;
    loader->m_errorHandler = std::move(handler);
    if (datasource) {
        loader->m_respondsToTexture = datasource->respondsToTextureForPoint();
        loader->m_respondsToRadius = datasource->respondsToRadiusForDataPoint();
        loader->m_respondsToInnerRadius = datasource->respondsToInnerRadiusForDataPoint();
    }
    return loader;
}

std::vector<Ref<LChartLoadableSeries>> LChartDataLoader::emptyChartSeries()
{
    std::vector<Ref<LChartLoadableSeries>> list;
    int32_t count = m_datasource->numberOfSeriesInSChart(*m_chart);
    if (count == 0) {
        m_errorHandler->handleErrorWithMessageFromSource(
            "The datasource for this chart has specified that there are 0 series", this);
        return list;
    }
    for (int32_t i = 0; i < count; ++i) {
        auto series = m_datasource->sChartSeriesAtIndex(*m_chart, i);
        bool radial = series && series->isRadialSeries();
        if (i == 0) {
            m_chart->setIsRadial(radial);
        } else if (radial != m_chart->isRadial()) {
            m_errorHandler->handleErrorWithMessageFromSource("Incompatible series added to chart. A chart can only "
                                                             "display cartesian OR radial series. This series will be "
                                                             "ignored.",
                this);
            continue;
        }
        if (!series) {
            m_errorHandler->handleFatalErrorWithMessageFromSource(
                NSString::stringWithFormat("nil chart series for series index %d, for datasource to LatticeChart", i),
                this);
        }
        list.push_back(series);
    }
    return list;
}

void LChartDataLoader::updateUserExtremes(
    Value& xMin, Value& xMax, Value& yMin, Value& yMax, const Value& x, const Value& y)
{
    if (xMin.isNil() || compareValues(x, xMin) < 0)
        xMin = x;
    if (xMax.isNil() || compareValues(x, xMax) > 0)
        xMax = x;
    if (yMin.isNil() || compareValues(y, yMin) < 0)
        yMin = y;
    if (yMax.isNil() || compareValues(y, yMax) > 0)
        yMax = y;
}

void LChartDataLoader::configureXAxisYAxisWithUserData(
    LChartAxis& xAxis, LChartAxis& yAxis, const std::vector<Ref<LChartData>>& points)
{
    Value xMin, xMax, yMin, yMax;
    for (const auto& point : points) {
        if (point)
            updateUserExtremes(xMin, xMax, yMin, yMax, point->sChartXValue(), point->sChartYValue());
    }
    xAxis.configureWithDataMinAndDataMax(xMin, xMax);
    yAxis.configureWithDataMinAndDataMax(yMin, yMax);
}

void LChartDataLoader::populateChartSeriesAtIndexXAxisYAxis(
    const Ref<LChartLoadableSeries>& series, int32_t seriesIndex, LChartAxis& xAxis, LChartAxis& yAxis)
{
    int32_t count = m_datasource->sChartNumberOfDataPointsForSeriesAtIndex(*m_chart, seriesIndex);
    if (auto data = series->dataSeries()) {
        std::vector<Ref<LChartInternalDataPoint>> fresh;
        fresh.reserve(count > 0 ? static_cast<size_t>(count) : 0);
        data->setDataPoints(std::move(fresh));
    }
    std::vector<Ref<LChartData>> points;
    if (auto bulk = m_datasource->sChartDataPointsForSeriesAtIndex(*m_chart, seriesIndex)) {
        points = std::move(*bulk);
    } else {
        for (int32_t i = 0; i < count; ++i) {
            auto point = m_datasource->sChartDataPointAtIndexForSeriesAtIndex(*m_chart, i, seriesIndex);
            if (!point) {
                m_errorHandler->handleFatalErrorWithMessageFromSource(
                    NSString::stringWithFormat("Datapoint cannot be nil. (series %lu, index %ld)",
                        static_cast<unsigned long>(seriesIndex), static_cast<long>(i)),
                    this);
            }
            points.push_back(point);
        }
    }
    configureXAxisYAxisWithUserData(xAxis, yAxis, points);
    for (int32_t i = 0; i < count; ++i) {
        // A bulk answer shorter than the count reads as a nil point (fatal below), never past
        // the array's end.
        Ref<LChartData> point = static_cast<size_t>(i) < points.size() ? points[static_cast<size_t>(i)] : nullptr;
        if (point) {
            xAxis.willAddDataPointToSeriesWithValue(point->sChartXValue());
            yAxis.willAddDataPointToSeriesWithValue(point->sChartYValue());
        }
        addChartDataPointToChartSeriesWithIndexAtDataIndexXAxisYAxis(point, series, seriesIndex, i, xAxis, yAxis);
    }
    series->setDelegate(m_chart->delegate());
}

Ref<LChartInternalDataPoint> LChartDataLoader::addChartDataPointToChartSeriesWithIndexAtDataIndexXAxisYAxis(
    const Ref<LChartData>& point, const Ref<LChartLoadableSeries>& series, int32_t seriesIndex, int32_t pointIndex,
    LChartAxis& xAxis, LChartAxis& yAxis)
{
    if (!point) {
        m_errorHandler->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat("Datapoint cannot be nil. (series %lu, index %lu)",
                static_cast<unsigned long>(seriesIndex), static_cast<unsigned long>(pointIndex)),
            this);
    }
    auto internal = internalDataPointFromExternalDataPoint(point, *series, seriesIndex, pointIndex, xAxis, yAxis);
    if (internal)
        series->addDataPoint(internal);
    return internal;
}

Ref<LChartInternalDataPoint> LChartDataLoader::internalDataPointFromExternalDataPoint(const Ref<LChartData>& point,
    const LChartLoadableSeries& series, int32_t seriesIndex, int32_t pointIndex, LChartAxis& xAxis, LChartAxis& yAxis)
{
    auto internal = LChartInternalDataPoint::init();
    LChartDataSeries* data = series.dataSeries();
    auto fail = [&](const char* format) {
        m_errorHandler->handleFatalErrorWithMessageFromSource(
            NSString::stringWithFormat(
                format, static_cast<unsigned long>(seriesIndex), static_cast<unsigned long>(pointIndex)),
            this);
    };
    if (point->respondsToSChartXValueForKey()) {
        Value keyed = Value::mutableDictionary();
        for (const auto& key : data ? data->xValueKeys() : std::vector<std::string> {}) {
            Value value = point->sChartXValueForKey(key);
            if (!value.isNil()) {
                xAxis.willAddDataPointToSeriesWithValue(value);
                keyed.setObjectForKey(xAxis.transformValueToInternal(value), Value(key));
            }
        }
        internal->setXValues(keyed);
    } else if (point->sChartXValue().isNil()) {
        fail("Datapoint can't have a nil x-object (series %lu, index %lu)");
    }
    if (point->respondsToSChartYValueForKey()) {
        Value keyed = Value::mutableDictionary();
        for (const auto& key : data ? data->yValueKeys() : std::vector<std::string> {}) {
            Value value = point->sChartYValueForKey(key);
            if (!value.isNil()) {
                yAxis.willAddDataPointToSeriesWithValue(value);
                keyed.setObjectForKey(yAxis.transformValueToInternal(value), Value(key));
            }
        }
        internal->setYValues(keyed);
    } else if (point->sChartYValue().isNil()) {
        fail("Datapoint can't have a nil y-object (series %lu, index %lu)");
    }
    if (point->respondsToSChartValueForKey()) {
        Value values = Value::mutableDictionary();
        for (const auto& key : data ? data->valueKeys() : std::vector<std::string> {}) {
            Value value = point->sChartValueForKey(key);
            if (!value.isNil())
                values.setObjectForKey(value, Value(key));
        }
        internal->setValues(values);
    }
    if (auto selected = point->sChartPointIsSelected())
        internal->setSelected(*selected);

    Value x = point->sChartXValue();
    Value y = point->sChartYValue();
    if (m_chart->isRadial()) {
        internal->setXValue(x);
        internal->setYValue(y);
    } else {
        if (xAxis.isSkippedData(x) || yAxis.isSkippedData(y))
            return nullptr;
        setupRefDateForAxisWithFirstDP(xAxis, x);
        setupRefDateForAxisWithFirstDP(yAxis, y);
        // A multi-valued point without a value of its own reads as 0 downstream, not as nil.
        Value internalX = xAxis.transformValueToInternal(x);
        Value internalY = yAxis.transformValueToInternal(y);
        // A point at no finite place (NaN or infinite values) is left out like skipped data: it
        // could be neither ordered into a bin nor drawn, and would spoil every range it joined.
        auto notFinite = [](const Value& value) { return value.isNumber() && !std::isfinite(value.doubleValue()); };
        if (notFinite(internalX) || notFinite(internalY))
            return nullptr;
        internal->setXValue(internalX.isNil() ? Value(0.0) : internalX);
        internal->setYValue(internalY.isNil() ? Value(0.0) : internalY);
    }
    if (m_respondsToTexture)
        internal->setTexture(
            m_datasource->sChartTextureForPointDataPointAtIndexForSeriesAtIndex(*m_chart, pointIndex, seriesIndex));
    if (m_respondsToRadius)
        internal->setRadius(
            m_datasource->sChartRadiusForDataPointDataPointAtIndexForSeriesAtIndex(*m_chart, pointIndex, seriesIndex));
    if (m_respondsToInnerRadius)
        internal->setInnerRadius(m_datasource->sChartInnerRadiusForDataPointDataPointAtIndexForSeriesAtIndex(
            *m_chart, pointIndex, seriesIndex));
    return internal;
}

void LChartDataLoader::setupRefDateForAxisWithFirstDP(LChartAxis& axis, const Value& value)
{
    if (!axis.usesReferenceDate() || axis.refDateInitialised())
        return;
    double reference = value.isDate() ? value.dateValue() : value.doubleValue();
    auto defaultRange = axis.defaultRangeInternal();
    if (!defaultRange) {
        axis.setRefDate(reference);
        return;
    }
    double min = axis.transformValueToExternal(defaultRange->minimum()).doubleValue();
    double max = axis.transformValueToExternal(defaultRange->maximum()).doubleValue();
    axis.setRefDate(reference);
    auto range = axis.transformRangeToInternal(LChartDateRange::initWithMinimumAndMaximum(Value(min), Value(max)));
    axis.setAxisRangeInternal(range);
    axis.setDefaultRangeInternal(range);
}

// MARK: Appending

void LChartDataLoader::initialiseDataRangesFromDataSeries(const LChartDataSeries& data)
{
    m_dataMinX = data.rangeX() ? data.rangeX()->minimum() : Value();
    m_dataMaxX = data.rangeX() ? data.rangeX()->maximum() : Value();
    m_dataMinY = data.rangeY() ? data.rangeY()->minimum() : Value();
    m_dataMaxY = data.rangeY() ? data.rangeY()->maximum() : Value();
    m_indexOfDataMinX = data.indexOfDatapointWithMinX();
    m_indexOfDataMinY = data.indexOfDatapointWithMinY();
    m_indexOfDataMaxX = data.indexOfDatapointWithMaxX();
    m_indexOfDataMaxY = data.indexOfDatapointWithMaxY();
}

namespace {

// The point's smallest (or largest) x (or y): its own value and every keyed value.
Value extremeOf(const LChartInternalDataPoint& point, bool x, bool max)
{
    Value result = x ? point.xValue() : point.yValue();
    for (const auto& entry : (x ? point.xValues() : point.yValues()).entries()) {
        int order = compareValues(entry.second, result);
        if (result.isNil() || (max ? order > 0 : order < 0))
            result = entry.second;
    }
    return result;
}

} // namespace

void LChartDataLoader::updateExtreme(const LChartInternalDataPoint& point, bool x, bool max)
{
    Value& stored = x ? (max ? m_dataMaxX : m_dataMinX) : (max ? m_dataMaxY : m_dataMinY);
    int32_t& index = x ? (max ? m_indexOfDataMaxX : m_indexOfDataMinX) : (max ? m_indexOfDataMaxY : m_indexOfDataMinY);
    Value value = extremeOf(point, x, max);
    if (value.isNil())
        return;
    int order = stored.isNil() ? 0 : compareValues(value, stored);
    if (stored.isNil() || (max ? order > 0 : order < 0)) {
        stored = value;
        index = point.sChartDataPointIndex();
    }
}

std::vector<Ref<LChartInternalDataPoint>> LChartDataLoader::removeNumberOfPointsFromSeries(
    int32_t count, LChartLoadableSeries& series)
{
    std::vector<Ref<LChartInternalDataPoint>> removed;
    LChartDataSeries* data = series.dataSeries();
    if (!data)
        return removed;
    size_t n = std::min(static_cast<size_t>(std::max(count, 0)), data->dataPoints().size());
    removed.assign(data->dataPoints().begin(), data->dataPoints().begin() + static_cast<std::ptrdiff_t>(n));
    for (const auto& point : removed)
        series.removeDataPoint(point);
    return removed;
}

void LChartDataLoader::updateDataRangesIfChangedWhenDataPointsRemoved(
    const std::vector<Ref<LChartInternalDataPoint>>& removed, const LChartDataSeries& data)
{
    bool redoMinX = false, redoMaxX = false, redoMinY = false, redoMaxY = false;
    auto clearIfSame = [](Value& stored, const Value& value, bool& redo) {
        if (!stored.isNil() && compareValues(value, stored) == 0) {
            stored = Value();
            redo = true;
        }
    };
    for (const auto& point : removed) {
        clearIfSame(m_dataMinX, extremeOf(*point, true, false), redoMinX);
        clearIfSame(m_dataMaxX, extremeOf(*point, true, true), redoMaxX);
        clearIfSame(m_dataMinY, extremeOf(*point, false, false), redoMinY);
        clearIfSame(m_dataMaxY, extremeOf(*point, false, true), redoMaxY);
    }
    for (const auto& point : data.dataPoints()) {
        if (redoMinX)
            updateExtreme(*point, true, false);
        if (redoMaxX)
            updateExtreme(*point, true, true);
        if (redoMinY)
            updateExtreme(*point, false, false);
        if (redoMaxY)
            updateExtreme(*point, false, true);
    }
}

std::vector<Ref<LChartInternalDataPoint>>
LChartDataLoader::appendDataPointsToSeriesWithIndexNumberOfPointsToRemoveFromStartXAxisYAxis(int32_t count,
    const Ref<LChartLoadableSeries>& series, int32_t seriesIndex, int32_t removeFromStart, LChartAxis& xAxis,
    LChartAxis& yAxis)
{
    std::vector<Ref<LChartInternalDataPoint>> added;
    LChartDataSeries* data = series->dataSeries();
    if (!data)
        return added;
    initialiseDataRangesFromDataSeries(*data);
    if (removeFromStart > 0) {
        auto removed = removeNumberOfPointsFromSeries(removeFromStart, *series);
        updateDataRangesIfChangedWhenDataPointsRemoved(removed, *data);
    }
    int32_t total = m_datasource->sChartNumberOfDataPointsForSeriesAtIndex(*m_chart, seriesIndex);
    // A total below the number of new points starts the new points at index 0.
    int32_t first = std::max(total - count, 0);

    auto external = [](LChartAxis& axis, const Value& v) { return v.isNil() ? v : axis.transformValueToExternal(v); };
    Value xMin = external(xAxis, m_dataMinX), xMax = external(xAxis, m_dataMaxX);
    Value yMin = external(yAxis, m_dataMinY), yMax = external(yAxis, m_dataMaxY);
    std::vector<Ref<LChartData>> points;
    if (count >= 1) {
        for (int32_t index = first; index < total; ++index) {
            auto point = m_datasource->sChartDataPointAtIndexForSeriesAtIndex(*m_chart, index, seriesIndex);
            if (!point) {
                m_errorHandler->handleFatalErrorWithMessageFromSource(
                    NSString::stringWithFormat("Datapoint cannot be nil. (series %lu, index %lu)",
                        static_cast<unsigned long>(seriesIndex), static_cast<unsigned long>(index)),
                    this);
            }
            xAxis.willAddDataPointToSeriesWithValue(point->sChartXValue());
            yAxis.willAddDataPointToSeriesWithValue(point->sChartYValue());
            Value x = xAxis.transformValueToExternal(xAxis.transformValueToInternal(point->sChartXValue()));
            Value y = yAxis.transformValueToExternal(yAxis.transformValueToInternal(point->sChartYValue()));
            updateUserExtremes(xMin, xMax, yMin, yMax, x, y);
            points.push_back(point);
        }
    }
    xAxis.configureWithDataMinAndDataMax(xMin, xMax);
    yAxis.configureWithDataMinAndDataMax(yMin, yMax);
    for (size_t i = 0; i < points.size(); ++i) {
        auto internal = addChartDataPointToChartSeriesWithIndexAtDataIndexXAxisYAxis(
            points[i], series, seriesIndex, first + static_cast<int32_t>(i), xAxis, yAxis);
        if (!internal)
            continue;
        updateExtreme(*internal, true, true);
        updateExtreme(*internal, false, true);
        updateExtreme(*internal, true, false);
        updateExtreme(*internal, false, false);
        added.push_back(internal);
    }
    data->setRangeX(LChartRange::initWithMinimumAndMaximum(m_dataMinX, m_dataMaxX));
    data->setRangeY(LChartRange::initWithMinimumAndMaximum(m_dataMinY, m_dataMaxY));
    data->setIndexOfDatapointWithMinX(m_indexOfDataMinX);
    data->setIndexOfDatapointWithMaxX(m_indexOfDataMaxX);
    data->setIndexOfDatapointWithMinY(m_indexOfDataMinY);
    data->setIndexOfDatapointWithMaxY(m_indexOfDataMaxY);
    return added;
}
