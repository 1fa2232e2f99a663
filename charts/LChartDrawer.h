#pragma once

#include "charts/ChartsForward.h"
#include "foundation/FoundationForward.h"
#include "graphics/CGGeometry.h"

#include <cstdint>
#include <vector>

class UIColor;
class UIImage;

// Four floats red, green, blue, alpha, as the drawing engine takes colours.
struct Colour4f {
    float red { 0 };
    float green { 0 };
    float blue { 0 };
    float alpha { 0 };
};

// The per-series translation a series group computes from its axes' visible ranges (x scale,
// y scale, x offset, y offset); the drawing engine turns drawing coordinates into clip space
// with it. Passed through to the geometry untouched.
struct LChartGLTranslation {
    float xScale { 0 };
    float yScale { 0 };
    float xOffset { 0 };
    float yOffset { 0 };
};

// The drawing surface series draw into, and the surface facts axes and series groups read.
// The chart's GL view implements it; tests implement it with a recorder, so the whole model
// runs without GL. See charts/README.md for the coordinate spaces.
//
// Every primitive takes geometry as (pointer, count) buffers that the caller owns for the
// duration of the call only (the implementation copies what it keeps). Coordinates are drawing
// coordinates (= the axes' internal values); widths and radii are pixels. A slot pointer names
// the caller's running slot counter of one kind: the primitive tags its geometry with the
// current number and advances the counter by one, and geometry already held for the same
// series, kind and slot is replaced (dropped when the new geometry is empty). Colours may be
// null where the primitive says so. Main thread only.
class LChartDrawer {
public:
    virtual ~LChartDrawer() = default;

    // The plot area in the canvas's coordinates (points).
    virtual CGRect frame() const = 0;
    // Minimum x, minimum y, maximum x, maximum y of the drawing area, in a rectangle-typed value
    // (origin = minimums, size = maximums). Constant for the life of a view.
    virtual CGRect glBounds() const = 0;
    virtual float glWidth() const = 0;
    virtual float glHeight() const = 0;
    // Seconds between the start of this frame and the previous one; 0 on the first frame.
    virtual double timeIncrement() const = 0;
    virtual bool resetAnimationTimer() const = 0;
    virtual void setResetAnimationTimer(bool reset) = 0;

    // Bars or columns: `data` holds x, y pairs (`size` floats); `base` one float per bar, or null.
    virtual void barColumnFill(const float* data, LChartSeries* series, const float* base, int32_t* slot, uint32_t size,
        const UIColor* color, const UIColor* colorBelowBaseline, const UIColor* colorGradient,
        const UIColor* colorGradientBelowBaseline, float barColumnWidth, float glBaseline, int32_t orientation,
        bool willDrawLinesToo, const LChartGLTranslation& translation)
        = 0;
    virtual void barColumnLine(const float* data, LChartSeries* series, const float* base, int32_t* slot, uint32_t size,
        const UIColor* color, const UIColor* colorBelowBaseline, float barColumnWidth, float lineWidth,
        float glBaseline, int32_t orientation, const LChartGLTranslation& translation)
        = 0;
    // Area between a line and the baseline.
    virtual void horizontalFill(const float* data, LChartSeries* series, int32_t* slot, int32_t size,
        const UIColor* color, const UIColor* colorBelowBaseline, const UIColor* gradientFillColor,
        const UIColor* gradientFillColorBelowBaseline, float baseline, float maxOffsetAboveBaseline,
        float maxOffsetBelowBaseline, int32_t fillDirection, bool gradientFill, const LChartGLTranslation& translation)
        = 0;
    virtual void drawLineStrip(const float* data, LChartSeries* series, int32_t* linesSlot,
        int32_t* indexedOffsetTrianglesSlot, int32_t* pointsSlot, int32_t size, const UIColor* color,
        const UIColor* colorBelowBaseline, float width, float baseline, int32_t fillDirection,
        const LChartGLTranslation& translation)
        = 0;
    // `textures` holds one image per point (entries may be null); `radii` one float per point or null.
    virtual void drawDataPoints(const float* data, LChartSeries* series, int32_t* slot,
        const std::vector<Ref<UIImage>>& textures, int32_t size, const UIColor* color,
        const UIColor* colorBelowBaseline, float radius, const float* radii, float baseline, int32_t fillDirection,
        const LChartGLTranslation& translation)
        = 0;
    virtual void drawBandSeriesFill(const float* high, LChartSeries* series, const float* low, int32_t* slot,
        int32_t size, const UIColor* areaColorHigh, const UIColor* areaColorLow, int32_t orientation,
        int32_t numCrosses, const LChartGLTranslation& translation)
        = 0;
    virtual void drawCandlesticks(const float* data, LChartSeries* series, int32_t* linesSlot, int32_t* offsetLinesSlot,
        int32_t* trianglesSlot, int32_t count, const std::vector<Ref<UIColor>>& colors,
        const std::vector<Ref<UIColor>>& gradientColors, const UIColor* outlineColor, const UIColor* stickColor,
        float candleWidth, float outlineWidth, float stickWidth, int32_t orientation,
        const LChartGLTranslation& translation)
        = 0;
    virtual void drawOHLCPoints(const float* data, LChartSeries* series, int32_t* linesSlot, int32_t* offsetLinesSlot,
        int32_t count, const std::vector<Ref<UIColor>>& colors, const std::vector<Ref<UIColor>>& gradientColors,
        int32_t orientation, float ohlcWidth, float trunkWidth, float armWidth, const LChartGLTranslation& translation)
        = 0;
    virtual void drawRadialSlice(int32_t sliceIndex, LChartSeries* series, float fromAngle, float toAngle,
        CGPoint centre, float innerRadius, float outerRadius, float displacement, const UIColor* fillColor,
        const UIColor* lineColor, float lineWidth, int32_t effect)
        = 0;
    virtual void updateRadialSeries(
        LChartSeries* series, int32_t sliceIndex, float displacement, float angle, float lineWidth)
        = 0;
    // Every cartesian series hands its translation after drawing.
    virtual void updateSeriesWithTranslation(LChartSeries* series, const LChartGLTranslation& translation) = 0;
};
