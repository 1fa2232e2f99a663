#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSException.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIPageControl.h"
#include "uikit/UIProgressView.h"
#include "uikit/UISegmentedControl.h"
#include "uikit/UIStepper.h"
#include "uikit/UISwitch.h"

#include <cmath>

namespace {

class UIControlFamilyTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        m_window = makeKeyWindow();
    }
    // Adds the control at the window's top left and counts its value-changed events.
    void install(const Ref<UIControl>& control)
    {
        m_window->addSubview(control);
        control->addTargetActionForControlEvents(
            nullptr, "changed", [this](const Ref<UIControl>&, const Ref<UIEvent>&) { ++m_changes; },
            UIControlEventValueChanged);
    }
    void tapAt(CGFloat x, CGFloat y)
    {
        UIApplicationHost::tap(CGPointMake(x, y));
        // Keep taps apart so none counts as a double tap.
        m_clock.advance(1);
    }
    Ref<UIWindow> m_window;
    int m_changes { 0 };
};

TEST_F(UIControlFamilyTest, TapsChangeValuesAndSendValueChanged)
{
    auto segments = UISegmentedControl::initWithItems({ "List", "Map", "Radar" });
    segments->setFrame(CGRectMake(0, 0, 300, 30));
    auto toggle = UISwitch::init();
    toggle->setFrame(CGRectMake(0, 100, 10, 10));
    auto stepper = UIStepper::initWithFrame(CGRectMake(0, 200, 0, 0));
    stepper->setMaximumValue(2);
    auto pages = UIPageControl::initWithFrame(CGRectMake(0, 300, 160, 37));
    pages->setNumberOfPages(5);

    struct Case {
        const char* name;
        Ref<UIControl> control;
        std::function<void()> prepare;
        std::vector<CGPoint> taps;
        std::function<double()> value;
        double expected;
        int changes;
    };
    const std::vector<Case> cases = {
        { "segment chosen", segments, nullptr, { { 150, 15 } }, [&] { return segments->selectedSegmentIndex(); }, 1,
            1 },
        { "same segment again", segments, nullptr, { { 150, 15 } }, [&] { return segments->selectedSegmentIndex(); }, 1,
            0 },
        { "disabled segment", segments, [&] { segments->setEnabledForSegmentAtIndex(false, 2); }, { { 250, 15 } },
            [&] { return segments->selectedSegmentIndex(); }, 1, 0 },
        { "momentary", segments, [&] { segments->setMomentary(true); }, { { 20, 15 } },
            [&] { return segments->selectedSegmentIndex(); }, UISegmentedControlNoSegment, 1 },
        { "switch flips twice", toggle, nullptr, { { 20, 110 }, { 20, 110 }, { 20, 110 } },
            [&] { return toggle->isOn(); }, 1, 3 },
        { "stepper stops at its maximum", stepper, nullptr, { { 80, 210 }, { 80, 210 }, { 80, 210 } },
            [&] { return stepper->value(); }, 2, 2 },
        { "stepper wraps", stepper, [&] { stepper->setWraps(true); }, { { 80, 210 } }, [&] { return stepper->value(); },
            0, 1 },
        { "stepper down at the minimum wraps to the top", stepper, nullptr, { { 10, 210 } },
            [&] { return stepper->value(); }, 2, 1 },
        { "page control moves one page", pages, nullptr, { { 150, 310 } }, [&] { return pages->currentPage(); }, 1, 1 },
        { "page control at the first page stays", pages, [&] { pages->setCurrentPage(0); }, { { 5, 310 } },
            [&] { return pages->currentPage(); }, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.control->superview())
            install(c.control);
        if (c.prepare)
            c.prepare();
        m_changes = 0;
        for (CGPoint p : c.taps)
            tapAt(p.x, p.y);
        EXPECT_EQ(c.value(), c.expected);
        EXPECT_EQ(m_changes, c.changes);
    }
    // Code changes send nothing, and indexes outside the segments are ignored.
    m_changes = 0;
    segments->setMomentary(false);
    segments->setSelectedSegmentIndex(0);
    segments->setSelectedSegmentIndex(7);
    toggle->setOn(false);
    EXPECT_EQ(segments->selectedSegmentIndex(), 0);
    EXPECT_EQ(m_changes, 0);
    segments->insertSegmentWithTitleAtIndexAnimated("Top", 0, false);
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);
    segments->removeSegmentAtIndexAnimated(1, false);
    EXPECT_EQ(segments->selectedSegmentIndex(), UISegmentedControlNoSegment);
}

TEST_F(UIControlFamilyTest, RejectsOrClampsBadSettings)
{
    auto stepper = UIStepper::initWithFrame(CGRectZero);
    EXPECT_THROW(stepper->setMinimumValue(100), NSException);
    EXPECT_THROW(stepper->setStepValue(0), NSException);
    stepper->setValue(500);
    EXPECT_EQ(stepper->value(), 100);

    auto progress = UIProgressView::initWithProgressViewStyle(UIProgressViewStyleDefault);
    progress->setProgress(1.5f);
    EXPECT_EQ(progress->progress(), 1);
    progress->setProgress(std::nanf(""));
    EXPECT_EQ(progress->progress(), 0);

    auto pages = UIPageControl::initWithFrame(CGRectZero);
    pages->setHidesForSinglePage(true);
    pages->setNumberOfPages(3);
    pages->setCurrentPage(9);
    EXPECT_EQ(pages->currentPage(), 2);
    EXPECT_FALSE(pages->isHidden());
    pages->setNumberOfPages(1);
    EXPECT_EQ(pages->currentPage(), 0);
    EXPECT_TRUE(pages->isHidden());

    auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyleWhiteLarge);
    EXPECT_EQ(spinner->bounds().size.width, 37);
    EXPECT_TRUE(spinner->isHidden());
    spinner->startAnimating();
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_FALSE(spinner->isHidden());
    spinner->setHidesWhenStopped(false);
    spinner->stopAnimating();
    EXPECT_FALSE(spinner->isHidden());
}

} // namespace
