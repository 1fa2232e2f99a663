#include "app/view-controllers/bookmarks/KESTBookmarksCreateViewController.h"

#include "app/core/KESTBookmark.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITextField.h"

VX_REGISTER_CLASS(KESTBookmarksCreateViewController);

Ref<KESTBookmarksCreateViewController> KESTBookmarksCreateViewController::init()
{
    return makeController<KESTBookmarksCreateViewController>("KESTBookmarksCreateViewController", nullptr);
}

void KESTBookmarksCreateViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    if (m_bookmarkNameField)
        m_bookmarkNameField->setPlaceholder(NSLocalizedString("Name your bookmark"));
    Weak<KESTBookmarksCreateViewController> weak = self<KESTBookmarksCreateViewController>();
    navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::initWithTitleStyleTargetAction(NSLocalizedString("Save"), UIBarButtonItemStyleDone,
            self<KESTBookmarksCreateViewController>(), [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto self = weak.lock())
                    self->donePress(sender);
            }));
    if (!m_mapView)
        return;
    MKMapRect visible = KESTMapController::sharedInstance()->visibleMapRectWithPadding(0);
    if (visible.size.width > 0 && visible.size.height > 0)
        m_mapView->setVisibleMapRect(visible);
    if (m_existingBookmark) {
        if (m_bookmarkNameField)
            m_bookmarkNameField->setText(m_existingBookmark->bookmarkName().stringValue());
        MKCoordinateRegion region {
            { m_existingBookmark->bookmarkLat().doubleValue(), m_existingBookmark->bookmarkLon().doubleValue() },
            { m_existingBookmark->bookmarkLatSpan().doubleValue(), m_existingBookmark->bookmarkLonSpan().doubleValue() }
        };
        m_mapView->setRegionAnimated(region, false);
    }
}

void KESTBookmarksCreateViewController::donePress(const Ref<NSObject>&)
{
    auto protectedThis = self<KESTBookmarksCreateViewController>();
    Ref<KESTBookmark> bookmark = m_existingBookmark;
    if (!bookmark)
        bookmark = KESTBookmark::insertInManagedObjectContext(m_managedObjectContext);
    if (bookmark && m_mapView) {
        CLLocationCoordinate2D centre = m_mapView->centerCoordinate();
        MKCoordinateRegion region = m_mapView->region();
        bookmark->setValueForKey(Value(centre.latitude), "bookmarkLat");
        bookmark->setValueForKey(Value(centre.longitude), "bookmarkLon");
        bookmark->setValueForKey(Value(region.span.latitudeDelta), "bookmarkLatSpan");
        bookmark->setValueForKey(Value(region.span.longitudeDelta), "bookmarkLonSpan");
        bookmark->setValueForKey(
            Value(m_bookmarkNameField ? m_bookmarkNameField->text() : std::string()), "bookmarkName");
    }
    Ref<NSError> error;
    if (m_managedObjectContext && !m_managedObjectContext->save(&error))
        NSLog("Whoops, couldn't save: %@", error ? error->localizedDescription() : std::string());
    if (auto navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}
