#pragma once

#include "foundation/Value.h"
#include "sdk/HBRFeedbackUserDataViewController.h"
#include "sdk/HBRHarborSDK.h"
#include "uikit/UITextView.h"
#include "uikit/UIViewController.h"

#include <optional>
#include <string>
#include <vector>

class HBRFeedbackComposeViewController;
class HBRFeedbackManager;
class UIBarButtonItem;

enum HBRFeedbackComposeOutcome : int32_t {
    HBRFeedbackComposeOutcomeCancelled = 0,
    HBRFeedbackComposeOutcomeSubmitted = 1,
};

// Told when the compose screen finishes; both optional (false: not implemented).
class HBRFeedbackComposeViewControllerDelegate {
public:
    virtual ~HBRFeedbackComposeViewControllerDelegate() = default;
    virtual bool feedbackComposeViewControllerDidFinishWithResult(
        HBRFeedbackComposeViewController&, HBRFeedbackComposeOutcome)
    {
        return false;
    }
    virtual bool feedbackComposeViewControllerDidFinish(HBRFeedbackComposeViewController&) { return false; }
};

// The screen on which the user writes one feedback message and sends it. While it shows, the
// feedback component's new-message alert stays away. Main thread only.
class HBRFeedbackComposeViewController : public UIViewController,
                                         public UITextViewDelegate,
                                         public HBRFeedbackUserDataDelegate {
    VX_OBJECT(HBRFeedbackComposeViewController, UIViewController)
public:
    explicit HBRFeedbackComposeViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<HBRFeedbackComposeViewController> init();

    // Strings and URLs start the text, separated by one space; other items are skipped.
    void prepareWithItems(const std::vector<Value>& items);
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void textViewDidChange(const Ref<UITextView>& textView) override;
    // The editor leaves room for the keyboard, whose frame comes with the notification.
    void keyboardWasShown(const Ref<class NSNotification>& notification);
    void keyboardWillBeHidden(const Ref<class NSNotification>& notification);
    // The editor's height with the keyboard's frame at the start of its animation.
    float editorHeightForKeyboardFrame(CGRect keyboard) const;
    void sendAction();
    void dismissAction();
    void dismissWithResult(HBRFeedbackComposeOutcome outcome);
    // Presents the user-data form over this screen.
    void setUserDataAction();
    void userDataUpdateCancelled() override;
    void userDataUpdateFinished() override;

    void setDelegate(HBRFeedbackComposeViewControllerDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = { delegate, owner };
    }
    const std::optional<std::string>& text() const { return m_text; }
    const Ref<UITextView>& textView() const { return m_textView; }
    Ref<UIBarButtonItem> sendButton();

private:
    HBRDelegateRef<HBRFeedbackComposeViewControllerDelegate> m_delegate;
    Weak<HBRFeedbackManager> m_manager;
    Ref<UITextView> m_textView;
    std::optional<std::string> m_text;
    bool m_blockUserDataScreen { false };
    int32_t m_statusBarStyle { 0 };
    Ref<NSObject> m_keyboardShownObserver, m_keyboardHiddenObserver;
};
