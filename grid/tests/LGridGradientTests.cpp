#include "grid/LGridGradient.h"

#include "foundation/NSException.h"
#include "graphics/UIColor.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LGridGradient, KeepsColoursAsCGColorsAndOrderedLocations)
{
    auto red = UIColor::redColor();
    auto blue = UIColor::blueColor();
    const std::optional<std::vector<CGFloat>> accepted[] = {
        std::vector<CGFloat> { 0, 0.5f, 0.5f, 1 },
        std::nullopt,
    };
    for (const auto& locations : accepted) {
        SCOPED_TRACE(locations ? "with locations" : "without locations");
        auto gradient = LGridGradient::initWithColorsLocations({ red, blue, red, blue }, locations);
        ASSERT_TRUE(gradient);
        ASSERT_EQ(gradient->colors().size(), 4u);
        EXPECT_EQ(gradient->colors()[0], red->CGColor());
        EXPECT_EQ(gradient->colors()[1], blue->CGColor());
        EXPECT_EQ(gradient->locations(), locations);
    }
    auto described = LGridGradient::gradientWithColorsLocations({ red }, std::vector<CGFloat> { 0 })->description();
    EXPECT_EQ(described, "{ .colors = (\n    <CGColor> ( 1 0 0 1 )\n), .locations = (\n    0\n) }");
}

TEST(LGridGradient, RefusesMismatchedOrDescendingLocations)
{
    struct Case {
        const char* name;
        size_t colours;
        std::vector<CGFloat> locations;
        std::string reason;
    };
    const Case cases[] = {
        { "count", 3, { 0, 1 }, "LGridGradient: mismatching color/location count\nFrom: LGridGradient" },
        { "descending", 3, { 0, 0.6f, 0.4f },
            "Gradient locations must be ordered ascending (0.600000 -> 0.400000 is invalid)\nFrom: (null)" },
        { "negative first", 1, { -0.1f },
            "Gradient locations must be ordered ascending (0.000000 -> -0.100000 is invalid)\nFrom: (null)" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        std::vector<Ref<UIColor>> colours(c.colours, UIColor::greenColor());
        try {
            LGridGradient::initWithColorsLocations(colours, c.locations);
            ADD_FAILURE() << "no exception";
        } catch (const NSException& e) {
            EXPECT_EQ(e.name(), "LatticeGridsException");
            EXPECT_EQ(e.reason(), c.reason);
        }
        EXPECT_EQ(log.messages(), std::vector<std::string> { c.reason });
    }
}
