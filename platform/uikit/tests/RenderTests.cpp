#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSLocale.h"
#include "foundation/NSTimeZone.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/GoldenImage.h"
#include "testing/ImagePixels.h"
#include "testing/LogCapture.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIPageControl.h"
#include "uikit/UIProgressView.h"
#include "uikit/UIScreen.h"
#include "uikit/UISearchBar.h"
#include "uikit/UISegmentedControl.h"
#include "uikit/UIStepper.h"
#include "uikit/UISwitch.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

#include "graphics/CGContext.h"
#include "vxbuild/TestPaths.h"

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

// A container with no drawing of its own.
class TallContainer : public UIView {
    VX_OBJECT(TallContainer, UIView)
public:
    explicit TallContainer(Passkey key)
        : UIView(key)
    {
    }
    static Ref<TallContainer> initWithFrame(CGRect frame) { return makeView<TallContainer>(frame); }
};

class RenderTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        m_savedScale = UIGraphicsScreenScale();
        UIGraphicsSetScreenScale(1);
        UIScreen::mainScreen()->setSizeForTesting(CGSizeMake(160, 120));
    }
    void TearDown() override
    {
        UIGraphicsSetScreenScale(m_savedScale);
        HostedWindowTest::TearDown();
    }
    CGFloat m_savedScale { 1 };
};

} // namespace

TEST_F(RenderTest, ControlsAndTheStatusBarDrawThemselves)
{
    NSTimeZone::setDefaultTimeZoneForTesting("UTC");
    NSLocale::setCurrentLocaleForTesting("en_US");
    UIScreen::mainScreen()->setSizeForTesting(CGSizeMake(320, 240));
    auto delegate = PlainAppDelegate::init();
    UIApplicationHost::launchWithDelegate(delegate);
    auto window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    auto root = UIViewController::init();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto view = root->view();
    view->setBackgroundColor(UIColor::colorWithWhiteAlpha(0.85f, 1));

    auto on = UISwitch::initWithFrame(CGRectMake(10, 30, 0, 0));
    on->setOn(true);
    auto off = UISwitch::initWithFrame(CGRectMake(70, 30, 0, 0));
    auto stepper = UIStepper::initWithFrame(CGRectMake(130, 30, 94, 29));
    auto segments = UISegmentedControl::initWithItems({ "Map", "Hybrid", "Sat" });
    segments->setFrame(CGRectMake(10, 70, 200, 29));
    segments->setSelectedSegmentIndex(1);
    segments->setEnabledForSegmentAtIndex(false, 2);
    auto pages = UIPageControl::initWithFrame(CGRectMake(220, 62, 90, 37));
    pages->setNumberOfPages(4);
    pages->setCurrentPage(1);
    auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyleGray);
    spinner->setFrame(CGRectMake(240, 30, 20, 20));
    spinner->startAnimating();
    auto progress = UIProgressView::initWithProgressViewStyle(UIProgressViewStyleDefault);
    progress->setFrame(CGRectMake(10, 110, 300, 2));
    progress->setProgressAnimated(0.4f, false);
    auto search = UISearchBar::initWithFrame(CGRectMake(0, 120, 320, 44));
    search->setText("KES12");
    auto field = UITextField::initWithFrame(CGRectMake(10, 175, 140, 30));
    field->setBorderStyle(UITextBorderStyleRoundedRect);
    field->setPlaceholder("Flight");
    for (auto& v : std::vector<Ref<UIView>> { on, off, stepper, segments, pages, spinner, progress, search, field })
        view->addSubview(v);

    auto image = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(image);
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/controls.png"), 8));

    // The light-content style and hiding the status bar change the picture; the rendering itself
    // is the same every time.
    auto png = [](const Ref<UIImage>& i) { return *CGImageEncodePNG(i->CGImage()); };
    auto shown = png(image);
    EXPECT_EQ(png(UIApplicationHost::renderKeyWindow()), shown);
    UIApplication::sharedApplication()->setStatusBarStyle(UIStatusBarStyleLightContent);
    auto light = png(UIApplicationHost::renderKeyWindow());
    UIApplication::sharedApplication()->setStatusBarHidden(true);
    auto hidden = png(UIApplicationHost::renderKeyWindow());
    EXPECT_NE(light, shown);
    EXPECT_NE(hidden, shown);
    EXPECT_NE(hidden, light);
    NSTimeZone::resetForTesting();
    NSLocale::resetForTesting();
}

// The status bar's frame is where the host draws it, in every orientation, and empty when no
// status bar is drawn.
TEST_F(RenderTest, TheStatusBarIsDrawnWithinItsFrame)
{
    UIScreen::mainScreen()->setSizeForTesting(CGSizeMake(320, 240));
    EXPECT_TRUE(CGRectIsEmpty(UIApplication::sharedApplication()->statusBarFrame())) << "a bare window has none";
    auto delegate = PlainAppDelegate::init();
    UIApplicationHost::launchWithDelegate(delegate);
    auto app = UIApplication::sharedApplication();
    auto window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    window->setRootViewController(UIViewController::init());
    window->makeKeyAndVisible();
    window->rootViewController()->view()->setBackgroundColor(UIColor::whiteColor());

    struct Case {
        UIInterfaceOrientation orientation;
        CGRect frame;
    };
    const Case cases[] = {
        { UIInterfaceOrientationPortrait, CGRectMake(0, 0, 320, 20) },
        { UIInterfaceOrientationPortraitUpsideDown, CGRectMake(0, 220, 320, 20) },
        { UIInterfaceOrientationLandscapeLeft, CGRectMake(0, 0, 20, 240) },
        { UIInterfaceOrientationLandscapeRight, CGRectMake(300, 0, 20, 240) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        app->setStatusBarOrientation(c.orientation);
        EXPECT_TRUE(CGRectEqualToRect(app->statusBarFrame(), c.frame)) << NSStringFromCGRect(app->statusBarFrame());
        // The screen scale is 1 here: a point per pixel.
        ImagePixels pixels(UIApplicationHost::renderKeyWindow());
        size_t inside = 0, outside = 0;
        for (int y = 0; y < 240; ++y) {
            for (int x = 0; x < 320; ++x) {
                CGPoint point = CGPointMake(x + 0.5f, y + 0.5f);
                if (pixels.at(point).brightness() > 128)
                    continue;
                (CGRectContainsPoint(c.frame, point) ? inside : outside)++;
            }
        }
        EXPECT_GT(inside, 50u);
        EXPECT_EQ(outside, 0u);
    }
    app->setStatusBarOrientation(UIInterfaceOrientationPortrait);
    app->setStatusBarHidden(true);
    EXPECT_TRUE(CGRectIsEmpty(app->statusBarFrame()));
    app->setStatusBarHidden(false);
}

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
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/window.png"), 8));
    EXPECT_EQ(2, disc->draws) << "rendering does not redraw";

    // Snapshots show the view alone, in its own bounds.
    auto snapshot = disc->snapshotViewAfterScreenUpdates(false);
    EXPECT_TRUE(CGRectEqualToRect(CGRectMake(0, 0, 40, 40), snapshot->frame()));
    EXPECT_TRUE(snapshot->layer()->contents());
}

TEST_F(RenderTest, ContainersTooTallForABitmapAreNotDrawnOrRetriedEachPass)
{
    auto window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    auto root = UIViewController::init();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    auto tall = TallContainer::initWithFrame(CGRectMake(0, 0, 100, 100000));
    auto disc = DiscView::initWithFrame(CGRectMake(10, 10, 40, 40));
    tall->addSubview(disc);
    root->view()->addSubview(tall);
    LogCapture log;
    for (int pass = 0; pass < 3; ++pass) {
        tall->setNeedsDisplay();
        runOnePass();
    }
    for (const auto& message : log.messages())
        EXPECT_EQ(message.find("failed to allocate"), std::string::npos) << message;
    EXPECT_FALSE(tall->layer()->contents());
    EXPECT_TRUE(disc->layer()->contents()) << "what it holds is still drawn";
}

// A resizable image keeps its caps at their size and stretches only the middle, also when the
// view changes size: a pill-shaped background keeps crisp ends at any width.
TEST_F(RenderTest, ImageViewsStretchResizableImagesBetweenTheirCaps)
{
    auto window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    window->setBackgroundColor(UIColor::whiteColor());
    window->makeKeyAndVisible();
    // Four red columns, two green, four blue.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 4), true, 1);
    UIColor::redColor()->setFill();
    UIRectFill(CGRectMake(0, 0, 4, 4));
    UIColor::greenColor()->setFill();
    UIRectFill(CGRectMake(4, 0, 2, 4));
    UIColor::blueColor()->setFill();
    UIRectFill(CGRectMake(6, 0, 4, 4));
    auto image = UIGraphicsGetImageFromCurrentImageContext()->resizableImageWithCapInsets(UIEdgeInsetsMake(0, 4, 0, 4));
    UIGraphicsEndImageContext();
    auto view = UIImageView::initWithImage(image);
    window->addSubview(view);

    auto colourAt = [](const Ref<UIImage>& rendered, int x, int y) {
        auto data = CGDataProviderCopyData(CGImageGetDataProvider(rendered->CGImage()));
        size_t bytes = CGImageGetBitsPerPixel(rendered->CGImage()) / 8;
        size_t at = size_t(y) * CGImageGetBytesPerRow(rendered->CGImage()) + size_t(x) * bytes;
        return std::vector<uint8_t>(data.begin() + long(at), data.begin() + long(at + bytes));
    };
    struct Case {
        CGRect frame;
    } cases[] = { { CGRectMake(10, 10, 50, 4) }, { CGRectMake(10, 20, 30, 4) } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame.size.width);
        view->setFrame(c.frame);
        auto rendered = UIApplicationHost::renderKeyWindow();
        ASSERT_TRUE(rendered);
        int left = int(c.frame.origin.x), right = int(CGRectGetMaxX(c.frame)), y = int(c.frame.origin.y) + 1;
        auto red = colourAt(rendered, left, y);
        auto blue = colourAt(rendered, right - 1, y);
        auto green = colourAt(rendered, (left + right) / 2, y);
        EXPECT_NE(red, green);
        EXPECT_NE(blue, green);
        EXPECT_EQ(colourAt(rendered, left + 3, y), red) << "the left cap at its own width";
        EXPECT_EQ(colourAt(rendered, left + 4, y), green) << "the middle starts right after it";
        EXPECT_EQ(colourAt(rendered, right - 5, y), green);
        EXPECT_EQ(colourAt(rendered, right - 4, y), blue) << "the right cap at its own width";
    }
}
