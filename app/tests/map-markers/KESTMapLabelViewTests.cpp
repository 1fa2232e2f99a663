#include "app/tests/AppTestSupport.h"
#include "app/tests/map-markers/MarkerTestSupport.h"
#include "app/view-controllers/map-markers/KESTMapLabelView.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "testing/Drain.h"
#include "testing/GoldenImage.h"
#include "testing/VirtualClock.h"
#include "uikit/UILabel.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class RecordingDelegate : public KESTMapLabelDelegate {
public:
    void mapLabelViewDidUpdate(const Ref<KESTMapLabelView>& banner) override { updates.push_back(banner); }
    std::vector<Ref<KESTMapLabelView>> updates;
};

CGFloat measuredWidth(const std::string& text)
{
    Value attributes = Value::dictionary({ { NSFontAttributeName, Value(UIFont::systemFontOfSize(10)) } });
    return std::ceil(NSString_Drawing::sizeWithAttributes(text, attributes).width + 20);
}

Ref<UIImage> render(const Ref<UIView>& view)
{
    CGRect bounds = view->bounds();
    UIGraphicsBeginImageContextWithOptions(bounds.size, false, 2);
    view->drawViewHierarchyInRectAfterScreenUpdates(bounds, true);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

class KESTMapLabelViewTest : public ::testing::Test {
protected:
    void TearDown() override { drainAll(); }
    ScopedVirtualClock clock;
};

} // namespace

TEST_F(KESTMapLabelViewTest, SizesAndCentresItselfToItsLines)
{
    struct Case {
        const char* name;
        std::optional<std::string> count;
        std::optional<std::string> message;
        const char* text;
        CGFloat height;
    };
    const Case cases[] = {
        { "count", "12 of 40 visible", std::nullopt, "12 of 40 visible", 16 },
        { "message", std::nullopt, "Charts shown", "Charts shown", 16 },
        { "both", "12 of 40 visible", "Charts shown", "12 of 40 visible\nCharts shown", 32 },
        { "neither", std::nullopt, std::nullopt, "", 16 },
    };
    auto map = UIView::initWithFrame(CGRectMake(0, 0, 301, 400));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto banner = KESTMapLabelView::initWithFrame(CGRectZero);
        map->addSubview(banner);
        banner->setFrame(CGRectMake(0, 350, 0, 0));
        banner->setCount(c.count);
        banner->setMessage(c.message);
        CGFloat width = measuredWidth(c.text);
        if (!c.count && !c.message) {
            EXPECT_EQ(width, 20);
        }
        EXPECT_EQ(banner->messageLabel()->text(), c.text);
        EXPECT_EQ(NSStringFromCGRect(banner->frame()),
            NSStringFromCGRect(CGRectMake(std::ceil(301 * 0.5f - width * 0.5f), 350, width, c.height)));
        EXPECT_EQ(NSStringFromCGRect(banner->messageLabel()->frame()),
            NSStringFromCGRect(CGRectMake(0, 0, width, c.height - 2)));
    }

    // Growing and shrinking text keeps the banner centred; without a superview it sits at x 0.
    auto banner = KESTMapLabelView::initWithFrame(CGRectZero);
    banner->setCount(std::string("1 of 2 visible"));
    EXPECT_EQ(banner->frame().origin.x, 0);
    map->addSubview(banner);
    for (const char* text : { "1 of 2 visible", "12345 of 67890 visible", "0 of 0 visible" }) {
        banner->setCount(std::string(text));
        CGRect frame = banner->frame();
        EXPECT_NEAR(frame.origin.x + frame.size.width * 0.5f, 150.5f, 1) << text;
    }
}

TEST_F(KESTMapLabelViewTest, TellsItsDelegateAfterEveryChange)
{
    auto banner = KESTMapLabelView::initWithFrame(CGRectZero);
    auto delegate = std::make_shared<RecordingDelegate>();
    banner->setDelegate(delegate);
    banner->setCount(std::string("3 of 4 visible"));
    banner->setCount(std::string("3 of 4 visible"));
    banner->setMessage(std::nullopt);
    ASSERT_EQ(delegate->updates.size(), 3u);
    EXPECT_EQ(delegate->updates[0], banner);

    // A delegate that went away is not called.
    delegate.reset();
    banner->setCount(std::string("5 of 6 visible"));
    EXPECT_EQ(banner->messageLabel()->text(), "5 of 6 visible");
}

TEST_F(KESTMapLabelViewTest, DrawsItsBackgroundOnlyBehindText)
{
    auto banner = KESTMapLabelView::initWithFrame(CGRectZero);
    banner->setCount(std::nullopt);
    Pixels empty = pixelsOf(render(banner)->CGImage());
    for (uint32_t p : empty.argb)
        ASSERT_EQ(Pixels::alpha(p), 0);

    auto map = UIView::initWithFrame(CGRectMake(0, 0, 160, 40));
    map->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.55f, 0.7f, 0.85f, 1));
    map->addSubview(banner);
    banner->setFrame(CGRectMake(0, 4, 0, 0));
    banner->setCount(std::string("12 of 40 visible"));
    banner->setMessage(std::string("Charts shown"));
    EXPECT_TRUE(GoldenImage::matches(render(map)->CGImage(), std::string(VX_TEST_DIR "/golden/map-banner.png"), 8));
}

TEST_F(KESTMapLabelViewTest, AMarkerUnderTheBannerHardlyShowsThrough)
{
    // A bright red marker half under the banner: the banner's background over the marker must look
    // almost the same as over the bare map, so the count stays readable over a crowded area.
    auto map = UIView::initWithFrame(CGRectMake(0, 0, 160, 40));
    map->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.55f, 0.7f, 0.85f, 1));
    auto marker = UIView::initWithFrame(CGRectMake(0, 0, 80, 40));
    marker->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(1, 0, 0, 1));
    map->addSubview(marker);
    auto banner = KESTMapLabelView::initWithFrame(CGRectZero);
    map->addSubview(banner);
    banner->setFrame(CGRectMake(0, 4, 0, 0));
    banner->setCount(std::string("12 of 40 visible"));

    CGRect frame = banner->frame();
    ASSERT_LT(frame.origin.x + 8, 80);
    ASSERT_GT(CGRectGetMaxX(frame) - 8, 80);
    Pixels pixels = pixelsOf(render(map)->CGImage());
    // Sample the padding left and right of the text, inside the rounded corners, at scale 2.
    size_t y = size_t((frame.origin.y + frame.size.height * 0.5f) * 2);
    uint32_t overMarker = pixels.at(size_t((frame.origin.x + 5) * 2), y);
    uint32_t overMap = pixels.at(size_t((CGRectGetMaxX(frame) - 5) * 2), y);
    for (auto channel : { &Pixels::red, &Pixels::green, &Pixels::blue }) {
        int a = channel(overMarker);
        int b = channel(overMap);
        EXPECT_LT(a, 60);
        EXPECT_LT(std::abs(a - b), 40) << std::hex << overMarker << " vs " << overMap;
    }
}
