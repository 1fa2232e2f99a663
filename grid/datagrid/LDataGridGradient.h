#pragma once

#include "graphics/CGColor.h"
#include "grid/datagrid/LDataGridWrapper.h"

#include <optional>
#include <vector>

class LGridGradient;
class UIColor;

// The data grid's gradient: a wrapper of the engine's LGridGradient, which checks that the
// locations match the colours in number and ascend. Main thread only.
class LDataGridGradient : public LDataGridWrapper {
    VX_OBJECT(LDataGridGradient, LDataGridWrapper)
public:
    explicit LDataGridGradient(Passkey key)
        : LDataGridWrapper(key)
    {
    }
    static Ref<LDataGridGradient> initWithColorsLocations(
        const std::vector<Ref<UIColor>>& colors, std::optional<std::vector<CGFloat>> locations);
    static Ref<LDataGridGradient> gradientWithColorsLocations(
        const std::vector<Ref<UIColor>>& colors, std::optional<std::vector<CGFloat>> locations)
    {
        return initWithColorsLocations(colors, std::move(locations));
    }
    static Ref<LDataGridGradient> initWithObjectToWrap(const Ref<NSObject>& object);

    Class wrappedObjectType() const override;
    Ref<LGridGradient> gridGradient() const;
    const std::vector<CGColorRef>& colors() const;
    const std::optional<std::vector<CGFloat>>& locations() const;

protected:
    bool wrappedTypeRespondsToSelector(std::string_view selector) const override;
};
