#include "sdk/HBRFeedbackComposeViewController.h"

#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "graphics/NSValue.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "net/NSURL.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "uikit/UIApplication.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIDevice.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

VX_REGISTER_CLASS(HBRFeedbackComposeViewController);

namespace {
constexpr const char* HBRLogClassName = "HBRFeedbackComposeViewController";
}

Ref<HBRFeedbackComposeViewController> HBRFeedbackComposeViewController::init()
{
    auto screen = makeController<HBRFeedbackComposeViewController>({}, nullptr);
    screen->setTitle(HBRLocalizedString(std::string("HarborFeedbackComposeTitle")));
    if (auto harbor = HBRHarborManager::existingSharedHarborManager())
        screen->m_manager = harbor->feedbackManager();
    return screen;
}

void HBRFeedbackComposeViewController::prepareWithItems(const std::vector<Value>& items)
{
    for (const auto& item : items) {
        std::optional<std::string> piece;
        if (item.isString())
            piece = item.string();
        else if (auto url = item.objectAs<NSURL>())
            piece = url->absoluteString();
        if (!piece) {
            HBRLog("Unknown item type %@", item.description());
            continue;
        }
        m_text = NSString::stringWithFormat("%@%@", m_text ? *m_text + " " : std::string(), *piece);
    }
}

Ref<UIBarButtonItem> HBRFeedbackComposeViewController::sendButton()
{
    return navigationItem()->rightBarButtonItem();
}

void HBRFeedbackComposeViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::whiteColor());
    Weak<HBRFeedbackComposeViewController> weak = self<HBRFeedbackComposeViewController>();
    navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemCancel, self<HBRFeedbackComposeViewController>(), [weak](const Ref<UIBarButtonItem>&) {
            if (auto screen = weak.lock())
                screen->dismissAction();
        }));
    navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::initWithTitleStyleTargetAction(HBRLocalizedString(std::string("HarborFeedbackComposeSend")),
            UIBarButtonItemStyleDone, self<HBRFeedbackComposeViewController>(), [weak](const Ref<UIBarButtonItem>&) {
                if (auto screen = weak.lock())
                    screen->sendAction();
            }));
    m_textView = UITextView::initWithFrame(view()->frame());
    m_textView->setFont(UIFont::systemFontOfSize(17));
    m_textView->setTextViewDelegate(this, self<HBRFeedbackComposeViewController>());
    m_textView->setBackgroundColor(UIColor::whiteColor());
    m_textView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    view()->addSubview(m_textView);
}

void HBRFeedbackComposeViewController::viewWillAppear(bool animated)
{
    auto center = NSNotificationCenter::defaultCenter();
    Weak<HBRFeedbackComposeViewController> weak = self<HBRFeedbackComposeViewController>();
    if (!m_keyboardShownObserver)
        m_keyboardShownObserver = center->addObserverForName(
            std::string(UIKeyboardDidShowNotification), nullptr, nullptr, [weak](const Ref<NSNotification>& note) {
                if (auto screen = weak.lock())
                    screen->keyboardWasShown(note);
            });
    if (!m_keyboardHiddenObserver)
        m_keyboardHiddenObserver = center->addObserverForName(
            std::string(UIKeyboardWillHideNotification), nullptr, nullptr, [weak](const Ref<NSNotification>& note) {
                if (auto screen = weak.lock())
                    screen->keyboardWillBeHidden(note);
            });
    if (auto manager = m_manager.lock())
        manager->setCurrentFeedbackComposeViewController(self<HBRFeedbackComposeViewController>());
    UIViewController::viewWillAppear(animated);
    auto application = UIApplication::sharedApplication();
    m_statusBarStyle = application->statusBarStyle();
    application->setStatusBarStyle(UIStatusBarStyleDefault);
    m_textView->setFrame(view()->frame());
    if (m_text) {
        m_textView->setText(*m_text);
        sendButton()->setEnabled(true);
    } else {
        sendButton()->setEnabled(false);
    }
}

void HBRFeedbackComposeViewController::viewDidAppear(bool animated)
{
    UIViewController::viewDidAppear(animated);
    auto manager = m_manager.lock();
    if (manager && manager->askManualUserDataAvailable()
        && (manager->requireManualUserDataMissing() || !manager->didAskUserData())) {
        if (!m_blockUserDataScreen)
            setUserDataAction();
        return;
    }
    Weak<UITextView> weak = m_textView;
    performSelectorAfterDelay(
        self<HBRFeedbackComposeViewController>(), "becomeFirstResponder",
        [weak] {
            if (auto textView = weak.lock())
                textView->becomeFirstResponder();
        },
        0);
}

void HBRFeedbackComposeViewController::viewWillDisappear(bool animated)
{
    auto center = NSNotificationCenter::defaultCenter();
    for (auto* observer : { &m_keyboardShownObserver, &m_keyboardHiddenObserver }) {
        if (*observer)
            center->removeObserver(*observer);
        *observer = nullptr;
    }
    if (auto manager = m_manager.lock())
        manager->setCurrentFeedbackComposeViewController(nullptr);
    UIViewController::viewWillDisappear(animated);
    UIApplication::sharedApplication()->setStatusBarStyle(UIStatusBarStyle(m_statusBarStyle));
}

float HBRFeedbackComposeViewController::editorHeightForKeyboardFrame(CGRect keyboard) const
{
    auto* self = const_cast<HBRFeedbackComposeViewController*>(this);
    CGRect frame = self->view()->frame();
    float boundsHeight = self->view()->bounds().size.height;
    CGRect screen = UIScreen::mainScreen()->bounds();
    auto navigation = self->navigationController();
    float barHeight = navigation && navigation->navigationBar() ? navigation->navigationBar()->frame().size.height : 0;
    auto orientation = UIApplication::sharedApplication()->statusBarOrientation();
    bool portrait
        = orientation == UIInterfaceOrientationPortrait || orientation == UIInterfaceOrientationPortraitUpsideDown;
    if (UIDevice::currentDevice()->userInterfaceIdiom() == UIUserInterfaceIdiomPad) {
        if (portrait)
            return (screen.size.height - 20 - barHeight) - ((screen.size.height - 20) - boundsHeight) * 0.5f
                - keyboard.size.height;
        float margin = screen.size.width - 20 - keyboard.size.width < boundsHeight
            ? 30.0f
            : ((screen.size.width - 20) - boundsHeight) * 0.5f;
        return screen.size.width - barHeight - margin - keyboard.size.width;
    }
    return portrait ? frame.size.height - keyboard.size.height : frame.size.height - keyboard.size.width;
}

void HBRFeedbackComposeViewController::keyboardWasShown(const Ref<NSNotification>& notification)
{
    auto value = notification->userInfo()[UIKeyboardFrameBeginUserInfoKey].objectAs<NSValue>();
    if (!value || !m_textView)
        return;
    float height = editorHeightForKeyboardFrame(value->CGRectValue());
    m_textView->setFrame(CGRectMake(0, 0, view()->frame().size.width, height));
}

void HBRFeedbackComposeViewController::keyboardWillBeHidden(const Ref<NSNotification>&)
{
    if (m_textView)
        m_textView->setFrame(CGRectMake(0, 0, view()->frame().size.width, view()->frame().size.height));
}

void HBRFeedbackComposeViewController::textViewDidChange(const Ref<UITextView>& textView)
{
    sendButton()->setEnabled(!textView->text().empty());
}

void HBRFeedbackComposeViewController::sendAction()
{
    if (m_textView->isFirstResponder())
        m_textView->resignFirstResponder();
    if (auto manager = m_manager.lock())
        manager->submitMessageWithText(m_textView->text());
    dismissWithResult(HBRFeedbackComposeOutcomeSubmitted);
}

void HBRFeedbackComposeViewController::dismissAction()
{
    dismissWithResult(HBRFeedbackComposeOutcomeCancelled);
}

void HBRFeedbackComposeViewController::setUserDataAction()
{
    auto form = HBRFeedbackUserDataViewController::initWithStyle(UITableViewStyleGrouped);
    form->setDelegate(this, self<HBRFeedbackComposeViewController>());
    auto manager = m_manager.lock();
    if (!manager)
        return;
    auto navigation = manager->customNavigationControllerWithRootViewControllerPresentationStyle(
        form, UIModalPresentationFormSheet);
    presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

void HBRFeedbackComposeViewController::userDataUpdateCancelled()
{
    m_blockUserDataScreen = true;
    auto manager = m_manager.lock();
    if (manager && manager->requireManualUserDataMissing()) {
        Weak<HBRFeedbackComposeViewController> weak = self<HBRFeedbackComposeViewController>();
        dismissViewControllerAnimatedCompletion(true, [weak] {
            if (auto screen = weak.lock())
                screen->dismissViewControllerAnimatedCompletion(true, nullptr);
        });
        return;
    }
    dismissViewControllerAnimatedCompletion(true, nullptr);
}

void HBRFeedbackComposeViewController::userDataUpdateFinished()
{
    if (auto manager = m_manager.lock())
        manager->saveMessages();
    dismissViewControllerAnimatedCompletion(true, nullptr);
}

void HBRFeedbackComposeViewController::dismissWithResult(HBRFeedbackComposeOutcome outcome)
{
    auto protectedThis = self<HBRFeedbackComposeViewController>();
    if (auto target = m_delegate.get()) {
        if (target->feedbackComposeViewControllerDidFinishWithResult(*this, outcome))
            return;
        if (target->feedbackComposeViewControllerDidFinish(*this))
            return;
    }
    dismissViewControllerAnimatedCompletion(true, nullptr);
}
