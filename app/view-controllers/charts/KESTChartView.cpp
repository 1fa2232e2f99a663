#include "app/view-controllers/charts/KESTChartView.h"

#include "app/core/DiskDataCache.h"
#include "app/core/KESTAuthManager.h"
#include "app/core/KESTChartManager.h"
#include "app/core/KESTChartObject.h"
#include "app/view-controllers/charts/KESTCheckCell.h"
#include "app/widgets/KESTToggleButton.h"
#include "foundation/NSBundle.h"
#include "foundation/NSUserDefaults.h"
#include "graphics/UIColor.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UINib.h"

VX_REGISTER_CLASS(KESTChartView);

Ref<KESTChartView> KESTChartView::init()
{
    return makeController<KESTChartView>("KESTChartView", nullptr);
}

void KESTChartView::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::whiteColor());
    setTitle(NSLocalizedString("Charts"));
    auto table = chartTable();
    if (table) {
        table->setDataSource(this, weak_from_this());
        table->setTableDelegate(this, weak_from_this());
        table->registerNibForCellReuseIdentifier(
            UINib::nibWithNibNameBundle("KESTCheckCell", nullptr), "KESTCheckCell");
        table->setAllowsSelectionDuringEditing(true);
        table->setEditingAnimated(true, false);
    }
    Weak<KESTChartView> weak = self<KESTChartView>();
    navigationItem()->setRightBarButtonItem(
        UIBarButtonItem::initWithTitleStyleTargetAction(NSLocalizedString("Settings"), UIBarButtonItemStyleBordered,
            self<KESTChartView>(), [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto self = weak.lock())
                    self->optionsPress(sender);
            }));
}

void KESTChartView::viewWillAppear(bool animated)
{
    KESTBaseViewController::viewWillAppear(animated);
    // The chart manager may have rebuilt its list while another screen covered this one.
    if (auto table = chartTable())
        table->reloadData();
    auto navigation = navigationController();
    if (navigation && navigation->viewControllers().size() <= 1) {
        Weak<KESTChartView> weak = self<KESTChartView>();
        navigationItem()->setLeftBarButtonItem(
            UIBarButtonItem::initWithTitleStyleTargetAction(NSLocalizedString("Close"), UIBarButtonItemStylePlain,
                self<KESTChartView>(), [weak](const Ref<UIBarButtonItem>& sender) {
                    if (auto self = weak.lock())
                        self->closePress(sender);
                }));
    }
}

Ref<KESTChartObject> KESTChartView::chartAtRow(int32_t row) const
{
    const auto& charts = KESTChartManager::sharedInstance()->charts();
    if (row < 0 || static_cast<size_t>(row) >= charts.size())
        return nullptr;
    return charts[row];
}

void KESTChartView::saveActiveCharts()
{
    Value stored = Value::mutableArray();
    int32_t order = 0;
    for (const auto& chart : KESTChartManager::sharedInstance()->charts()) {
        if (chart->active()) {
            auto name = chart->name();
            stored.addObject(Value::dictionary(
                { { Value("name"), name ? Value(*name) : Value() }, { Value("order"), Value(order) } }));
            ++order;
        } else {
            chart->setOrder(KESTChartObject::kInactiveOrder);
        }
    }
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObjectForKey(stored, "vxActiveCharts");
    defaults->synchronize();
}

void KESTChartView::toggleChartAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    auto chart = indexPath ? chartAtRow(indexPath->row()) : nullptr;
    if (!chart)
        return;
    chart->setActive(!chart->active());
    saveActiveCharts();
    if (auto table = chartTable()) {
        table->reloadData();
        table->reloadRowsAtIndexPathsWithRowAnimation({ indexPath }, UITableViewRowAnimationFade);
    }
}

void KESTChartView::togglePress(const Ref<NSObject>& sender)
{
    auto button = std::dynamic_pointer_cast<UIView>(sender);
    auto table = chartTable();
    if (!button || !table)
        return;
    CGPoint origin = button->convertPointToView(CGPointMake(0, 0), table);
    toggleChartAtIndexPath(table->indexPathForRowAtPoint(origin));
}

void KESTChartView::optionsPress(const Ref<NSObject>&)
{
    auto sheet = UIActionSheet::initWithTitle("", this, weak_from_this(), NSLocalizedString("Cancel"),
        NSLocalizedString("Clear cache"),
        { NSLocalizedString("Deselect all charts"), NSLocalizedString("Manage kestravon ID") });
    sheet->showInView(view());
}

void KESTChartView::actionSheetClickedButtonAtIndex(const Ref<UIActionSheet>& sheet, int32_t index)
{
    if (sheet && index == sheet->cancelButtonIndex())
        return;
    switch (index) {
    case 0:
        DiskDataCache::sharedCache()->emptyCache();
        break;
    case 1:
        for (const auto& chart : KESTChartManager::sharedInstance()->charts())
            chart->setActive(false);
        if (auto table = chartTable())
            table->reloadData();
        saveActiveCharts();
        break;
    case 2:
        KESTAuthManager::sharedInstance()->presentManagerInControllerCompletionFailure(
            self<KESTChartView>(), nullptr, nullptr);
        break;
    default:
        break;
    }
}

void KESTChartView::closePress(const Ref<NSObject>& sender)
{
    auto protectedThis = self<KESTChartView>();
    if (auto delegate = m_delegate.lock())
        delegate->didDismissModalView();
    KESTBaseViewController::closePress(sender);
}

int32_t KESTChartView::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t)
{
    return static_cast<int32_t>(KESTChartManager::sharedInstance()->charts().size());
}

Ref<UITableViewCell> KESTChartView::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    auto cell = std::dynamic_pointer_cast<KESTCheckCell>(
        tableView->dequeueReusableCellWithIdentifierForIndexPath("KESTCheckCell", indexPath));
    if (!cell)
        return UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTCheckCell");
    auto chart = chartAtRow(indexPath->row());
    if (cell->titleLabel())
        cell->titleLabel()->setText(chart ? chart->name().value_or("") : "");
    if (auto toggle = cell->toggleButton()) {
        toggle->setSelected(chart && chart->active());
        toggle->removeTargetActionForControlEvents(self<KESTChartView>(), "togglePress:", UIControlEventTouchUpInside);
        toggle->addTarget(
            self<KESTChartView>(), &KESTChartView::togglePress, "togglePress:", UIControlEventTouchUpInside);
    }
    cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
    return cell;
}

Ref<NSIndexPath> KESTChartView::tableViewTargetIndexPathForMoveFromRowAtIndexPathToProposedIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& proposed)
{
    auto chart = chartAtRow(from->row());
    return chart && chart->active() ? proposed : from;
}

void KESTChartView::tableViewMoveRowAtIndexPathToIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to)
{
    auto& charts = KESTChartManager::sharedInstance()->mutableCharts();
    int32_t source = from->row(), destination = to->row();
    if (source != destination && source >= 0 && static_cast<size_t>(source) < charts.size()) {
        auto chart = charts[source];
        charts.erase(charts.begin() + source);
        if (destination < 0 || static_cast<size_t>(destination) >= charts.size())
            charts.push_back(chart);
        else
            charts.insert(charts.begin() + destination, chart);
    }
    saveActiveCharts();
}

void KESTChartView::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    toggleChartAtIndexPath(indexPath);
}

void KESTChartView::tableViewAccessoryButtonTappedForRowWithIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    toggleChartAtIndexPath(indexPath);
}
