#include "app/core/KESTAnalyticsManager.h"
#include "app/view-controllers/common/KESTBaseCustomViewController.h"
#include "app/view-controllers/common/KESTBaseTableViewController.h"
#include "app/view-controllers/common/KESTBaseViewController.h"
#include "app/view-controllers/common/KESTTableViewCell.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "graphics/UIColor.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UINib.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

// A screen that counts the keyboard hooks and a notification of its own, registered when its
// view loads.
class ProbeScreen : public KESTBaseViewController {
    VX_OBJECT(ProbeScreen, KESTBaseViewController)
public:
    explicit ProbeScreen(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<ProbeScreen> init() { return makeController<ProbeScreen>({}, nullptr); }
    void viewDidLoad() override
    {
        KESTBaseViewController::viewDidLoad();
        NSNotificationCenter::defaultCenter()->addObserver(
            self<ProbeScreen>(), &ProbeScreen::ownNotification, std::string("ProbeScreenPing"), nullptr);
    }
    void keyboardWillBeShown(const Ref<NSNotification>&) override { ++willShow; }
    void keyboardWasShown(const Ref<NSNotification>&) override { ++didShow; }
    void keyboardWillBeHidden(const Ref<NSNotification>&) override { ++willHide; }
    void keyboardWasHidden(const Ref<NSNotification>&) override { ++didHide; }
    void ownNotification(const Ref<NSNotification>&) { ++pings; }

    int willShow = 0, didShow = 0, willHide = 0, didHide = 0, pings = 0;
};
VX_REGISTER_CLASS(ProbeScreen);

class ProbeTable : public KESTBaseTableViewController {
    VX_OBJECT(ProbeTable, KESTBaseTableViewController)
public:
    explicit ProbeTable(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<ProbeTable> init() { return makeTableController<ProbeTable>(UITableViewStyleGrouped); }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return 3; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return UITableViewCell::init();
    }
};

class ProbeCell : public KESTTableViewCell {
    VX_OBJECT(ProbeCell, KESTTableViewCell)
public:
    explicit ProbeCell(Passkey key)
        : KESTTableViewCell(key)
    {
    }
    static Ref<ProbeCell> init() { return makeCell<ProbeCell>(UITableViewCellStyleDefault, {}); }
};

class KESTBaseViewControllerTest : public ::testing::Test {
protected:
    void SetUp() override { KESTAnalyticsManager::resetSharedInstanceForTesting(); }
    void TearDown() override
    {
        drainAll();
        KESTAnalyticsManager::resetSharedInstanceForTesting();
    }
    void present(const Ref<UIViewController>& screen) { m_host.present(screen); }
    void dismiss() { m_host.dismiss(); }
    static void post(const char* name) { NSNotificationCenter::defaultCenter()->postNotificationName(name, nullptr); }

    HostedWindow m_host;
    VirtualClock& m_clock { m_host.clock() };
    const Ref<UIViewController>& m_root { m_host.root() };
};

TEST_F(KESTBaseViewControllerTest, EachAppearanceLogsOneEventAndListensUntilItDisappears)
{
    auto analytics = KESTAnalyticsManager::sharedInstance();
    auto screen = ProbeScreen::init();
    EXPECT_FALSE(screen->visible());

    present(screen);
    EXPECT_TRUE(screen->visible());
    EXPECT_EQ(analytics->recordedEvents(), (std::vector<KESTAnalyticsManager::Event> { { "ProbeScreen", 1 } }));
    post(UIKeyboardWillShowNotification);
    post(UIKeyboardDidShowNotification);
    post(UIKeyboardWillHideNotification);
    post(UIKeyboardDidHideNotification);
    post("ProbeScreenPing");
    EXPECT_EQ(
        (std::vector<int> { screen->willShow, screen->didShow, screen->willHide, screen->didHide, screen->pings }),
        (std::vector<int> { 1, 1, 1, 1, 1 }));

    // Hidden: no hooks, and the screen's own registration from viewDidLoad ended too.
    dismiss();
    EXPECT_FALSE(screen->visible());
    post(UIKeyboardWillShowNotification);
    post(UIKeyboardDidHideNotification);
    post("ProbeScreenPing");
    EXPECT_EQ((std::vector<int> { screen->willShow, screen->didHide, screen->pings }), (std::vector<int> { 1, 1, 1 }));

    // Shown again: a second event and the keyboard hooks again, each called once.
    present(screen);
    EXPECT_EQ(analytics->eventCount("ProbeScreen"), 2u);
    EXPECT_TRUE(screen->visible());
    post(UIKeyboardWillShowNotification);
    post("ProbeScreenPing");
    EXPECT_EQ(screen->willShow, 2);
    EXPECT_EQ(screen->pings, 1);
}

TEST_F(KESTBaseViewControllerTest, CloseDismissesTheScreenAnimated)
{
    struct Case {
        const char* name;
        Ref<UIViewController> screen;
        std::function<void()> close;
        size_t events;
    };
    auto plain = ProbeScreen::init();
    auto custom = KESTBaseCustomViewController::initWithNibNameBundle({}, nullptr);
    auto table = ProbeTable::init();
    const Case cases[] = {
        { "base", plain, [&] { plain->closePress(nullptr); }, 1 },
        { "custom", custom, [&] { custom->closePress(nullptr); }, 1 },
        { "table", table, [&] { table->close(); }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KESTAnalyticsManager::resetSharedInstanceForTesting();
        present(c.screen);
        EXPECT_EQ(m_root->presentedViewController(), c.screen);
        c.close();
        EXPECT_TRUE(c.screen->isBeingDismissed()) << "the dismissal is animated";
        m_clock.advance(UIViewControllerTransitionDuration);
        drainAll();
        EXPECT_FALSE(m_root->presentedViewController());
        EXPECT_EQ(KESTAnalyticsManager::sharedInstance()->recordedEvents().size(), c.events);
    }
    EXPECT_EQ(KESTAnalyticsManager::sharedInstance()->recordedEvents().size(), 0u);
}

TEST_F(KESTBaseViewControllerTest, CustomScreenBuildsAPlainWhiteView)
{
    auto screen = KESTBaseCustomViewController::initWithNibNameBundle({}, nullptr);
    auto view = screen->view();
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->isMemberOfClass(UIView::classObject()));
    EXPECT_TRUE(CGRectEqualToRect(view->frame(), CGRectZero));
    EXPECT_EQ(view->autoresizingMask(), 18u);
    ASSERT_TRUE(view->backgroundColor());
    EXPECT_TRUE(view->backgroundColor()->isEqual(UIColor::whiteColor().get()));
    present(screen);
    EXPECT_EQ(KESTAnalyticsManager::sharedInstance()->eventCount("KESTBaseCustomViewController"), 1u);
}

TEST_F(KESTBaseViewControllerTest, TableScreenServesItsOwnTable)
{
    auto screen = ProbeTable::init();
    auto table = screen->tableView();
    ASSERT_TRUE(table);
    EXPECT_EQ(table, screen->view());
    EXPECT_EQ(table->style(), UITableViewStyleGrouped);
    EXPECT_EQ(table->dataSource(), static_cast<UITableViewDataSource*>(screen.get()));
    EXPECT_EQ(table->tableDelegate(), static_cast<UITableViewDelegate*>(screen.get()));
    present(screen);
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);
    screen->setEditingAnimated(true, false);
    EXPECT_TRUE(table->isEditing());
}

TEST_F(KESTBaseViewControllerTest, CellLoaderFindsTheFirstCellOfALayout)
{
    auto probe = ProbeCell::init();
    auto second = ProbeCell::init();
    struct Case {
        const char* layout;
        std::vector<Value> objects;
        Ref<KESTTableViewCell> expected;
    };
    const Case cases[] = {
        { "ProbeCellLayoutViewThenCell", { Value(UIView::init()), Value(probe), Value(second) }, probe },
        { "ProbeCellLayoutPlainCellOnly", { Value(UIView::init()), Value(UITableViewCell::init()) }, nullptr },
        { "ProbeCellLayoutEmpty", {}, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        auto objects = c.objects;
        UILayoutRegistry::registerLayout(c.layout, [objects](const Ref<NSObject>&, const Value&) { return objects; });
        EXPECT_EQ(KESTTableViewCell::cellFromNibNamed(c.layout), c.expected);
        UILayoutRegistry::unregisterLayout(c.layout);
    }
}

} // namespace
