#pragma once

#include "charts/LChartAxis.h"
#include "charts/LChartDateFrequency.h"

class NSCalendar;
class NSDate;
class NSDateFormatter;

// The axis over dates. Data values are dates or seconds since 1970; internal values are
// seconds from a reference date set once from the first data point. Tick frequencies are
// calendar intervals chosen from a table of steps until the labels fit, ticks step by calendar
// arithmetic, and the label format follows the frequency unless the user chose one.
class LChartDateTimeAxis : public LChartAxis {
    VX_OBJECT(LChartDateTimeAxis, LChartAxis)
public:
    explicit LChartDateTimeAxis(Passkey key)
        : LChartAxis(key)
    {
    }
    static Ref<LChartDateTimeAxis> init();
    static Ref<LChartDateTimeAxis> initWithRange(const Ref<LChartRange>& range);

    // Nil clears it; a date or number of seconds is stored as seconds; anything else is fatal.
    void setAnchorPoint(const Value& anchor) override;
    Ref<LChartRange> getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const override;
    bool rangePaddingValueIsValid(const Value& padding) const override;
    Ref<LChartRange> rangeFromRangeWithUserPadding(const Ref<LChartRange>& range) const override;
    bool zoomingIn(const Value& previousFrequency) const override;
    // Only date frequencies; nil is ignored.
    void setMajorTickFrequency(const Value& frequency) override;
    void setMinorTickFrequency(const Value& frequency) override;
    Ref<LChartDateFrequency> internalMajorFrequency() const;
    Ref<LChartDateFrequency> internalMinorFrequency() const;
    Value longestLabel() override;
    // The data source's tick values (dates or seconds since 1970) in internal units.
    std::optional<std::vector<double>> manualGenerateTickMarks() override;
    // Exact calendar steps from the first major tick to the anchor.
    int32_t indexOfFirstLabel(int32_t n) override;
    void updateInternalTickFrequencies(CGSize* labelSize) override;
    virtual double jumpToFirstTickValueWithMinimumAlignedToAnchorPoint(double minimum, double anchor) const;
    Value firstTickIsMajor(bool major);
    Value firstMajorTick() override { return firstTickIsMajor(true); }
    Value firstMinorTick() override { return firstTickIsMajor(false); }
    bool isOverAlternate(double value) const override;
    double incrementTickMarkValueIsMajor(double value, bool major) const override;
    double decrementTickMarkValueIsMajor(double value, bool major) const override;
    virtual Ref<NSDate> dateFromApplyingComponentsToDateGoingBackwardsMajor(
        const Ref<NSDateComponents>& components, const Ref<NSDate>& date, bool backwards, bool major) const;
    std::string stringForValue(double value) override;
    std::string stringForId(const Value& value) override;
    void updateTickLabelConfiguration();
    // The empty string is ignored; a format the formatter cannot read back is dropped with a
    // warning.
    void setLabelFormatString(const std::string& format);
    Value doubleToData(double value) const override { return Value::date(value); }
    Value transformValueToInternal(const Value& value) const override;
    Value transformValueToExternal(const Value& value) const override;
    bool usesReferenceDate() const override { return true; }
    bool refDateInitialised() const override { return m_refDateInitialised; }
    void setRefDate(double seconds) override;
    double refDate() const { return m_refDate; }
    const Ref<NSCalendar>& cal() const { return m_cal; }
    void setCal(const Ref<NSCalendar>& calendar) { m_cal = calendar; }
    // Ranges starting before the year 100 are refused.
    bool setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        const Value& minimum, const Value& maximum, bool animate, bool bounceLimits) override;
    bool setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        const Value& minimum, const Value& maximum, bool animate, bool bounceLimits) override;
    Ref<LChartAxis> stubCopyOfAxisForDataLoading() const override;
    void reconfigureFromStubbedAxisCopy(const LChartAxis& copy) override;

protected:
    Ref<LChartAxis> makeEmptyAxis() const override { return init(); }
    void initialiseDateTimeAxis();
    Ref<NSDateFormatter> dateFormatter() const;
    double alterInternalTickMarkValue(double value, bool major, bool negate) const;

private:
    bool m_userHasSetFormatString { false };
    bool m_formatStringSetInternally { false };
    double m_refDate { 0 };
    bool m_refDateInitialised { false };
    Ref<NSCalendar> m_cal;
};
