#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "uikit/UITableView.h"

#include <vector>

class KESTFilter;
class NSManagedObjectContext;

// The saved-filters list (title "Filters"): every filter with its name, the number of live
// planes it matches (counted off the main thread) and a check box that switches it on or off.
// Rows open the editor; the add control opens it for a new filter; rows can be deleted. Every
// change is saved at once, rebuilds the predicate, refreshes the map's toolbar (the filter
// badge) and posts "com.kestravon.volantrix.livedata.updated". Main thread only.
class KESTFilterViewController : public KESTBaseViewController,
                                 public UITableViewDataSource,
                                 public UITableViewDelegate {
    VX_OBJECT(KESTFilterViewController, KESTBaseViewController)
public:
    explicit KESTFilterViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTFilterViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<KESTFilterViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void viewWillDisappear(bool animated) override;
    void setEditingAnimated(bool editing, bool animated) override;

    void addPress(const Ref<NSObject>& sender);
    void togglePress(const Ref<NSObject>& sender);
    // Posts the live-data notification on the main queue, after the current event.
    static void fireDataUpdateNotification();

    // Table.
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 1; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override
    {
        return static_cast<int32_t>(m_filters.size());
    }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return 60;
    }
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewCommitEditingStyleForRowAtIndexPath(
        const Ref<UITableView>&, UITableViewCellEditingStyle style, const Ref<NSIndexPath>& indexPath) override;

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const std::vector<Ref<KESTFilter>>& filters() const { return m_filters; }
    Ref<UITableView> tableView() const { return m_tableView.lock(); }
    void setTableView(const Ref<UITableView>& table) { m_tableView = table; }

private:
    void pushEditorForFilter(const Ref<KESTFilter>& filter);
    // Saves, rebuilds the predicate, refreshes the map's toolbar and tells the plane views.
    void filtersChanged(bool saveAndRecache);

    Ref<NSManagedObjectContext> m_managedObjectContext;
    std::vector<Ref<KESTFilter>> m_filters;
    Weak<UITableView> m_tableView;
};
