#include "app/view-controllers/bookmarks/KESTBookmarksViewController.h"

#include "app/core/KESTBookmark.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/bookmarks/KESTBookmarksCheckCell.h"
#include "app/view-controllers/bookmarks/KESTBookmarksCreateViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "app/widgets/KESTToggleButton.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/Locked.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSSortDescriptor.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "location/CLLocationManager.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTBookmarksViewController);

namespace {

Locked<KESTBookmarksViewController::CurrentLocationProvider> s_locationProvider;

} // namespace

Ref<KESTBookmarksViewController> KESTBookmarksViewController::init()
{
    auto controller = makeController<KESTBookmarksViewController>("KESTBookmarksViewController", nullptr);
    controller->setTitle(NSLocalizedString("Bookmarks"));
    return controller;
}

void KESTBookmarksViewController::setCurrentLocationProviderForTesting(CurrentLocationProvider provider)
{
    s_locationProvider.set(std::move(provider));
}

std::optional<CLLocationCoordinate2D> KESTBookmarksViewController::currentLocation()
{
    CurrentLocationProvider provider = s_locationProvider.get();
    if (provider)
        return provider();
    auto mapScreen = KESTMapController::sharedInstance()->mapViewController();
    auto manager = mapScreen ? mapScreen->locationManager() : nullptr;
    auto location = manager ? manager->location() : nullptr;
    if (!location)
        return std::nullopt;
    return location->coordinate();
}

void KESTBookmarksViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    if (auto table = tableView()) {
        table->setDataSource(this, weak_from_this());
        table->setTableDelegate(this, weak_from_this());
        table->registerNibForCellReuseIdentifier(
            UINib::nibWithNibNameBundle("KESTBookmarksCheckCell", nullptr), "KESTBookmarksCheckCell");
        table->setAllowsSelectionDuringEditing(true);
        table->setTableFooterView(UIView::initWithFrame(CGRectZero));
    }
    navigationItem()->setRightBarButtonItem(editButtonItem());
}

void KESTBookmarksViewController::viewWillAppear(bool animated)
{
    KESTBaseViewController::viewWillAppear(animated);
    if (auto table = tableView())
        table->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(246 / 255.0f, 245 / 255.0f, 241 / 255.0f, 1));
    refetch();
    if (auto table = tableView())
        table->reloadData();
}

void KESTBookmarksViewController::refetch()
{
    m_bookmarks.clear();
    if (!m_managedObjectContext)
        return;
    auto request = NSFetchRequest::fetchRequestWithEntityName("KESTBookmark");
    request->setSortDescriptors({ NSSortDescriptor::sortDescriptorWithKeyAscending("bookmarkName", true) });
    Ref<NSError> error;
    Value rows = m_managedObjectContext->executeFetchRequest(request, &error);
    for (const auto& row : rows.elements()) {
        if (auto bookmark = row.objectAs<KESTBookmark>())
            m_bookmarks.push_back(bookmark);
    }
}

void KESTBookmarksViewController::setEditingAnimated(bool editing, bool animated)
{
    KESTBaseViewController::setEditingAnimated(editing, animated);
    if (auto table = tableView())
        table->setEditingAnimated(editing, true);
}

void KESTBookmarksViewController::addPress(const Ref<NSObject>&)
{
    auto create = KESTBookmarksCreateViewController::init();
    create->setManagedObjectContext(m_managedObjectContext);
    create->setExistingBookmark(nullptr);
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(create, true);
}

Ref<KESTBookmark> KESTBookmarksViewController::bookmarkAtRow(int32_t row) const
{
    if (row < 1 || static_cast<size_t>(row - 1) >= m_bookmarks.size())
        return nullptr;
    return m_bookmarks[row - 1];
}

int32_t KESTBookmarksViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t)
{
    return static_cast<int32_t>(m_bookmarks.size()) + 1;
}

Ref<UITableViewCell> KESTBookmarksViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    auto cell = std::dynamic_pointer_cast<KESTBookmarksCheckCell>(
        tableView->dequeueReusableCellWithIdentifierForIndexPath("KESTBookmarksCheckCell", indexPath));
    if (!cell)
        return UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTBookmarksCheckCell");
    auto settings = KESTSettingsManager::sharedInstance();
    bool chosen = false;
    std::string name, location;
    if (indexPath->row() == 0) {
        name = NSLocalizedString("Current Location");
        auto here = currentLocation();
        location = here ? NSString::stringWithFormat("%0.2f, %0.2f", here->latitude, here->longitude)
                        : NSLocalizedString("N/A");
        chosen = !settings->isHomeSet();
        cell->setAccessoryType(UITableViewCellAccessoryNone);
        cell->setEditingAccessoryType(UITableViewCellAccessoryNone);
    } else if (auto bookmark = bookmarkAtRow(indexPath->row())) {
        name = bookmark->bookmarkName().stringValue();
        location = NSString::stringWithFormat(
            "%0.2f, %0.2f", bookmark->bookmarkLat().doubleValue(), bookmark->bookmarkLon().doubleValue());
        auto home = settings->bookmarkuuid();
        Value uuid = bookmark->bookmarkuuid();
        chosen = settings->isHomeSet() && home && uuid.isString() && uuid.string() == *home;
        cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
        cell->setEditingAccessoryType(UITableViewCellAccessoryDetailDisclosureButton);
    }
    if (chosen)
        m_currentlySelectedHome = indexPath;
    if (cell->bookmarkNameLabel())
        cell->bookmarkNameLabel()->setText(name);
    if (cell->bookmarkLocationLabel())
        cell->bookmarkLocationLabel()->setText(location);
    if (auto toggle = cell->toggleButton()) {
        toggle->setSelected(chosen);
        auto self = this->self<KESTBookmarksViewController>();
        toggle->removeTargetActionForControlEvents(self, "togglePress:", UIControlEventTouchUpInside);
        toggle->addTarget(self, &KESTBookmarksViewController::togglePress, "togglePress:", UIControlEventTouchUpInside);
    }
    return cell;
}

bool KESTBookmarksViewController::tableViewCanEditRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    return indexPath->row() > 0;
}

void KESTBookmarksViewController::togglePress(const Ref<NSObject>& sender)
{
    auto toggle = std::dynamic_pointer_cast<KESTToggleButton>(sender);
    auto table = tableView();
    if (!toggle || !table)
        return;
    auto indexPath = table->indexPathForRowAtPoint(toggle->convertPointToView(CGPointMake(0, 0), table));
    if (!indexPath)
        return;
    auto settings = KESTSettingsManager::sharedInstance();
    if (indexPath->row() > 0) {
        auto bookmark = bookmarkAtRow(indexPath->row());
        if (!bookmark)
            return;
        settings->setValueForSetting(Value(true), "kHomeSet");
        settings->setValueForSetting(bookmark->bookmarkuuid(), "kBookmarkuuid");
        settings->setValueForSetting(bookmark->bookmarkLat(), "kBookmarkLat");
        settings->setValueForSetting(bookmark->bookmarkLon(), "kBookmarkLon");
        settings->setValueForSetting(bookmark->bookmarkLatSpan(), "kBookmarkLatSpan");
        settings->setValueForSetting(bookmark->bookmarkLonSpan(), "kBookmarkLonSpan");
        bookmark->setValueForKey(Value(toggle->isSelected()), "bookmarkHomeSet");
        if (m_managedObjectContext)
            m_managedObjectContext->save(nullptr);
    } else {
        settings->setValueForSetting(Value(false), "kHomeSet");
        settings->setValueForSetting(Value(), "kBookmarkuuid");
    }
    m_currentlySelectedHome = indexPath;
    table->reloadData();
}

void KESTBookmarksViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    if (tableView)
        tableView->deselectRowAtIndexPathAnimated(indexPath, true);
    auto protectedThis = self<KESTBookmarksViewController>();
    auto bookmark = bookmarkAtRow(indexPath->row());
    if (bookmark && tableView && tableView->isEditing()) {
        auto create = KESTBookmarksCreateViewController::init();
        create->setManagedObjectContext(m_managedObjectContext);
        create->setExistingBookmark(bookmark);
        if (auto navigation = navigationController())
            navigation->pushViewControllerAnimated(create, true);
        setEditingAnimated(false, false);
        return;
    }

    std::optional<MKCoordinateRegion> region;
    if (bookmark) {
        region = MKCoordinateRegion { { bookmark->bookmarkLat().doubleValue(), bookmark->bookmarkLon().doubleValue() },
            { bookmark->bookmarkLatSpan().doubleValue(), bookmark->bookmarkLonSpan().doubleValue() } };
    } else if (indexPath->row() == 0) {
        if (auto here = currentLocation())
            region = MKCoordinateRegion { *here, { 1.0, 1.0 } };
    }

    bool modal = presentingViewController() != nullptr;
    if (region) {
        if (modal) {
            MKCoordinateRegion target = *region;
            dismissViewControllerAnimatedCompletion(
                false, [target] { KESTMapController::sharedInstance()->setMapRegion(target); });
        } else {
            KESTMapController::sharedInstance()->setMapRegion(*region);
            if (auto navigation = navigationController())
                navigation->popToRootViewControllerAnimated(true);
        }
    } else if (modal) {
        dismissViewControllerAnimatedCompletion(true, nullptr);
    } else if (auto navigation = navigationController()) {
        navigation->popToRootViewControllerAnimated(true);
    }
}

void KESTBookmarksViewController::tableViewCommitEditingStyleForRowAtIndexPath(
    const Ref<UITableView>& tableView, UITableViewCellEditingStyle style, const Ref<NSIndexPath>& indexPath)
{
    if (style != UITableViewCellEditingStyleDelete)
        return;
    auto bookmark = bookmarkAtRow(indexPath->row());
    if (!bookmark)
        return;
    if (m_managedObjectContext)
        m_managedObjectContext->deleteObject(bookmark);
    m_bookmarks.erase(m_bookmarks.begin() + (indexPath->row() - 1));
    if (m_managedObjectContext)
        m_managedObjectContext->save(nullptr);
    if (tableView) {
        tableView->beginUpdates();
        tableView->deleteRowsAtIndexPathsWithRowAnimation({ indexPath }, UITableViewRowAnimationFade);
        tableView->endUpdates();
    }
}
