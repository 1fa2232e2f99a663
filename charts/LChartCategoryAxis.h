#pragma once

#include "charts/LChartAxis.h"
#include "charts/LChartErrorHandler.h"

#include <memory>
#include <string>
#include <vector>

// Places data at evenly spaced slots, one per distinct value (by its description), in order of
// first appearance; a category's internal value is its index. User tick frequencies, sorting
// and interpolation do not apply.
class LChartCategoryAxis final : public LChartAxis {
    VX_OBJECT(LChartCategoryAxis, LChartAxis)
public:
    explicit LChartCategoryAxis(Passkey key)
        : LChartAxis(key)
    {
    }
    static Ref<LChartCategoryAxis> init();
    static Ref<LChartCategoryAxis> initWithErrorHandler(std::shared_ptr<LChartErrorHandler> handler);
    // The range takes effect at the first range update (the categories exist only then).
    static Ref<LChartCategoryAxis> initWithRange(const Ref<LChartRange>& range);

    const std::vector<std::string>& categories() const { return m_categories; }
    void setCategories(std::vector<std::string> categories) { m_categories = std::move(categories); }
    const std::shared_ptr<LChartErrorHandler>& errorHandler() const { return m_errorHandler; }
    void setErrorHandler(std::shared_ptr<LChartErrorHandler> handler) { m_errorHandler = std::move(handler); }
    void addCategoryForValue(const Value& value);
    // The category at the index, or nil after reporting "Unable to get category name for index".
    Value categoryNameFromIndex(const Value& index);

    void updateRanges() override;
    Ref<LChartRange> getNewRangeWithMinimumWithMaximum(const Value& minimum, const Value& maximum) const override;
    Ref<LChartRange> transformRangeToExternal(const Ref<LChartRange>& range) const override;
    void willAddDataPointToSeriesWithValue(const Value& value) override { addCategoryForValue(value); }
    // The category's index; a number that names no category is taken as an index.
    Value transformValueToInternal(const Value& value) const override;
    // The category name at the index, or nil.
    Value transformValueToExternal(const Value& value) const override;
    Value doubleToData(double value) const override;
    std::string stringForValue(double value) override;
    std::string stringForId(const Value& value) override;
    bool setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        const Value& minimum, const Value& maximum, bool animate, bool bounceLimits) override;
    Value longestLabel() override;
    void updateInternalTickFrequencies(CGSize* labelSize) override;
    int32_t indexOfFirstLabel() const { return 0; }
    bool zoomingIn(const Value& previousFrequency) const override;
    Value firstMajorTick() override;
    Value firstMinorTick() override { return {}; }
    // Tick values from the data source are not used; the first non-nil list given warns once
    // per process.
    Value manualGenerateTickMarks(const Value& dataSourceValues);
    std::optional<std::vector<double>> manualGenerateTickMarks() override;
    static void resetCustomTickWarningForTesting();
    bool isOverAlternate(double index) const override;
    void setMajorTickFrequency(const Value&) override { LChartAxis::setMajorTickFrequency(Value()); }
    void setMinorTickFrequency(const Value&) override { LChartAxis::setMinorTickFrequency(Value()); }
    double incrementTickMarkValueIsMajor(double value, bool) const override { return value + 1; }
    double decrementTickMarkValueIsMajor(double value, bool) const override { return value - 1; }
    void sortDataIfRequired(std::vector<Ref<LChartInternalDataPoint>>&) const override { }
    // YES, with a warning each time: stacked categories may not line up with their ticks.
    bool allowsStacking() override;
    bool allowsInterpolation() const override { return false; }
    void reconfigureFromStubbedAxisCopy(const LChartAxis& copy) override;

protected:
    Ref<LChartAxis> makeEmptyAxis() const override { return init(); }

private:
    Value indexOfCategory(const Value& value) const;

    Ref<LChartRange> m_savedDefaultRange;
    std::vector<std::string> m_categories;
    std::shared_ptr<LChartErrorHandler> m_errorHandler;
};
