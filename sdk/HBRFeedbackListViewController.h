#pragma once

#include "sdk/HBRAttributedLabel.h"
#include "sdk/HBRFeedbackComposeViewController.h"
#include "sdk/HBRFeedbackUserDataViewController.h"
#include "sdk/HBRHarborBaseViewController.h"
#include "uikit/UIActionSheet.h"
#include "uikit/UIAlertView.h"

class HBRFeedbackManager;
class NSDateFormatter;
class UIRefreshControl;

// The feedback thread: a button to write, the messages, the user-data button and a button that
// deletes everything, under a header with the time of the last check. Pulling refreshes;
// links in messages can be opened or copied. Main thread only.
class HBRFeedbackListViewController : public HBRHarborBaseViewController,
                                      public HBRFeedbackUserDataDelegate,
                                      public HBRFeedbackComposeViewControllerDelegate,
                                      public HBRAttributedLabelDelegate,
                                      public UIAlertViewDelegate,
                                      public UIActionSheetDelegate {
    VX_OBJECT(HBRFeedbackListViewController, HBRHarborBaseViewController)
public:
    explicit HBRFeedbackListViewController(Passkey key)
        : HBRHarborBaseViewController(key)
    {
    }
    ~HBRFeedbackListViewController() override;
    // A modal screen carries the Done button of the kit's screens.
    static Ref<HBRFeedbackListViewController> initWithStyleModal(UITableViewStyle style, bool modal);

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override;
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>&, int32_t section) override;
    Ref<UIView> tableViewViewForHeaderInSection(const Ref<UITableView>&, int32_t section) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    bool tableViewCanEditRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewCommitEditingStyleForRowAtIndexPath(
        const Ref<UITableView>&, UITableViewCellEditingStyle, const Ref<NSIndexPath>&) override;

    void newFeedbackAction();
    void setUserDataAction();
    void deleteAllMessagesAction();
    void reloadList();
    void deleteAllMessages();
    void showDelayedUserDataViewController();
    void startLoadingIndicator();
    void stopLoadingIndicator();
    bool isRefreshingWithNewControl() const;
    void updateList();
    // The text of the user-data button.
    std::string userDataButtonTitle() const;
    Ref<UIView> viewForShowingActionSheetOnPhone();
    void willRotateToInterfaceOrientationDuration(int32_t orientation, double duration);

    void userDataUpdateCancelled() override;
    void userDataUpdateFinished() override;
    bool feedbackComposeViewControllerDidFinishWithResult(
        HBRFeedbackComposeViewController&, HBRFeedbackComposeOutcome) override;
    bool attributedLabelDidSelectLinkWithURL(HBRAttributedLabel&, const Ref<NSURL>& url) override;
    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t buttonIndex) override;
    void actionSheetDidDismissWithButtonIndex(const Ref<UIActionSheet>& sheet, int32_t buttonIndex) override;

    int32_t userButtonSection() const { return m_userButtonSection; }
    int32_t deleteButtonSection() const { return m_deleteButtonSection; }
    bool userDataComposeFlow() const { return m_userDataComposeFlow; }
    const Ref<UIRefreshControl>& refreshControl() const { return m_refreshControl; }

private:
    Ref<HBRFeedbackManager> manager() const { return m_manager.lock(); }
    // Opens or copies the link of a tag-1 alert or sheet.
    void linkAction(const std::string& title, bool open);
    // A button other than cancel of the delete-all (tag 0) or link (tag 1) alert or sheet.
    void choiceMade(int32_t tag, const std::string& title, bool deleteChosen, bool firstOther);
    // Closes the form or compose screen: dismissed outside the first-message flow; in the flow
    // dismissed and the list reloaded, or popped back to the list.
    void endFlowStep();

    Weak<HBRFeedbackManager> m_manager;
    Ref<NSDateFormatter> m_lastUpdateDateFormatter;
    bool m_userDataComposeFlow { false };
    int32_t m_userButtonSection { -1 };
    int32_t m_deleteButtonSection { -1 };
    Ref<UIRefreshControl> m_refreshControl;
};
