#include "uikit/UITableViewController.h"

#include "uikit/UIScreen.h"
#include "uikit/UITableViewCell.h"

VX_REGISTER_CLASS(UITableViewController);

Ref<UITableView> UITableViewController::tableView()
{
    return std::dynamic_pointer_cast<UITableView>(view());
}

void UITableViewController::loadView()
{
    auto table = UITableView::initWithFrameStyle(UIScreen::mainScreen()->bounds(), m_tableViewStyle);
    table->setDataSource(this, self<UITableViewController>());
    table->setTableDelegate(this, self<UITableViewController>());
    setView(table);
}

Ref<UITableViewCell> UITableViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>&)
{
    return UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "Cell");
}
