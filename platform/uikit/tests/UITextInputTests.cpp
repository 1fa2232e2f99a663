#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "graphics/CGImage.h"
#include "graphics/NSValue.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UITextField.h"
#include "uikit/UITextView.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

std::string rect(CGRect r)
{
    return std::to_string(int(r.origin.x)) + "," + std::to_string(int(r.origin.y)) + " "
        + std::to_string(int(r.size.width)) + "x" + std::to_string(int(r.size.height));
}

class FieldDelegate : public NSObject, public UITextFieldDelegate {
    VX_OBJECT(FieldDelegate, NSObject)
public:
    explicit FieldDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<FieldDelegate> init() { return make<FieldDelegate>(); }
    bool textFieldShouldBeginEditing(const Ref<UITextField>& f) override { return allowBegin; }
    void textFieldDidBeginEditing(const Ref<UITextField>& f) override
    {
        log.add("didBegin " + std::to_string(f->tag()));
    }
    bool textFieldShouldEndEditing(const Ref<UITextField>&) override { return allowEnd; }
    void textFieldDidEndEditing(const Ref<UITextField>& f) override { log.add("didEnd " + std::to_string(f->tag())); }
    bool textFieldShouldChangeCharactersInRangeReplacementString(
        const Ref<UITextField>& f, NSRange range, const std::string& s) override
    {
        // Digits only, at most five of them.
        if (s.find_first_not_of("0123456789") != std::string::npos)
            return false;
        return NSString::toUTF16(f->text()).size() - range.length + s.size() <= 5;
    }
    bool textFieldShouldReturn(const Ref<UITextField>&) override
    {
        log.add("shouldReturn");
        return true;
    }
    bool allowBegin { true };
    bool allowEnd { true };
    EventRecorder log;
};

// Records the touches that reach it.
class TouchLog : public UIView {
    VX_OBJECT(TouchLog, UIView)
public:
    explicit TouchLog(Passkey key)
        : UIView(key)
    {
    }
    static Ref<TouchLog> initWithFrame(CGRect frame) { return makeView<TouchLog>(frame); }
    void touchesBegan(const UITouchSet&, const Ref<UIEvent>&) override { ++touches; }
    void touchesEnded(const UITouchSet&, const Ref<UIEvent>&) override { }
    int touches { 0 };
};

// The colour of one pixel of an image, as its bytes.
std::vector<uint8_t> pixel(const Ref<UIImage>& image, int x, int y)
{
    auto data = CGDataProviderCopyData(CGImageGetDataProvider(image->CGImage()));
    size_t bytes = CGImageGetBitsPerPixel(image->CGImage()) / 8;
    size_t at = size_t(y) * CGImageGetBytesPerRow(image->CGImage()) + size_t(x) * bytes;
    return std::vector<uint8_t>(data.begin() + long(at), data.begin() + long(at + bytes));
}

class UITextInputTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        UIKeyboard::resetForTesting();
        m_window = makeKeyWindow();
        for (int i = 0; i < 2; ++i) {
            auto field = UITextField::initWithFrame(CGRectMake(10, 10 + 50 * i, 300, 40));
            field->setTag(i);
            m_window->addSubview(field);
            m_fields.push_back(field);
        }
        m_observer = NSNotificationCenter::defaultCenter()->addObserverForName(
            std::nullopt, nullptr, nullptr, [this](const Ref<NSNotification>& note) {
                if (note->name().rfind("UIKeyboard", 0) != 0)
                    return;
                auto end = note->userInfo()[UIKeyboardFrameEndUserInfoKey].objectAs<NSValue>();
                m_notes.add(note->name().substr(10) + " " + (end ? rect(end->CGRectValue()) : "?") + " "
                    + std::to_string(note->userInfo()[UIKeyboardAnimationDurationUserInfoKey].doubleValue())
                          .substr(0, 4)
                    + " " + std::to_string(note->userInfo()[UIKeyboardAnimationCurveUserInfoKey].intValue()));
            });
    }
    void TearDown() override
    {
        NSNotificationCenter::defaultCenter()->removeObserver(m_observer);
        UIKeyboard::resetForTesting();
        HostedWindowTest::TearDown();
    }

    Ref<UIWindow> m_window;
    std::vector<Ref<UITextField>> m_fields;
    Ref<NSObject> m_observer;
    EventRecorder m_notes;
};

TEST_F(UITextInputTest, KeyboardFollowsTheFirstResponderWithNotifications)
{
    auto delegate = FieldDelegate::init();
    for (auto& field : m_fields)
        field->setDelegate(delegate.get(), delegate);

    // A touch on the field starts editing and brings the keyboard up.
    UIApplicationHost::tap(CGPointMake(50, 30));
    EXPECT_TRUE(m_fields[0]->isFirstResponder());
    EXPECT_THAT(m_notes.take(), ElementsAre("WillShowNotification 0,760 768x264 0.25 7"));
    m_clock.advance(0.25);
    EXPECT_THAT(m_notes.take(), ElementsAre("DidShowNotification 0,760 768x264 0.25 7"));

    // Moving to another field keeps the keyboard up.
    EXPECT_TRUE(m_fields[1]->becomeFirstResponder());
    m_clock.advance(1);
    EXPECT_THAT(m_notes.take(), ElementsAre());
    EXPECT_THAT(delegate->log.take(), ElementsAre("didBegin 0", "didEnd 0", "didBegin 1"));

    // A field that refuses to end editing keeps the keyboard.
    delegate->allowEnd = false;
    EXPECT_FALSE(m_fields[1]->resignFirstResponder());
    EXPECT_FALSE(m_fields[0]->becomeFirstResponder());
    EXPECT_TRUE(m_fields[1]->isEditing());
    delegate->allowEnd = true;

    // Hiding before the show animation ends still reports in order.
    EXPECT_TRUE(m_fields[1]->resignFirstResponder());
    UIApplication::sharedApplication()->setStatusBarOrientation(UIInterfaceOrientationLandscapeRight);
    EXPECT_TRUE(m_fields[0]->becomeFirstResponder());
    EXPECT_TRUE(m_window->endEditing(true));
    m_clock.advance(0.25);
    EXPECT_THAT(m_notes.take(),
        ElementsAre("WillHideNotification 0,1024 768x264 0.25 7", "DidHideNotification 0,1024 768x264 0.25 7",
            "WillShowNotification 416,0 352x1024 0.25 7", "DidShowNotification 416,0 352x1024 0.25 7",
            "WillHideNotification 768,0 352x1024 0.25 7", "DidHideNotification 768,0 352x1024 0.25 7"));
    EXPECT_FALSE(UIKeyboard::isVisible());

    delegate->allowBegin = false;
    EXPECT_FALSE(m_fields[0]->becomeFirstResponder());
    EXPECT_FALSE(UIKeyboard::typeText("1"));
}

TEST_F(UITextInputTest, TypingGoesThroughTheDelegateAndSendsEditingEvents)
{
    auto delegate = FieldDelegate::init();
    auto field = m_fields[0];
    field->setDelegate(delegate.get(), delegate);
    int changed = 0;
    int exits = 0;
    field->addTargetActionForControlEvents(
        nullptr, "changed", [&](const Ref<UIControl>&, const Ref<UIEvent>&) { ++changed; },
        UIControlEventEditingChanged);
    ASSERT_TRUE(field->becomeFirstResponder());

    struct Case {
        const char* name;
        std::function<void()> keys;
        const char* text;
        int changes;
    };
    const std::vector<Case> cases = {
        { "digits", [] { UIKeyboard::typeText("12"); }, "12", 1 },
        { "letters refused", [] { UIKeyboard::typeText("a"); }, "12", 0 },
        { "length limit", [] { UIKeyboard::typeText("3456"); }, "12", 0 },
        { "up to the limit", [] { UIKeyboard::typeText("345"); }, "12345", 1 },
        { "delete", [] { UIKeyboard::pressDelete(); }, "1234", 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        changed = 0;
        c.keys();
        EXPECT_EQ(field->text(), c.text);
        EXPECT_EQ(changed, c.changes);
    }

    // Without a delegate, a character outside the basic plane is deleted whole.
    field->setDelegate(nullptr, {});
    field->setText("a\xF0\x9F\x9B\xAA");
    UIKeyboard::pressDelete();
    EXPECT_EQ(field->text(), "a");

    // Return asks the delegate; with an end-on-exit action the keyboard goes away.
    field->setDelegate(delegate.get(), delegate);
    UIKeyboard::pressReturn();
    EXPECT_TRUE(field->isFirstResponder());
    field->addTargetActionForControlEvents(
        nullptr, "exit", [&](const Ref<UIControl>&, const Ref<UIEvent>&) { ++exits; },
        UIControlEventEditingDidEndOnExit);
    UIKeyboard::pressReturn();
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_THAT(delegate->log.take(), ElementsAre("didBegin 0", "shouldReturn", "shouldReturn", "didEnd 0"));

    // Clear button modes.
    field->setText("9");
    field->setClearButtonMode(UITextFieldViewModeWhileEditing);
    EXPECT_FALSE(field->isClearButtonVisible());
    field->becomeFirstResponder();
    EXPECT_TRUE(field->isClearButtonVisible());
    field->userTapClearButton();
    EXPECT_EQ(field->text(), "");
}

class ViewDelegate : public NSObject, public UITextViewDelegate {
    VX_OBJECT(ViewDelegate, NSObject)
public:
    explicit ViewDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<ViewDelegate> init() { return make<ViewDelegate>(); }
    void textViewDidChange(const Ref<UITextView>& v) override { log.add("didChange " + v->text()); }
    EventRecorder log;
};

TEST_F(UITextInputTest, TextViewReplacesTheSelectionAndGrowsItsContent)
{
    auto view = UITextView::initWithFrame(CGRectMake(0, 200, 300, 100));
    m_window->addSubview(view);
    auto delegate = ViewDelegate::init();
    view->setTextViewDelegate(delegate.get(), delegate);
    view->setText("hello world");
    CGFloat oneLine = view->contentSize().height;
    ASSERT_TRUE(view->becomeFirstResponder());
    EXPECT_TRUE(UIKeyboard::isVisible());

    view->setSelectedRange({ 6, 5 });
    UIKeyboard::typeText("there");
    EXPECT_EQ(view->text(), "hello there");
    EXPECT_EQ(view->selectedRange(), (NSRange { 11, 0 }));
    view->setSelectedRange({ 5, 0 });
    UIKeyboard::pressDelete();
    UIKeyboard::pressReturn();
    EXPECT_EQ(view->text(), "hell\n there");
    EXPECT_THAT(
        delegate->log.take(), ElementsAre("didChange hello there", "didChange hell there", "didChange hell\n there"));

    for (int i = 0; i < 20; ++i)
        UIKeyboard::pressReturn();
    EXPECT_GT(view->contentSize().height, oneLine * 5);
    view->scrollRangeToVisible({ NSUInteger(NSString::toUTF16(view->text()).size()), 0 });
    EXPECT_GT(view->contentOffset().y, 0);
    EXPECT_EQ(view->contentOffset().y, view->maximumContentOffset().y - 8);
}

} // namespace

// The keyboard shows as keys at the bottom of the screen with the input's accessory view on top
// of them, in a window of its own over the application's: drawn, reported as one band, and
// taking the touches that land on it.
TEST_F(UITextInputTest, KeyboardShowsItsKeysWithTheAccessoryViewOnTop)
{
    m_window->setBackgroundColor(UIColor::whiteColor());
    auto accessory = TouchLog::initWithFrame(CGRectMake(0, 0, 0, 55));
    accessory->setBackgroundColor(UIColor::redColor());
    m_fields[0]->setInputAccessoryView(accessory);
    auto below = TouchLog::initWithFrame(CGRectMake(0, 600, 768, 424));
    m_window->addSubview(below);
    auto before = UIApplicationHost::renderKeyWindow();

    ASSERT_TRUE(m_fields[0]->becomeFirstResponder());
    m_clock.advance(0.25);
    EXPECT_THAT(m_notes.take(),
        ElementsAre("WillShowNotification 0,705 768x319 0.25 7", "DidShowNotification 0,705 768x319 0.25 7"));
    auto keyboard = UIKeyboard::window();
    ASSERT_TRUE(keyboard);
    EXPECT_GT(keyboard->windowLevel(), m_window->windowLevel());
    EXPECT_EQ(accessory->window(), keyboard);
    EXPECT_EQ(rect(accessory->convertRectToView(accessory->bounds(), nullptr)), "0,705 768x55")
        << "as wide as the keys, right on top of them";

    auto shown = UIApplicationHost::renderKeyWindow();
    EXPECT_EQ(pixel(shown, 100, 300), pixel(before, 100, 300)) << "above the keyboard the window shows";
    EXPECT_EQ(pixel(shown, 100, 730), pixel(shown, 700, 730)) << "the accessory view";
    EXPECT_NE(pixel(shown, 100, 730), pixel(before, 100, 730));
    EXPECT_NE(pixel(shown, 2, 1020), pixel(before, 2, 1020)) << "the keys' panel";

    UIApplicationHost::tap(CGPointMake(100, 730));
    UIApplicationHost::tap(CGPointMake(100, 900));
    UIApplicationHost::tap(CGPointMake(100, 650));
    EXPECT_EQ(accessory->touches, 1);
    EXPECT_EQ(below->touches, 1) << "the keys take their touches; above them the window gets its own";
    EXPECT_TRUE(m_fields[0]->isFirstResponder());

    // A field without an accessory view takes over: the band shrinks to the keys.
    ASSERT_TRUE(m_fields[1]->becomeFirstResponder());
    m_clock.advance(0.25);
    EXPECT_THAT(m_notes.take(),
        ElementsAre("WillShowNotification 0,760 768x264 0.25 7", "DidShowNotification 0,760 768x264 0.25 7"));
    EXPECT_FALSE(accessory->superview());

    ASSERT_TRUE(m_fields[1]->resignFirstResponder());
    EXPECT_FALSE(UIKeyboard::window());
    EXPECT_EQ(pixel(UIApplicationHost::renderKeyWindow(), 2, 1020), pixel(before, 2, 1020));
}
