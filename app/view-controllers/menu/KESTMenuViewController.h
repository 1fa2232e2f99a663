#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"

class NSManagedObjectContext;

// The main menu (title "Menu"): nine fixed rows that open filters, alerts, the aircraft list,
// the aviation charts, bookmarks, augmented reality, settings, the forum and the maker's other
// apps, most pushed onto the menu's navigation controller, three presented from it. The filter
// row carries the number of active filters, fresh each time the menu appears. Main thread only.
class KESTMenuViewController : public KESTBaseTableViewController {
    VX_OBJECT(KESTMenuViewController, KESTBaseTableViewController)
public:
    explicit KESTMenuViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTMenuViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 1; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return 9; }
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return 50;
    }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(
        const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(
        const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath) override;

private:
    // Pushes the list, and the editor above it (the list pushed without animation) when `empty`.
    void pushListAndEditor(const Ref<UIViewController>& list, const Ref<UIViewController>& editor, bool empty);

    Ref<NSManagedObjectContext> m_managedObjectContext;
};
