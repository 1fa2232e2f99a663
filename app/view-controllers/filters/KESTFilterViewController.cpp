#include "app/view-controllers/filters/KESTFilterViewController.h"

#include "app/core/KESTFilter.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "app/widgets/KESTBarInsets.h"
#include "app/widgets/KESTCheckCellSubtitle.h"
#include "app/widgets/KESTToggleButton.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTFilterViewController);

Ref<KESTFilterViewController> KESTFilterViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    auto controller = makeController<KESTFilterViewController>(
        nibName.empty() ? std::string("KESTFilterViewController") : nibName, bundle);
    controller->setTitle("Filters");
    return controller;
}

void KESTFilterViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    if (auto table = tableView()) {
        table->setDataSource(this, weak_from_this());
        table->setTableDelegate(this, weak_from_this());
        table->registerNibForCellReuseIdentifier(
            UINib::nibWithNibNameBundle("KESTCheckCellSubtitle", nullptr), "KESTCheckCellSubtitle");
    }
    navigationItem()->setRightBarButtonItem(editButtonItem());
}

void KESTFilterViewController::viewWillAppear(bool animated)
{
    KESTBaseViewController::viewWillAppear(animated);
    if (auto table = tableView()) {
        table->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(246 / 255.0f, 245 / 255.0f, 241 / 255.0f, 1));
        table->setTableFooterView(UIView::initWithFrame(CGRectZero));
    }
    m_filters.clear();
    Value stored = KESTFilterDataManager::sharedInstance()->filtersIncludingInactive(true);
    for (const auto& element : stored.elements()) {
        if (auto filter = element.objectAs<KESTFilter>())
            m_filters.push_back(filter);
    }
    if (auto table = tableView())
        table->reloadData();
    filtersChanged(false);
}

void KESTFilterViewController::viewWillDisappear(bool animated)
{
    KESTBaseViewController::viewWillDisappear(animated);
    fireDataUpdateNotification();
}

void KESTFilterViewController::setEditingAnimated(bool editing, bool animated)
{
    KESTBaseViewController::setEditingAnimated(editing, animated);
    if (auto table = tableView())
        table->setEditingAnimated(editing, true);
}

void KESTFilterViewController::fireDataUpdateNotification()
{
    dispatch_async(dispatch_get_main_queue(), [] {
        NSNotificationCenter::defaultCenter()->postNotificationName(
            "com.kestravon.volantrix.livedata.updated", nullptr);
    });
}

void KESTFilterViewController::filtersChanged(bool saveAndRecache)
{
    if (saveAndRecache) {
        if (m_managedObjectContext) {
            Ref<NSError> error;
            m_managedObjectContext->save(&error);
        }
        KESTFilterDataManager::sharedInstance()->recacheFilters();
    }
    if (auto map = KESTMapController::sharedInstance()->mapViewController())
        map->updateUI();
    fireDataUpdateNotification();
}

void KESTFilterViewController::pushEditorForFilter(const Ref<KESTFilter>& filter)
{
    auto editor = KESTFilterCreateViewController::init();
    editor->setManagedObjectContext(m_managedObjectContext);
    editor->setParentFilter(filter);
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(editor, true);
}

void KESTFilterViewController::addPress(const Ref<NSObject>&)
{
    pushEditorForFilter(nullptr);
}

Ref<UITableViewCell> KESTFilterViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    auto cell = std::dynamic_pointer_cast<KESTCheckCellSubtitle>(
        tableView->dequeueReusableCellWithIdentifierForIndexPath("KESTCheckCellSubtitle", indexPath));
    int32_t row = indexPath->row();
    if (!cell || row < 0 || static_cast<size_t>(row) >= m_filters.size())
        return UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTCheckCellSubtitle");
    auto filter = m_filters[row];
    Value name = filter->filterName();
    if (cell->titleLabel())
        cell->titleLabel()->setText(name.isString() ? name.stringValue() : std::string());
    // The label keeps what it showed until the count comes back.
    Weak<UILabel> label = cell->subtitleLabel();
    KESTFilterDataManager::sharedInstance()->calculateNumberOfPlanesWithCallback(filter, [label](int32_t count) {
        if (auto subtitle = label.lock())
            subtitle->setText(NSString::stringWithFormat(NSLocalizedString("Matches %i aircraft"), count));
    });
    if (auto toggle = cell->toggleButton()) {
        toggle->setSelected(filter->filterActive().boolValue());
        auto self = this->self<KESTFilterViewController>();
        toggle->removeTargetActionForControlEvents(self, "togglePress:", UIControlEventTouchUpInside);
        toggle->addTarget(self, &KESTFilterViewController::togglePress, "togglePress:", UIControlEventTouchUpInside);
    }
    cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
    return cell;
}

void KESTFilterViewController::togglePress(const Ref<NSObject>& sender)
{
    auto toggle = std::dynamic_pointer_cast<KESTToggleButton>(sender);
    auto table = tableView();
    Ref<NSIndexPath> indexPath;
    if (toggle && table)
        indexPath = table->indexPathForRowAtPoint(toggle->convertPointToView(CGPointMake(0, 0), table));
    bool found = indexPath && indexPath->row() >= 0 && static_cast<size_t>(indexPath->row()) < m_filters.size();
    if (found)
        m_filters[indexPath->row()]->setFilterActive(Value(toggle->isSelected()));
    filtersChanged(found);
}

void KESTFilterViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    if (indexPath->row() >= 0 && static_cast<size_t>(indexPath->row()) < m_filters.size())
        pushEditorForFilter(m_filters[indexPath->row()]);
}

void KESTFilterViewController::tableViewCommitEditingStyleForRowAtIndexPath(
    const Ref<UITableView>& tableView, UITableViewCellEditingStyle style, const Ref<NSIndexPath>& indexPath)
{
    int32_t row = indexPath->row();
    if (style != UITableViewCellEditingStyleDelete || row < 0 || static_cast<size_t>(row) >= m_filters.size())
        return;
    if (m_managedObjectContext)
        m_managedObjectContext->deleteObject(m_filters[row]);
    Ref<NSError> error;
    if (m_managedObjectContext)
        m_managedObjectContext->save(&error);
    KESTFilterDataManager::sharedInstance()->recacheFilters();
    m_filters.erase(m_filters.begin() + row);
    tableView->beginUpdates();
    tableView->deleteRowsAtIndexPathsWithRowAnimation({ indexPath }, UITableViewRowAnimationFade);
    tableView->endUpdates();
    filtersChanged(false);
}

void KESTFilterViewController::viewDidLayoutSubviews()
{
    KESTBaseViewController::viewDidLayoutSubviews();
    KESTBarInsets::adjustTopInset(tableView(), self<UIViewController>());
}
