#include "UIKitTestFixture.h"

#include "GoldenImage.h"
#include "UIColor.h"
#include "UIGraphics.h"
#include "UIImage.h"
#include "UILabel.h"
#include "UIScreen.h"
#include "UIViewController.h"

#include "CGContext.h"

#include <cmath>

namespace {

// Draws a filled circle and counts its drawRect calls.
class DiscView : public UIView {
    VX_OBJECT(DiscView, UIView)
public:
    explicit DiscView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<DiscView> initWithFrame(CGRect frame) { return makeView<DiscView>(frame); }
    void drawRect(CGRect) override
    {
        ++draws;
        auto c = UIGraphicsGetCurrentContext();
        CGContextSetRGBFillColor(c, 0, 0.6f, 0, 1);
        CGContextFillEllipseInRect(c, CGRectInset(bounds(), 2, 2));
    }
    int draws { 0 };
};

class RenderTest : public UIKitTest {
protected:
    void SetUp() override
    {
        UIKitTest::SetUp();
        m_savedScale = UIGraphicsScreenScale();
        UIGraphicsSetScreenScale(1);
        UIScreen::mainScreen()->setSizeForTesting(CGSizeMake(160, 120));
    }
    void TearDown() override
    {
        UIGraphicsSetScreenScale(m_savedScale);
        UIKitTest::TearDown();
    }
    CGFloat m_savedScale { 1 };
};

} // namespace

TEST_F(RenderTest, KeyWindowMatchesTheGoldenImage)
{
    auto window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    window->setBackgroundColor(UIColor::whiteColor());
    auto root = UIViewController::init();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    root->view()->setBackgroundColor(UIColor::colorWithWhiteAlpha(0.9f, 1));

    // A clipping container whose child sticks out, a half-transparent overlay, a rotated square
    // and a view that draws itself.
    auto clip = UIView::initWithFrame(CGRectMake(10, 10, 60, 40));
    clip->setBackgroundColor(UIColor::redColor());
    clip->setClipsToBounds(true);
    auto inner = UIView::initWithFrame(CGRectMake(40, 20, 60, 60));
    inner->setBackgroundColor(UIColor::blueColor());
    clip->addSubview(inner);
    auto overlay = UIView::initWithFrame(CGRectMake(0, 30, 160, 20));
    overlay->setBackgroundColor(UIColor::blackColor());
    overlay->setAlpha(0.5f);
    auto rotated = UIView::initWithFrame(CGRectMake(100, 70, 30, 30));
    rotated->setBackgroundColor(UIColor::orangeColor());
    rotated->setTransform(CGAffineTransformMakeRotation(static_cast<CGFloat>(M_PI / 4)));
    auto disc = DiscView::initWithFrame(CGRectMake(20, 70, 40, 40));
    auto hidden = UIView::initWithFrame(CGRectMake(0, 0, 160, 120));
    hidden->setBackgroundColor(UIColor::magentaColor());
    hidden->setHidden(true);
    // A 4-point checker tile as a pattern background.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(8, 8), true, 1);
    UIColor::yellowColor()->setFill();
    UIRectFill(CGRectMake(0, 0, 8, 8));
    UIColor::purpleColor()->setFill();
    UIRectFill(CGRectMake(0, 0, 4, 4));
    UIRectFill(CGRectMake(4, 4, 4, 4));
    auto tile = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto patterned = UIView::initWithFrame(CGRectMake(100, 8, 48, 16));
    patterned->setBackgroundColor(UIColor::colorWithPatternImage(tile));
    for (auto& v : std::vector<Ref<UIView>> { clip, overlay, rotated, disc, hidden, patterned })
        root->view()->addSubview(v);

    runOnePass();
    EXPECT_EQ(1, disc->draws) << "a view that draws is displayed once when shown";
    runOnePass();
    EXPECT_EQ(1, disc->draws);
    disc->setNeedsDisplay();
    disc->setNeedsDisplay();
    runOnePass();
    EXPECT_EQ(2, disc->draws) << "once per pass however often asked";

    auto image = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(image);
    ASSERT_TRUE(image);
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR) + "/golden/window.png", 8));
    EXPECT_EQ(2, disc->draws) << "rendering does not redraw";

    // Snapshots show the view alone, in its own bounds.
    auto snapshot = disc->snapshotViewAfterScreenUpdates(false);
    EXPECT_TRUE(CGRectEqualToRect(CGRectMake(0, 0, 40, 40), snapshot->frame()));
    EXPECT_TRUE(snapshot->layer()->contents());
}
