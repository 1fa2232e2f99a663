#pragma once

#include "foundation/Locked.h"
#include "foundation/NSObject.h"
#include "uikit/UIAlertView.h"

#include <functional>
#include <string>
#include <vector>

// Wraps an alert so that the caller hands over one block, run when a button is pressed,
// instead of acting as the alert's delegate. From showWithDismissHandler until a button is
// pressed (or the alert is dismissed) the wrapper keeps itself alive, so the caller need not
// hold it. Main thread only
// (the handler property itself may be read and set from any thread).
class BlockAlertView : public NSObject, public UIAlertViewDelegate {
    VX_OBJECT(BlockAlertView, NSObject)
public:
    // The pressed button's index, and whether it is the cancel button.
    using DismissHandler = std::function<void(int32_t buttonIndex, bool isCancel)>;

    explicit BlockAlertView(Passkey key)
        : NSObject(key)
    {
    }
    // The alert with the title, the message and the cancel button, then one button per other
    // title in order.
    static Ref<BlockAlertView> initWithTitleMessageCancelButtonTitleOtherButtonTitles(const std::string& title,
        const std::string& message, const std::string& cancelButtonTitle,
        const std::vector<std::string>& otherButtonTitles);

    // Keeps the handler and the wrapper itself, and shows the alert. A null handler is allowed.
    void showWithDismissHandler(DismissHandler handler);

    // UIAlertViewDelegate: runs the handler once, then lets the wrapper go.
    void alertViewClickedButtonAtIndex(const Ref<UIAlertView>& alertView, int32_t buttonIndex) override;
    // An alert dismissed in code had no button pressed: the handler is not run, but the wrapper
    // goes all the same instead of keeping itself for ever.
    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alertView, int32_t buttonIndex) override;
    // Likewise when the system cancels the alert.
    void alertViewCancel(const Ref<UIAlertView>& alertView) override;

    const Ref<BlockAlertView>& strongAlertReference() const { return m_strongAlertReference; }
    void setStrongAlertReference(Ref<BlockAlertView> reference) { m_strongAlertReference = std::move(reference); }
    DismissHandler activeDismissHandler() const;
    void setActiveDismissHandler(DismissHandler handler);
    const std::string& activeTitle() const { return m_activeTitle; }
    void setActiveTitle(std::string title) { m_activeTitle = std::move(title); }
    const std::string& activeMessage() const { return m_activeMessage; }
    void setActiveMessage(std::string message) { m_activeMessage = std::move(message); }
    const std::string& activeCancelTitle() const { return m_activeCancelTitle; }
    void setActiveCancelTitle(std::string title) { m_activeCancelTitle = std::move(title); }
    const std::string& activeOtherTitles() const { return m_activeOtherTitles; }
    void setActiveOtherTitles(std::string titles) { m_activeOtherTitles = std::move(titles); }
    const Ref<UIAlertView>& activeAlert() const { return m_activeAlert; }
    void setActiveAlert(Ref<UIAlertView> alert) { m_activeAlert = std::move(alert); }

private:
    Ref<BlockAlertView> m_strongAlertReference;
    Locked<DismissHandler> m_activeDismissHandler;
    std::string m_activeTitle;
    std::string m_activeMessage;
    std::string m_activeCancelTitle;
    std::string m_activeOtherTitles;
    Ref<UIAlertView> m_activeAlert;
};
