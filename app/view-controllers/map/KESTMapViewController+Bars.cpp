// The bars, the banner above the toolbar, and the other screens the bars present.

#include "app/view-controllers/map/KESTMapViewController.h"

#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/apps/KESTAppsViewController.h"
#include "app/view-controllers/ar/KESTARViewController.h"
#include "app/view-controllers/bookmarks/KESTBookmarksViewController.h"
#include "app/view-controllers/charts/KESTChartView.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/view-controllers/filters/KESTFilterViewController.h"
#include "app/view-controllers/intro/KESTIntroViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/menu/KESTMenuActivityProvider.h"
#include "app/view-controllers/menu/KESTMenuViewController.h"
#include "app/view-controllers/search/KESTSearchViewController.h"
#include "app/view-controllers/settings/KESTSettingsViewController.h"
#include "app/widgets/BlockAlertView.h"
#include "foundation/NSBundle.h"
#include "graphics/UIImage.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIToolbar.h"
#include "uikit/UIWindow.h"

namespace {

constexpr CGFloat kToolbarHeight = 44;
constexpr CGSize kMenuPopoverSize { 320, 500 };
constexpr CGSize kListPopoverSize { 320, 568 };

// A 30 x 30 system button with the image, firing `action` on touch-up-inside.
Ref<UIButton> barButton(const std::string& imageName, const Ref<NSObject>& target, const std::string& actionName,
    std::function<void(const Ref<UIControl>&)> action)
{
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setFrame(CGRectMake(0, 0, 30, 30));
    button->setImageForState(UIImage::imageNamed(imageName), UIControlStateNormal);
    button->setAdjustsImageWhenHighlighted(false);
    button->addTargetActionForControlEvents(
        target, actionName,
        [action = std::move(action)](const Ref<UIControl>& sender, const Ref<UIEvent>&) { action(sender); },
        UIControlEventTouchUpInside);
    return button;
}

} // namespace

void KESTMapViewController::updateUI()
{
    if (!m_bottomToolbar) {
        auto container = view();
        CGRect bounds = container->bounds();
        m_bottomToolbar
            = UIToolbar::initWithFrame(CGRectMake(0, bounds.size.height, bounds.size.width, kToolbarHeight));
        m_bottomToolbar->setAutoresizingMask(UIViewAutoresizing(10));
        container->addSubview(m_bottomToolbar);

        auto self = protectedSelf();
        m_bottomToolbar->setDelegate(this, self);
        Weak<KESTMapViewController> weak = self;

        m_searchBar = UISearchBar::initWithFrame(CGRectMake(0, 0, 200, 44));
        m_searchBar->setPlaceholder(NSLocalizedString("Search"));
        m_searchBar->setDelegate(this, self);
        m_searchBar->setSearchBarStyle(UISearchBarStyleMinimal);
        m_searchBar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        m_searchBar->setImageForSearchBarIconState(
            UIImage::imageNamed("transparent"), UISearchBarIconResultsList, UIControlStateNormal);

        m_searchVC = KESTSearchViewController::initWithNibNameBundle({}, nullptr);
        m_searchController = UISearchDisplayController::initWithSearchBarContentsController(m_searchBar, m_searchVC);
        m_searchController->setDelegate(this, self);
        m_searchController->setSearchResultsDataSource(m_searchVC.get(), m_searchVC);
        m_searchController->setSearchResultsDelegate(m_searchVC.get(), m_searchVC);
        m_searchVC->setSearchController(m_searchController);
        m_searchVC->setDelegate(std::static_pointer_cast<KESTSearchDelegate>(self));

        auto menu = barButton("menuListMenu", self, "showMenu:", [weak](const Ref<UIControl>& sender) {
            if (auto screen = weak.lock())
                screen->showMenu(sender);
        });
        auto bookmarks = barButton("bookmarksListMenu", self, "showBookmarks:", [weak](const Ref<UIControl>& sender) {
            if (auto screen = weak.lock())
                screen->showBookmarks(sender);
        });
        m_menuBarButtonItem = UIBarButtonItem::initWithCustomView(menu);
        m_bookmarksBarButtonItem = UIBarButtonItem::initWithCustomView(bookmarks);
        auto item = navigationItem();
        item->setLeftBarButtonItem(m_menuBarButtonItem);
        item->setRightBarButtonItem(m_bookmarksBarButtonItem);
        item->setTitleView(m_searchBar);

        auto location = barButton("locationListMenu", self, "toggleUserLocation", [weak](const Ref<UIControl>&) {
            if (auto screen = weak.lock())
                screen->toggleUserLocation();
        });
        auto ar = barButton("arListMenu", self, "showAR", [weak](const Ref<UIControl>&) {
            if (auto screen = weak.lock())
                screen->showAR();
        });
        m_filterButton = barButton("filterListMenu", self, "showFilters:", [weak](const Ref<UIControl>& sender) {
            if (auto screen = weak.lock())
                screen->showFilters(sender);
        });
        m_arBarButtonItem = UIBarButtonItem::initWithCustomView(ar);
        m_filterBarButtonItem = UIBarButtonItem::initWithCustomView(m_filterButton);
        auto settings = UIBarButtonItem::initWithImageStyleTargetAction(UIImage::imageNamed("settingsListMenu"),
            UIBarButtonItemStylePlain, self, [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto screen = weak.lock())
                    screen->showSettings(sender);
            });
        auto flexible = [&] {
            return UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
                UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr);
        };
        m_bottomToolbar->setItemsAnimated(
            { UIBarButtonItem::initWithCustomView(location), flexible(), m_arBarButtonItem, flexible(),
                m_filterBarButtonItem, flexible(), settings },
            false);
    }
    // The filter badge shows the number of active filters.
    if (m_filterButton)
        m_filterButton->setImageForState(
            KESTFilterDataManager::sharedInstance()->filterIconWithBadge(), UIControlStateNormal);
    if (m_mapLabelView)
        m_mapLabelView->setMessage(std::nullopt);
}

void KESTMapViewController::showAR()
{
    auto navigation = UINavigationController::initWithRootViewController(KESTARViewController::init());
    navigation->setNavigationBarHidden(true);
    presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

CGRect KESTMapViewController::anchorForSender(const Ref<UIView>& sender)
{
    if (!sender)
        return CGRectZero;
    CGRect frame = sender->frame();
    CGPoint origin = frame.origin;
    if (auto superview = sender->superview()) {
        CGPoint inWindow = superview->convertPointToView(origin, nullptr);
        origin = view()->convertPointFromView(inWindow, nullptr);
    }
    return CGRectMake(origin.x, origin.y, frame.size.width, frame.size.height);
}

void KESTMapViewController::presentBarPopover(
    const Ref<UIViewController>& content, CGSize size, CGRect anchor, bool withDelegate)
{
    if (m_poc)
        m_poc->dismissPopoverAnimated(true);
    m_poc = UIPopoverController::initWithContentViewController(content);
    m_poc->setPopoverContentSize(size);
    if (withDelegate)
        m_poc->setDelegate(this, protectedSelf());
    m_poc->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        anchor, view(), UIPopoverArrowDirectionAny, true);
}

void KESTMapViewController::showMenu(const Ref<UIView>& sender)
{
    auto menu = KESTMenuViewController::initWithNibNameBundle({}, nullptr);
    menu->setManagedObjectContext(m_managedObjectContext);
    presentBarPopover(
        UINavigationController::initWithRootViewController(menu), kMenuPopoverSize, anchorForSender(sender), true);
}

void KESTMapViewController::showBookmarks(const Ref<UIView>& sender)
{
    auto bookmarks = KESTBookmarksViewController::init();
    bookmarks->setManagedObjectContext(m_managedObjectContext);
    presentBarPopover(UINavigationController::initWithRootViewController(bookmarks), kMenuPopoverSize,
        anchorForSender(sender), false);
}

void KESTMapViewController::showFilters(const Ref<UIView>& sender)
{
    auto filters = KESTFilterViewController::init();
    filters->setManagedObjectContext(m_managedObjectContext);
    auto navigation = UINavigationController::initWithRootViewController(filters);
    // With no filter at all, active or not, the editor opens on top of the (empty) list.
    Value stored = KESTFilterDataManager::sharedInstance()->filtersIncludingInactive(true);
    if (!stored.isArray() || stored.count() == 0) {
        auto editor = KESTFilterCreateViewController::init();
        editor->setManagedObjectContext(m_managedObjectContext);
        navigation->pushViewControllerAnimated(editor, false);
    }
    presentBarPopover(navigation, kListPopoverSize, anchorForSender(sender), false);
}

void KESTMapViewController::showSettings(const Ref<UIBarButtonItem>& sender)
{
    auto navigation = UINavigationController::initWithRootViewController(
        KESTSettingsViewController::initWithStyle(UITableViewStyle(0)));
    // Anchored to the settings item of the bottom toolbar.
    CGRect anchor = CGRectZero;
    if (m_bottomToolbar) {
        CGRect item = m_bottomToolbar->frameForItem(sender);
        if (CGRectIsEmpty(item)) {
            CGRect bar = m_bottomToolbar->bounds();
            item = CGRectMake(bar.size.width - 44, 0, 44, bar.size.height);
        }
        anchor = m_bottomToolbar->convertRectToView(item, view());
    }
    presentBarPopover(navigation, kListPopoverSize, anchor, false);
}

void KESTMapViewController::showKESTApps()
{
    auto navigation = UINavigationController::initWithRootViewController(KESTAppsViewController::init());
    navigation->setModalPresentationStyle(UIModalPresentationFormSheet);
    presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

void KESTMapViewController::showIntroView()
{
    auto intro = KESTIntroViewController::initWithNibNameBundle({}, nullptr);
    auto customView = [](const Ref<UIBarButtonItem>& item) { return item ? item->customView() : nullptr; };
    struct Page {
        const char* title;
        const char* text;
        const char* icon;
        Ref<UIView> view;
    };
    const Page pages[] = {
        { "Volantrix 7.0\nDesigned for iOS 7", "Swipe to view highlight tour", "tour1", nullptr },
        { "Quick Access Toolbars", "Tap map to toggle between full screen map and toolbars", "tour2", nullptr },
        { "Flyout Menu", "Gives you faster access to features", "tour3", customView(m_menuBarButtonItem) },
        { "Augmented Reality", "Volantrix AR is now built in", "tour4", customView(m_arBarButtonItem) },
        { "New Filters", "Powerful new filters (and you can save as many as you like!)", "tour5",
            customView(m_filterBarButtonItem) },
        { "Search", "Quickly find flight numbers, locations, airports, airlines and aircraft", "tour6", m_searchBar },
        { "Bookmarks", "Add and browse saved locations around the globe.", "tour7",
            customView(m_bookmarksBarButtonItem) },
    };
    std::vector<Ref<UIView>> views;
    for (const auto& page : pages)
        views.push_back(intro->pageTemplateWithTitleContentIconAndView(
            NSLocalizedString(page.title), NSLocalizedString(page.text), UIImage::imageNamed(page.icon), page.view));
    intro->setPages(std::move(views));

    // Over the root container: its view is the key window's first subview.
    auto application = UIApplication::sharedApplication();
    auto window = application ? application->keyWindow() : nullptr;
    if (window && !window->subviews().empty())
        window->subviews().front()->addSubview(intro->view());
    auto navigation = parentViewController();
    if (auto root = navigation ? navigation->parentViewController() : nullptr) {
        root->addChildViewController(intro);
        intro->didMoveToParentViewController(root);
    }
    intro->beginIntroWithCompletionHandler(
        [] { KESTSettingsManager::sharedInstance()->setValueForSetting(Value(true), "kHasShownIntroView"); });
}

void KESTMapViewController::showShareOptions()
{
    auto provider = KESTMenuActivityProvider::init();
    if (auto plane = std::dynamic_pointer_cast<KESTPlane>(m_selectedMarker))
        provider->setPlane(plane);
    std::vector<Value> items { Value::object(provider) };
    if (auto snapshot = mapController()->mapSnapshot())
        items.push_back(Value::object(snapshot));
    items.push_back(Value(std::string(kShareURL)));
    auto sheet = UIActivityViewController::initWithActivityItemsApplicationActivities(std::move(items), {});
    sheet->setExcludedActivityTypes({ UIActivityTypePostToWeibo, UIActivityTypeAssignToContact, UIActivityTypePrint,
        UIActivityTypeCopyToPasteboard });
    presentViewControllerAnimatedCompletion(sheet, true, nullptr);
}

void KESTMapViewController::toggleToolbarVisibility()
{
    setToolbarsVisibleAnimated(!m_toolbarsVisible, true);
}

void KESTMapViewController::setToolbarsVisibleAnimated(bool visible, bool animated)
{
    m_toolbarsVisible = visible;
    Weak<KESTMapViewController> weak = protectedSelf();
    auto changes = [weak, visible, animated] {
        auto screen = weak.lock();
        if (!screen)
            return;
        screen->setNeedsStatusBarAppearanceUpdate();
        if (auto navigation = screen->navigationController())
            navigation->setNavigationBarHiddenAnimated(!visible, animated);
        if (auto toolbar = screen->m_bottomToolbar) {
            CGRect super = toolbar->superview() ? toolbar->superview()->bounds() : CGRectZero;
            CGFloat y = visible ? super.size.height - kToolbarHeight : super.size.height;
            toolbar->setFrame(CGRectMake(0, y, super.size.width, kToolbarHeight));
        }
        screen->positionMapWarningLabel();
    };
    if (animated)
        UIView::animateWithDurationDelayOptions(0.25, 0, UIViewAnimationOptions(2), changes, nullptr);
    else
        changes();
    if (!visible) {
        if (isViewLoaded())
            view()->endEditing(true);
        // The search field sits in the navigation bar, outside this screen's view.
        if (m_searchBar)
            m_searchBar->endEditing(true);
    }
}

void KESTMapViewController::positionMapWarningLabel()
{
    if (!m_mapLabelView || !m_bottomToolbar)
        return;
    CGRect frame = m_mapLabelView->frame();
    frame.origin.y = m_bottomToolbar->frame().origin.y - frame.size.height - 8;
    m_mapLabelView->setFrame(frame);
}

void KESTMapViewController::mapLabelViewDidUpdate(const Ref<KESTMapLabelView>&)
{
    positionMapWarningLabel();
}

void KESTMapViewController::toggleUserLocation()
{
    mapController()->toggleUserLocation();
}

void KESTMapViewController::chartAlert(const std::string& text)
{
    auto alert = BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles(NSLocalizedString("Message"),
        NSLocalizedString(text), NSLocalizedString("Cancel"), { NSLocalizedString("OK") });
    Weak<KESTMapViewController> weak = protectedSelf();
    alert->showWithDismissHandler([weak](int32_t, bool isCancel) {
        auto screen = weak.lock();
        if (!screen || isCancel)
            return;
        auto charts = UINavigationController::initWithRootViewController(KESTChartView::init());
        screen->presentViewControllerAnimatedCompletion(charts, true, nullptr);
    });
}
