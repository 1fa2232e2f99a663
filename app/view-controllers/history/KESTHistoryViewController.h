#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"
#include "foundation/Value.h"

class KESTHistoricFlight;
class OrderedDictionary;

// The recent past flights of one aircraft, by day in the order the service sends them, each row
// opening the flight's track. The history is asked for once, when the view loads; the request
// keeps the screen alive until it has answered. Main thread only.
class KESTHistoryViewController : public KESTBaseTableViewController {
    VX_OBJECT(KESTHistoryViewController, KESTBaseTableViewController)
public:
    explicit KESTHistoryViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTHistoryViewController> initWithADSHEX(const std::string& adshex);

    const std::string& adshex() const { return m_adshex; }
    // Day key to its flights, days in the order first met; nil until the answer was handled.
    const Ref<OrderedDictionary>& flights() const { return m_flights; }
    void parseJSON(const Value& answer);
    // The record shown at a section and row, or nullptr.
    Ref<KESTHistoricFlight> flightAt(int32_t section, int32_t row) const;

    void viewDidLoad() override;
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override;
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, int32_t section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

private:
    Value flightsInSection(int32_t section) const;

    std::string m_adshex;
    Ref<OrderedDictionary> m_flights;
};
