#include "app/view-controllers/history/KESTHistoryViewController.h"

#include "app/core/KESTHistoricFlight.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTURLEscaping.h"
#include "app/core/OrderedDictionary.h"
#include "app/view-controllers/history/KESTHistoryDetailViewController.h"
#include "app/widgets/PHProgressHUD.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNJSONResponseSerializer.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"

VX_REGISTER_CLASS(KESTHistoryViewController);

namespace {

std::string textOf(const Value& value)
{
    return value.isString() ? value.string() : value.isNumber() ? value.stringValue() : std::string();
}

} // namespace

Ref<KESTHistoryViewController> KESTHistoryViewController::initWithADSHEX(const std::string& adshex)
{
    auto screen = makeTableController<KESTHistoryViewController>(UITableViewStylePlain);
    screen->setTitle(NSLocalizedString("History"));
    screen->m_adshex = adshex;
    // The content starts below the navigation bar, as the platform's automatic insets would
    // place it.
    screen->setEdgesForExtendedLayout(UIRectEdgeNone);
    return screen;
}

void KESTHistoryViewController::viewDidLoad()
{
    KESTBaseTableViewController::viewDidLoad();
    PHProgressHUD::showHUDAddedToAnimated(view(), true);
    auto screen = self<KESTHistoryViewController>();
    auto success = [screen](const Ref<VNHTTPRequestOperation>&, const Value& answer) {
        PHProgressHUD::hideHUDForViewAnimated(screen->view(), true);
        screen->parseJSON(answer);
    };
    auto failure = [screen](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {
        PHProgressHUD::hideHUDForViewAnimated(screen->view(), true);
    };
    auto url
        = NSURL::URLWithString(NSString::stringWithFormat("%@APPAPIv2/getHistoryForPlane.php?querytype=1&adshex=%@",
            KESTLiveDataManager::serviceBaseURL(), KESTURLEscaping::escapedValue(m_adshex)));
    if (!url) {
        // An address that is no URL fails as a failed request would, on a later turn.
        dispatch_async(dispatch_get_main_queue(), [failure] { failure(nullptr, nullptr); });
        return;
    }
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
    operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
    operation->setCompletionBlockWithSuccessFailure(success, failure);
    operation->start();
}

void KESTHistoryViewController::parseJSON(const Value& answer)
{
    auto result = OrderedDictionary::dictionary();
    const Value& items = answer.objectForKey("flights");
    // The flight number of the last listed item; none when it came without one, which no
    // "flightno" repeats.
    std::optional<std::string> last = std::string();
    // A "flights" that is no list gives an empty table; items without a "flight" are skipped.
    for (const auto& item : items.isArray() ? items.elements() : std::vector<Value> {}) {
        const Value& flight = item.objectForKey("flight");
        if (!flight.isDictionary())
            continue;
        // Dropped when its flight number repeats the last listed one (or is empty while
        // nothing is listed yet).
        const Value& flightno = flight.objectForKey("flightno");
        if (last && flightno.isString() && flightno.string() == *last)
            continue;
        auto record = KESTHistoricFlight::init();
        const Value& flightNumber = flight.objectForKey("flightno_new");
        if (!flightNumber.isNilOrNull())
            record->setFltno(textOf(flightNumber));
        record->setCallsign(textOf(flight.objectForKey("flightno")));
        record->setRoute(textOf(flight.objectForKey("route")));
        record->setTimeStamp(textOf(flight.objectForKey("timestamp")));
        record->setFlightID(textOf(flight.objectForKey("primary_key")));
        // A time stamp shorter than a date is its own day key.
        std::string day = record->timeStamp().size() >= 10 ? NSString::substringToIndex(record->timeStamp(), 10)
                                                           : record->timeStamp();
        Value existing = result->objectForKey(Value(day));
        Value list = existing.isArray() ? existing.mutableCopy() : Value::mutableArray();
        list.addObject(Value::object(record));
        result->setObjectForKey(list.copy(), Value(day));
        last = record->hasFltno() ? std::optional<std::string>(record->fltno()) : std::nullopt;
    }
    m_flights = result;
    if (isViewLoaded())
        tableView()->reloadData();
}

Value KESTHistoryViewController::flightsInSection(int32_t section) const
{
    if (!m_flights || section < 0 || static_cast<uint32_t>(section) >= m_flights->count())
        return Value();
    return m_flights->objectForKey(m_flights->keyAtIndex(static_cast<uint32_t>(section)));
}

Ref<KESTHistoricFlight> KESTHistoryViewController::flightAt(int32_t section, int32_t row) const
{
    Value list = flightsInSection(section);
    if (!list.isArray() || row < 0 || static_cast<size_t>(row) >= list.count())
        return nullptr;
    return list.objectAtIndex(static_cast<size_t>(row)).objectAs<KESTHistoricFlight>();
}

int32_t KESTHistoryViewController::numberOfSectionsInTableView(const Ref<UITableView>&)
{
    return m_flights ? static_cast<int32_t>(m_flights->count()) : 0;
}

int32_t KESTHistoryViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section)
{
    Value list = flightsInSection(section);
    return list.isArray() ? static_cast<int32_t>(list.count()) : 0;
}

std::optional<std::string> KESTHistoryViewController::tableViewTitleForHeaderInSection(
    const Ref<UITableView>&, int32_t section)
{
    if (!m_flights || section < 0 || static_cast<uint32_t>(section) >= m_flights->count())
        return std::nullopt;
    return m_flights->keyAtIndex(static_cast<uint32_t>(section)).stringValue();
}

Ref<UITableViewCell> KESTHistoryViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    auto cell = table->dequeueReusableCellWithIdentifier("HistoryCell");
    if (!cell) {
        cell = UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, "HistoryCell");
        cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    }
    if (auto record = flightAt(indexPath->section(), indexPath->row())) {
        // The callsign stands in for an empty flight number, not for a missing one.
        cell->textLabel()->setText(
            record->hasFltno() && record->fltno().empty() ? record->callsign() : record->fltno());
        cell->detailTextLabel()->setText(record->route());
    }
    return cell;
}

void KESTHistoryViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    auto record = flightAt(indexPath->section(), indexPath->row());
    if (!record)
        return;
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(KESTHistoryDetailViewController::initWithHistoricFlight(record), true);
}
