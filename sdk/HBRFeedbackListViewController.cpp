#include "sdk/HBRFeedbackListViewController.h"

#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "net/NSURL.h"
#include "sdk/HBRFeedbackListViewCell.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIRefreshControl.h"
#include "uikit/UIWindow.h"

#include <algorithm>

VX_REGISTER_CLASS(HBRFeedbackListViewController);

namespace {

constexpr const char* kLoadingStarted = "HBRHarborFeedbackMessagesLoadingStarted";
constexpr const char* kLoadingFinished = "HBRHarborFeedbackMessagesLoadingFinished";
constexpr const char* kShowDelayedUserData = "showDelayedUserDataViewController";

Ref<UIColor> rgb(int r, int g, int b)
{
    return UIColor::colorWithRedGreenBlueAlpha(r / 255.0f, g / 255.0f, b / 255.0f, 1);
}

Ref<UIColor> buttonColor()
{
    return rgb(35, 111, 251);
}
Ref<UIColor> deleteColor()
{
    return rgb(251, 35, 35);
}
Ref<UIColor> headerColor()
{
    return rgb(75, 75, 75);
}
Ref<UIColor> lineColor()
{
    return rgb(215, 215, 215);
}

bool onPad()
{
    return UIDevice::currentDevice()->userInterfaceIdiom() == UIUserInterfaceIdiomPad;
}

constexpr int32_t kLineTag = 0x4842;

} // namespace

Ref<HBRFeedbackListViewController> HBRFeedbackListViewController::initWithStyleModal(UITableViewStyle style, bool modal)
{
    auto screen = HBRHarborBaseViewController::initWithStyleModal<HBRFeedbackListViewController>(style, modal);
    if (auto harbor = HBRHarborManager::existingSharedHarborManager())
        screen->m_manager = harbor->feedbackManager();
    screen->m_lastUpdateDateFormatter = NSDateFormatter::init();
    screen->m_lastUpdateDateFormatter->setDateStyle(NSDateFormatterShortStyle);
    screen->m_lastUpdateDateFormatter->setTimeStyle(NSDateFormatterShortStyle);
    return screen;
}

HBRFeedbackListViewController::~HBRFeedbackListViewController()
{
    NSNotificationCenter::defaultCenter()->removeObserver(static_cast<const NSObject*>(this));
    cancelPreviousPerformRequestsWithTarget(static_cast<const NSObject*>(this));
}

void HBRFeedbackListViewController::viewDidLoad()
{
    HBRHarborBaseViewController::viewDidLoad();
    auto center = NSNotificationCenter::defaultCenter();
    auto me = self<HBRFeedbackListViewController>();
    center->addObserver(
        me,
        [weak = Weak<HBRFeedbackListViewController>(me)](const Ref<NSNotification>&) {
            if (auto screen = weak.lock())
                screen->startLoadingIndicator();
        },
        std::string(kLoadingStarted), nullptr);
    center->addObserver(
        me,
        [weak = Weak<HBRFeedbackListViewController>(me)](const Ref<NSNotification>&) {
            if (auto screen = weak.lock())
                screen->updateList();
        },
        std::string(kLoadingFinished), nullptr);
    setTitle(HBRLocalizedString(std::string("HarborFeedbackListTitle")));
    auto table = tableView();
    table->setTableDelegate(this, me);
    table->setDataSource(this, me);
    table->setSeparatorStyle(UITableViewCellSeparatorStyleNone);
    // The grouped table's light grey behind the sections.
    table->setBackgroundColor(rgb(239, 239, 244));
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    m_refreshControl = UIRefreshControl::init();
    m_refreshControl->addTargetActionForControlEvents(
        me, "reloadList",
        [weak = Weak<HBRFeedbackListViewController>(me)](const Ref<UIControl>&, const Ref<UIEvent>&) {
            if (auto screen = weak.lock())
                screen->reloadList();
        },
        UIControlEventValueChanged);
    table->addSubview(m_refreshControl);
}

void HBRFeedbackListViewController::viewDidAppear(bool animated)
{
    if (m_userDataComposeFlow)
        m_userDataComposeFlow = false;
    auto feedback = manager();
    if (feedback) {
        feedback->setCurrentFeedbackListViewController(self<UIViewController>());
        feedback->updateMessagesListIfRequired();
    }
    if (feedback && feedback->numberOfMessages() == 0 && feedback->askManualUserDataAvailable()
        && feedback->requireManualUserDataMissing() && !feedback->didAskUserData()) {
        m_userDataComposeFlow = true;
        if (feedback->showFirstRequiredPresentationModal()) {
            setUserDataAction();
        } else {
            Weak<HBRFeedbackListViewController> weak = self<HBRFeedbackListViewController>();
            performSelectorAfterDelay(
                self<NSObject>(), kShowDelayedUserData,
                [weak] {
                    if (auto screen = weak.lock())
                        screen->showDelayedUserDataViewController();
                },
                0);
        }
    } else {
        tableView()->reloadData();
    }
    HBRHarborBaseViewController::viewDidAppear(animated);
}

void HBRFeedbackListViewController::viewWillDisappear(bool animated)
{
    if (auto feedback = manager())
        feedback->setCurrentFeedbackListViewController(nullptr);
    HBRHarborBaseViewController::viewWillDisappear(animated);
}

// Sections: write button, messages, the user-data button (when there is user data to show),
// then delete-all (when there are messages).
int32_t HBRFeedbackListViewController::numberOfSectionsInTableView(const Ref<UITableView>&)
{
    m_userButtonSection = -1;
    m_deleteButtonSection = -1;
    auto feedback = manager();
    int32_t count = 2;
    if (feedback && (feedback->isManualUserDataAvailable() || feedback->didAskUserData())) {
        m_userButtonSection = 2;
        count = 3;
    }
    if (feedback && feedback->numberOfMessages() > 0) {
        m_deleteButtonSection = count;
        return count + 1;
    }
    return count;
}

int32_t HBRFeedbackListViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section)
{
    if (section == 1) {
        auto feedback = manager();
        return feedback ? int32_t(feedback->numberOfMessages()) : 0;
    }
    return 1;
}

std::string HBRFeedbackListViewController::userDataButtonTitle() const
{
    auto feedback = manager();
    if (!feedback)
        return {};
    auto withName = [](const std::optional<std::string>& value) {
        return NSString::stringWithFormat(
            HBRLocalizedString(std::string("HarborFeedbackListButonUserDataWithName")), value.value_or("-"));
    };
    auto withEmail = [](const std::optional<std::string>& value) {
        return NSString::stringWithFormat(
            HBRLocalizedString(std::string("HarborFeedbackListButonUserDataWithEmail")), value.value_or("-"));
    };
    if (feedback->requireUserName() == HBRFeedbackUserDataElementRequired)
        return withName(feedback->userName());
    if (feedback->requireUserName() == HBRFeedbackUserDataElementOptional && feedback->userName())
        return withName(feedback->userName());
    if (feedback->requireUserEmail() == HBRFeedbackUserDataElementRequired)
        return withEmail(feedback->userEmail());
    if (feedback->requireUserEmail() == HBRFeedbackUserDataElementOptional && feedback->userEmail())
        return withEmail(feedback->userEmail());
    if (feedback->requireUserName() == HBRFeedbackUserDataElementOptional)
        return HBRLocalizedString(std::string("HarborFeedbackListButonUserDataSetName"));
    return HBRLocalizedString(std::string("HarborFeedbackListButonUserDataSetEmail"));
}

Ref<UITableViewCell> HBRFeedbackListViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    auto feedback = manager();
    int32_t section = indexPath->section();
    int32_t row = indexPath->row();
    if (section == 1) {
        auto cell = std::dynamic_pointer_cast<HBRFeedbackListViewCell>(
            table->dequeueReusableCellWithIdentifier("MessageCell"));
        if (!cell) {
            cell = HBRFeedbackListViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "MessageCell");
            cell->setAccessoryType(UITableViewCellAccessoryNone);
            cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        }
        cell->setBackgroundStyle(row % 2 == 0 ? 1 : 0);
        cell->setStyle(1);
        cell->setMessage(feedback ? feedback->messageAtIndex(uint32_t(row)) : nullptr);
        cell->labelText()->setDelegate(this, self<NSObject>());
        cell->labelText()->setUserInteractionEnabled(true);
        // A thin line separates a message from the one above it.
        auto line = cell->viewWithTag(kLineTag);
        if (row > 0 && !line) {
            line = UIView::initWithFrame(CGRectMake(0, 0, cell->frame().size.width, 1));
            line->setTag(kLineTag);
            line->setBackgroundColor(lineColor());
            line->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
            cell->addSubview(line);
        }
        if (line)
            line->setHidden(row == 0);
        return cell;
    }
    std::string identifier = section == 0 ? "ButtonTopCell"
        : section == m_userButtonSection  ? "ButtonBottomCell"
                                          : "ButtonDeleteCell";
    auto cell = table->dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
        cell = UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, identifier);
        cell->textLabel()->setFont(UIFont::systemFontOfSize(14));
        cell->textLabel()->setNumberOfLines(0);
        cell->setAccessoryType(UITableViewCellAccessoryNone);
        cell->setSelectionStyle(UITableViewCellSelectionStyleGray);
        // Rows of a grouped table stand out white from its background.
        cell->setBackgroundColor(UIColor::whiteColor());
    }
    if (section == 0) {
        bool none = !feedback || feedback->numberOfMessages() == 0;
        cell->textLabel()->setText(HBRLocalizedString(
            std::string(none ? "HarborFeedbackListButonWriteFeedback" : "HarborFeedbackListButonWriteResponse")));
        cell->textLabel()->setTextColor(buttonColor());
    } else if (section == m_userButtonSection) {
        cell->textLabel()->setText(userDataButtonTitle());
        cell->textLabel()->setTextColor(buttonColor());
    } else {
        cell->textLabel()->setText(HBRLocalizedString(std::string("HarborFeedbackListButonDeleteAllMessages")));
        cell->textLabel()->setTextColor(deleteColor());
    }
    return cell;
}

std::optional<CGFloat> HBRFeedbackListViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    if (indexPath->section() != 1)
        return 44;
    auto feedback = manager();
    auto message = feedback ? feedback->messageAtIndex(uint32_t(indexPath->row())) : nullptr;
    if (!message)
        return 44;
    return HBRFeedbackListViewCell::heightForRowWithMessageTableViewWidth(message, view()->frame().size.width);
}

std::optional<CGFloat> HBRFeedbackListViewController::tableViewHeightForHeaderInSection(
    const Ref<UITableView>&, int32_t section)
{
    if (section == 0)
        return 30;
    return std::nullopt;
}

Ref<UIView> HBRFeedbackListViewController::tableViewViewForHeaderInSection(const Ref<UITableView>&, int32_t section)
{
    if (section != 0)
        return nullptr;
    CGFloat width = view()->frame().size.width;
    auto header = UIView::initWithFrame(CGRectMake(0, 0, width, 30));
    header->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    auto label = UILabel::initWithFrame(CGRectMake(16, 5, std::max<CGFloat>(0, width - 32), 25));
    label->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    label->setFont(UIFont::systemFontOfSize(10));
    label->setTextColor(headerColor());
    label->setBackgroundColor(UIColor::clearColor());
    auto feedback = manager();
    std::string when = feedback && feedback->lastCheck()
        ? m_lastUpdateDateFormatter->stringFromDate(NSDate::dateWithTimeIntervalSince1970(*feedback->lastCheck()))
        : HBRLocalizedString(std::string("HarborFeedbackListNeverUpdated"));
    label->setText(NSString::stringWithFormat(HBRLocalizedString(std::string("HarborFeedbackListLastUpdated")), when));
    header->addSubview(label);
    return header;
}

void HBRFeedbackListViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    int32_t section = indexPath->section();
    if (section == 0)
        newFeedbackAction();
    else if (section == m_userButtonSection)
        setUserDataAction();
    else if (section == m_deleteButtonSection)
        deleteAllMessagesAction();
}

bool HBRFeedbackListViewController::tableViewCanEditRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    return indexPath->section() == 1;
}

void HBRFeedbackListViewController::tableViewCommitEditingStyleForRowAtIndexPath(
    const Ref<UITableView>& table, UITableViewCellEditingStyle style, const Ref<NSIndexPath>& indexPath)
{
    auto feedback = manager();
    if (style != UITableViewCellEditingStyleDelete || !feedback || indexPath->section() != 1)
        return;
    if (!feedback->deleteMessageAtIndex(uint32_t(indexPath->row())))
        return;
    if (feedback->numberOfMessages() > 0)
        table->deleteRowsAtIndexPathsWithRowAnimation({ indexPath }, UITableViewRowAnimationAutomatic);
    else
        table->reloadData();
}

// Actions

void HBRFeedbackListViewController::newFeedbackAction()
{
    auto feedback = manager();
    if (!feedback)
        return;
    auto compose = HBRFeedbackComposeViewController::init();
    auto navigation = feedback->customNavigationControllerWithRootViewControllerPresentationStyle(
        compose, UIModalPresentationFormSheet);
    presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

void HBRFeedbackListViewController::setUserDataAction()
{
    auto feedback = manager();
    if (!feedback)
        return;
    auto form = HBRFeedbackUserDataViewController::initWithStyle(UITableViewStyleGrouped);
    form->setDelegate(this, self<NSObject>());
    auto navigation = feedback->customNavigationControllerWithRootViewControllerPresentationStyle(
        form, UIModalPresentationFormSheet);
    presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

void HBRFeedbackListViewController::showDelayedUserDataViewController()
{
    auto form = HBRFeedbackUserDataViewController::initWithStyle(UITableViewStyleGrouped);
    form->setDelegate(this, self<NSObject>());
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(form, true);
}

void HBRFeedbackListViewController::reloadList()
{
    startLoadingIndicator();
    if (auto feedback = manager())
        feedback->updateMessagesList();
}

void HBRFeedbackListViewController::deleteAllMessages()
{
    if (auto feedback = manager())
        feedback->deleteAllMessages();
    tableView()->reloadData();
}

Ref<UIView> HBRFeedbackListViewController::viewForShowingActionSheetOnPhone()
{
    auto window = UIApplication::sharedApplication()->keyWindow();
    Ref<UIViewController> top = window ? window->rootViewController() : nullptr;
    while (top && top->presentedViewController())
        top = top->presentedViewController();
    return top ? top->view() : view();
}

void HBRFeedbackListViewController::deleteAllMessagesAction()
{
    if (onPad()) {
        auto alert
            = UIAlertView::initWithTitle(HBRLocalizedString(std::string("HarborFeedbackListButonDeleteAllMessages")),
                HBRLocalizedString(std::string("HarborFeedbackListDeleteAllTitle")), this, self<NSObject>(),
                HBRLocalizedString(std::string("HarborFeedbackListDeleteAllCancel")),
                { HBRLocalizedString(std::string("HarborFeedbackListDeleteAllDelete")) });
        alert->setTag(0);
        alert->show();
        return;
    }
    auto sheet = UIActionSheet::initWithTitle(HBRLocalizedString(std::string("HarborFeedbackListDeleteAllTitle")), this,
        self<NSObject>(), HBRLocalizedString(std::string("HarborFeedbackListDeleteAllCancel")),
        HBRLocalizedString(std::string("HarborFeedbackListDeleteAllDelete")), {});
    sheet->setTag(0);
    sheet->showInView(viewForShowingActionSheetOnPhone());
}

bool HBRFeedbackListViewController::attributedLabelDidSelectLinkWithURL(HBRAttributedLabel&, const Ref<NSURL>& url)
{
    std::string title = url ? url->absoluteString() : std::string();
    std::string cancel = HBRLocalizedString(std::string("HarborFeedbackListLinkActionCancel"));
    std::vector<std::string> others = { HBRLocalizedString(std::string("HarborFeedbackListLinkActionOpen")),
        HBRLocalizedString(std::string("HarborFeedbackListLinkActionCopy")) };
    if (onPad()) {
        auto alert = UIAlertView::initWithTitle(title, "", this, self<NSObject>(), cancel, others);
        alert->setTag(1);
        alert->show();
    } else {
        auto sheet = UIActionSheet::initWithTitle(title, this, self<NSObject>(), cancel, "", others);
        sheet->setTag(1);
        sheet->showInView(viewForShowingActionSheetOnPhone());
    }
    return true;
}

void HBRFeedbackListViewController::linkAction(const std::string& title, bool open)
{
    if (open)
        UIApplication::sharedApplication()->openURL(title);
    else
        UIPasteboard::generalPasteboard()->setURL(title);
}

void HBRFeedbackListViewController::choiceMade(
    int32_t tag, const std::string& title, bool deleteChosen, bool firstOther)
{
    if (tag == 0 && deleteChosen)
        deleteAllMessages();
    else if (tag == 1)
        linkAction(title, firstOther);
}

void HBRFeedbackListViewController::alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t index)
{
    if (alert && index != alert->cancelButtonIndex())
        choiceMade(alert->tag(), alert->title(), index == alert->firstOtherButtonIndex(),
            index == alert->firstOtherButtonIndex());
}

void HBRFeedbackListViewController::actionSheetDidDismissWithButtonIndex(const Ref<UIActionSheet>& sheet, int32_t index)
{
    if (sheet && index != sheet->cancelButtonIndex())
        choiceMade(sheet->tag(), sheet->title(), index == sheet->destructiveButtonIndex(),
            index == sheet->firstOtherButtonIndex());
}

// Loading

void HBRFeedbackListViewController::startLoadingIndicator()
{
    if (m_refreshControl)
        m_refreshControl->beginRefreshing();
}

void HBRFeedbackListViewController::stopLoadingIndicator()
{
    if (m_refreshControl)
        m_refreshControl->endRefreshing();
}

bool HBRFeedbackListViewController::isRefreshingWithNewControl() const
{
    return m_refreshControl && m_refreshControl->isRefreshing();
}

void HBRFeedbackListViewController::updateList()
{
    auto table = tableView();
    CGFloat before = table->contentSize().height;
    CGPoint offset = table->contentOffset();
    table->reloadData();
    // The rows are measured now, so the new content height is known.
    table->layoutIfNeeded();
    CGFloat after = table->contentSize().height;
    // New messages above keep the ones the reader looks at in place.
    if (before > 0 && after > table->frame().size.height && after > before && !isRefreshingWithNewControl())
        table->setContentOffsetAnimated(CGPointMake(offset.x, offset.y + after - before), false);
    stopLoadingIndicator();
    table->flashScrollIndicators();
}

void HBRFeedbackListViewController::willRotateToInterfaceOrientationDuration(int32_t, double)
{
    // An empty update makes the table ask for the row heights of the new width.
    tableView()->beginUpdates();
    tableView()->endUpdates();
}

// Returning from the form and the compose screen

void HBRFeedbackListViewController::endFlowStep()
{
    auto feedback = manager();
    if (!m_userDataComposeFlow) {
        dismissViewControllerAnimatedCompletion(true, nullptr);
    } else if (feedback && feedback->showFirstRequiredPresentationModal()) {
        Weak<HBRFeedbackListViewController> weak = self<HBRFeedbackListViewController>();
        dismissViewControllerAnimatedCompletion(true, [weak] {
            if (auto screen = weak.lock())
                screen->tableView()->reloadData();
        });
    } else if (auto navigation = navigationController()) {
        navigation->popToViewControllerAnimated(self<UIViewController>(), true);
    }
}

void HBRFeedbackListViewController::userDataUpdateCancelled()
{
    endFlowStep();
}

void HBRFeedbackListViewController::userDataUpdateFinished()
{
    auto feedback = manager();
    if (feedback)
        feedback->saveMessages();
    if (!m_userDataComposeFlow) {
        dismissViewControllerAnimatedCompletion(true, nullptr);
        return;
    }
    if (feedback && feedback->showFirstRequiredPresentationModal()) {
        Weak<HBRFeedbackListViewController> weak = self<HBRFeedbackListViewController>();
        dismissViewControllerAnimatedCompletion(true, [weak] {
            if (auto screen = weak.lock())
                screen->newFeedbackAction();
        });
    } else if (auto navigation = navigationController()) {
        auto compose = HBRFeedbackComposeViewController::init();
        compose->setDelegate(this, self<NSObject>());
        navigation->pushViewControllerAnimated(compose, true);
    }
}

bool HBRFeedbackListViewController::feedbackComposeViewControllerDidFinishWithResult(
    HBRFeedbackComposeViewController&, HBRFeedbackComposeOutcome)
{
    endFlowStep();
    return true;
}
