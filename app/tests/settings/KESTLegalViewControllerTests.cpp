#include "app/view-controllers/settings/KESTLegalViewController.h"

#include "app/core/KESTMapBounds.h"
#include "app/tests/settings/SettingsTestSupport.h"
#include "app/view-controllers/settings/KESTSettingsDebugViewController.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSUserDefaults.h"
#include "uikit/UILabel.h"
#include "uikit/UIStepper.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UIWebView.h"

#include <gtest/gtest.h>

namespace {

TEST(KESTLegalViewController, WritesSizesReadably)
{
    struct Case {
        int32_t bytes;
        const char* text;
    } cases[] = { { 0, "0 bytes" }, { 1022, "1022 bytes" }, { 1023, "1.0 KB" }, { 1047552, "1.0 MB" },
        { 1073741823, "1.0 GB" } };
    for (const auto& c : cases)
        EXPECT_EQ(KESTLegalViewController::readableValueWithBytes(c.bytes), c.text) << c.bytes;
}

using LegalTest = SettingsScreenTest;

TEST_F(LegalTest, ShowsTheNoticesAndResetsTheCacheOnTenTaps)
{
    auto legal = KESTLegalViewController::init();
    show(legal);
    EXPECT_EQ(legal->title(), "Legal");
    EXPECT_NE(legal->webView->loads().at(0).content.find("<h2>Google Maps for iOS</h2><p>N/A</p>"), std::string::npos);
    auto tap = std::dynamic_pointer_cast<UITapGestureRecognizer>(legal->view()->gestureRecognizers().at(0));
    ASSERT_TRUE(tap);
    EXPECT_EQ(tap->numberOfTapsRequired(), 10u);
    NSUserDefaults::standardUserDefaults()->setBool(true, "kHasShownIntroView");
    legal->respondToTapGesture();
    EXPECT_EQ(alertText().rfind("Cache: Cache is using ", 0), 0u);
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults()->boolForKey("kHasShownIntroView"));
}

} // namespace
