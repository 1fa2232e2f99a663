#include "charts/LChartFonts.h"

#include "graphics/UIFont.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

namespace {

bool fontListed(const std::string& name)
{
    for (const auto& family : UIFont::familyNames()) {
        for (const auto& font : UIFont::fontNamesForFamilyName(family)) {
            if (font.find(name) != std::string::npos)
                return true;
        }
    }
    return false;
}

} // namespace

TEST(LChartFonts, InstallsTheEmbeddedNunitoFaces)
{
    EXPECT_GT(LChartFonts::NunitoBold().bytes().size(), 10000u);
    EXPECT_NE(LChartFonts::NunitoLight().bytes(), LChartFonts::NunitoRegular().bytes());
    LogCapture log;
    EXPECT_TRUE(LChartFonts::installNunitoFonts());
    for (const char* name : { "Nunito-Bold", "Nunito-Light", "Nunito-Regular" }) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fontListed(name));
        EXPECT_NE(UIFont::fontWithNameSize(name, 12), nullptr);
    }
    // A second call finds them installed; a name contained in an installed one counts too.
    EXPECT_TRUE(LChartFonts::installNunitoFonts());
    EXPECT_TRUE(LChartFonts::installFontFromNSDataWithName(Value::data({ 1, 2, 3 }), "Nunito-Bol"));
    EXPECT_TRUE(log.messages().empty());
}

TEST(LChartFonts, RefusedFontDataIsLogged)
{
    LogCapture log;
    EXPECT_FALSE(LChartFonts::installFontFromNSDataWithName(Value::data({ 1, 2, 3 }), "NoSuchChartFace"));
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("Failed to load font: ", 0), 0u);
}
