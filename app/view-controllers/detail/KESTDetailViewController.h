#pragma once

#include "uikit/UITabBarController.h"

#include <string>
#include <vector>

class KESTPlane;
class NSManagedObjectContext;
class UIImage;
class UILabel;

// The detail screen of one live plane, shown in the map's marker popover: a tab bar with the
// tabs "Overview", "Flight" and "Aircraft". Each tab shows the plane's current texts and follows
// the live feed; the screen keeps the map's context and a snapshot of the map for sharing.
// Main thread only.
class KESTDetailViewController : public UITabBarController {
    VX_OBJECT(KESTDetailViewController, UITabBarController)
public:
    explicit KESTDetailViewController(Passkey key)
        : UITabBarController(key)
    {
    }
    ~KESTDetailViewController() override;
    static Ref<KESTDetailViewController> initWithPlane(const Ref<KESTPlane>& plane);

    const Ref<KESTPlane>& plane() const { return m_plane; }
    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const Ref<UIImage>& mapSnapshot() const { return m_mapSnapshot; }
    void setMapSnapshot(Ref<UIImage> image) { m_mapSnapshot = std::move(image); }

    // Stops following the live feed; sent when the popover is dismissed.
    void cleanup();
    bool isCleanedUp() const { return m_cleanedUp; }

    // The texts each tab shows now, in tab order.
    std::vector<std::string> tabTexts() const;
    // Reads the plane's texts again into the tabs.
    void refresh();

private:
    Ref<KESTPlane> m_plane;
    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<UIImage> m_mapSnapshot;
    std::vector<Ref<UILabel>> m_labels;
    Ref<NSObject> m_liveDataObserver;
    bool m_cleanedUp { false };
};
