#pragma once

#include "app/core/KESTLiveDataManager.h"
#include "app/view-controllers/common/KESTBaseCustomViewController.h"
#include "app/view-controllers/map-markers/KESTMapLabelView.h"
#include "app/view-controllers/search/KESTSearchDelegate.h"
#include "location/CLLocationManagerDelegate.h"
#include "mapkit/MKGeometry.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UISearchBar.h"
#include "uikit/UISearchDisplayController.h"
#include "uikit/UIToolbar.h"

#include <cstdint>
#include <vector>

class CADisplayLink;
class CLLocationManager;
class KESTAnnotation;
class KESTDetailViewController;
class KESTMapController;
class KESTSearchViewController;
class MKOverlay;
class NSManagedObjectContext;
class NSNotification;
class NSTimer;
class UIBarButtonItem;
class UIButton;
class UIToolbar;

inline constexpr const char* KESTMapThresholdTriggerNotification = "com.kestravon.volantrix.map.threshold-trigger";

// The map screen: everything about the main map that does not depend on the map toolkit. It
// keeps the backing index of the map facade in step with the live feed, shows a budget of
// markers spread over a grid of the visible area, moves markers between polls on a display link,
// selects a marker (flight path, callout, following) and opens its detail screen in a popover.
// Its MapKit subclass owns the map view and turns the map's callbacks into these operations.
//
// Main thread only. The set differences and the marker budget run on global queues over
// snapshots taken on the main thread (annotations, settings, budget numbers, the selected
// marker) and hand whole lists back to the main queue.
class KESTMapViewController : public KESTBaseCustomViewController,
                              public KESTLiveDataManagerDelegate,
                              public KESTSearchDelegate,
                              public KESTMapLabelDelegate,
                              public CLLocationManagerDelegate,
                              public UIPopoverControllerDelegate,
                              public UISearchBarDelegate,
                              public UISearchDisplayDelegate,
                              public UIToolbarDelegate {
    VX_OBJECT(KESTMapViewController, KESTBaseCustomViewController)
public:
    explicit KESTMapViewController(Passkey key);
    ~KESTMapViewController() override;
    static Ref<KESTMapViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);

    // Life cycle.
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation orientation) override;
    bool prefersStatusBarHidden() const override { return !m_toolbarsVisible; }
    // The bottom toolbar sits at the bottom; any other bar anywhere.
    UIBarPosition positionForBar(const Ref<UIView>& bar) override
    {
        return bar && bar == m_bottomToolbar ? UIBarPositionBottom : UIBarPositionAny;
    }
    // Removes the observers and stops marker movement; sent before the screen is removed.
    virtual void cleanup();

    Ref<KESTMapController> mapController() override;

    // Settings, movement of the map, visibility.
    void handleSettingsUpdate(const Ref<NSNotification>& note);
    void handleZoomThresholdUpdate(const Ref<NSNotification>& note);
    void mapWillMove();
    void mapDidMove();
    bool mapIsVisible() const { return m_mapIsVisible; }
    void setMapIsVisible(bool visible);
    bool mapIsMoving() const { return m_mapIsMoving; }

    // The live feed's delegate: the bounds of the visible map widened by 100 points.
    std::optional<KESTMapBounds> currentMapBounds() override;
    void selectAnnotationMakeVisible(const Ref<KESTPlane>& plane, bool makeVisible) override;
    void selectAnnotationMakeVisible(const Ref<KESTAnnotation>& annotation, bool makeVisible) override;
    void locationManagerDidUpdateToLocationFromLocation(const Ref<CLLocationManager>& manager,
        const Ref<CLLocation>& newLocation, const Ref<CLLocation>& oldLocation) override;

    // Live data to markers and the marker budget.
    void handleLiveDataUpdate(const Ref<NSNotification>& note);
    // The planes new to the index and, after a full update, the planes gone from the feed (in
    // the index and on the map). Any thread.
    struct LiveDataSets {
        std::vector<Ref<KESTAnnotation>> added;
        std::vector<Ref<KESTAnnotation>> staleIndexed;
        std::vector<Ref<KESTAnnotation>> staleShown;
        // How many planes the (filtered) live set held: the banner's "of" count.
        int64_t planeCount = 0;
    };
    static LiveDataSets computeLiveDataSets(const std::vector<Ref<KESTPlane>>& planes,
        const std::vector<Ref<KESTAnnotation>>& indexed, const std::vector<Ref<KESTAnnotation>>& shown, bool delta);
    void updateAnnotationVisibility();
    // The grid of the marker budget: the candidates cut into the cells of the visible rect.
    struct BudgetGrid {
        // The markers of one cell: those on the shown map and those not.
        struct Cell {
            std::vector<Ref<KESTAnnotation>> shown;
            std::vector<Ref<KESTAnnotation>> hidden;
        };
        // How many candidates in the cells are on the shown map (hidden airports not counted).
        int32_t totalVisible { 0 };
        // Every candidate, in the order given.
        std::vector<Ref<KESTAnnotation>> annotations;
        // Airports on the shown map that must come off (airports hidden).
        std::vector<Ref<KESTAnnotation>> invalidAnnotations;
        // One entry per cell, in row order.
        std::vector<Cell> cells;
    };
    // `showAirports` is the setting at the time the caller took its snapshot. Any thread.
    static BudgetGrid gridAnnotationsInRectIntoColumnsAndRowsWithThresholdAtZoomLevel(
        const std::vector<Ref<KESTAnnotation>>& candidates, MKMapRect rect, uint32_t columns, uint32_t rows,
        uint32_t threshold, float zoomLevel, bool showAirports);
    void updateAnnotationZoomTriggerWithPlaneCount(uint32_t count);
    bool mapWithinZoomThreshold() const { return m_mapWithinZoomThreshold; }

    // Movement and redraw.
    void startPlaneUpdateTimer();
    void stopPlaneUpdateTimer();
    void movePlanes();
    void updateAnnotationLocations();
    void redrawVisibleMarkers();
    void updateMarkerRotation();
    const Ref<CADisplayLink>& displayLink() const { return m_displayLink; }
    double lastMovePlaneUpdate() const { return m_lastMovePlaneUpdate; }
    int32_t lastVisiblePlaneCount() const { return m_lastVisiblePlaneCount; }

    // Selection, detail popover, following.
    void deselectAnnotation(const Ref<KESTAnnotation>& annotation);
    void destroyActiveFlightPath();
    void showDetailScreenForAnnotation(const Ref<KESTAnnotation>& annotation);
    void presentPopoverForViewControllerAnchoredToAnnotationAnimated(
        const Ref<UIViewController>& content, const Ref<KESTAnnotation>& annotation, bool animated);
    void dismissMapPopover();
    void popoverControllerDidDismissPopover(const Ref<UIPopoverController>& popover) override;

    // Bars.
    virtual void updateUI();
    void toggleToolbarVisibility();
    void setToolbarsVisibleAnimated(bool visible, bool animated);
    bool toolbarsVisible() const { return m_toolbarsVisible; }
    void positionMapWarningLabel();
    void mapLabelViewDidUpdate(const Ref<KESTMapLabelView>& banner) override;
    void toggleUserLocation();
    // The augmented-reality screen, full screen in a navigation controller without a bar.
    void showAR();
    // The bar buttons' popovers, anchored to the sender (the previous bar popover is dismissed
    // first): the menu (whose user dismissal rebuilds the bars), the bookmarks, the filter list
    // (with the editor on top when no filter exists at all) and the settings.
    void showMenu(const Ref<UIView>& sender);
    void showBookmarks(const Ref<UIView>& sender);
    void showFilters(const Ref<UIView>& sender);
    void showSettings(const Ref<UIBarButtonItem>& sender);
    const Ref<UIPopoverController>& poc() const { return m_poc; }
    // The maker's other applications as a form sheet.
    void showKESTApps();
    // The first-run tour over the root container; it stores "kHasShownIntroView" when it ends.
    void showIntroView();
    // The share sheet: the text item (naming the selected plane), a snapshot of the map and the
    // web site's address.
    void showShareOptions();
    static constexpr const char* kShareURL = "https://www.volantrix.app/";
    // The alert of a chart push: "Message" with the text; "OK" opens the chart list full screen.
    void chartAlert(const std::string& text);

    // Search: typing restarts a 0.3 second delay; when it runs out the search runs once for the
    // text the field holds then.
    static constexpr double kSearchDelay = 0.3;
    void searchBarTextDidChange(const Ref<UISearchBar>& searchBar, const std::string& text) override;
    void executeSearch(const Ref<NSTimer>& timer);
    void cancelSearch();
    void searchDisplayControllerWillShowSearchResultsTableView(
        const Ref<UISearchDisplayController>& controller, const Ref<UITableView>& tableView) override;
    const Ref<UISearchBar>& searchBar() const { return m_searchBar; }
    const Ref<KESTSearchViewController>& searchVC() const { return m_searchVC; }
    const Ref<UISearchDisplayController>& searchController() const { return m_searchController; }
    const Ref<NSTimer>& searchTimer() const { return m_searchTimer; }
    const Ref<UIBarButtonItem>& menuBarButtonItem() const { return m_menuBarButtonItem; }
    const Ref<UIBarButtonItem>& bookmarksBarButtonItem() const { return m_bookmarksBarButtonItem; }
    const Ref<UIBarButtonItem>& arBarButtonItem() const { return m_arBarButtonItem; }
    const Ref<UIBarButtonItem>& filterBarButtonItem() const { return m_filterBarButtonItem; }

    // Accessors.
    const Ref<KESTAnnotation>& selectedMarker() const { return m_selectedMarker; }
    void setSelectedMarker(Ref<KESTAnnotation> marker) { m_selectedMarker = std::move(marker); }
    const Ref<MKOverlay>& activeFlightPath() const { return m_activeFlightPath; }
    void setActiveFlightPath(Ref<MKOverlay> overlay) { m_activeFlightPath = std::move(overlay); }
    const Ref<UIPopoverController>& mapViewPOC() const { return m_mapViewPOC; }
    void setMapViewPOC(Ref<UIPopoverController> popover) { m_mapViewPOC = std::move(popover); }
    const Ref<KESTDetailViewController>& activePlaneDetailVC() const { return m_activePlaneDetailVC; }
    void setActivePlaneDetailVC(Ref<KESTDetailViewController> detail) { m_activePlaneDetailVC = std::move(detail); }
    const Ref<KESTMapLabelView>& mapLabelView() const { return m_mapLabelView; }
    void setMapLabelView(Ref<KESTMapLabelView> view) { m_mapLabelView = std::move(view); }
    const Ref<UIToolbar>& bottomToolbar() const { return m_bottomToolbar; }
    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const Ref<CLLocationManager>& locationManager() const { return m_locationManager; }
    MKMapRect lastDeltaMapRect() const { return m_lastDeltaMapRect; }
    void setLastDeltaMapRect(MKMapRect rect) { m_lastDeltaMapRect = rect; }

    uint32_t maximumAnnotationThreshold() const { return m_maximumAnnotationThreshold; }
    void setMaximumAnnotationThreshold(uint32_t value) { m_maximumAnnotationThreshold = value; }
    uint32_t gridOverflowThreshold() const { return m_gridOverflowThreshold; }
    void setGridOverflowThreshold(uint32_t value) { m_gridOverflowThreshold = value; }
    uint32_t gridRowCount() const { return m_gridRowCount; }
    void setGridRowCount(uint32_t value) { m_gridRowCount = value; }
    uint32_t gridColumnCount() const { return m_gridColumnCount; }
    void setGridColumnCount(uint32_t value) { m_gridColumnCount = value; }

    // The lists one budget pass computes: markers to take off and to put on the shown map.
    struct BudgetResult {
        std::vector<Ref<KESTAnnotation>> toRemove;
        std::vector<Ref<KESTAnnotation>> toAdd;
    };
    // The budget over a snapshot (any thread): candidates in the visible rect, the markers now
    // shown, and the settings and numbers in force.
    struct BudgetInput {
        std::vector<Ref<KESTAnnotation>> candidates;
        std::vector<Ref<KESTAnnotation>> shown;
        MKMapRect visible {};
        float zoom { 0 };
        bool showAirports { true };
        uint32_t columns { 6 };
        uint32_t rows { 6 };
        uint32_t budget { 250 };
        uint32_t overflow { 5 };
        Ref<KESTAnnotation> selected;
    };
    static BudgetResult computeMarkerBudget(const BudgetInput& input);

protected:
    // The steps of the initialiser after the controller is made; subclasses' factories call it.
    void initMapScreen();
    template <typename T> static Ref<T> makeMapScreen(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        auto screen = makeController<T>(nibName, bundle);
        screen->initMapScreen();
        return screen;
    }
    Ref<KESTMapViewController> protectedSelf() { return self<KESTMapViewController>(); }
    void applyBudget(const BudgetResult& result);
    void selectedPlaneStep();
    void showLocationAlert();
    // Replaces the bar popover by one with `content`, presented from `anchor` in this view.
    void presentBarPopover(const Ref<UIViewController>& content, CGSize size, CGRect anchor, bool withDelegate);
    // The sender's frame in this screen's view coordinates.
    CGRect anchorForSender(const Ref<UIView>& sender);

    Ref<NSObject> m_flightPathUpdateNotifier;
    Ref<NSObject> m_volcanoUpdateNotifier;

private:
    MKMapRect m_lastDeltaMapRect {};
    Ref<NSObject> m_liveDataUpdateNotifier;
    Ref<NSObject> m_settingUpdateNotifier;
    Ref<NSObject> m_zoomThresholdUpdateNotifier;
    Ref<NSTimer> m_searchTimer;
    Ref<NSTimer> m_planeupdateTimer;
    Ref<CADisplayLink> m_displayLink;
    double m_lastMovePlaneUpdate { 0 };
    Ref<UISearchBar> m_searchBar;
    Ref<KESTSearchViewController> m_searchVC;
    Ref<UISearchDisplayController> m_searchController;
    Ref<UIBarButtonItem> m_menuBarButtonItem;
    Ref<UIBarButtonItem> m_bookmarksBarButtonItem;
    Ref<UIBarButtonItem> m_arBarButtonItem;
    Ref<UIBarButtonItem> m_filterBarButtonItem;
    Ref<UIButton> m_filterButton;
    bool m_toolbarsVisible { false };
    int32_t m_lastVisiblePlaneCount { 0 };
    bool m_mapIsMoving { false };
    bool m_mapIsVisible { false };
    bool m_mapWithinZoomThreshold { false };
    int64_t m_livePlaneCount { 0 };
    Ref<KESTAnnotation> m_selectedMarker;
    Ref<UIToolbar> m_bottomToolbar;
    Ref<KESTMapLabelView> m_mapLabelView;
    Ref<MKOverlay> m_activeFlightPath;
    uint32_t m_maximumAnnotationThreshold { 250 };
    uint32_t m_gridOverflowThreshold { 5 };
    uint32_t m_gridRowCount { 6 };
    uint32_t m_gridColumnCount { 6 };
    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<CLLocationManager> m_locationManager;
    Ref<UIPopoverController> m_mapViewPOC;
    Ref<UIPopoverController> m_poc;
    Ref<KESTDetailViewController> m_activePlaneDetailVC;
};
