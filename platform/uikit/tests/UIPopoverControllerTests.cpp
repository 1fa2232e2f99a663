#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"
#include "testing/ImagePixels.h"

#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITextField.h"
#include "uikit/UITouch.h"
#include "uikit/UIViewController.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

EventRecorder s_log;

class ContentController : public UIViewController {
    VX_OBJECT(ContentController, UIViewController)
public:
    explicit ContentController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<ContentController> init() { return makeController<ContentController>({}, nullptr); }
    void viewWillAppear(bool) override
    {
        s_log.add("willAppear");
        if (colourOnAppearing)
            view()->setBackgroundColor(colourOnAppearing);
    }
    void viewDidAppear(bool) override { s_log.add("didAppear"); }
    void viewWillDisappear(bool) override { s_log.add("willDisappear"); }
    void viewDidDisappear(bool) override { s_log.add("didDisappear"); }
    // Set as the view's background when it is about to appear, as screens that style themselves
    // then do.
    Ref<UIColor> colourOnAppearing;
};

// Notes where its view is, and how much of it the navigation bar covers, when told it will
// appear.
class PlacementProbe : public UIViewController {
    VX_OBJECT(PlacementProbe, UIViewController)
public:
    explicit PlacementProbe(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<PlacementProbe> init() { return makeController<PlacementProbe>({}, nullptr); }
    void viewWillAppear(bool) override
    {
        auto navigation = navigationController();
        CGFloat barBottom = navigation ? CGRectGetMaxY(navigation->navigationBar()->frame()) : 0;
        s_log.add(std::string("willAppear ")
                      .append(view()->window() ? "in window" : "off window")
                      .append(" bar ")
                      .append(std::to_string(int(barBottom))));
    }
    void viewDidAppear(bool) override { s_log.add("didAppear"); }
};

class PopoverDelegate : public NSObject, public UIPopoverControllerDelegate {
    VX_OBJECT(PopoverDelegate, NSObject)
public:
    explicit PopoverDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<PopoverDelegate> init() { return make<PopoverDelegate>(); }
    bool popoverControllerShouldDismissPopover(const Ref<UIPopoverController>&) override
    {
        s_log.add("should dismiss");
        return allow;
    }
    void popoverControllerDidDismissPopover(const Ref<UIPopoverController>&) override { s_log.add("did dismiss"); }
    bool allow { false };
};

// Records touches that get through.
class TouchRecorder : public UIView {
    VX_OBJECT(TouchRecorder, UIView)
public:
    explicit TouchRecorder(Passkey key)
        : UIView(key)
    {
    }
    static Ref<TouchRecorder> initWithFrame(CGRect f) { return makeView<TouchRecorder>(f); }
    void touchesBegan(const UITouchSet&, const Ref<UIEvent>&) override { s_log.add("passthrough touched"); }
    void touchesEnded(const UITouchSet&, const Ref<UIEvent>&) override { }
};

// The brightness of a point of a window rendering.
int brightnessAt(const Ref<UIImage>& image, CGPoint point)
{
    return ImagePixels(image).at(point).brightness();
}

// A small image of one colour, for a pattern.
Ref<UIImage> solidImage(CGFloat red, CGFloat green, CGFloat blue)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), true, 1);
    CGContextSetRGBFillColor(UIGraphicsGetCurrentContext(), red, green, blue, 1);
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 4, 4));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

} // namespace

class UIPopoverControllerTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        s_log.take();
    }
};

TEST_F(UIPopoverControllerTest, PlacesMovesAndDismissesOnlyTellingUserChoices)
{
    auto window = makeKeyWindow();
    auto host = UIView::initWithFrame(window->bounds());
    window->addSubview(host);
    auto passthrough = TouchRecorder::initWithFrame(CGRectMake(700, 0, 68, 44));
    host->addSubview(passthrough);

    auto content = ContentController::init();
    content->setPreferredContentSize(CGSizeMake(320, 300));
    auto popover = UIPopoverController::initWithContentViewController(content);
    auto delegate = PopoverDelegate::init();
    popover->setDelegate(delegate.get(), delegate);
    popover->setPassthroughViews({ passthrough });

    struct Case {
        CGRect anchor;
        UIPopoverArrowDirection permitted;
        UIPopoverArrowDirection expected;
    };
    const Case cases[] = {
        { CGRectMake(300, 20, 44, 44), UIPopoverArrowDirectionAny, UIPopoverArrowDirectionUp },
        { CGRectMake(300, 950, 44, 44), UIPopoverArrowDirectionAny, UIPopoverArrowDirectionDown },
        { CGRectMake(20, 500, 44, 44), UIPopoverArrowDirectionLeft | UIPopoverArrowDirectionRight,
            UIPopoverArrowDirectionLeft },
        { CGRectMake(700, 500, 44, 44), UIPopoverArrowDirectionLeft | UIPopoverArrowDirectionRight,
            UIPopoverArrowDirectionRight },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(c.anchor, host, c.permitted, true);
        EXPECT_TRUE(popover->isPopoverVisible());
        EXPECT_EQ(c.expected, popover->popoverArrowDirection());
        CGRect frame = popover->popoverFrame();
        EXPECT_EQ(320, frame.size.width);
        EXPECT_FALSE(CGRectIntersectsRect(frame, c.anchor)) << NSStringFromCGRect(frame);
        EXPECT_TRUE(CGRectContainsRect(window->bounds(), frame));
    }
    m_clock.advance(UIViewControllerTransitionDuration);
    EXPECT_THAT(s_log.take(), ElementsAre("willAppear", "didAppear")) << "moving is not appearing again";

    // Touches on passthrough views go through; elsewhere they ask the delegate.
    UIApplicationHost::tap(CGPointMake(720, 20));
    UIApplicationHost::tap(CGPointMake(100, 100));
    drainAll();
    EXPECT_THAT(s_log.take(), ElementsAre("passthrough touched", "should dismiss"));
    EXPECT_TRUE(popover->isPopoverVisible());

    delegate->allow = true;
    UIApplicationHost::tap(CGPointMake(100, 100));
    EXPECT_THAT(s_log.take(), ElementsAre("should dismiss", "willDisappear"));
    m_clock.advance(UIViewControllerTransitionDuration);
    EXPECT_THAT(s_log.take(), ElementsAre("didDisappear", "did dismiss"));
    EXPECT_FALSE(popover->isPopoverVisible());
    EXPECT_EQ(nullptr, content->view()->superview());

    // Dismissing in code does not reach the delegate. Dismissed before it finished appearing,
    // the content never claims to have appeared.
    popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        CGRectMake(300, 20, 44, 44), host, UIPopoverArrowDirectionAny, false);
    popover->dismissPopoverAnimated(false);
    drainAll();
    EXPECT_THAT(s_log.take(), ElementsAre("willAppear", "willDisappear", "didDisappear"));
}

// A popover is not under the status bar: its content is in place in the window when it hears it
// will appear, so what it sets up then (a table inset below the navigation bar) fits the panel.
TEST_F(UIPopoverControllerTest, ContentIsInPlaceWhenToldItWillAppear)
{
    auto window = makeKeyWindow();
    auto host = UIView::initWithFrame(window->bounds());
    window->addSubview(host);
    auto first = PlacementProbe::init();
    auto popover
        = UIPopoverController::initWithContentViewController(UINavigationController::initWithRootViewController(first));
    popover->setPopoverContentSize(CGSizeMake(320, 500));
    popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        CGRectMake(0, 20, 44, 44), host, UIPopoverArrowDirectionAny, true);
    EXPECT_THAT(s_log.take(), ElementsAre("willAppear in window bar 44"));
    m_clock.advance(UIViewControllerTransitionDuration);
    EXPECT_THAT(s_log.take(), ElementsAre("didAppear"));

    // Content swapped in while the popover shows arrives the same way.
    auto second = PlacementProbe::init();
    popover->setContentViewControllerAnimated(UINavigationController::initWithRootViewController(second), false);
    EXPECT_THAT(s_log.take(), ElementsAre("willAppear in window bar 44", "didAppear"));
    popover->dismissPopoverAnimated(false);
    drainAll();
}

// The keyboard coming up moves the panel clear of it, on the same side of its anchor, and
// shortens it when it cannot fit otherwise; the keyboard going down puts it back.
TEST_F(UIPopoverControllerTest, StaysClearOfTheKeyboard)
{
    UIKeyboard::resetForTesting();
    auto window = makeKeyWindow();
    auto host = UIView::initWithFrame(window->bounds());
    window->addSubview(host);
    auto field = UITextField::initWithFrame(CGRectMake(10, 100, 200, 30));
    host->addSubview(field);
    auto content = ContentController::init();
    content->setPreferredContentSize(CGSizeMake(320, 500));
    auto popover = UIPopoverController::initWithContentViewController(content);
    popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        CGRectMake(300, 950, 44, 44), host, UIPopoverArrowDirectionAny, false);
    drainAll();
    CGRect placed = popover->popoverFrame();
    ASSERT_EQ(UIPopoverArrowDirectionDown, popover->popoverArrowDirection());

    struct Case {
        const char* name;
        CGFloat accessoryHeight;
        CGRect expected;
    } cases[] = {
        // The keys' top is at 760: the panel slides up to 10 points above it.
        { "keys", 0, CGRectMake(placed.origin.x, 250, 320, 500) },
        // Keys and a 400-point accessory view reach up to 360: from the top margin down to 350.
        { "keys and a tall accessory view", 400, CGRectMake(placed.origin.x, 10, 320, 340) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        field->setInputAccessoryView(
            c.accessoryHeight > 0 ? UIView::initWithFrame(CGRectMake(0, 0, 0, c.accessoryHeight)) : nullptr);
        ASSERT_TRUE(field->becomeFirstResponder());
        EXPECT_TRUE(CGRectEqualToRect(popover->popoverFrame(), c.expected))
            << NSStringFromCGRect(popover->popoverFrame());
        EXPECT_TRUE(CGRectEqualToRect(
            content->view()->frame(), CGRectMake(0, 0, c.expected.size.width, c.expected.size.height)));
        EXPECT_EQ(UIPopoverArrowDirectionDown, popover->popoverArrowDirection());
        ASSERT_TRUE(field->resignFirstResponder());
        EXPECT_TRUE(CGRectEqualToRect(popover->popoverFrame(), placed)) << NSStringFromCGRect(popover->popoverFrame());
    }
    popover->dismissPopoverAnimated(false);
    drainAll();
    UIKeyboard::resetForTesting();
}

// The panel points at its anchor with an arrow in the gap between them, on the side it opens
// on, so the user sees what it belongs to; the arrow goes with the panel.
TEST_F(UIPopoverControllerTest, AnArrowPointsAtTheAnchor)
{
    auto window = makeKeyWindow();
    auto host = UIView::initWithFrame(window->bounds());
    host->setBackgroundColor(UIColor::colorWithWhiteAlpha(0.2f, 1));
    window->addSubview(host);
    auto content = ContentController::init();
    content->setPreferredContentSize(CGSizeMake(320, 300));
    auto popover = UIPopoverController::initWithContentViewController(content);

    struct Case {
        CGRect anchor;
        UIPopoverArrowDirection direction;
        CGPoint inArrow; // halfway across the gap, on the anchor's middle line
        CGPoint besideArrow; // in the gap, 16 points off that line
    };
    const Case cases[] = {
        { CGRectMake(300, 100, 40, 40), UIPopoverArrowDirectionUp, CGPointMake(320, 146.5f), CGPointMake(336, 146.5f) },
        { CGRectMake(300, 900, 40, 40), UIPopoverArrowDirectionDown, CGPointMake(320, 893.5f),
            CGPointMake(304, 893.5f) },
        { CGRectMake(364, 488, 40, 40), UIPopoverArrowDirectionLeft, CGPointMake(410.5f, 508),
            CGPointMake(410.5f, 524) },
        { CGRectMake(600, 488, 40, 40), UIPopoverArrowDirectionRight, CGPointMake(593.5f, 508),
            CGPointMake(593.5f, 492) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.direction);
        popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(c.anchor, host, c.direction, false);
        ASSERT_EQ(c.direction, popover->popoverArrowDirection());
        auto image = UIApplicationHost::renderKeyWindow();
        EXPECT_GT(brightnessAt(image, c.inArrow), 240);
        EXPECT_LT(brightnessAt(image, c.besideArrow), 80);
    }

    // A button in the window's corner: the panel slides along to stay inside the window, and the
    // arrow moves in from the panel's rounded corner, still under the button.
    popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        CGRectMake(0, 20, 44, 44), host, UIPopoverArrowDirectionUp, false);
    ASSERT_EQ(10, popover->popoverFrame().origin.x);
    auto image = UIApplicationHost::renderKeyWindow();
    EXPECT_LT(brightnessAt(image, CGPointMake(15, 76)), 80) << "the corner";
    EXPECT_GT(brightnessAt(image, CGPointMake(31, 76)), 240) << "the arrow";

    popover->dismissPopoverAnimated(false);
    drainAll();
    EXPECT_LT(brightnessAt(UIApplicationHost::renderKeyWindow(), cases[3].inArrow), 80);
}

// The arrow has the colour of the content where it joins the panel: white over a content with no
// background of its own, the content's colour otherwise, a row's colour where a row meets it.
TEST_F(UIPopoverControllerTest, TheArrowTakesTheColourOfTheContentBesideIt)
{
    auto window = makeKeyWindow();
    auto host = UIView::initWithFrame(window->bounds());
    host->setBackgroundColor(UIColor::colorWithWhiteAlpha(0.5f, 1));
    window->addSubview(host);
    CGRect anchor = CGRectMake(364, 488, 40, 40);
    CGPoint inArrow = CGPointMake(410.5f, 508);

    struct Case {
        const char* name;
        Ref<UIColor> content;
        Ref<UIColor> row;
        bool setOnAppearing;
        int red, green, blue;
    };
    const Case cases[] = {
        { "no background", nullptr, nullptr, false, 255, 255, 255 },
        { "black content", UIColor::blackColor(), nullptr, false, 0, 0, 0 },
        { "black when appearing", UIColor::blackColor(), nullptr, true, 0, 0, 0 },
        { "translucent content", UIColor::colorWithRedGreenBlueAlpha(0, 0, 0, 0.5f), nullptr, false, 255, 255, 255 },
        { "red row", UIColor::blackColor(), UIColor::colorWithRedGreenBlueAlpha(1, 0, 0, 1), false, 255, 0, 0 },
        { "patterned row", UIColor::blackColor(), UIColor::colorWithPatternImage(solidImage(0, 0.5f, 0)), false, 0, 128,
            0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto content = ContentController::init();
        content->setPreferredContentSize(CGSizeMake(320, 300));
        if (c.setOnAppearing)
            content->colourOnAppearing = c.content;
        else
            content->view()->setBackgroundColor(c.content);
        if (c.row) {
            // The row the anchor's middle line meets: the panel is centred on it, so 150 down.
            auto row = UIView::initWithFrame(CGRectMake(0, 130, 320, 44));
            row->setBackgroundColor(c.row);
            content->view()->addSubview(row);
        }
        auto popover = UIPopoverController::initWithContentViewController(content);
        popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
            anchor, host, UIPopoverArrowDirectionLeft, false);
        auto pixel = ImagePixels(UIApplicationHost::renderKeyWindow()).at(inArrow);
        EXPECT_NEAR(pixel.red, c.red, 3);
        EXPECT_NEAR(pixel.green, c.green, 3);
        EXPECT_NEAR(pixel.blue, c.blue, 3);
        popover->dismissPopoverAnimated(false);
        drainAll();
    }
}

// A panel pushed up against the top of the screen stops below the status bar while it shows,
// and goes up to the screen's margin while it is hidden.
TEST_F(UIPopoverControllerTest, StaysClearOfTheStatusBar)
{
    auto delegate = PlainAppDelegate::init();
    auto app = UIApplication::sharedApplication();
    auto window = makeKeyWindow();
    auto host = UIView::initWithFrame(window->bounds());
    window->addSubview(host);
    auto content = ContentController::init();
    content->setPreferredContentSize(CGSizeMake(320, 300));
    auto popover = UIPopoverController::initWithContentViewController(content);

    struct Case {
        const char* name;
        bool launched;
        bool hidden;
        CGFloat top;
    };
    const Case cases[] = {
        { "bare window", false, false, 10 },
        { "status bar", true, false, 30 },
        { "status bar hidden", true, true, 10 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.launched && !app->delegate())
            app->setDelegate(delegate);
        app->setStatusBarHidden(c.hidden);
        popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
            CGRectMake(500, 30, 40, 40), host, UIPopoverArrowDirectionRight, false);
        EXPECT_EQ(c.top, popover->popoverFrame().origin.y);
        EXPECT_EQ(UIPopoverArrowDirectionRight, popover->popoverArrowDirection());
        popover->dismissPopoverAnimated(false);
        drainAll();
    }
    app->setStatusBarHidden(false);
}
