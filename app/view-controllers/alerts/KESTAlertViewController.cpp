#include "app/view-controllers/alerts/KESTAlertViewController.h"

#include "app/core/KESTAlert.h"
#include "app/core/KESTAlertManager.h"
#include "app/view-controllers/alerts/KESTAlertCreateViewController.h"
#include "app/widgets/KESTBarInsets.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSNotificationCenter.h"
#include "graphics/UIColor.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

VX_REGISTER_CREATABLE_CLASS(KESTAlertViewController);

namespace {

const char* const kHeaders[] = { "Squawk", "Aircraft Type", "Airline", "Registration", "Hex Code" };

} // namespace

Ref<KESTAlertViewController> KESTAlertViewController::init()
{
    auto controller = makeController<KESTAlertViewController>("KESTAlertViewController", nullptr);
    controller->setTitle(NSLocalizedString("Alerts"));
    return controller;
}

int32_t KESTAlertViewController::sectionToNumberTranslation(int32_t section)
{
    return KESTAlertCreateViewController::sectionToNumberTranslation(section);
}

void KESTAlertViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    if (auto table = tableView()) {
        table->setDataSource(this, weak_from_this());
        table->setTableDelegate(this, weak_from_this());
    }
    navigationItem()->setRightBarButtonItem(editButtonItem());
}

void KESTAlertViewController::viewWillAppear(bool animated)
{
    KESTBaseViewController::viewWillAppear(animated);
    if (auto table = tableView()) {
        table->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(246 / 255.0f, 245 / 255.0f, 241 / 255.0f, 1));
        table->setTableFooterView(UIView::initWithFrame(CGRectZero));
    }
    auto center = NSNotificationCenter::defaultCenter();
    if (m_syncObserver)
        center->removeObserver(m_syncObserver);
    Weak<KESTAlertViewController> weak = self<KESTAlertViewController>();
    m_syncObserver
        = center->addObserverForName(KESTAlertsSyncNotification, nullptr, nullptr, [weak](const Ref<NSNotification>&) {
              if (auto self = weak.lock())
                  self->refreshTableData();
          });
    KESTAlertManager::sharedInstance()->syncAlerts();
    refreshTableData();
}

void KESTAlertViewController::viewWillDisappear(bool animated)
{
    KESTBaseViewController::viewWillDisappear(animated);
    if (m_syncObserver) {
        NSNotificationCenter::defaultCenter()->removeObserver(m_syncObserver);
        m_syncObserver = nullptr;
    }
}

void KESTAlertViewController::setEditingAnimated(bool editing, bool animated)
{
    KESTBaseViewController::setEditingAnimated(editing, animated);
    if (auto table = tableView())
        table->setEditingAnimated(editing, true);
}

void KESTAlertViewController::addPress(const Ref<NSObject>&)
{
    auto editor = KESTAlertCreateViewController::init();
    editor->setManagedObjectContext(m_managedObjectContext);
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(editor, true);
}

void KESTAlertViewController::refreshTableData()
{
    m_alerts.clear();
    Value stored = KESTAlertManager::sharedInstance()->alerts();
    for (const auto& element : stored.elements()) {
        auto alert = element.objectAs<KESTAlert>();
        if (!alert || alert->alertType().isNil())
            continue;
        m_alerts[alert->alertType().intValue()].push_back(alert);
    }
    if (auto table = tableView())
        table->reloadData();
}

Ref<KESTAlert> KESTAlertViewController::alertAt(const Ref<NSIndexPath>& indexPath) const
{
    auto found = m_alerts.find(sectionToNumberTranslation(indexPath->section()));
    if (found == m_alerts.end() || indexPath->row() < 0
        || static_cast<size_t>(indexPath->row()) >= found->second.size())
        return nullptr;
    return found->second[indexPath->row()];
}

int32_t KESTAlertViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section)
{
    auto found = m_alerts.find(sectionToNumberTranslation(section));
    return found == m_alerts.end() ? 0 : static_cast<int32_t>(found->second.size());
}

std::optional<std::string> KESTAlertViewController::tableViewTitleForHeaderInSection(
    const Ref<UITableView>&, int32_t section)
{
    if (section < 0 || section > 4)
        return std::string();
    return NSLocalizedString(kHeaders[section]);
}

Ref<UITableViewCell> KESTAlertViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    auto cell = tableView->dequeueReusableCellWithIdentifier("CellIdentifier");
    if (!cell)
        cell = UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, "CellIdentifier");
    cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    auto alert = alertAt(indexPath);
    Value name = alert ? alert->alertName() : Value();
    cell->textLabel()->setText(name.isString() ? name.stringValue() : std::string());
    if (cell->detailTextLabel())
        cell->detailTextLabel()->setText("");
    return cell;
}

void KESTAlertViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    auto alert = alertAt(indexPath);
    if (!alert)
        return;
    auto editor = KESTAlertCreateViewController::init();
    editor->setManagedObjectContext(m_managedObjectContext);
    editor->setExistingAlert(alert);
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(editor, true);
}

void KESTAlertViewController::tableViewCommitEditingStyleForRowAtIndexPath(
    const Ref<UITableView>& tableView, UITableViewCellEditingStyle style, const Ref<NSIndexPath>& indexPath)
{
    if (style != UITableViewCellEditingStyleDelete)
        return;
    auto alert = alertAt(indexPath);
    if (!alert)
        return;
    int32_t alertID = alert->alertID().intValue();
    if (m_managedObjectContext)
        m_managedObjectContext->deleteObject(alert);
    auto& list = m_alerts[sectionToNumberTranslation(indexPath->section())];
    list.erase(list.begin() + indexPath->row());
    Ref<NSError> error;
    if (m_managedObjectContext)
        m_managedObjectContext->save(&error);
    KESTAlertManager::sharedInstance()->deleteAlertWithID(alertID);
    tableView->beginUpdates();
    tableView->deleteRowsAtIndexPathsWithRowAnimation({ indexPath }, UITableViewRowAnimationFade);
    tableView->endUpdates();
}

void KESTAlertViewController::viewDidLayoutSubviews()
{
    KESTBaseViewController::viewDidLayoutSubviews();
    KESTBarInsets::adjustTopInset(tableView(), self<UIViewController>());
}
