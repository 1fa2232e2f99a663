#include "grid/datagrid/LDataGridGradient.h"

#include "graphics/UIColor.h"
#include "grid/LGridGradient.h"

Ref<LDataGridGradient> LDataGridGradient::initWithColorsLocations(
    const std::vector<Ref<UIColor>>& colors, std::optional<std::vector<CGFloat>> locations)
{
    return initWithObjectToWrap(LGridGradient::gradientWithColorsLocations(colors, std::move(locations)));
}

Ref<LDataGridGradient> LDataGridGradient::initWithObjectToWrap(const Ref<NSObject>& object)
{
    auto gradient = make<LDataGridGradient>();
    gradient->commonInitWithObjectToWrap(object);
    return gradient;
}

Class LDataGridGradient::wrappedObjectType() const
{
    return LGridGradient::classObject();
}

Ref<LGridGradient> LDataGridGradient::gridGradient() const
{
    return std::static_pointer_cast<LGridGradient>(wrappedObject());
}

const std::vector<CGColorRef>& LDataGridGradient::colors() const
{
    return gridGradient()->colors();
}

const std::optional<std::vector<CGFloat>>& LDataGridGradient::locations() const
{
    return gridGradient()->locations();
}

bool LDataGridGradient::wrappedTypeRespondsToSelector(std::string_view selector) const
{
    return selector == "colors" || selector == "locations";
}
