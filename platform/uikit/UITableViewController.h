#pragma once

#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// A controller whose view is a table of the style it was made with; the controller is the
// table's data source and delegate. Subclasses answer the data-source and delegate calls.
// Main thread only.
class UITableViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
    VX_OBJECT(UITableViewController, UIViewController)
public:
    explicit UITableViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<UITableViewController> initWithStyle(UITableViewStyle style)
    {
        return makeTableController<UITableViewController>(style);
    }

    UITableViewStyle tableViewStyle() const { return m_tableViewStyle; }
    // The view as a table (made on first use).
    Ref<UITableView> tableView();
    void loadView() override;

    // UITableViewDataSource: an empty table unless a subclass answers.
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return 0; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

protected:
    template <typename T> static Ref<T> makeTableController(UITableViewStyle style)
    {
        auto controller = makeController<T>({}, nullptr);
        controller->m_tableViewStyle = style;
        return controller;
    }

private:
    UITableViewStyle m_tableViewStyle { UITableViewStylePlain };
};
