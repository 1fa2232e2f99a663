#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "mapkit/MKMapViewDelegate.h"

class KESTBookmark;
class MKMapView;
class NSManagedObjectContext;
class UITextField;

// Adds a bookmark, or re-frames and renames an existing one: the user frames the region on a
// map (opened on the main map's visible area, or on the bookmark's region) and names it; Save
// stores the map's centre and span and the name, saves the context and goes back to the list.
// Main thread only.
class KESTBookmarksCreateViewController : public KESTBaseViewController, public MKMapViewDelegate {
    VX_OBJECT(KESTBookmarksCreateViewController, KESTBaseViewController)
public:
    explicit KESTBookmarksCreateViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTBookmarksCreateViewController> init();

    void viewDidLoad() override;
    // Saves; a failed save is logged as "Whoops, couldn't save: %@" and the screen still closes.
    void donePress(const Ref<NSObject>& sender);

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const Ref<KESTBookmark>& existingBookmark() const { return m_existingBookmark; }
    void setExistingBookmark(Ref<KESTBookmark> bookmark) { m_existingBookmark = std::move(bookmark); }
    const Ref<MKMapView>& mapView() const { return m_mapView; }
    void setMapView(Ref<MKMapView> mapView) { m_mapView = std::move(mapView); }
    const Ref<UITextField>& bookmarkNameField() const { return m_bookmarkNameField; }
    void setBookmarkNameField(Ref<UITextField> field) { m_bookmarkNameField = std::move(field); }

private:
    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<KESTBookmark> m_existingBookmark;
    Ref<MKMapView> m_mapView;
    Ref<UITextField> m_bookmarkNameField;
};
