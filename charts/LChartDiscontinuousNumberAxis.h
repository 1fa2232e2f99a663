#pragma once

#include "charts/LChartNumberAxis.h"

#include <vector>

// A skipped stretch of a discontinuous number axis.
struct LChartNumberSkip {
    double start { 0 };
    double end { 0 };
    bool operator==(const LChartNumberSkip&) const = default;
};

// A number axis that leaves out the stretches the user adds: internal values are compressed
// by the left-out range below them.
class LChartDiscontinuousNumberAxis final : public LChartNumberAxis {
    VX_OBJECT(LChartDiscontinuousNumberAxis, LChartNumberAxis)
public:
    explicit LChartDiscontinuousNumberAxis(Passkey key)
        : LChartNumberAxis(key)
    {
    }
    static Ref<LChartDiscontinuousNumberAxis> init();

    // An empty or negative span is fatal.
    void addSkip(const LChartNumberSkip& skip);
    // Rebuilds the skip list from the skips that remain.
    void removeSkip(const LChartNumberSkip& skip);
    const std::vector<LChartNumberSkip>& skips() const { return m_savedSkips; }

    Value transformValueToInternal(const Value& value) const override;
    Value transformValueToExternal(const Value& value) const override;
    Ref<LChartAxis> stubCopyOfAxisForDataLoading() const override;
    void reconfigureFromStubbedAxisCopy(const LChartAxis& copy) override;

protected:
    Ref<LChartAxis> makeEmptyAxis() const override { return init(); }

private:
    std::vector<LChartNumberSkip> m_savedSkips;
};
