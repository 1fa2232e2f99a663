#include "app/view-controllers/airport/KESTAirportViewController.h"
#include "uikit/UINib.h"
#include "uikit/UITableView.h"

namespace {

// The board's view: a plain table filling it, whose data source and delegate are the board.
std::vector<Value> buildAirportView(const Ref<NSObject>& owner, const Value&)
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 320, 568));
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto table = UITableView::initWithFrameStyle(view->bounds(), UITableViewStylePlain);
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(table);
    if (auto board = std::dynamic_pointer_cast<KESTAirportViewController>(owner)) {
        table->setDataSource(board.get(), board);
        table->setTableDelegate(board.get(), board);
        board->setTableView(table);
        board->setView(view);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTAirportView", buildAirportView);
