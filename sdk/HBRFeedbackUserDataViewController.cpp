#include "sdk/HBRFeedbackUserDataViewController.h"

#include "graphics/UIColor.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITableViewCell.h"

VX_REGISTER_CLASS(HBRFeedbackUserDataViewController);

Ref<HBRFeedbackUserDataViewController> HBRFeedbackUserDataViewController::initWithStyle(UITableViewStyle style)
{
    auto form = initWithStyleModal<HBRFeedbackUserDataViewController>(style, false);
    form->setTitle(HBRLocalizedString(std::string("HarborFeedbackUserDataTitle")));
    if (auto harbor = HBRHarborManager::existingSharedHarborManager())
        form->m_manager = harbor->feedbackManager();
    return form;
}

bool HBRFeedbackUserDataViewController::asksName() const
{
    auto manager = m_manager.lock();
    return manager && manager->requireUserName() != HBRFeedbackUserDataElementDontShow;
}

bool HBRFeedbackUserDataViewController::asksEmail() const
{
    auto manager = m_manager.lock();
    return manager && manager->requireUserEmail() != HBRFeedbackUserDataElementDontShow;
}

Ref<UIBarButtonItem> HBRFeedbackUserDataViewController::saveButton()
{
    return navigationItem()->rightBarButtonItem();
}

void HBRFeedbackUserDataViewController::viewDidLoad()
{
    HBRHarborBaseViewController::viewDidLoad();
    tableView()->setScrollEnabled(false);
}

void HBRFeedbackUserDataViewController::viewWillAppear(bool animated)
{
    HBRHarborBaseViewController::viewWillAppear(animated);
    Weak<HBRFeedbackUserDataViewController> weak = self<HBRFeedbackUserDataViewController>();
    navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemCancel, self<HBRFeedbackUserDataViewController>(), [weak](const Ref<UIBarButtonItem>&) {
            if (auto form = weak.lock())
                form->dismissAction();
        }));
    navigationItem()->setRightBarButtonItem(UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemSave, self<HBRFeedbackUserDataViewController>(), [weak](const Ref<UIBarButtonItem>&) {
            if (auto form = weak.lock())
                form->saveAction();
        }));
    if (auto manager = m_manager.lock()) {
        if (manager->userName())
            m_name = *manager->userName();
        if (manager->userEmail())
            m_email = *manager->userEmail();
        manager->updateDidAskUserData();
    }
    saveButton()->setEnabled(allRequiredFieldsEntered());
}

int32_t HBRFeedbackUserDataViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t)
{
    return int32_t(asksName()) + int32_t(asksEmail());
}

std::optional<std::string> HBRFeedbackUserDataViewController::tableViewTitleForFooterInSection(
    const Ref<UITableView>&, int32_t)
{
    return HBRLocalizedString(std::string("HarborFeedbackUserDataDescription"));
}

Ref<UITableViewCell> HBRFeedbackUserDataViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    auto cell = UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "InputCell");
    cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
    cell->setBackgroundColor(UIColor::whiteColor());
    int32_t row = indexPath->row();
    bool nameRow = asksName() && row == 0;
    auto field = UITextField::initWithFrame(CGRectMake(110, 11, view()->frame().size.width - 110 - 35, 24));
    field->setAdjustsFontSizeToFitWidth(true);
    field->setTextColor(UIColor::blackColor());
    field->setBackgroundColor(UIColor::whiteColor());
    field->setAutocorrectionType(UITextAutocorrectionTypeNo);
    field->setDelegate(this, self<HBRFeedbackUserDataViewController>());
    field->setTag(row);
    field->setClearButtonMode(UITextFieldViewModeWhileEditing);
    Weak<HBRFeedbackUserDataViewController> weak = self<HBRFeedbackUserDataViewController>();
    if (nameRow) {
        field->setPlaceholder(HBRLocalizedString(std::string("HarborFeedbackUserDataNamePlaceHolder")));
        field->setText(m_name);
        field->setKeyboardType(UIKeyboardTypeDefault);
        field->setReturnKeyType(asksEmail() ? UIReturnKeyNext : UIReturnKeyDone);
        field->setAutocapitalizationType(UITextAutocapitalizationTypeWords);
        field->addTargetActionForControlEvents(
            self<HBRFeedbackUserDataViewController>(), "userNameEntered:",
            [weak](const Ref<UIControl>& sender, const Ref<UIEvent>&) {
                if (auto form = weak.lock())
                    form->userNameEntered(std::static_pointer_cast<UITextField>(sender)->text());
            },
            UIControlEventEditingChanged);
        cell->textLabel()->setText(HBRLocalizedString(std::string("HarborFeedbackUserDataName")));
    } else {
        field->setPlaceholder(HBRLocalizedString(std::string("HarborFeedbackUserDataEmailPlaceholder")));
        field->setText(m_email);
        field->setKeyboardType(UIKeyboardTypeEmailAddress);
        field->setReturnKeyType(UIReturnKeyDone);
        field->setAutocapitalizationType(UITextAutocapitalizationTypeNone);
        field->addTargetActionForControlEvents(
            self<HBRFeedbackUserDataViewController>(), "userEmailEntered:",
            [weak](const Ref<UIControl>& sender, const Ref<UIEvent>&) {
                if (auto form = weak.lock())
                    form->userEmailEntered(std::static_pointer_cast<UITextField>(sender)->text());
            },
            UIControlEventEditingChanged);
        cell->textLabel()->setText(HBRLocalizedString(std::string("HarborFeedbackUserDataEmail")));
    }
    cell->contentView()->addSubview(field);
    return cell;
}

bool HBRFeedbackUserDataViewController::allRequiredFieldsEntered() const
{
    auto manager = m_manager.lock();
    if (!manager)
        return false;
    if (manager->requireUserName() == HBRFeedbackUserDataElementRequired && m_name.empty())
        return false;
    if (manager->requireUserEmail() == HBRFeedbackUserDataElementRequired && m_email.empty())
        return false;
    if (!m_email.empty())
        return HBRIsValidEmail(m_email);
    return true;
}

void HBRFeedbackUserDataViewController::userNameEntered(const std::string& text)
{
    m_name = text;
    saveButton()->setEnabled(allRequiredFieldsEntered());
}

void HBRFeedbackUserDataViewController::userEmailEntered(const std::string& text)
{
    m_email = text;
    saveButton()->setEnabled(allRequiredFieldsEntered());
}

bool HBRFeedbackUserDataViewController::textFieldShouldReturn(const Ref<UITextField>& field)
{
    if (auto next = view()->viewWithTag(field->tag() + 1)) {
        next->becomeFirstResponder();
    } else if (allRequiredFieldsEntered()) {
        field->resignFirstResponder();
        saveAction();
    }
    return false;
}

void HBRFeedbackUserDataViewController::saveAction()
{
    if (auto manager = m_manager.lock()) {
        if (manager->requireUserName() != HBRFeedbackUserDataElementDontShow)
            manager->setUserName(m_name);
        if (manager->requireUserEmail() != HBRFeedbackUserDataElementDontShow)
            manager->setUserEmail(m_email);
    }
    if (auto target = m_delegate.get())
        target->userDataUpdateFinished();
}

void HBRFeedbackUserDataViewController::dismissAction()
{
    if (auto target = m_delegate.get())
        target->userDataUpdateCancelled();
}
