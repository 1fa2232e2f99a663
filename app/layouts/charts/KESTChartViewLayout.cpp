#include "app/view-controllers/charts/KESTChartView.h"
#include "uikit/UINib.h"
#include "uikit/UIScreen.h"

namespace {

// The screen's view with the chart table filling it.
std::vector<Value> buildChartView(const Ref<NSObject>& owner, const Value&)
{
    CGRect frame = CGRectMake(0, 0, 320, 500);
    auto view = UIView::initWithFrame(frame);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    auto table = UITableView::initWithFrameStyle(frame, UITableViewStylePlain);
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(table);
    if (auto controller = std::dynamic_pointer_cast<KESTChartView>(owner)) {
        controller->setView(view);
        controller->setChartTable(table);
    }
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTChartView", buildChartView);
