#include "app/view-controllers/common/KESTBaseTableViewController.h"

#include "uikit/UINib.h"
#include "uikit/UIScreen.h"

VX_REGISTER_CLASS(KESTBaseTableViewController);

void KESTBaseTableViewController::close()
{
    dismissViewControllerAnimatedCompletion(true, nullptr);
}

Ref<UITableView> KESTBaseTableViewController::tableView()
{
    return std::dynamic_pointer_cast<UITableView>(view());
}

void KESTBaseTableViewController::setTableView(const Ref<UITableView>& tableView)
{
    setView(tableView);
    adoptTable(tableView);
}

void KESTBaseTableViewController::adoptTable(const Ref<UITableView>& tableView)
{
    if (!tableView)
        return;
    auto self = this->self<KESTBaseTableViewController>();
    // A table from a layout keeps the data source and delegate the layout gave it.
    if (!tableView->dataSource())
        tableView->setDataSource(this, self);
    if (!tableView->tableDelegate())
        tableView->setTableDelegate(this, self);
}

void KESTBaseTableViewController::loadView()
{
    std::string name = nibName().empty() ? className() : nibName();
    if (!nibName().empty() || UILayoutRegistry::hasLayout(name)) {
        UIViewController::loadView();
        adoptTable(std::dynamic_pointer_cast<UITableView>(view()));
        return;
    }
    auto table = UITableView::initWithFrameStyle(UIScreen::mainScreen()->applicationFrame(), m_style);
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setTableView(table);
}

void KESTBaseTableViewController::viewWillAppear(bool animated)
{
    UIViewController::viewWillAppear(animated);
    auto table = tableView();
    if (!table)
        return;
    if (!m_hasLoadedData) {
        m_hasLoadedData = true;
        table->reloadData();
    } else if (m_clearsSelectionOnViewWillAppear) {
        for (const auto& indexPath : table->indexPathsForSelectedRows())
            table->deselectRowAtIndexPathAnimated(indexPath, animated);
    }
}

void KESTBaseTableViewController::setEditingAnimated(bool editing, bool animated)
{
    UIViewController::setEditingAnimated(editing, animated);
    if (auto table = tableView())
        table->setEditingAnimated(editing, animated);
}
