#include "app/tests/ar/ARScreenTestSupport.h"

#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/ar/KESTARLabel.h"
#include "app/view-controllers/ar/KESTARViewController.h"
#include "foundation/NSTimer.h"
#include "graphics/UIImage.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIButton.h"
#include "uikit/UIWindow.h"

namespace {

class ARScreen : public ::testing::Test {
protected:
    void SetUp() override { UIApplicationHost::resetForTesting(); }
    void TearDown() override
    {
        if (m_screen)
            m_screen->stopAR();
        m_window = nullptr;
        m_screen = nullptr;
        drainAll();
        UIApplicationHost::resetForTesting();
    }

    void open()
    {
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        ARScreenTestScope::resetKits();
        m_screen = KESTARViewController::init();
        m_window->setRootViewController(m_screen);
        m_window->makeKeyAndVisible();
        drainAll();
    }

    std::vector<std::string> labelTitles() const
    {
        std::vector<std::string> titles;
        for (auto& object : SLKController::sharedARController()->arObjects())
            titles.push_back(object->title().value_or("?"));
        std::sort(titles.begin(), titles.end());
        return titles;
    }

    ARScreenTestScope m_scope;
    Ref<UIWindow> m_window;
    Ref<KESTARViewController> m_screen;
};

} // namespace

TEST_F(ARScreen, TheFirstFixCreatesLabelsForPlanesInsideTheWindowOnce)
{
    m_scope.feed({
        { "a", 50.3, 8.6, "BA117", "BAW117" },
        { "b", 49.0, 9.0, "", "DLH4" }, // flight number empty: titled by callsign
        { "c", 51.5, 8.5 }, // exactly 1.5 degrees north: outside
        { "d", 50.0, 10.0 }, // exactly 1.5 degrees east: outside
        { "e", 53.0, 8.5 },
        { "f", 48.5, 8.5 }, // exactly 1.5 degrees south: outside
        { "g", 50.0, 7.0 }, // exactly 1.5 degrees west: outside
        { "h", 48.501, 7.001, "SW1" }, // just inside the south-west corner
        { "i", 51.499, 9.999, "NE1" }, // just inside the north-east corner
        { "j", 46.0, 8.5 },
        { "k", 50.0, 5.0 },
    });
    open();
    EXPECT_TRUE(labelTitles().empty());
    placeDevice(50.0, 8.5);
    drainAll();
    EXPECT_EQ(labelTitles(), (std::vector<std::string> { "BA117", "DLH4", "NE1", "SW1" }));
    EXPECT_TRUE(m_screen->createdInitialObjects());
    auto first = SLKController::sharedARController()->arObjects();
    // A later fix does not create them again: the same labels stay.
    placeDevice(50.001, 8.5);
    drainAll();
    auto later = SLKController::sharedARController()->arObjects();
    EXPECT_EQ(later.size(), first.size());
    for (auto& object : later)
        EXPECT_EQ(std::count(first.begin(), first.end(), object), 1);
    auto label = std::dynamic_pointer_cast<KESTARLabel>(later[0]);
    ASSERT_TRUE(label);
    EXPECT_NEAR(label->planeAltitude(), 35000 * 0.3048, 0.01);
}

TEST_F(ARScreen, LiveUpdatesAddAndRemoveLabels)
{
    m_scope.feed({ { "a", 50.3, 8.6, "A1" }, { "b", 50.2, 8.4, "B1" } });
    open();
    placeDevice(50.0, 8.5);
    drainAll();
    EXPECT_EQ(labelTitles(), (std::vector<std::string> { "A1", "B1" }));
    auto kept = SLKController::sharedARController()->arObjects();
    auto labelOf = [](const std::string& title) -> Ref<SLKObjectDelegate> {
        for (auto& object : SLKController::sharedARController()->arObjects()) {
            if (object->title() == title)
                return object;
        }
        return nullptr;
    };
    auto a = labelOf("A1");
    auto b = labelOf("B1");
    ASSERT_TRUE(a && b);
    // b leaves the window, c arrives; a keeps its label.
    m_scope.feed({ { "a", 50.31, 8.6, "A1" }, { "b", 52.0, 8.4, "B1" }, { "c", 49.9, 8.5, "C1" } });
    EXPECT_EQ(labelTitles(), (std::vector<std::string> { "A1", "C1" }));
    EXPECT_EQ(labelOf("A1"), a);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), labelOf("C1")), 0);
    // b returns: a new label; a and c keep theirs.
    auto c = labelOf("C1");
    m_scope.feed({ { "a", 50.31, 8.6, "A1" }, { "b", 50.2, 8.4, "B1" }, { "c", 49.9, 8.5, "C1" } });
    EXPECT_EQ(labelTitles(), (std::vector<std::string> { "A1", "B1", "C1" }));
    EXPECT_EQ(labelOf("A1"), a);
    EXPECT_EQ(labelOf("C1"), c);
    ASSERT_TRUE(labelOf("B1"));
    EXPECT_NE(labelOf("B1"), b);
}

TEST_F(ARScreen, LiveDataBeforeTheFirstFixDoesNothing)
{
    open();
    m_scope.feed({ { "a", 0.3, 0.2, "NULL1" } });
    EXPECT_TRUE(labelTitles().empty());
}

TEST_F(ARScreen, TheFarClipFollowsTheRangeSettingAtLoad)
{
    struct Case {
        int32_t index;
        float far;
    };
    const Case cases[] = { { 0, 10000 }, { 1, 25000 }, { 4, 100000 }, { 7, 0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        KESTSettingsManager::sharedInstance()->setArRange(c.index);
        ARScreenTestScope::resetKits();
        auto screen = KESTARViewController::init();
        screen->view();
        EXPECT_FLOAT_EQ(SLKController::clipObjectsFarLimit(), c.far);
        EXPECT_FLOAT_EQ(SLKController::clipObjectsNearLimit(), 0);
        EXPECT_FLOAT_EQ(screen->arRadarView()->radarRange(), 1500);
    }
}

TEST_F(ARScreen, AppearingPlacesTheRadarAndStartsTheOneSecondRefresh)
{
    open();
    EXPECT_EQ(m_screen->radarThumbnailPosition(), 2);
    EXPECT_EQ(m_screen->arRadarView()->radarMode(), 1);
    EXPECT_TRUE(CGRectEqualToRect(m_screen->arRadarView()->radarRect(), CGRectMake(5, 1024 - 5 - 128 - 32, 128, 128)));
    ASSERT_TRUE(m_screen->arUpdateTimer());
    EXPECT_DOUBLE_EQ(m_screen->arUpdateTimer()->timeInterval(), 1.0);
    EXPECT_TRUE(CGRectEqualToRect(m_screen->shareButton()->frame(), CGRectMake(718, 5, 45, 45)));
    EXPECT_TRUE(m_screen->prefersStatusBarHidden());
    EXPECT_EQ(m_screen->supportedInterfaceOrientations(), 30u);
    // Face up puts the radar in fullscreen, back upright returns it to corner 2.
    m_screen->didChangeDeviceOrientation(5);
    EXPECT_EQ(m_screen->arRadarView()->radarMode(), 2);
    m_screen->didChangeDeviceOrientation(1);
    EXPECT_EQ(m_screen->arRadarView()->radarMode(), 1);
}

// The screen covers the whole display with the camera picture and puts its buttons in the top
// corners: the status bar goes while it shows and comes back as it was when it closes.
TEST_F(ARScreen, HidesTheStatusBarWhileItShows)
{
    auto app = UIApplication::sharedApplication();
    for (bool hiddenBefore : { false, true }) {
        SCOPED_TRACE(hiddenBefore ? "hidden before" : "shown before");
        app->setStatusBarHidden(hiddenBefore);
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        auto presenter = UIViewController::init();
        m_window->setRootViewController(presenter);
        m_window->makeKeyAndVisible();
        drainAll();
        ARScreenTestScope::resetKits();
        m_screen = KESTARViewController::init();
        presenter->presentViewControllerAnimatedCompletion(m_screen, false, nullptr);
        drainAll();
        ASSERT_EQ(presenter->presentedViewController(), m_screen);
        EXPECT_TRUE(app->isStatusBarHidden());
        m_screen->closePress();
        m_scope.clock().advance(1);
        drainAll();
        EXPECT_FALSE(presenter->presentedViewController());
        EXPECT_EQ(app->isStatusBarHidden(), hiddenBefore);
        m_screen->stopAR();
        m_screen = nullptr;
        m_window = nullptr;
        drainAll();
    }
    app->setStatusBarHidden(false);
}

TEST_F(ARScreen, ClosingLeavesTheControllerEmpty)
{
    m_scope.feed({ { "a", 50.3, 8.6, "A1" } });
    open();
    placeDevice(50.0, 8.5);
    drainAll();
    ASSERT_EQ(labelTitles().size(), 1u);
    auto timer = m_screen->arUpdateTimer();
    m_screen->closePress();
    drainAll();
    EXPECT_FALSE(timer->isValid());
    EXPECT_TRUE(labelTitles().empty());
    EXPECT_FALSE(SLKController::sharedARController()->delegate().lock());
}

TEST_F(ARScreen, SharingPresentsTheSnapshotWithTheLogoStrip)
{
    open();
    m_screen->sharePress();
    drainAll();
    auto sheet = std::dynamic_pointer_cast<UIActivityViewController>(m_screen->presentedViewController());
    ASSERT_TRUE(sheet);
    auto& items = sheet->activityItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].stringValue(), "Check this out in Volantrix!");
    auto image = items[1].objectAs<UIImage>();
    ASSERT_TRUE(image);
    auto logo = UIImage::imageNamed("shareLogo");
    ASSERT_TRUE(logo);
    EXPECT_EQ(image->size().width, 768);
    EXPECT_EQ(image->size().height, 1024 + logo->size().height);
    EXPECT_EQ(items[2].stringValue(), KESTARViewController::shareLink);
    EXPECT_EQ(sheet->excludedActivityTypes().size(), 4u);
}
