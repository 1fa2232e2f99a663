#pragma once

// Forward declarations of the chart library's classes, for headers that only name them.

class LChartErrorHandler;
class LatticeChartLog;
class LChartAngler;
class LChartRange;
class LChartNumberRange;
class LChartDateRange;
class LChartRangeUtils;
class LChartDrawer;
class LChartSeries;
class LChartDataPoint;
class LChartInternalDataPoint;
class LChartDataSeries;
class LChartSeriesDataBin;
class LChartAxis;
struct Colour4f;
struct LChartGLTranslation;
