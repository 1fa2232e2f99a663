#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "foundation/Value.h"
#include "uikit/UITableView.h"

#include <memory>

class KESTAirport;
class KESTSearchDelegate;
class NSIndexPath;
class NSOperationQueue;
class NSTimer;
class UILabel;
class UISegmentedControl;

// The board of one airport's arrivals or departures, black like a departure board, opened from
// an airport marker's callout in the map's popover. The mode ("arr" or "dep") is remembered in
// "airportBoardMode"; the board is fetched at creation and every 60 seconds while no row is
// open; a tapped row opens in place, and its "View on map" selects the flight's live plane on
// the map and closes the popover. The refresh timer keeps the board alive until the board is
// about to disappear. Main thread only.
class KESTAirportViewController : public KESTBaseViewController,
                                  public UITableViewDataSource,
                                  public UITableViewDelegate {
    VX_OBJECT(KESTAirportViewController, KESTBaseViewController)
public:
    explicit KESTAirportViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    ~KESTAirportViewController() override;
    static Ref<KESTAirportViewController> initWithAirport(const Ref<KESTAirport>& airport);

    static constexpr const char* kModeKey = "airportBoardMode";

    const Ref<KESTAirport>& airport() const { return m_airport; }
    // Asked to select a flight on the map: the map screen. Held weakly.
    std::shared_ptr<KESTSearchDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<KESTSearchDelegate> delegate) { m_delegate = std::move(delegate); }
    const Ref<UITableView>& tableView() const { return m_tableView; }
    void setTableView(Ref<UITableView> table) { m_tableView = std::move(table); }
    const Value& results() const { return m_results; }
    const std::string& currentKey() const { return m_currentKey; }
    const Ref<NSIndexPath>& extendedCellIndexPath() const { return m_extendedCellIndexPath; }
    const Ref<NSTimer>& updateTimer() const { return m_updateTimer; }
    const Ref<NSOperationQueue>& operationQueue() const { return m_operationQueue; }
    const Ref<UISegmentedControl>& toggleControl() const { return m_toggleControl; }
    const Ref<UIView>& tableHeaderView() const { return m_tableHeaderView; }
    const Ref<UILabel>& directionHeaderLabel() const { return m_directionHeaderLabel; }

    void updateBoard();
    void startUpdateTimer();
    void stopUpdateTimer();
    void switchBoard(const Ref<NSObject>& sender);
    void showFlight(const Ref<NSObject>& sender);

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;
    UIStatusBarStyle preferredStatusBarStyle() const override { return UIStatusBarStyleLightContent; }

    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    Ref<UIView> tableViewViewForHeaderInSection(const Ref<UITableView>&, int32_t) override { return m_tableHeaderView; }
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

private:
    // The list of the current mode, or nil.
    Value currentList() const;
    std::string directionTitle() const;

    Ref<KESTAirport> m_airport;
    Ref<UITableView> m_tableView;
    std::weak_ptr<KESTSearchDelegate> m_delegate;
    Value m_results;
    std::string m_currentKey;
    Ref<NSIndexPath> m_extendedCellIndexPath;
    Ref<NSTimer> m_updateTimer;
    Ref<NSOperationQueue> m_operationQueue;
    Ref<UISegmentedControl> m_toggleControl;
    Ref<UIView> m_tableHeaderView;
    Ref<UILabel> m_flightNoHeaderLabel;
    Ref<UILabel> m_timeHeaderLabel;
    Ref<UILabel> m_directionHeaderLabel;
    Ref<UILabel> m_statusHeaderLabel;
    Ref<UIView> m_navigationBarBackdrop;
};
