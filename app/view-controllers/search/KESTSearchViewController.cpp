#include "app/view-controllers/search/KESTSearchViewController.h"

#include "app/core/KESTAirport.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSString.h"
#include "location/CLGeocoder.h"
#include "location/CLLocation.h"
#include "location/CLPlacemark.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNHTTPRequestOperationManager.h"
#include "networking/VNJSONResponseSerializer.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UISearchDisplayController.h"
#include "uikit/UITableViewCell.h"

VX_REGISTER_CLASS(KESTSearchViewController);

namespace {

bool matches(const std::string& field, const std::string& phrase)
{
    return !field.empty() && NSString::hasPrefixIgnoringCaseAndDiacritics(field, phrase);
}

bool matches(const std::optional<std::string>& field, const std::string& phrase)
{
    return field && matches(*field, phrase);
}

std::string text(const std::optional<std::string>& value)
{
    return value.value_or("(null)");
}

} // namespace

Ref<KESTSearchViewController> KESTSearchViewController::initWithNibNameBundle(const std::string&, const Ref<NSBundle>&)
{
    auto controller = makeController<KESTSearchViewController>({}, nullptr);
    controller->initSearch();
    return controller;
}

void KESTSearchViewController::initSearch()
{
    m_geocoder = CLGeocoder::init();
    m_manager = VNHTTPRequestOperationManager::manager();
    m_manager->setResponseSerializer(VNJSONResponseSerializer::serializer());
    m_searchController = nullptr;
    m_results = emptyResultSet();
    m_tmpResults = emptyResultSet();
    view()->setAlpha(0.9f);
    refreshData();
}

void KESTSearchViewController::refreshData()
{
    auto feed = KESTLiveDataManager::sharedInstance();
    m_planes = feed->planeArray();
    m_airports = feed->airportArray();
}

Value KESTSearchViewController::emptyResultSet()
{
    Value set = Value::mutableArray();
    for (int32_t i = 0; i < kSectionCount; ++i)
        set.addObject(Value::array({ Value(i), Value::mutableArray() }));
    return set;
}

Value KESTSearchViewController::addResultWithFlagAndKeyAndDetailAndObject(
    int32_t flag, const std::string& key, const std::string& detail, const Value& object)
{
    return Value::dictionary({ { Value("flag"), Value(flag) }, { Value("key"), Value(key) },
        { Value("detail"), Value(detail) }, { Value("object"), object } });
}

Value KESTSearchViewController::localSearch(
    const std::string& phrase, const std::vector<Ref<KESTPlane>>& planes, const std::vector<Ref<KESTAirport>>& airports)
{
    Value set = emptyResultSet();
    auto add = [&](int32_t section, const std::string& key, const std::string& detail, const Value& object) {
        Value list = set[section][1];
        list.addObject(addResultWithFlagAndKeyAndDetailAndObject(section, key, detail, object));
    };
    for (const auto& plane : planes) {
        if (!plane)
            continue;
        // Each plane's fields are read once, under its own lock, and only the first match counts.
        std::string fltno = plane->fltno(), callsign = plane->callsign(), reg = plane->reg(), adshex = plane->adshex(),
                    route = plane->route();
        if (matches(fltno, phrase))
            add(0, "fltno", NSString::stringWithFormat("%@ | %@", reg, route), Value(plane));
        else if (matches(callsign, phrase))
            add(1, "callsign", NSString::stringWithFormat("%@ | %@", reg, route), Value(plane));
        else if (matches(reg, phrase))
            add(2, "reg", NSString::stringWithFormat("%@ | %@", fltno, route), Value(plane));
        else if (matches(adshex, phrase))
            add(3, "adshex", NSString::stringWithFormat("%@ | %@", fltno, route), Value(plane));
    }
    for (const auto& airport : airports) {
        if (!airport)
            continue;
        if (matches(airport->name(), phrase))
            add(4, "name", NSString::stringWithFormat("%@, %@", text(airport->city()), text(airport->country())),
                Value(airport));
        else if (matches(airport->iata(), phrase))
            add(4, "iata", text(airport->name()), Value(airport));
        else if (matches(airport->icao(), phrase))
            add(4, "icao", text(airport->name()), Value(airport));
    }
    return set;
}

void KESTSearchViewController::performSearchWithPhrase(const std::string& phrase)
{
    if (phrase.empty())
        return;
    refreshData();
    uint64_t generation = ++m_generation;
    Weak<KESTSearchViewController> weak = self<KESTSearchViewController>();

    auto planes = m_planes;
    auto airports = m_airports;
    dispatch_async(
        dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_HIGH, 0), [weak, phrase, planes, airports, generation] {
            Value results = localSearch(phrase, planes, airports);
            dispatch_async(dispatch_get_main_queue(), [weak, results, generation] {
                if (auto self = weak.lock())
                    self->handleLocalResults(generation, results);
            });
        });

    m_geocoder->cancelGeocode();
    m_geocoder->geocodeAddressString(
        phrase, [weak, generation](const std::vector<Ref<CLPlacemark>>& placemarks, const Ref<NSError>&) {
            if (auto self = weak.lock())
                self->handlePlacemarks(generation, placemarks);
        });

    std::string url = NSString::stringWithFormat("%@APPAPI/flightSchedule.php", KESTLiveDataManager::serviceBaseURL());
    m_manager->GETParametersSuccessFailure(
        url, Value::dictionary({ { Value("icao"), Value(phrase) } }),
        [weak, generation](const Ref<VNHTTPRequestOperation>&, const Value& reply) {
            if (auto self = weak.lock())
                self->handleScheduleReply(generation, reply);
        },
        [weak, generation](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {
            auto self = weak.lock();
            if (self && generation == self->m_generation)
                self->reloadResults();
        });
}

Value& KESTSearchViewController::workingSetFor(uint64_t generation)
{
    if (m_tmpGeneration != generation) {
        m_tmpResults = emptyResultSet();
        m_tmpGeneration = generation;
    }
    return m_tmpResults;
}

void KESTSearchViewController::handleLocalResults(uint64_t generation, const Value& results)
{
    if (generation != m_generation)
        return;
    // Places and schedules of this phrase that answered first stay in their sections.
    if (m_tmpGeneration == generation) {
        for (int32_t section = 5; section < kSectionCount; ++section) {
            Value list = results[section][1];
            for (const auto& record : m_tmpResults[section][1].elements())
                list.addObject(record);
        }
    }
    m_tmpResults = results;
    m_tmpGeneration = generation;
    reloadResults();
}

void KESTSearchViewController::handlePlacemarks(uint64_t generation, const std::vector<Ref<CLPlacemark>>& placemarks)
{
    if (generation != m_generation)
        return;
    Value list = workingSetFor(generation)[5][1];
    for (const auto& placemark : placemarks) {
        if (!placemark || placemark->country().empty())
            continue;
        CLLocationCoordinate2D coordinate
            = placemark->location() ? placemark->location()->coordinate() : CLLocationCoordinate2D { 0, 0 };
        std::string key = placemark->locality().empty() ? "country" : "locality";
        std::string detail = NSString::stringWithFormat(
            "%@ (%0.3f, %0.3f)", placemark->country(), coordinate.latitude, coordinate.longitude);
        list.addObject(addResultWithFlagAndKeyAndDetailAndObject(5, key, detail, Value(placemark)));
    }
    reloadResults();
}

void KESTSearchViewController::handleScheduleReply(uint64_t generation, const Value& reply)
{
    if (generation != m_generation)
        return;
    std::vector<Value> notInTheAir, codeshares;
    for (const auto& flight : reply.elements()) {
        // A flight needs its designator, both airports and an operating flight or null.
        if (!flight.isArray() || flight.count() < 5 || !flight[0].isString() || !flight[2].isString()
            || !flight[3].isString() || !(flight[4].isString() || flight[4].isNilOrNull()))
            continue;
        const std::string& designator = flight[0].string();
        std::optional<std::string> operating;
        if (flight[4].isString())
            operating = flight[4].string();
        const std::string& wanted = operating ? *operating : designator;
        Ref<KESTPlane> found;
        for (const auto& plane : m_planes) {
            if (plane && (plane->callsign() == wanted || plane->fltno() == wanted)) {
                found = plane;
                break;
            }
        }
        if (found) {
            if (operating) {
                found->setSearchCodeshare(designator);
                codeshares.push_back(addResultWithFlagAndKeyAndDetailAndObject(7, "searchCodeshare",
                    NSString::stringWithFormat("%@ %@", NSLocalizedString("Operating as"), *operating), Value(found)));
            }
            continue;
        }
        Value scheduled = Value::dictionary(
            { { Value("icao"), flight[0] }, { Value("depapt"), flight[2] }, { Value("arrapt"), flight[3] } });
        notInTheAir.push_back(addResultWithFlagAndKeyAndDetailAndObject(
            6, "icao", NSString::stringWithFormat("%@ - %@", flight[2].string(), flight[3].string()), scheduled));
    }
    Value& set = workingSetFor(generation);
    Value sixth = set[6][1], seventh = set[7][1];
    for (const auto& record : notInTheAir)
        sixth.addObject(record);
    for (const auto& record : codeshares)
        seventh.addObject(record);
    reloadResults();
}

void KESTSearchViewController::reloadResults()
{
    m_results = m_tmpResults.mutableCopy();
    if (auto table = resultsTable())
        table->reloadData();
}

Ref<UITableView> KESTSearchViewController::resultsTable() const
{
    if (!m_searchController)
        return nullptr;
    return m_searchController->searchResultsTableView();
}

int32_t KESTSearchViewController::indexForSection(int32_t section) const
{
    int32_t shown = 0;
    for (const auto& entry : m_results.elements()) {
        if (entry.count() < 2 || entry[1].count() == 0)
            continue;
        if (shown == section)
            return entry[0].intValue();
        ++shown;
    }
    return 0;
}

std::string KESTSearchViewController::titleForSectionIndex(int32_t index)
{
    static const char* const titles[kSectionCount] = { "Flight Numbers", "Callsigns", "Registration Numbers",
        "Hex codes", "Airports", "Locations", "Not currently in the air", "Codeshares" };
    if (index < 0 || index >= kSectionCount)
        return NSLocalizedString("Misc");
    return NSLocalizedString(titles[index]);
}

std::string KESTSearchViewController::titleForRecord(const Value& record)
{
    const std::string& key = record["key"].string();
    const Value& object = record["object"];
    if (object.isDictionary())
        return object[key].stringValue();
    if (auto plane = object.objectAs<KESTPlane>()) {
        if (key == "fltno")
            return plane->fltno();
        if (key == "callsign")
            return plane->callsign();
        if (key == "reg")
            return plane->reg();
        if (key == "adshex")
            return plane->adshex();
        if (key == "searchCodeshare")
            return plane->searchCodeshare().value_or("");
        return "";
    }
    if (auto airport = object.objectAs<KESTAirport>()) {
        if (key == "name")
            return airport->name().value_or("");
        if (key == "iata")
            return airport->iata();
        if (key == "icao")
            return airport->icao();
        return "";
    }
    if (auto placemark = object.objectAs<CLPlacemark>())
        return key == "locality" ? placemark->locality() : placemark->country();
    return "";
}

int32_t KESTSearchViewController::numberOfSectionsInTableView(const Ref<UITableView>&)
{
    int32_t count = 0;
    for (const auto& entry : m_results.elements()) {
        if (entry.count() >= 2 && entry[1].count() > 0)
            ++count;
    }
    return count;
}

int32_t KESTSearchViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section)
{
    int32_t index = indexForSection(section);
    if (index < 0 || static_cast<size_t>(index) >= m_results.count())
        return 0;
    return static_cast<int32_t>(m_results[index][1].count());
}

std::optional<std::string> KESTSearchViewController::tableViewTitleForHeaderInSection(
    const Ref<UITableView>&, int32_t section)
{
    return titleForSectionIndex(indexForSection(section));
}

Ref<UITableViewCell> KESTSearchViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    auto cell = tableView ? tableView->dequeueReusableCellWithIdentifier("SearchCell") : nullptr;
    if (!cell)
        cell = UITableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, "SearchCell");
    int32_t index = indexForSection(indexPath->section());
    const Value& rows = m_results[index][1];
    if (indexPath->row() < 0 || static_cast<size_t>(indexPath->row()) >= rows.count())
        return cell;
    const Value& record = rows[indexPath->row()];
    cell->textLabel()->setText(titleForRecord(record));
    cell->detailTextLabel()->setText(record["detail"].string());
    if (auto annotation = record["object"].objectAs<KESTAnnotation>())
        cell->setAccessoryView(UIImageView::initWithImage(annotation->annotationImage()));
    else
        cell->setAccessoryView(nullptr);
    return cell;
}

void KESTSearchViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath)
{
    if (tableView)
        tableView->deselectRowAtIndexPathAnimated(indexPath, true);
    int32_t index = indexForSection(indexPath->section());
    const Value rows = m_results[index][1];
    if (indexPath->row() < 0 || static_cast<size_t>(indexPath->row()) >= rows.count())
        return;
    const Value record = rows[indexPath->row()];
    const Value& object = record["object"];
    auto protectedThis = self<KESTSearchViewController>();
    if (auto annotation = object.objectAs<KESTAnnotation>()) {
        annotation->updateLocationImmediately();
        if (auto delegate = m_delegate.lock())
            delegate->selectAnnotationMakeVisible(annotation, true);
        if (m_searchController)
            m_searchController->setActiveAnimated(false, true);
    } else if (auto placemark = object.objectAs<CLPlacemark>()) {
        auto delegate = m_delegate.lock();
        auto map = delegate ? delegate->mapController() : nullptr;
        if (map && placemark->location()) {
            map->setCenterCoordinate(placemark->location()->coordinate());
            map->setZoom(8);
        }
        if (m_searchController)
            m_searchController->setActiveAnimated(false, true);
    } else if (object.isDictionary()) {
        std::string message = NSString::stringWithFormat(
            NSLocalizedString("Flight %@ from %@ to %@ is out of range or not currently tracked."),
            object["icao"].stringValue(), object["depapt"].stringValue(), object["arrapt"].stringValue());
        auto alert = UIAlertView::initWithTitle(
            NSLocalizedString("Not currently tracked"), message, nullptr, {}, NSLocalizedString("Continue"), {});
        alert->show();
    }
}
