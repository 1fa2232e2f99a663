#include "app/view-controllers/menu/KESTMenuViewController.h"

#include "app/core/KESTAlertManager.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTServiceEndpoints.h"
#include "app/view-controllers/alerts/KESTAlertCreateViewController.h"
#include "app/view-controllers/alerts/KESTAlertViewController.h"
#include "app/view-controllers/apps/KESTAppsViewController.h"
#include "app/view-controllers/ar/KESTARViewController.h"
#include "app/view-controllers/bookmarks/KESTBookmarksViewController.h"
#include "app/view-controllers/charts/KESTChartView.h"
#include "app/view-controllers/common/KESTWebViewController.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/view-controllers/filters/KESTFilterViewController.h"
#include "app/view-controllers/list/KESTListViewController.h"
#include "app/view-controllers/settings/KESTSettingsViewController.h"
#include "app/widgets/UIViewController+BarInsets.h"
#include "foundation/NSBundle.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"

VX_REGISTER_CLASS(KESTMenuViewController);

namespace {

struct MenuRow {
    const char* title;
    const char* image; // nullptr: the filter icon with its badge
};

const MenuRow s_rows[] = {
    { "Filters", nullptr },
    { "Alerts", "alertsListMenu" },
    { "List View", "listViewListMenu" },
    { "Aviation Charts", "aviationListMenu" },
    { "Bookmarks", "bookmarksListMenu" },
    { "Augmented Reality", "arListMenu" },
    { "Settings", "settingsListMenu" },
    { "Forums", "forumListMenu" },
    { "More Kestravon Apps", "vxListMenu" },
};

std::string localized(const std::string& key)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, "", "");
}

} // namespace

Ref<KESTMenuViewController> KESTMenuViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    auto controller = makeTableController<KESTMenuViewController>(UITableViewStylePlain, nibName, bundle);
    controller->setTitle(localized("Menu"));
    return controller;
}

void KESTMenuViewController::viewDidLoad()
{
    KESTBaseTableViewController::viewDidLoad();
    tableView()->registerClassForCellReuseIdentifier<UITableViewCell>("MenuCell");
}

void KESTMenuViewController::viewWillAppear(bool animated)
{
    KESTBaseTableViewController::viewWillAppear(animated);
    auto table = tableView();
    UIViewController_BarInsets::insetBelowNavigationBar(self<UIViewController>(), table);
    table->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(246 / 255.0f, 245 / 255.0f, 241 / 255.0f, 1));
    table->setTableFooterView(UIView::initWithFrame(CGRectZero));
    table->reloadRowsAtIndexPathsWithRowAnimation(
        { NSIndexPath::indexPathForRowInSection(0, 0) }, UITableViewRowAnimationNone);
}

Ref<UITableViewCell> KESTMenuViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    auto cell = tableView->dequeueReusableCellWithIdentifierForIndexPath("MenuCell", indexPath);
    int32_t row = indexPath->row();
    if (indexPath->section() != 0 || row < 0 || row > 8)
        return cell;
    const MenuRow& entry = s_rows[row];
    cell->imageView()->setImage(entry.image ? UIImage::imageNamed(entry.image)
                                            : KESTFilterDataManager::sharedInstance()->filterIconWithBadge());
    cell->textLabel()->setText(localized(entry.title));
    return cell;
}

void KESTMenuViewController::pushListAndEditor(
    const Ref<UIViewController>& list, const Ref<UIViewController>& editor, bool empty)
{
    auto navigation = navigationController();
    if (!navigation || !list)
        return;
    if (!empty || !editor) {
        navigation->pushViewControllerAnimated(list, true);
        return;
    }
    // Back from the editor lands on the list.
    navigation->pushViewControllerAnimated(list, false);
    navigation->pushViewControllerAnimated(editor, true);
}

void KESTMenuViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    tableView->deselectRowAtIndexPathAnimated(indexPath, true);
    auto navigation = navigationController();
    auto presentInNavigation = [&](const Ref<UIViewController>& screen, UIModalPresentationStyle style) {
        if (!screen)
            return;
        auto wrapper = UINavigationController::initWithRootViewController(screen);
        wrapper->setModalPresentationStyle(style);
        presentViewControllerAnimatedCompletion(wrapper, true, nullptr);
    };
    switch (indexPath->row()) {
    case 0: {
        auto list = KESTFilterViewController::init();
        list->setManagedObjectContext(m_managedObjectContext);
        Value filters = KESTFilterDataManager::sharedInstance()->filtersIncludingInactive(true);
        bool empty = !filters.isArray() || filters.count() == 0;
        Ref<KESTFilterCreateViewController> editor;
        if (empty) {
            editor = KESTFilterCreateViewController::init();
            editor->setManagedObjectContext(m_managedObjectContext);
        }
        pushListAndEditor(list, editor, empty);
        break;
    }
    case 1: {
        auto list = KESTAlertViewController::init();
        list->setManagedObjectContext(m_managedObjectContext);
        Value alerts = KESTAlertManager::sharedInstance()->alerts();
        bool empty = !alerts.isArray() || alerts.count() == 0;
        Ref<KESTAlertCreateViewController> editor;
        if (empty) {
            editor = KESTAlertCreateViewController::init();
            editor->setManagedObjectContext(m_managedObjectContext);
        }
        pushListAndEditor(list, editor, empty);
        break;
    }
    case 2:
        presentInNavigation(KESTListViewController::init(), UIModalPresentationFormSheet);
        break;
    case 3:
        if (navigation)
            navigation->pushViewControllerAnimated(KESTChartView::init(), true);
        break;
    case 4: {
        auto bookmarks = KESTBookmarksViewController::init();
        bookmarks->setManagedObjectContext(m_managedObjectContext);
        if (navigation)
            navigation->pushViewControllerAnimated(bookmarks, true);
        break;
    }
    case 5: {
        auto wrapper = UINavigationController::initWithRootViewController(KESTARViewController::init());
        wrapper->setNavigationBarHidden(true);
        presentViewControllerAnimatedCompletion(wrapper, true, nullptr);
        break;
    }
    case 7:
        presentInNavigation(KESTWebViewController::initWithNibNameBundleWithURLCloseEnableDelayWithCloseButton(
                                {}, nullptr, NSURL::URLWithString(KESTServiceEndpoints::forumURL()), 0, true),
            UIModalPresentationFormSheet);
        break;
    case 8:
        if (navigation)
            navigation->pushViewControllerAnimated(KESTAppsViewController::initWithNibNameBundle({}, nullptr), true);
        break;
    default:
        if (navigation)
            navigation->pushViewControllerAnimated(
                KESTSettingsViewController::initWithStyle(UITableViewStyleGrouped), true);
        break;
    }
}
