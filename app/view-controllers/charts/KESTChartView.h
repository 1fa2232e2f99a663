#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "uikit/UIActionSheet.h"
#include "uikit/UIApplication.h"
#include "uikit/UITableView.h"

class KESTChartObject;

// Told when a screen shown modally closes itself.
class ChartModalViewControllerDelegate {
public:
    virtual ~ChartModalViewControllerDelegate() = default;
    virtual void didDismissModalView() = 0;
};

// The list of aviation charts: one row per chart of the chart manager's list, each with a check
// box that switches the chart on or off; active charts can be dragged into a new order (the
// first is drawn on top). Every change is stored at once under "vxActiveCharts". The options
// sheet clears the tile cache's files, switches every chart off or opens the account screen.
// The table is always in editing mode so the reorder controls show. Main thread only.
class KESTChartView : public KESTBaseViewController,
                      public UITableViewDataSource,
                      public UITableViewDelegate,
                      public UIActionSheetDelegate {
    VX_OBJECT(KESTChartView, KESTBaseViewController)
public:
    explicit KESTChartView(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTChartView> init();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Stores the active charts as {"name", "order"} with orders 0, 1, 2 ... in list order and
    // gives the inactive ones order 99999.
    void saveActiveCharts();
    void togglePress(const Ref<NSObject>& sender);
    void optionsPress(const Ref<NSObject>& sender);
    void closePress(const Ref<NSObject>& sender) override;
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const
    {
        return orientation == UIInterfaceOrientationPortrait;
    }

    // Table.
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 1; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    bool tableViewCanMoveRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override { return true; }
    bool respondsToMoveRow() const override { return true; }
    void tableViewMoveRowAtIndexPathToIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return 44;
    }
    std::optional<UITableViewCellEditingStyle> tableViewEditingStyleForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>&) override
    {
        return UITableViewCellEditingStyleNone;
    }
    Ref<NSIndexPath> tableViewTargetIndexPathForMoveFromRowAtIndexPathToProposedIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& proposed) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewAccessoryButtonTappedForRowWithIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

    // Options.
    void actionSheetClickedButtonAtIndex(const Ref<UIActionSheet>&, int32_t index) override;

    Ref<UITableView> chartTable() const { return m_chartTable.lock(); }
    void setChartTable(const Ref<UITableView>& table) { m_chartTable = table; }
    std::shared_ptr<ChartModalViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<ChartModalViewControllerDelegate> delegate) { m_delegate = std::move(delegate); }

private:
    void toggleChartAtIndexPath(const Ref<NSIndexPath>& indexPath);
    Ref<KESTChartObject> chartAtRow(int32_t row) const;

    Weak<UITableView> m_chartTable;
    std::weak_ptr<ChartModalViewControllerDelegate> m_delegate;
};
