#include "grid/LGridGradient.h"

#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "grid/LatticeGridLog.h"

namespace {

// A list printed the way the platform prints arrays: one element per indented line.
std::string describeList(const std::vector<std::string>& items)
{
    std::string text = "(";
    for (size_t i = 0; i < items.size(); ++i)
        text += "\n    " + items[i] + (i + 1 < items.size() ? "," : "");
    return text + "\n)";
}

std::string describeColor(const CGColorRef& color)
{
    if (!color)
        return "(null)";
    std::string text = "<CGColor> (";
    for (CGFloat component : color->components())
        text += NSString::stringWithFormat(" %g", component);
    return text + " )";
}

} // namespace

Ref<LGridGradient> LGridGradient::initWithColorsLocations(
    const std::vector<Ref<UIColor>>& colors, std::optional<std::vector<CGFloat>> locations)
{
    if (locations && locations->size() != colors.size()) {
        LatticeGridLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("%@: mismatching color/location count", "LGridGradient"), classObject());
    }
    auto gradient = make<LGridGradient>();
    for (const auto& color : colors)
        gradient->m_colors.push_back(color ? color->CGColor() : nullptr);
    if (locations) {
        CGFloat previous = 0;
        for (CGFloat location : *locations) {
            if (location < previous) {
                LatticeGridLog::fatalLogMessageFromSource(
                    NSString::stringWithFormat(
                        "Gradient locations must be ordered ascending (%f -> %f is invalid)", previous, location),
                    static_cast<const NSObject*>(nullptr));
            }
            previous = location;
        }
    }
    gradient->m_locations = std::move(locations);
    return gradient;
}

std::string LGridGradient::description() const
{
    std::vector<std::string> colors;
    for (const auto& color : m_colors)
        colors.push_back(describeColor(color));
    std::string locations = "(null)";
    if (m_locations) {
        std::vector<std::string> items;
        for (CGFloat location : *m_locations)
            items.push_back(NSString::stringWithFormat("%g", location));
        locations = describeList(items);
    }
    return NSString::stringWithFormat("{ .colors = %@, .locations = %@ }", describeList(colors), locations);
}
