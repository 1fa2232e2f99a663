#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "uikit/UITableView.h"

#include <map>
#include <vector>

class KESTAlert;
class NSManagedObjectContext;

// The alert list: the user's flight alerts in five sections by type (Squawk, Aircraft Type,
// Airline, Registration, Hex Code). Each appearance synchronises the alerts with the service
// and lists them at once from the store, then again when the merge is announced. Rows open the
// editor; deleting a row deletes the alert on the device and at the service. Main thread only.
class KESTAlertViewController : public KESTBaseViewController,
                                public UITableViewDataSource,
                                public UITableViewDelegate {
    VX_OBJECT(KESTAlertViewController, KESTBaseViewController)
public:
    explicit KESTAlertViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTAlertViewController> init();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void viewWillDisappear(bool animated) override;
    void setEditingAnimated(bool editing, bool animated) override;

    void addPress(const Ref<NSObject>& sender);
    void refreshTableData();
    // Section index to alert type: 3, 4, 5, 0, 2; 0 outside 0..4.
    static int32_t sectionToNumberTranslation(int32_t section);

    // Table.
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return m_alerts.empty() ? 0 : 5; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, int32_t section) override;
    std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>&, int32_t) override { return 32; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewCommitEditingStyleForRowAtIndexPath(
        const Ref<UITableView>&, UITableViewCellEditingStyle style, const Ref<NSIndexPath>& indexPath) override;

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const std::map<int32_t, std::vector<Ref<KESTAlert>>>& alerts() const { return m_alerts; }
    Ref<UITableView> tableView() const { return m_tableView.lock(); }
    void setTableView(const Ref<UITableView>& table) { m_tableView = table; }

private:
    Ref<KESTAlert> alertAt(const Ref<NSIndexPath>& indexPath) const;

    Ref<NSManagedObjectContext> m_managedObjectContext;
    std::map<int32_t, std::vector<Ref<KESTAlert>>> m_alerts;
    Weak<UITableView> m_tableView;
    Ref<NSObject> m_syncObserver;
};
