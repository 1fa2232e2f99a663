#pragma once

#include "foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>

// What a data source hands the chart for one data point. The keyed-value and selection
// operations are optional: the loader asks the matching `responds...` probe before calling
// them, as it would ask an object whether it answers a message.
class LChartData {
public:
    virtual ~LChartData() = default;

    virtual Value sChartXValue() = 0;
    virtual Value sChartYValue() = 0;

    virtual bool respondsToSChartValueForKey() const { return false; }
    virtual Value sChartValueForKey(const std::string&) { return {}; }
    virtual bool respondsToSChartXValueForKey() const { return false; }
    virtual Value sChartXValueForKey(const std::string&) { return {}; }
    virtual bool respondsToSChartYValueForKey() const { return false; }
    virtual Value sChartYValueForKey(const std::string&) { return {}; }
    // Whether the point is drawn selected; nullopt when the point does not say.
    virtual std::optional<bool> sChartPointIsSelected() const { return std::nullopt; }
};
