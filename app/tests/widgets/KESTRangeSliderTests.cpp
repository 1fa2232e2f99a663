#include "app/widgets/KESTRangeSlider.h"

#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIImageView.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

// A 300-wide slider at the window's origin, counting its events.
class SliderScope {
public:
    SliderScope()
    {
        UIApplicationHost::resetForTesting();
        window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        window->makeKeyAndVisible();
        slider = KESTRangeSlider::initWithFrame(CGRectMake(0, 0, 300, 80));
        window->addSubview(slider);
        slider->addTargetActionForControlEvents(
            window, "changed", [this](const Ref<UIControl>&, const Ref<UIEvent>&) { ++changes; },
            UIControlEventValueChanged);
        slider->addTargetActionForControlEvents(
            window, "up", [this](const Ref<UIControl>&, const Ref<UIEvent>&) { ++ups; }, UIControlEventTouchUpInside);
    }
    ~SliderScope() { UIApplicationHost::resetForTesting(); }

    // Drags from `from` to `to` (x only, at the thumbs' height) in one move.
    void drag(float from, float to)
    {
        auto touch = UIApplicationHost::touchDown(CGPointMake(from, 15));
        UIApplicationHost::touchMove(touch, CGPointMake(to, 15));
        UIApplicationHost::touchUp(touch);
    }
    float left() const { return slider->minSlider()->frame().origin.x; }
    float right() const { return slider->maxSlider()->frame().origin.x; }

    ScopedVirtualClock clock;
    Ref<UIWindow> window;
    Ref<KESTRangeSlider> slider;
    int changes = 0;
    int ups = 0;
};

TEST(KESTRangeSlider, LaysOutItsThumbsOverTheUsableLength)
{
    SliderScope scope;
    auto& slider = scope.slider;
    EXPECT_EQ(slider->frame().size.height, 30) << "the height asked for is ignored";
    EXPECT_EQ(slider->min(), 0);
    EXPECT_EQ(slider->max(), 1);
    EXPECT_EQ(scope.left(), 0);
    EXPECT_EQ(scope.right(), 270);
    EXPECT_EQ(slider->subviews().back(), slider->maxSlider()) << "the right thumb on top";

    struct Case {
        float min, max, range;
        float storedMin, storedMax, left, right;
    };
    const Case cases[] = {
        { 0.25f, 1, 0, 0.25f, 1, 60, 270 },
        { 1.5f, -0.2f, 0, 1, 0, 0, 30 }, // clamped; the left thumb yields to the right one
        { 0.5f, 0.5f, 0, 0.5f, 0.5f, 120, 150 }, // touching, not overlapping
        { 0.5f, 0.6f, 0.25f, 0.5f, 0.6f, 84, 174 }, // shorter than the minimum: left moves
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.min);
        slider->setMinimumRangeLength(c.range);
        slider->setMax(c.max);
        slider->setMin(c.min);
        EXPECT_FLOAT_EQ(slider->min(), c.storedMin);
        EXPECT_FLOAT_EQ(slider->max(), c.storedMax);
        EXPECT_FLOAT_EQ(scope.left(), c.left);
        EXPECT_FLOAT_EQ(scope.right(), c.right);
        EXPECT_FLOAT_EQ(slider->inRangeTrackImageView()->frame().origin.x, c.left + 15);
        EXPECT_FLOAT_EQ(slider->inRangeTrackImageView()->frame().size.width, c.right - c.left);
    }
    EXPECT_EQ(scope.changes, 0) << "setters send no event";
}

TEST(KESTRangeSlider, DragsPushTheOtherThumbAndReportChanges)
{
    SliderScope scope;
    auto& slider = scope.slider;

    scope.drag(15, 75); // left thumb by 60
    EXPECT_FLOAT_EQ(slider->min(), 0.25f);
    EXPECT_EQ(scope.changes, 1);
    EXPECT_EQ(scope.ups, 1);

    scope.drag(285, 135); // right thumb back by 150
    EXPECT_FLOAT_EQ(slider->max(), 0.375f);
    EXPECT_EQ(scope.changes, 2);

    scope.drag(75, 500); // left thumb far right: pushes the right one to the end
    EXPECT_FLOAT_EQ(scope.left(), 240);
    EXPECT_FLOAT_EQ(scope.right(), 270);
    EXPECT_FLOAT_EQ(slider->min(), 1);
    EXPECT_FLOAT_EQ(slider->max(), 1);

    int changes = scope.changes;
    scope.drag(255, 255); // a drag that ends where it started
    scope.drag(150, 200); // outside both thumbs
    EXPECT_EQ(scope.changes, changes);
    EXPECT_EQ(scope.ups, 5) << "every touch ends with touch-up-inside";
}

TEST(KESTRangeSlider, KeepsItsValuesWhenTooNarrowForTwoThumbs)
{
    SliderScope scope;
    auto narrow = KESTRangeSlider::initWithFrame(CGRectMake(0, 100, 50, 30));
    scope.window->addSubview(narrow);
    narrow->setMin(0.5f);
    auto touch = UIApplicationHost::touchDown(CGPointMake(5, 115));
    UIApplicationHost::touchMove(touch, CGPointMake(40, 115));
    UIApplicationHost::touchUp(touch);
    EXPECT_FLOAT_EQ(narrow->min(), 0.5f);
    EXPECT_FLOAT_EQ(narrow->max(), 1);
}

} // namespace
