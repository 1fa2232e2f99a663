#pragma once

#include "foundation/FoundationForward.h"

#include <cstdint>
#include <optional>
#include <string>

class UIColor;
class UIView;

// An object that may supply a series' legend entry in its place. Every operation is optional:
// the default answers nullopt, meaning "does not answer", and the series then uses its own.
// Main thread only.
class LChartLegendItem {
public:
    virtual ~LChartLegendItem() = default;

    virtual std::optional<std::string> titleForSeriesInLegend() { return std::nullopt; }
    virtual std::optional<std::string> titleForSliceInLegend(int32_t) { return std::nullopt; }
    virtual std::optional<Ref<UIColor>> textColorForSeriesTitleInLegend() { return std::nullopt; }
    virtual std::optional<Ref<UIView>> symbolForSeriesInLegend() { return std::nullopt; }
    virtual std::optional<Ref<UIView>> symbolForSliceInLegend(int32_t) { return std::nullopt; }
    virtual std::optional<Ref<UIView>> blockSymbolForSeriesInLegend() { return std::nullopt; }
};
