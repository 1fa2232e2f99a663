#pragma once

#include "sdk/HBRHarborBaseViewController.h"
#include "sdk/HBRHarborSDK.h"
#include "uikit/UITextField.h"

#include <string>

class HBRFeedbackManager;

// Told when the user-data form is saved or cancelled; the delegate closes the form.
class HBRFeedbackUserDataDelegate {
public:
    virtual ~HBRFeedbackUserDataDelegate() = default;
    virtual void userDataUpdateCancelled() = 0;
    virtual void userDataUpdateFinished() = 0;
};

// The form for the user's name and e-mail address, with the rows the feedback component asks
// for; it can be saved only when the required fields are filled and a given address is valid.
// Main thread only.
class HBRFeedbackUserDataViewController : public HBRHarborBaseViewController, public UITextFieldDelegate {
    VX_OBJECT(HBRFeedbackUserDataViewController, HBRHarborBaseViewController)
public:
    explicit HBRFeedbackUserDataViewController(Passkey key)
        : HBRHarborBaseViewController(key)
    {
    }
    static Ref<HBRFeedbackUserDataViewController> initWithStyle(UITableViewStyle style);

    void setDelegate(HBRFeedbackUserDataDelegate* delegate, Weak<NSObject> owner) { m_delegate = { delegate, owner }; }
    const std::string& name() const { return m_name; }
    const std::string& email() const { return m_email; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<std::string> tableViewTitleForFooterInSection(const Ref<UITableView>&, int32_t) override;
    bool allRequiredFieldsEntered() const;
    void userNameEntered(const std::string& text);
    void userEmailEntered(const std::string& text);
    bool textFieldShouldReturn(const Ref<UITextField>& field) override;
    void saveAction();
    void dismissAction();
    Ref<UIBarButtonItem> saveButton();

private:
    bool asksName() const;
    bool asksEmail() const;

    HBRDelegateRef<HBRFeedbackUserDataDelegate> m_delegate;
    Weak<HBRFeedbackManager> m_manager;
    std::string m_name;
    std::string m_email;
};
