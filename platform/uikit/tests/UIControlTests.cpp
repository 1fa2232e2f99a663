#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "uikit/UIButton.h"
#include "uikit/UIControl.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITouch.h"
#include "uikit/UIViewController.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class ControlTarget : public NSObject {
    VX_OBJECT(ControlTarget, NSObject)
public:
    explicit ControlTarget(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<ControlTarget> named(std::string name, EventRecorder* log)
    {
        auto t = make<ControlTarget>();
        t->m_name = std::move(name);
        t->m_log = log;
        return t;
    }
    void tapped(const Ref<NSObject>&) { m_log->add(m_name + " tapped"); }
    std::string m_name;
    EventRecorder* m_log;
};

// A view that records the touches that reach it.
class TouchView : public UIView {
    VX_OBJECT(TouchView, UIView)
public:
    explicit TouchView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<TouchView> initWithFrame(CGRect frame, EventRecorder* log)
    {
        auto v = makeView<TouchView>(frame);
        v->m_log = log;
        return v;
    }
    void touchesBegan(const UITouchSet& t, const Ref<UIEvent>&) override { record("began", t); }
    void touchesMoved(const UITouchSet& t, const Ref<UIEvent>&) override { record("moved", t); }
    void touchesEnded(const UITouchSet& t, const Ref<UIEvent>&) override { record("ended", t); }

private:
    void record(const char* phase, const UITouchSet& touches)
    {
        CGPoint p = touches.front()->locationInView(self<UIView>());
        m_log->add(
            std::string(phase) + " " + NSStringFromCGPoint(p) + " taps " + std::to_string(touches.front()->tapCount()));
    }
    EventRecorder* m_log;
};

const char* eventName(UIControlEvents e)
{
    switch (e) {
    case UIControlEventTouchDown:
        return "down";
    case UIControlEventTouchDownRepeat:
        return "repeat";
    case UIControlEventTouchDragInside:
        return "dragInside";
    case UIControlEventTouchDragOutside:
        return "dragOutside";
    case UIControlEventTouchDragEnter:
        return "enter";
    case UIControlEventTouchDragExit:
        return "exit";
    case UIControlEventTouchUpInside:
        return "upInside";
    case UIControlEventTouchUpOutside:
        return "upOutside";
    case UIControlEventTouchCancel:
        return "cancel";
    default:
        return "?";
    }
}

// A button subclass made through the button's own factory.
class TallyButton : public UIButton {
    VX_OBJECT(TallyButton, UIButton)
public:
    explicit TallyButton(Passkey key)
        : UIButton(key)
    {
    }
    static Ref<TallyButton> initWithFrame(CGRect frame) { return makeButton<TallyButton>(UIButtonTypeCustom, frame); }
    static Ref<TallyButton> buttonWithType(UIButtonType type) { return makeButton<TallyButton>(type); }
    void setSelected(bool selected) override
    {
        ++selections;
        UIButton::setSelected(selected);
    }
    int selections { 0 };
};

} // namespace

class UIControlTest : public HostedWindowTest { };

TEST_F(UIControlTest, ButtonSubclassesComeFromTheButtonFactory)
{
    struct Case {
        Ref<TallyButton> button;
        UIButtonType type;
        CGRect frame;
    };
    const Case cases[] = {
        { TallyButton::initWithFrame(CGRectMake(5, 6, 40, 30)), UIButtonTypeCustom, CGRectMake(5, 6, 40, 30) },
        { TallyButton::buttonWithType(UIButtonTypeSystem), UIButtonTypeSystem, CGRectZero },
        { TallyButton::buttonWithType(UIButtonTypeInfoDark), UIButtonTypeInfoDark, CGRectMake(0, 0, 22, 22) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        auto& button = c.button;
        EXPECT_EQ(button->buttonType(), c.type);
        EXPECT_TRUE(CGRectEqualToRect(button->frame(), c.frame));
        ASSERT_TRUE(button->titleLabel());
        ASSERT_TRUE(button->imageView());
        EXPECT_EQ(button->titleLabel()->superview(), button);
        EXPECT_EQ(button->imageView()->superview(), button);
        // The subclass's override runs, and the button's per-state content follows.
        button->setTitleForState("On", UIControlStateSelected);
        button->setSelected(true);
        EXPECT_EQ(button->selections, 1);
        EXPECT_EQ(button->titleLabel()->text(), "On");
    }
}

TEST_F(UIControlTest, RemovingAStatesImageFallsBackToTheNormalOne)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), false, 1);
    auto normal = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(6, 6), false, 1);
    auto selected = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setImageForState(normal, UIControlStateNormal);
    button->setImageForState(selected, UIControlStateSelected);
    button->setBackgroundImageForState(selected, UIControlStateSelected);
    button->setSelected(true);
    EXPECT_EQ(button->currentImage(), selected);
    EXPECT_EQ(button->imageView()->image(), selected);
    button->setImageForState(nullptr, UIControlStateSelected);
    button->setBackgroundImageForState(nullptr, UIControlStateSelected);
    EXPECT_EQ(button->currentImage(), normal);
    EXPECT_EQ(button->imageView()->image(), normal);
    EXPECT_FALSE(button->currentBackgroundImage());
}

TEST_F(UIControlTest, TargetsRunInTheOrderTheyWereAdded)
{
    auto window = makeKeyWindow();
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(CGRectMake(100, 100, 80, 40));
    window->addSubview(button);
    EventRecorder log;
    auto toggle = ControlTarget::named("toggle", &log);
    auto screen = ControlTarget::named("screen", &log);
    auto gone = ControlTarget::named("gone", &log);
    // The toggle flips itself first, then the screen's action sees the new state.
    button->addTargetActionForControlEvents(
        toggle, "flip",
        [&](const Ref<UIControl>& sender, const Ref<UIEvent>&) {
            sender->setSelected(!sender->isSelected());
            log.add("flip to " + std::to_string(sender->isSelected()));
        },
        UIControlEventTouchUpInside);
    button->addTarget(screen, &ControlTarget::tapped, "tapped", UIControlEventTouchUpInside);
    button->addTarget(gone, &ControlTarget::tapped, "tapped", UIControlEventTouchUpInside);
    button->addTargetActionForControlEvents(
        nullptr, "anyone",
        [&](const Ref<UIControl>&, const Ref<UIEvent>& e) { log.add(e ? "nil target with event" : "nil target"); },
        UIControlEventTouchUpInside);
    gone.reset();

    UIApplicationHost::tap(CGPointMake(120, 110));
    EXPECT_THAT(log.take(), ElementsAre("flip to 1", "screen tapped", "nil target with event"));
    EXPECT_THAT(button->actionsForTargetForControlEvent(screen, UIControlEventTouchUpInside), ElementsAre("tapped"));

    button->removeTargetActionForControlEvents(screen, {}, UIControlEventAllEvents);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_THAT(log.take(), ElementsAre("flip to 0", "nil target"));
}

TEST_F(UIControlTest, TouchTrackingSendsTheControlEvents)
{
    auto window = makeKeyWindow();
    auto control = UIControl::initWithFrame(CGRectMake(100, 100, 100, 100));
    window->addSubview(control);
    EventRecorder log;
    for (UIControlEvents e = 1; e <= UIControlEventTouchCancel; e <<= 1) {
        control->addTargetActionForControlEvents(
            nullptr, eventName(e),
            [&log, e](const Ref<UIControl>& c, const Ref<UIEvent>&) {
                log.add(std::string(eventName(e)) + (c->isHighlighted() ? "*" : ""));
            },
            e);
    }
    auto touch = UIApplicationHost::touchDown(CGPointMake(150, 150));
    UIApplicationHost::touchMove(touch, CGPointMake(260, 150)); // 60 points out: still inside
    UIApplicationHost::touchMove(touch, CGPointMake(300, 150)); // beyond the slop
    UIApplicationHost::touchMove(touch, CGPointMake(150, 150));
    UIApplicationHost::touchMove(touch, CGPointMake(400, 400));
    UIApplicationHost::touchUp(touch);
    EXPECT_THAT(log.take(),
        ElementsAre("down*", "dragInside*", "exit", "dragOutside", "enter*", "dragInside*", "exit", "dragOutside",
            "upOutside"));
    EXPECT_FALSE(control->isHighlighted());

    // A second quick tap at the same spot repeats.
    UIApplicationHost::tap(CGPointMake(150, 150));
    m_clock.advance(0.1);
    UIApplicationHost::tap(CGPointMake(152, 151));
    EXPECT_THAT(log.take(), ElementsAre("down*", "upInside", "down*", "repeat*", "upInside"));

    m_clock.advance(1);
    touch = UIApplicationHost::touchDown(CGPointMake(150, 150));
    UIApplicationHost::touchCancel(touch);
    EXPECT_THAT(log.take(), ElementsAre("down*", "cancel"));

    // A disabled control lets the touch through to the view behind it.
    control->setEnabled(false);
    UIApplicationHost::tap(CGPointMake(150, 150));
    EXPECT_TRUE(log.take().empty());
}

TEST_F(UIControlTest, TouchesGoToTheHitViewAndUpTheResponderChain)
{
    auto window = makeKeyWindow();
    EventRecorder log;
    auto target = TouchView::initWithFrame(CGRectMake(10, 10, 200, 200), &log);
    target->setBounds(CGRectMake(0, 100, 200, 200));
    auto passive = UILabel::initWithFrame(CGRectMake(0, 100, 50, 50)); // labels ignore touches
    target->addSubview(passive);
    auto plain = UIView::initWithFrame(CGRectMake(100, 200, 50, 50)); // forwards to its superview
    target->addSubview(plain);
    window->addSubview(target);

    auto touch = UIApplicationHost::touchDown(CGPointMake(20, 20));
    UIApplicationHost::touchMove(touch, CGPointMake(400, 400)); // moves stay with the first view
    UIApplicationHost::touchUp(touch);
    UIApplicationHost::tap(CGPointMake(120, 120));
    EXPECT_THAT(log.take(),
        ElementsAre("began {10, 110} taps 1", "moved {390, 490} taps 1", "ended {390, 490} taps 1",
            "began {110, 210} taps 1", "ended {110, 210} taps 1"));

    UIApplication::sharedApplication()->beginIgnoringInteractionEvents();
    UIApplicationHost::tap(CGPointMake(20, 20));
    UIApplication::sharedApplication()->endIgnoringInteractionEvents();
    EXPECT_TRUE(log.take().empty());
}

TEST_F(UIControlTest, ButtonContentFollowsState)
{
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setTitleForState("Off", UIControlStateNormal);
    button->setTitleForState("On", UIControlStateSelected);
    button->setTitleColorForState(UIColor::redColor(), UIControlStateHighlighted);
    struct Case {
        bool selected, highlighted, enabled;
        const char* title;
        bool red;
    };
    const Case cases[] = {
        { false, false, true, "Off", false },
        { true, false, true, "On", false },
        { false, true, true, "Off", true },
        { true, true, true, "Off", false }, // no value for selected|highlighted: the normal one
        { false, false, false, "Off", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected << c.highlighted << c.enabled);
        button->setSelected(c.selected);
        button->setHighlighted(c.highlighted);
        button->setEnabled(c.enabled);
        EXPECT_EQ(c.title, button->currentTitle());
        EXPECT_EQ(c.title, button->titleLabel()->text());
        EXPECT_EQ(c.red, button->titleLabel()->textColor()->isEqual(UIColor::redColor().get()));
    }
    button->setEnabled(true);
    button->setHighlighted(false);
    button->setSelected(false);
    button->sizeToFit();
    EXPECT_GT(button->bounds().size.width, 10);
    EXPECT_EQ(button->titleLabel()->sizeThatFits(CGSizeZero).width, button->bounds().size.width);
}

TEST_F(UIControlTest, LabelsMeasureWrapAndShrink)
{
    auto label = UILabel::initWithFrame(CGRectMake(0, 0, 100, 40));
    label->setFont(UIFont::systemFontOfSize(12));
    label->setText("Two lines of wrapped text that go on");
    CGSize oneLine = label->sizeThatFits(CGSizeMake(100, 0));
    EXPECT_GT(oneLine.width, 100) << "one line does not wrap";
    label->setNumberOfLines(2);
    CGSize twoLines = label->sizeThatFits(CGSizeMake(100, 0));
    EXPECT_LE(twoLines.width, 100);
    EXPECT_NEAR(2 * oneLine.height, twoLines.height, 3);
    label->setNumberOfLines(0);
    EXPECT_GT(label->sizeThatFits(CGSizeMake(100, 0)).height, twoLines.height) << "as many lines as needed";

    struct Case {
        CGFloat minimumScaleFactor;
        CGFloat width;
        CGFloat expectedSize; // 0: somewhere between the minimum and 17
    };
    const Case cases[] = {
        { 0.5f, 1000, 17 }, // fits: no shrinking
        { 0.5f, 10, 8.5f }, // cannot fit: the minimum
        { 0.5f, 90, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        auto shrink = UILabel::initWithFrame(CGRectMake(0, 0, c.width, 20));
        shrink->setText("Volantrix flights");
        shrink->setAdjustsFontSizeToFitWidth(true);
        shrink->setMinimumScaleFactor(c.minimumScaleFactor);
        CGFloat size = shrink->fittedFont()->pointSize();
        if (c.expectedSize > 0) {
            EXPECT_FLOAT_EQ(c.expectedSize, size);
        } else {
            EXPECT_GT(size, 8.5f);
            EXPECT_LT(size, 17);
            EXPECT_LE(NSString_Drawing::sizeWithFont("Volantrix flights", shrink->fittedFont()).width, c.width);
        }
    }
}
