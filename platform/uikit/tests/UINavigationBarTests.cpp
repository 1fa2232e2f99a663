#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/GoldenImage.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UIToolbar.h"

#include "graphics/CGImage.h"
#include "vxbuild/TestPaths.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class UINavigationBarTest : public HostedWindowTest {
protected:
    // A navigation controller filling a key window, showing `root`.
    Ref<UINavigationController> shownNavigation(const Ref<UIViewController>& root)
    {
        m_window = makeKeyWindow();
        auto nav = UINavigationController::initWithRootViewController(root);
        m_window->setRootViewController(nav);
        drainAll();
        return nav;
    }
    static CGPoint centreInWindow(const Ref<UIView>& view)
    {
        CGRect b = view->bounds();
        return view->convertPointToView(CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)), nullptr);
    }
    Ref<UIWindow> m_window;
};

TEST_F(UINavigationBarTest, NavigationItemIsMadeOnceAndFollowsTheTitleUntilSet)
{
    auto controller = UIViewController::init();
    controller->setTitle("Charts");
    auto item = controller->navigationItem();
    EXPECT_EQ(controller->navigationItem(), item);
    EXPECT_EQ(item->title(), "Charts");
    controller->setTitle("Bookmarks");
    EXPECT_EQ(item->title(), "Bookmarks");
    item->setTitle("Saved places");
    controller->setTitle("Other");
    EXPECT_EQ(item->title(), "Saved places");
    EXPECT_EQ(controller->title(), "Other");
}

TEST_F(UINavigationBarTest, BackButtonNamesThePreviousItemAndPops)
{
    struct Case {
        const char* name;
        std::function<void(const Ref<UIViewController>& previous, const Ref<UIViewController>& top)> setUp;
        const char* backTitle; // nullptr: no back button
    };
    auto plain = [](const Ref<UIViewController>&, const Ref<UIViewController>&) {};
    auto left = [] {
        return UIBarButtonItem::initWithTitleStyleTargetAction("Close", UIBarButtonItemStylePlain, nullptr, nullptr);
    };
    const Case cases[] = {
        { "previous title", plain, "Flights" },
        { "previous back item",
            [](const Ref<UIViewController>& previous, const Ref<UIViewController>&) {
                previous->navigationItem()->setBackBarButtonItem(UIBarButtonItem::initWithTitleStyleTargetAction(
                    "List", UIBarButtonItemStylePlain, nullptr, nullptr));
            },
            "List" },
        { "untitled previous",
            [](const Ref<UIViewController>& previous, const Ref<UIViewController>&) { previous->setTitle(""); },
            "Back" },
        { "hidden",
            [](const Ref<UIViewController>&, const Ref<UIViewController>& top) {
                top->navigationItem()->setHidesBackButton(true);
            },
            nullptr },
        { "replaced by left items",
            [&](const Ref<UIViewController>&, const Ref<UIViewController>& top) {
                top->navigationItem()->setLeftBarButtonItem(left());
            },
            nullptr },
        { "supplemented by left items",
            [&](const Ref<UIViewController>&, const Ref<UIViewController>& top) {
                top->navigationItem()->setLeftBarButtonItem(left());
                top->navigationItem()->setLeftItemsSupplementBackButton(true);
            },
            "Flights" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto root = UIViewController::init();
        root->setTitle("Flights");
        auto nav = shownNavigation(root);
        EXPECT_FALSE(nav->navigationBar()->backButton()) << "the root has no back button";
        auto detail = UIViewController::init();
        detail->setTitle("Detail");
        nav->pushViewControllerAnimated(detail, false);
        drainAll();
        // Changes made while the item is shown reach the bar.
        c.setUp(root, detail);
        drainAll();
        auto bar = nav->navigationBar();
        EXPECT_EQ(bar->titleLabel()->text(), "Detail");
        auto back = bar->backButton();
        if (!c.backTitle) {
            EXPECT_FALSE(back);
            continue;
        }
        ASSERT_TRUE(back);
        EXPECT_EQ(back->currentTitle(), c.backTitle);
        EXPECT_FALSE(back->isHidden());
        UIApplicationHost::tap(centreInWindow(back));
        m_clock.advance(1);
        drainAll();
        EXPECT_EQ(nav->topViewController(), root);
        EXPECT_EQ(bar->titleLabel()->text(), root->title());
        EXPECT_FALSE(bar->backButton());
    }
}

TEST_F(UINavigationBarTest, BarItemsAndTitleViewTakeTouches)
{
    auto root = UIViewController::init();
    auto nav = shownNavigation(root);
    auto target = NSObject::init();
    std::vector<std::string> taps;
    auto action = [&](const Ref<UIBarButtonItem>& sender) { taps.push_back(sender->title()); };
    auto settings
        = UIBarButtonItem::initWithTitleStyleTargetAction("Settings", UIBarButtonItemStyleBordered, target, action);
    auto save = UIBarButtonItem::initWithTitleStyleTargetAction("Save", UIBarButtonItemStyleDone, target, action);
    auto custom = UIButton::buttonWithType(UIButtonTypeCustom);
    custom->setFrame(CGRectMake(0, 0, 60, 30));
    custom->addTargetActionForControlEvents(
        nullptr, "menu", [&](const Ref<UIControl>&, const Ref<UIEvent>&) { taps.push_back("menu"); },
        UIControlEventTouchUpInside);
    auto titleView = UIView::initWithFrame(CGRectMake(0, 0, 200, 30));
    root->navigationItem()->setRightBarButtonItems({ settings, save });
    root->navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithCustomView(custom));
    root->navigationItem()->setTitleView(titleView);

    auto bar = nav->navigationBar();
    bar->layoutIfNeeded();
    CGRect settingsFrame = bar->frameForItem(settings);
    CGRect saveFrame = bar->frameForItem(save);
    EXPECT_EQ(CGRectGetMaxX(settingsFrame), 768 - 8) << "the first right item is outermost";
    EXPECT_LT(CGRectGetMaxX(saveFrame), settingsFrame.origin.x);
    EXPECT_EQ(custom->frame().origin.x, 8);
    EXPECT_EQ(custom->frame().size.height, 30);
    EXPECT_EQ(titleView->superview(), bar);
    EXPECT_FLOAT_EQ(CGRectGetMidX(titleView->frame()), 384);
    EXPECT_TRUE(bar->titleLabel()->isHidden());

    UIApplicationHost::tap(
        bar->convertPointToView(CGPointMake(CGRectGetMidX(settingsFrame), CGRectGetMidY(settingsFrame)), nullptr));
    UIApplicationHost::tap(
        bar->convertPointToView(CGPointMake(CGRectGetMidX(saveFrame), CGRectGetMidY(saveFrame)), nullptr));
    UIApplicationHost::tap(centreInWindow(custom));
    // A disabled item's button takes the tap but runs nothing.
    save->setEnabled(false);
    UIApplicationHost::tap(
        bar->convertPointToView(CGPointMake(CGRectGetMidX(saveFrame), CGRectGetMidY(saveFrame)), nullptr));
    EXPECT_THAT(taps, ElementsAre("Settings", "Save", "menu"));

    // Replacing the items takes the old ones' views out of the bar.
    root->navigationItem()->setRightBarButtonItem(nullptr);
    EXPECT_TRUE(CGRectIsEmpty(bar->frameForItem(settings)));
}

// Records the editing changes it is told of.
class EditingController : public UIViewController {
    VX_OBJECT(EditingController, UIViewController)
public:
    explicit EditingController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<EditingController> init() { return makeController<EditingController>({}, nullptr); }
    void setEditingAnimated(bool editing, bool animated) override
    {
        UIViewController::setEditingAnimated(editing, animated);
        changes.push_back(std::string(editing ? "editing" : "done") + (animated ? " animated" : ""));
    }
    std::vector<std::string> changes;
};

TEST_F(UINavigationBarTest, EditButtonFlipsEditingAndFollowsIt)
{
    auto root = EditingController::init();
    auto edit = root->editButtonItem();
    EXPECT_EQ(root->editButtonItem(), edit);
    EXPECT_EQ(edit->title(), "Edit");
    root->navigationItem()->setRightBarButtonItem(edit);
    auto nav = shownNavigation(root);
    auto bar = nav->navigationBar();
    auto tapEdit = [&] {
        bar->layoutIfNeeded();
        CGRect frame = bar->frameForItem(edit);
        UIApplicationHost::tap(
            bar->convertPointToView(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)), nullptr));
    };
    struct Step {
        const char* title;
        bool editing;
        UIBarButtonItemStyle style;
    };
    const Step steps[]
        = { { "Done", true, UIBarButtonItemStyleDone }, { "Edit", false, UIBarButtonItemStyleBordered } };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.title);
        tapEdit();
        EXPECT_EQ(root->isEditing(), step.editing);
        EXPECT_EQ(edit->title(), step.title);
        EXPECT_EQ(edit->style(), step.style);
    }
    // Editing changed in code shows on the button too.
    root->setEditingAnimated(true, false);
    EXPECT_EQ(edit->title(), "Done");
    EXPECT_THAT(root->changes, ElementsAre("editing animated", "done animated", "editing"));
}

TEST_F(UINavigationBarTest, ToolbarShowsTheTopControllersItems)
{
    auto root = UIViewController::init();
    auto target = NSObject::init();
    std::vector<std::string> taps;
    auto action = [&](const Ref<UIBarButtonItem>& sender) { taps.push_back(sender->title()); };
    auto layers = UIBarButtonItem::initWithTitleStyleTargetAction("Layers", UIBarButtonItemStylePlain, target, action);
    auto flexible = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr);
    auto fixed
        = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(UIBarButtonSystemItemFixedSpace, nullptr, nullptr);
    fixed->setWidth(30);
    auto info = UIBarButtonItem::initWithTitleStyleTargetAction("Info", UIBarButtonItemStylePlain, target, action);
    root->setToolbarItems({ layers, flexible, info, fixed });
    auto nav = shownNavigation(root);
    auto toolbar = nav->toolbar();
    EXPECT_TRUE(toolbar->isHidden());
    nav->setToolbarHidden(false);
    EXPECT_FALSE(toolbar->isHidden());
    EXPECT_EQ(toolbar->frame().origin.y, 1024 - 44);
    EXPECT_EQ(toolbar->items().size(), 4u);
    CGRect infoFrame = toolbar->frameForItem(info);
    EXPECT_EQ(CGRectGetMaxX(infoFrame), 768 - 12 - 30) << "the fixed space keeps its width at the end";
    UIApplicationHost::tap(
        toolbar->convertPointToView(CGPointMake(CGRectGetMidX(infoFrame), CGRectGetMidY(infoFrame)), nullptr));
    EXPECT_THAT(taps, ElementsAre("Info"));

    // Another controller on top brings its own items; setting them while on top shows them.
    auto detail = UIViewController::init();
    nav->pushViewControllerAnimated(detail, false);
    drainAll();
    EXPECT_TRUE(toolbar->items().empty());
    detail->setToolbarItemsAnimated({ layers }, true);
    EXPECT_THAT(toolbar->items(), ElementsAre(layers));
    // A controller not on top changes nothing shown.
    root->setToolbarItems({ info });
    EXPECT_THAT(toolbar->items(), ElementsAre(layers));
    nav->popViewControllerAnimated(false);
    drainAll();
    EXPECT_THAT(toolbar->items(), ElementsAre(info));
}

TEST_F(UINavigationBarTest, BarsDrawTheirItems)
{
    CGFloat savedScale = UIGraphicsScreenScale();
    UIGraphicsSetScreenScale(1);
    UIScreen::mainScreen()->setSizeForTesting(CGSizeMake(320, 200));
    auto window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    auto root = UIViewController::init();
    root->setTitle("Flights");
    auto detail = UIViewController::init();
    detail->setTitle("Charts");
    auto nav = UINavigationController::initWithRootViewController(root);
    window->setRootViewController(nav);
    window->makeKeyAndVisible();
    nav->pushViewControllerAnimated(detail, false);
    detail->view()->setBackgroundColor(UIColor::whiteColor());
    detail->navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::initWithTitleStyleTargetAction("Settings", UIBarButtonItemStyleBordered, nullptr, nullptr));
    auto swatch = UIView::initWithFrame(CGRectMake(0, 0, 30, 30));
    swatch->setBackgroundColor(UIColor::orangeColor());
    detail->setToolbarItems({ UIBarButtonItem::initWithTitleStyleTargetAction(
                                  "Layers", UIBarButtonItemStylePlain, nullptr, nullptr),
        UIBarButtonItem::initWithBarButtonSystemItemTargetAction(UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr),
        UIBarButtonItem::initWithCustomView(swatch) });
    nav->setToolbarHidden(false);
    drainAll();

    auto image = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(image);
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/navigation.png"), 8));
    auto png = [](const Ref<UIImage>& i) { return *CGImageEncodePNG(i->CGImage()); };
    EXPECT_EQ(png(UIApplicationHost::renderKeyWindow()), png(image));
    UIGraphicsSetScreenScale(savedScale);
}

TEST_F(UINavigationBarTest, BarsHideTheContentUnderThemUpToTheTopOfTheScreen)
{
    // Content that extends under the bars (as the map does) shows neither above the navigation
    // bar, where the status bar sits, nor through a toolbar the screen adds itself.
    CGFloat savedScale = UIGraphicsScreenScale();
    UIGraphicsSetScreenScale(1);
    UIScreen::mainScreen()->setSizeForTesting(CGSizeMake(320, 200));
    auto window = UIWindow::initWithFrame(UIScreen::mainScreen()->bounds());
    auto root = UIViewController::init();
    auto nav = UINavigationController::initWithRootViewController(root);
    window->setRootViewController(nav);
    window->makeKeyAndVisible();
    root->view()->setBackgroundColor(UIColor::redColor());
    auto toolbar = UIToolbar::initWithFrame(CGRectMake(0, 156, 320, 44));
    root->view()->addSubview(toolbar);
    drainAll();

    auto image = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(image);
    auto pixels = image->CGImage()->nativeARGB();
    size_t width = image->CGImage()->width();
    auto isRed = [&](size_t x, size_t y) {
        const uint8_t* p = &pixels[(y * width + x) * 4]; // B G R A
        return p[2] > 200 && p[1] < 60 && p[0] < 60;
    };
    EXPECT_FALSE(isRed(200, 10)) << "under the status bar";
    EXPECT_FALSE(isRed(200, 40)) << "under the navigation bar";
    EXPECT_TRUE(isRed(200, 100)) << "between the bars";
    EXPECT_FALSE(isRed(200, 190)) << "under the toolbar";

    nav->setNavigationBarHidden(true);
    drainAll();
    pixels = UIApplicationHost::renderKeyWindow()->CGImage()->nativeARGB();
    EXPECT_TRUE(isRed(200, 10)) << "a hidden bar hides nothing";

    // A navigation shown lower down (in a popover or sheet) has no status bar above it: its bar
    // starts at its top.
    auto inner = UIViewController::init();
    auto sheet = UINavigationController::initWithRootViewController(inner);
    sheet->view()->setFrame(CGRectMake(100, 60, 200, 120));
    sheet->view()->setBackgroundColor(UIColor::redColor());
    root->view()->addSubview(sheet->view());
    drainAll();
    sheet->navigationBar()->layoutIfNeeded();
    pixels = UIApplicationHost::renderKeyWindow()->CGImage()->nativeARGB();
    EXPECT_FALSE(isRed(200, 62)) << "the sheet's bar at its top";
    EXPECT_FALSE(isRed(200, 100)) << "the sheet's bar";
    EXPECT_TRUE(isRed(200, 150)) << "below the sheet's bar";
    EXPECT_EQ(sheet->navigationBar()->frame().origin.y, 0);
    UIGraphicsSetScreenScale(savedScale);
}

} // namespace
