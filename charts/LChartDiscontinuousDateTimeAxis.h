#pragma once

#include "charts/LChartDateTimeAxis.h"

#include <vector>

class LChartRepeatedTimePeriod;
class LChartTimePeriod;

// A date-time axis that leaves out time periods: single ones, and repeated ones (nights,
// weekends) whose occurrences over the data's extent become skips. Internal values are
// compressed by the skipped time below them; ticks step in calendar time and a backward step
// never lands inside skipped time. Main thread only, except the stub copy made for loading.
class LChartDiscontinuousDateTimeAxis final : public LChartDateTimeAxis {
    VX_OBJECT(LChartDiscontinuousDateTimeAxis, LChartDateTimeAxis)
public:
    explicit LChartDiscontinuousDateTimeAxis(Passkey key)
        : LChartDateTimeAxis(key)
    {
    }
    static Ref<LChartDiscontinuousDateTimeAxis> init();

    // Single periods are kept sorted by start.
    void addExcludedTimePeriod(const Ref<LChartTimePeriod>& period);
    void addExcludedRepeatedTimePeriod(const Ref<LChartRepeatedTimePeriod>& period);
    void removeExcludedTimePeriod(const Ref<LChartTimePeriod>& period);
    void removeExcludedRepeatedTimePeriod(const Ref<LChartRepeatedTimePeriod>& period);
    const std::vector<Ref<LChartTimePeriod>>& excludedTimePeriods() const { return m_singleSkips; }
    const std::vector<Ref<LChartRepeatedTimePeriod>>& excludedRepeatedTimePeriods() const { return m_repeatedSkips; }
    bool needSkipUpdate() const { return m_needSkipUpdate; }

    // The data's extent on this axis (dates or seconds since 1970); rebuilds the skips.
    void configureWithDataMinAndDataMax(const Value& dataMin, const Value& dataMax) override;
    // Rebuilds the skip list from the periods when they changed.
    void updateAllSkips();
    void updateDateSkips();
    void updateRepeatedDateSkips();
    bool isSkippedData(const Value& value) const override;

    Value transformValueToInternal(const Value& value) const override;
    Value transformValueToExternal(const Value& value) const override;
    Ref<NSDate> dateFromApplyingComponentsToDateGoingBackwardsMajor(
        const Ref<NSDateComponents>& components, const Ref<NSDate>& date, bool backwards, bool major) const override;
    // First ticks are always found by calendar steps from the anchor.
    double jumpToFirstTickValueWithMinimumAlignedToAnchorPoint(double minimum, double anchor) const override;
    Ref<LChartAxis> stubCopyOfAxisForDataLoading() const override;
    void reconfigureFromStubbedAxisCopy(const LChartAxis& copy) override;

protected:
    Ref<LChartAxis> makeEmptyAxis() const override { return init(); }

private:
    std::vector<Ref<LChartRepeatedTimePeriod>> m_repeatedSkips;
    std::vector<Ref<LChartTimePeriod>> m_singleSkips;
    bool m_needSkipUpdate { false };
    Ref<NSDate> m_dataMin;
    Ref<NSDate> m_dataMax;
};
