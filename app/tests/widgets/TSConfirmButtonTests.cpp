#include "app/widgets/TSConfirmButton.h"

#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

class ConfirmButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_window->setRootViewController(UIViewController::init());
        m_window->makeKeyAndVisible();
        m_parent = m_window->rootViewController()->view();
    }
    void TearDown() override
    {
        drainAll();
        UIApplicationHost::resetForTesting();
    }
    Ref<TSConfirmButton> place(Ref<TSConfirmButton> button, CGPoint topRight)
    {
        m_parent->addSubview(button);
        button->setAnchor(topRight);
        button->addTargetActionForControlEvents(
            nullptr, "fire", [this](const Ref<UIControl>&, const Ref<UIEvent>&) { ++m_fired; },
            UIControlEventTouchUpInside);
        return button;
    }
    void tapOn(const Ref<UIView>& view)
    {
        CGRect frame = view->frame();
        UIApplicationHost::tap(
            view->superview()->convertPointToView(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)), nullptr));
        drainAll();
    }
    void finishAnimation()
    {
        m_clock.advance(0.3);
        drainAll();
    }
    ScopedVirtualClock m_clock;
    Ref<UIWindow> m_window;
    Ref<UIView> m_parent;
    int m_fired { 0 };
};

TEST_F(ConfirmButtonTest, OnlyTheConfirmingTapFires)
{
    auto button = place(TSConfirmButton::buttonWithTitleConfirm("Delete", "Really delete?"), CGPointMake(400, 200));
    CGFloat right = CGRectGetMaxX(button->frame());
    tapOn(button);
    EXPECT_EQ(m_fired, 0);
    EXPECT_TRUE(button->isSelected());
    EXPECT_EQ(button->titleForState(UIControlStateNormal), "Really delete?");
    ASSERT_TRUE(button->cancelOverlay());
    // A second tap while the width still changes is ignored.
    tapOn(button);
    EXPECT_EQ(m_fired, 0);
    finishAnimation();
    EXPECT_FLOAT_EQ(CGRectGetMaxX(button->frame()), right) << "anchoring 0 keeps the right edge";
    tapOn(button);
    EXPECT_EQ(m_fired, 1);
    EXPECT_TRUE(button->isConfirmed());
    EXPECT_FALSE(button->cancelOverlay());
    tapOn(button);
    EXPECT_EQ(m_fired, 1) << "a confirmed button no longer reacts";
}

TEST_F(ConfirmButtonTest, ATapElsewhereCancelsAndCentreAnchoringKeepsTheCentre)
{
    auto button = place(TSConfirmButton::buttonWithTitleConfirm("Go", "Yes, go now"), CGPointMake(400, 200));
    button->setToggleAnimation(2);
    CGFloat centre = CGRectGetMidX(button->frame());
    tapOn(button);
    finishAnimation();
    EXPECT_NEAR(CGRectGetMidX(button->frame()), centre, 0.5);
    UIApplicationHost::tap(CGPointMake(700, 900));
    drainAll();
    finishAnimation();
    EXPECT_FALSE(button->isSelected());
    EXPECT_EQ(button->titleForState(UIControlStateNormal), "Go");
    EXPECT_EQ(m_fired, 0);
}

TEST_F(ConfirmButtonTest, ADisabledButtonIgnoresTouchesAndShowsNoPress)
{
    auto button = place(TSConfirmButton::buttonWithDisabledTitle("Unavailable"), CGPointMake(400, 200));
    auto touch
        = UIApplicationHost::touchDown(CGPointMake(CGRectGetMidX(button->frame()), CGRectGetMidY(button->frame())));
    EXPECT_FALSE(button->darkenLayer());
    UIApplicationHost::touchUp(touch);
    drainAll();
    EXPECT_EQ(m_fired, 0);
    EXPECT_FALSE(button->isSelected());
}

} // namespace
