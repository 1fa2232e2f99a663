#pragma once

#include "charts/LChartAxis.h"

class NSNumberFormatter;

// An axis of plain numbers: internal values are the values themselves. It chooses its tick
// frequencies on a 1-5-10 ladder until the labels fit, works out the decimal places its labels
// need, and refuses zooms past its limits (ratios of the maximum span to the visible span).
class LChartNumberAxis : public LChartAxis {
    VX_OBJECT(LChartNumberAxis, LChartAxis)
public:
    explicit LChartNumberAxis(Passkey key)
        : LChartAxis(key)
    {
    }
    static Ref<LChartNumberAxis> init();
    static Ref<LChartNumberAxis> initWithRange(const Ref<LChartRange>& range);

    Ref<LChartRange> getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const override;
    bool setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        const Value& minimum, const Value& maximum, bool animate, bool bounceLimits) override;

    // Only numbers above zero; others are logged and ignored, nil is ignored silently.
    void setMajorTickFrequency(const Value& frequency) override;
    void setMinorTickFrequency(const Value& frequency) override;
    const Value& currentMajorTickFrequency() const { return internalMajorTickFrequency(); }
    const Value& currentMinorTickFrequency() const { return internalMinorTickFrequency(); }
    bool zoomingIn(const Value& previousFrequency) const override;
    void updateInternalTickFrequencies(CGSize* labelSize) override;
    Value firstMajorTick() override;
    Value firstMinorTick() override;
    bool isOverAlternate(double value) const override;
    double incrementTickMarkValueIsMajor(double value, bool major) const override;
    double decrementTickMarkValueIsMajor(double value, bool major) const override;
    // Decimal places the value needs (0 for values ≥ 1, zero and negatives).
    static double calcPrecision(double value);
    Value longestLabel() override;
    std::string stringForValue(double value) override;
    std::string stringForId(const Value& value) override;

    const std::string& labelFormatString() const { return m_labelFormatString; }
    void setLabelFormatString(const std::string& format) { m_labelFormatString = format; }
    int32_t requiredPrecision() const { return m_requiredPrecision; }

    double zoomInLimit() const { return m_zoomInLimit; }
    // Accepted from 1 up to (not including) 1e13.
    void setZoomInLimit(double limit);
    double zoomOutLimit() const { return m_zoomOutLimit; }
    // Accepted strictly between 0 and 1.
    void setZoomOutLimit(double limit);

protected:
    Ref<LChartAxis> makeEmptyAxis() const override { return init(); }
    void initialiseNumberAxis();
    Ref<NSNumberFormatter> numberFormatter() const;
    double snapToZero(double value) const;
    bool validFrequency(const Value& frequency, const Value& current);

private:
    std::string m_labelFormatString;
    int32_t m_requiredPrecision { -1 };
    bool m_userSetMinFractionDigit { false };
    bool m_userSetMaxFractionDigit { false };
    double m_zoomInLimit { 1e9 };
    double m_zoomOutLimit { 1e-9 };
};

// A number axis whose internal values are logarithms to `base` (10 by default).
class LChartLogarithmicAxis final : public LChartNumberAxis {
    VX_OBJECT(LChartLogarithmicAxis, LChartNumberAxis)
public:
    explicit LChartLogarithmicAxis(Passkey key)
        : LChartNumberAxis(key)
    {
    }
    static Ref<LChartLogarithmicAxis> init();
    static Ref<LChartLogarithmicAxis> initWithRange(const Ref<LChartRange>& range);

    // log to the base; 0 for values ≤ 0 or a base whose logarithm is 0.
    double logValue(double value) const;
    // Non-numbers are logged and give nil.
    Value transformValueToInternal(const Value& value) const override;
    Value transformValueToExternal(const Value& value) const override;
    double defaultBaseline() const override { return 1.0; }
    const Value& base() const { return m_base; }
    void setBase(const Value& base) { m_base = base; }

protected:
    // The load copy maps in the same base as this axis.
    Ref<LChartAxis> makeEmptyAxis() const override
    {
        auto copy = init();
        copy->m_base = m_base;
        return copy;
    }

private:
    Value m_base { int32_t(10) };
};
