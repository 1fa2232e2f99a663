#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITabBarItem.h"
#include "uikit/UIToolbar.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class UIBarItemTest : public HostedWindowTest { };

// Puts the bar it is given at the bottom and every other bar anywhere.
class BottomBarOwner : public NSObject, public UIToolbarDelegate {
    VX_OBJECT(BottomBarOwner, NSObject)
public:
    explicit BottomBarOwner(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<BottomBarOwner> init() { return make<BottomBarOwner>(); }
    UIBarPosition positionForBar(const Ref<UIView>& bar) override
    {
        return bar == bottom ? UIBarPositionBottom : UIBarPositionAny;
    }
    Ref<UIView> bottom;
};

TEST_F(UIBarItemTest, ToolbarTakesItsPositionFromItsDelegateWhileTheDelegateLives)
{
    auto bottom = UIToolbar::initWithFrame(CGRectMake(0, 980, 768, 44));
    auto other = UIToolbar::initWithFrame(CGRectMake(0, 0, 768, 44));
    EXPECT_EQ(bottom->barPosition(), UIBarPositionAny) << "no delegate";
    auto owner = BottomBarOwner::init();
    owner->bottom = bottom;
    bottom->setDelegate(owner.get(), owner);
    other->setDelegate(owner.get(), owner);
    EXPECT_EQ(bottom->barPosition(), UIBarPositionBottom);
    EXPECT_EQ(other->barPosition(), UIBarPositionAny);
    owner = nullptr;
    EXPECT_EQ(bottom->barPosition(), UIBarPositionAny) << "the delegate is gone";
}

TEST_F(UIBarItemTest, ToolbarLaysOutSpacesAndTapsItems)
{
    auto window = makeKeyWindow();
    auto toolbar = UIToolbar::initWithFrame(CGRectMake(0, 980, 768, 44));
    window->addSubview(toolbar);
    auto target = NSObject::init();
    std::vector<std::string> taps;
    auto action = [&](const Ref<UIBarButtonItem>& sender) { taps.push_back(sender->title()); };
    auto share = UIBarButtonItem::initWithTitleStyleTargetAction("Share", UIBarButtonItemStyleBordered, target, action);
    auto done = UIBarButtonItem::initWithTitleStyleTargetAction("Done", UIBarButtonItemStyleDone, target, action);
    done->setWidth(100);
    auto custom = UIBarButtonItem::initWithCustomView(UIView::initWithFrame(CGRectMake(0, 0, 200, 30)));
    auto fixed
        = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(UIBarButtonSystemItemFixedSpace, nullptr, nullptr);
    fixed->setWidth(40);
    auto flexible = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr);
    toolbar->setItems({ share, flexible, custom, flexible, fixed, done });

    CGRect shareFrame = toolbar->frameForItem(share);
    CGRect customFrame = toolbar->frameForItem(custom);
    CGRect doneFrame = toolbar->frameForItem(done);
    EXPECT_EQ(shareFrame.origin.x, 12);
    EXPECT_GE(shareFrame.size.width, 44);
    EXPECT_EQ(CGRectGetMaxX(doneFrame), 768 - 12);
    EXPECT_EQ(doneFrame.size.width, 100);
    // The two flexible spaces share what is left equally; the fixed one keeps its width.
    EXPECT_FLOAT_EQ(
        customFrame.origin.x - CGRectGetMaxX(shareFrame), doneFrame.origin.x - 40 - CGRectGetMaxX(customFrame));
    EXPECT_EQ(customFrame.size.height, 30);

    UIApplicationHost::tap(CGPointMake(CGRectGetMidX(doneFrame), 1000));
    done->setEnabled(false);
    EXPECT_FALSE(done->userTap());
    EXPECT_TRUE(share->userTap());
    EXPECT_FALSE(flexible->userTap());
    target.reset();
    EXPECT_FALSE(share->userTap());
    EXPECT_THAT(taps, ElementsAre("Done", "Share"));
}

TEST_F(UIBarItemTest, NavigationAndTabItemsKeepTheirSettings)
{
    auto item = UINavigationItem::initWithTitle("Flights");
    auto edit = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(UIBarButtonSystemItemEdit, nullptr, nullptr);
    auto add = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(UIBarButtonSystemItemAdd, nullptr, nullptr);
    item->setRightBarButtonItems({ edit, nullptr, add });
    EXPECT_EQ(item->rightBarButtonItems().size(), 2u);
    EXPECT_EQ(item->rightBarButtonItem(), edit);
    item->setRightBarButtonItem(nullptr);
    EXPECT_TRUE(item->rightBarButtonItems().empty());
    EXPECT_EQ(edit->systemItem(), UIBarButtonSystemItemEdit);
    EXPECT_EQ(
        UIBarButtonItem::initWithBarButtonSystemItemTargetAction(UIBarButtonSystemItemDone, nullptr, nullptr)->style(),
        UIBarButtonItemStyleDone);

    auto tab = UITabBarItem::initWithTabBarSystemItemTag(UITabBarSystemItemFavorites, 3);
    EXPECT_EQ(tab->title(), "Favorites");
    EXPECT_EQ(tab->tag(), 3);
    tab->setBadgeValue("2");
    EXPECT_EQ(tab->badgeValue(), "2");
}

} // namespace
