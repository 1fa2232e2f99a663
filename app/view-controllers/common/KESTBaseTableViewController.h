#pragma once

#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// Base of the application's table screens. It does not log screen events or listen for the
// keyboard; it only adds `close`. It is also the table screen itself: its view is a table (made
// in the given style, or taken from the layout) whose data source and delegate are the screen;
// the data is loaded when the screen first appears, and the selection is cleared on each
// appearance unless clearsSelectionOnViewWillAppear is turned off. Subclasses answer the table's
// questions; the defaults give an empty table. Main thread only.
class KESTBaseTableViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
    VX_OBJECT(KESTBaseTableViewController, UIViewController)
public:
    explicit KESTBaseTableViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<KESTBaseTableViewController> initWithStyle(UITableViewStyle style)
    {
        return makeTableController<KESTBaseTableViewController>(style);
    }
    static Ref<KESTBaseTableViewController> initWithNibNameBundle(
        const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeTableController<KESTBaseTableViewController>(UITableViewStylePlain, nibName, bundle);
    }

    // Dismisses the screen, animated.
    virtual void close();

    // The screen's table (loads the view when needed).
    Ref<UITableView> tableView();
    void setTableView(const Ref<UITableView>& tableView);
    UITableViewStyle tableViewStyle() const { return m_style; }
    bool clearsSelectionOnViewWillAppear() const { return m_clearsSelectionOnViewWillAppear; }
    void setClearsSelectionOnViewWillAppear(bool clears) { m_clearsSelectionOnViewWillAppear = clears; }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void setEditingAnimated(bool editing, bool animated) override;

    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return 0; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return nullptr;
    }

protected:
    // For subclasses' factories: makes the screen with the style its table will have.
    template <typename T>
    static Ref<T> makeTableController(
        UITableViewStyle style, const std::string& nibName = {}, const Ref<NSBundle>& bundle = nullptr)
    {
        auto controller = makeController<T>(nibName, bundle);
        controller->m_style = style;
        return controller;
    }

private:
    void adoptTable(const Ref<UITableView>& tableView);

    UITableViewStyle m_style { UITableViewStylePlain };
    bool m_clearsSelectionOnViewWillAppear { true };
    bool m_hasLoadedData { false };
};
