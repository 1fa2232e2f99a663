#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "location/CLLocation.h"
#include "uikit/UITableView.h"

#include <functional>
#include <optional>
#include <vector>

class KESTBookmark;
class NSManagedObjectContext;

// The bookmark list: the current location first, then every bookmark by name (plain order,
// capitals first). Selecting a row moves the main map there; a row's house check box makes it
// the home region the map opens at (the current location row means no home); in editing mode a
// bookmark row opens the editor and rows can be deleted. The list is fetched again at each
// appearance; changes are saved at once. Main thread only.
class KESTBookmarksViewController : public KESTBaseViewController,
                                    public UITableViewDataSource,
                                    public UITableViewDelegate {
    VX_OBJECT(KESTBookmarksViewController, KESTBaseViewController)
public:
    explicit KESTBookmarksViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTBookmarksViewController> init();

    // Where the device is, as the map screen's location manager last saw it; nullopt when there
    // is no map screen, no location manager or no fix yet.
    static std::optional<CLLocationCoordinate2D> currentLocation();
    // Test-only: answers currentLocation instead of the map screen (nullptr goes back to it).
    using CurrentLocationProvider = std::function<std::optional<CLLocationCoordinate2D>()>;
    static void setCurrentLocationProviderForTesting(CurrentLocationProvider provider);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void setEditingAnimated(bool editing, bool animated) override;

    void addPress(const Ref<NSObject>& sender);
    void togglePress(const Ref<NSObject>& sender);

    // Table.
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 1; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    bool tableViewCanEditRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath) override;
    bool tableViewCanMoveRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override { return false; }
    void tableViewCommitEditingStyleForRowAtIndexPath(
        const Ref<UITableView>&, UITableViewCellEditingStyle style, const Ref<NSIndexPath>& indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return 59;
    }
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const std::vector<Ref<KESTBookmark>>& KESTBookmarks() const { return m_bookmarks; }
    const Ref<NSIndexPath>& currentlySelectedHome() const { return m_currentlySelectedHome; }
    Ref<UITableView> tableView() const { return m_tableView.lock(); }
    void setTableView(const Ref<UITableView>& table) { m_tableView = table; }

private:
    void refetch();
    Ref<KESTBookmark> bookmarkAtRow(int32_t row) const;

    Ref<NSManagedObjectContext> m_managedObjectContext;
    std::vector<Ref<KESTBookmark>> m_bookmarks;
    Ref<NSIndexPath> m_currentlySelectedHome;
    Weak<UITableView> m_tableView;
};
