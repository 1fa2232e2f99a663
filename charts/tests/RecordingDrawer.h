#pragma once

#include "charts/LChartDrawer.h"
#include "graphics/UIColor.h"

#include <array>
#include <string>
#include <vector>

// A drawing surface that records every primitive call instead of drawing, so the chart model
// is tested without GL. Slot counters advance as the real surface advances them.
class RecordingDrawer final : public LChartDrawer {
public:
    struct Call {
        std::string primitive;
        LChartSeries* series { nullptr };
        std::vector<float> data;
        std::vector<int32_t> slots; // the slot numbers the call was tagged with, in argument order
        LChartGLTranslation translation;
        // Colours as RGBA (all -1 for none) and scalar arguments, for the calls that keep them.
        std::vector<std::array<CGFloat, 4>> colours {};
        std::vector<float> scalars {};
        // Candlesticks: the outline and stick colours. Data points: the image of each point.
        std::vector<std::array<CGFloat, 4>> lineColours {};
        std::vector<const UIImage*> images {};
    };

    CGRect frameRect { { 0, 0 }, { 200, 100 } };
    CGRect bounds { { -500, -500 }, { 500, 500 } };
    double increment { 0 };
    bool reset { false };
    std::vector<Call> calls;

    CGRect frame() const override { return frameRect; }
    CGRect glBounds() const override { return bounds; }
    float glWidth() const override { return static_cast<float>(bounds.size.width - bounds.origin.x); }
    float glHeight() const override { return static_cast<float>(bounds.size.height - bounds.origin.y); }
    double timeIncrement() const override { return increment; }
    bool resetAnimationTimer() const override { return reset; }
    void setResetAnimationTimer(bool value) override { reset = value; }

    void barColumnFill(const float* data, LChartSeries* series, const float*, int32_t* slot, uint32_t size,
        const UIColor*, const UIColor*, const UIColor*, const UIColor*, float, float, int32_t, bool,
        const LChartGLTranslation& translation) override
    {
        record("barColumnFill", series, data, size, { slot }, translation);
    }
    void barColumnLine(const float* data, LChartSeries* series, const float*, int32_t* slot, uint32_t size,
        const UIColor*, const UIColor*, float, float, float, int32_t, const LChartGLTranslation& translation) override
    {
        record("barColumnLine", series, data, size, { slot }, translation);
    }
    void horizontalFill(const float* data, LChartSeries* series, int32_t* slot, int32_t size, const UIColor*,
        const UIColor*, const UIColor*, const UIColor*, float, float, float, int32_t, bool,
        const LChartGLTranslation& translation) override
    {
        record("horizontalFill", series, data, size, { slot }, translation);
    }
    void drawLineStrip(const float* data, LChartSeries* series, int32_t* lines, int32_t* triangles, int32_t* points,
        int32_t size, const UIColor*, const UIColor*, float, float, int32_t,
        const LChartGLTranslation& translation) override
    {
        record("drawLineStrip", series, data, size, { lines, triangles, points }, translation);
    }
    // Keeps the colour, the below-baseline colour, the radius and the first radius of the array
    // (-1 without an array or a point), and each point's image.
    void drawDataPoints(const float* data, LChartSeries* series, int32_t* slot, const std::vector<Ref<UIImage>>& images,
        int32_t size, const UIColor* colour, const UIColor* below, float radius, const float* radii, float, int32_t,
        const LChartGLTranslation& translation) override
    {
        record("drawDataPoints", series, data, size, { slot }, translation);
        calls.back().colours = { rgba(colour), rgba(below) };
        calls.back().scalars = { radius, radii && size > 0 ? radii[0] : -1 };
        for (int32_t i = 0; i < size / 2 && static_cast<size_t>(i) < images.size(); ++i)
            calls.back().images.push_back(images[static_cast<size_t>(i)].get());
    }
    // Keeps the two fill colours and the crossing count.
    void drawBandSeriesFill(const float* high, LChartSeries* series, const float*, int32_t* slot, int32_t size,
        const UIColor* normal, const UIColor* inverted, int32_t, int32_t crossings,
        const LChartGLTranslation& translation) override
    {
        record("drawBandSeriesFill", series, high, size, { slot }, translation);
        calls.back().colours = { rgba(normal), rgba(inverted) };
        calls.back().scalars = { static_cast<float>(crossings) };
    }

    static std::array<CGFloat, 4> rgba(const UIColor* colour)
    {
        std::array<CGFloat, 4> c { -1, -1, -1, -1 };
        if (colour)
            colour->getRedGreenBlueAlpha(&c[0], &c[1], &c[2], &c[3]);
        return c;
    }
    // Keeps one colour per candle, the outline and stick colours, and the candle, outline and
    // stick widths.
    void drawCandlesticks(const float* data, LChartSeries* series, int32_t* lines, int32_t* offsetLines,
        int32_t* triangles, int32_t count, const std::vector<Ref<UIColor>>& colours, const std::vector<Ref<UIColor>>&,
        const UIColor* outline, const UIColor* stick, float candleWidth, float outlineWidth, float stickWidth, int32_t,
        const LChartGLTranslation& translation) override
    {
        record("drawCandlesticks", series, data, count * 5, { lines, offsetLines, triangles }, translation);
        for (const auto& colour : colours) // one per candle
            calls.back().colours.push_back(rgba(colour.get()));
        calls.back().lineColours = { rgba(outline), rgba(stick) };
        calls.back().scalars = { candleWidth, outlineWidth, stickWidth };
    }
    void drawOHLCPoints(const float* data, LChartSeries* series, int32_t* lines, int32_t* offsetLines, int32_t count,
        const std::vector<Ref<UIColor>>& colours, const std::vector<Ref<UIColor>>&, int32_t, float, float, float,
        const LChartGLTranslation& translation) override
    {
        record("drawOHLCPoints", series, data, count * 5, { lines, offsetLines }, translation);
        for (const auto& colour : colours) // one per point
            calls.back().colours.push_back(rgba(colour.get()));
    }
    void drawRadialSlice(int32_t sliceIndex, LChartSeries* series, float from, float to, CGPoint, float inner,
        float outer, float displacement, const UIColor*, const UIColor*, float, int32_t) override
    {
        float values[] = { static_cast<float>(sliceIndex), from, to, inner, outer, displacement };
        record("drawRadialSlice", series, values, 6, {}, {});
    }
    void updateRadialSeries(
        LChartSeries* series, int32_t sliceIndex, float displacement, float angle, float lineWidth) override
    {
        float values[] = { static_cast<float>(sliceIndex), displacement, angle, lineWidth };
        record("updateRadialSeries", series, values, 4, {}, {});
    }
    void updateSeriesWithTranslation(LChartSeries* series, const LChartGLTranslation& translation) override
    {
        record("updateSeriesWithTranslation", series, nullptr, 0, {}, translation);
    }

private:
    void record(const char* name, LChartSeries* series, const float* data, int64_t size,
        std::initializer_list<int32_t*> slots, const LChartGLTranslation& translation)
    {
        Call call { name, series, {}, {}, translation };
        if (data && size > 0)
            call.data.assign(data, data + size);
        for (int32_t* slot : slots) {
            call.slots.push_back(slot ? *slot : -1);
            if (slot)
                ++*slot;
        }
        calls.push_back(std::move(call));
    }
};
