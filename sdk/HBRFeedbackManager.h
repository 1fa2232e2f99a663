#pragma once

#include "foundation/Value.h"
#include "sdk/HBRFeedbackMessage.h"
#include "sdk/HBRHarborBaseManager.h"
#include "sdk/HBRHarborManagerDelegate.h"
#include "sdk/HBRHarborSDK.h"
#include "uikit/UIAlertView.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class NSHTTPURLResponse;
class NSURLResponse;
class UIViewController;

enum HBRFeedbackUserDataRequirement : int32_t {
    HBRFeedbackUserDataElementDontShow = 0, // never asked; the SDK delegate supplies it
    HBRFeedbackUserDataElementOptional = 1,
    HBRFeedbackUserDataElementRequired = 2,
};

// The feedback component: one message thread of this installation with the service. Keeps the
// messages in a keyed archive and the thread token and user data in the keychain, refreshes on
// becoming active after a stay in the background (and when its list asks, at most every 30 s),
// sends one message per request and merges the service's answers. Main thread only.
class HBRFeedbackManager : public HBRHarborBaseManager, public UIAlertViewDelegate {
    VX_OBJECT(HBRFeedbackManager, HBRHarborBaseManager)
public:
    explicit HBRFeedbackManager(Passkey key)
        : HBRHarborBaseManager(key)
    {
    }
    ~HBRFeedbackManager() override;

    using Completion = std::function<void(const Ref<NSError>& error)>;

    HBRFeedbackManagerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HBRFeedbackManagerDelegate* delegate, Weak<NSObject> owner) { m_delegate = { delegate, owner }; }
    bool isFeedbackManagerDisabled() const { return m_disableFeedbackManager; }
    void setDisableFeedbackManager(bool value) { m_disableFeedbackManager = value; }
    int32_t requireUserName() const { return m_requireUserName; }
    void setRequireUserName(int32_t value) { m_requireUserName = value; }
    int32_t requireUserEmail() const { return m_requireUserEmail; }
    void setRequireUserEmail(int32_t value) { m_requireUserEmail = value; }
    bool showAlertOnIncomingMessages() const { return m_showAlertOnIncomingMessages; }
    void setShowAlertOnIncomingMessages(bool value) { m_showAlertOnIncomingMessages = value; }
    bool showFirstRequiredPresentationModal() const { return m_showFirstRequiredPresentationModal; }
    void setShowFirstRequiredPresentationModal(bool value) { m_showFirstRequiredPresentationModal = value; }

    void startManager() override;
    bool isStarted() const { return m_started; }

    void loadMessages();
    void saveMessages();
    void updateMessagesList();
    void updateMessagesListIfRequired();

    uint32_t numberOfMessages() const { return uint32_t(m_feedbackList.size()); }
    Ref<HBRFeedbackMessage> messageAtIndex(uint32_t index) const;
    std::vector<Ref<HBRFeedbackMessage>> messagesWithStatus(int32_t status) const;
    Ref<HBRFeedbackMessage> messageWithID(int64_t id) const;
    Ref<HBRFeedbackMessage> lastMessageHavingID() const;
    void updateLastMessageID();
    void sortFeedbackList();
    void markSendInProgressMessagesAsPending();
    void markSendInProgressMessagesAsInConflict();
    bool deleteMessageAtIndex(uint32_t index);
    void deleteAllMessages();

    void updateAppDefinedUserData();
    bool updateUserIDUsingDelegate();
    bool updateUserNameUsingDelegate();
    bool updateUserEmailUsingDelegate();
    bool askManualUserDataAvailable();
    bool requireManualUserDataMissing();
    bool isManualUserDataAvailable();
    void updateDidAskUserData();
    static std::string uuidString();
    static std::string uuidAsLowerCaseAndShortened();

    // The network side.
    void submitMessageWithText(const std::string& text);
    void submitPendingMessages();
    void fetchMessageUpdates();
    void sendNetworkRequestWithHTTPMethodWithMessageCompletionHandler(
        const std::string& method, const Ref<HBRFeedbackMessage>& message, Completion completion);
    // Handles the service's reply to a request (status, body bytes, transport error) as the
    // request's completion does, then calls `completion`. Any bytes may arrive here.
    void handleResponse(
        const Ref<NSURLResponse>& response, const Value& data, const Ref<NSError>& error, const Completion& completion);
    // Merges a reply; nullopt for a thread the service no longer knows.
    void updateMessageListFromResponse(const std::optional<Value>& response);
    // Presents the list screen through showView; the screens are kept by the host application.
    void showFeedbackListView();
    Ref<class HBRFeedbackComposeViewController> feedbackComposeViewController();
    void showFeedbackComposeView();

    // UIAlertViewDelegate: the new-message alert.
    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t buttonIndex) override;

    const std::vector<Ref<HBRFeedbackMessage>>& feedbackList() const { return m_feedbackList; }
    const std::optional<std::string>& token() const { return m_token; }
    void setToken(std::optional<std::string> token) { m_token = std::move(token); }
    const std::optional<double>& lastCheck() const { return m_lastCheck; }
    const std::optional<int64_t>& lastMessageID() const { return m_lastMessageID; }
    const std::optional<std::string>& userID() const { return m_userID; }
    void setUserID(std::optional<std::string> value) { m_userID = std::move(value); }
    const std::optional<std::string>& userName() const { return m_userName; }
    void setUserName(std::optional<std::string> value) { m_userName = std::move(value); }
    const std::optional<std::string>& userEmail() const { return m_userEmail; }
    void setUserEmail(std::optional<std::string> value) { m_userEmail = std::move(value); }
    bool didAskUserData() const { return m_didAskUserData; }
    bool isNetworkRequestInProgress() const { return m_networkRequestInProgress; }
    const Ref<UIViewController>& currentFeedbackListViewController() const { return m_currentList; }
    void setCurrentFeedbackListViewController(Ref<UIViewController> screen) { m_currentList = std::move(screen); }
    const Ref<UIViewController>& currentFeedbackComposeViewController() const { return m_currentCompose; }
    void setCurrentFeedbackComposeViewController(Ref<UIViewController> screen) { m_currentCompose = std::move(screen); }
    const std::string& settingsFile() const { return m_settingsFile; }

protected:
    void init() override;

private:
    // Writes the settings file and the keychain items as they are, without sorting the list.
    void writeStore();
    void registerObservers();
    void unregisterObservers();
    void didEnterBackgroundActions();
    void didBecomeActiveActions();
    void scheduleAfter(const char* name, double delay, std::function<void(HBRFeedbackManager&)> action);

    HBRDelegateRef<HBRFeedbackManagerDelegate> m_delegate;
    int32_t m_requireUserName { HBRFeedbackUserDataElementOptional };
    int32_t m_requireUserEmail { HBRFeedbackUserDataElementOptional };
    bool m_showAlertOnIncomingMessages { true };
    bool m_showFirstRequiredPresentationModal { true };
    bool m_disableFeedbackManager { false };
    bool m_started { false };
    std::vector<Ref<HBRFeedbackMessage>> m_feedbackList;
    std::optional<std::string> m_token;
    std::optional<double> m_lastCheck;
    std::optional<int64_t> m_lastMessageID;
    std::optional<std::string> m_userID, m_userName, m_userEmail;
    bool m_didAskUserData { false };
    Ref<UIViewController> m_currentList;
    Ref<UIViewController> m_currentCompose;
    bool m_networkRequestInProgress { false };
    bool m_didEnterBackgroundState { false };
    Ref<NSObject> m_enterBackgroundObserver, m_becomeActiveObserver, m_networkObserver;
    std::string m_feedbackDir, m_settingsFile;
};
