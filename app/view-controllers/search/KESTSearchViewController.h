#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"
#include "app/view-controllers/search/KESTSearchDelegate.h"
#include "foundation/Value.h"
#include "uikit/UITableView.h"

#include <cstdint>
#include <string>
#include <vector>

class CLGeocoder;
class CLPlacemark;
class KESTAirport;
class KESTPlane;
class NSError;
class UISearchDisplayController;
class VNHTTPRequestOperationManager;

// The results of the map's search bar. A phrase is looked up in four places at once: the live
// planes (flight number, callsign, registration, hex address) and the airports (name, IATA,
// ICAO) on a background queue, the geocoder (places) and the flight-data service's schedule
// (scheduled flights: codeshares of live planes, or flights not in the air). Results go into
// eight fixed sections; each source fills its sections when it answers.
//
// A result set is an array of eight entries [index, mutable array of records]; a record is
// {"flag": section, "key": the key whose value on the object is the row's title, "detail":
// subtitle, "object": a KESTPlane, KESTAirport, CLPlacemark or scheduled-flight dictionary}.
// Answers belong to the phrase that asked for them: those of an earlier phrase are dropped, and
// answers that come before the local search of their own phrase are kept for it.
// Main thread only (the local search runs on a global queue over snapshots).
class KESTSearchViewController : public KESTBaseViewController,
                                 public UITableViewDataSource,
                                 public UITableViewDelegate {
    VX_OBJECT(KESTSearchViewController, KESTBaseViewController)
public:
    static constexpr int32_t kSectionCount = 8;

    explicit KESTSearchViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    // Ignores both arguments.
    static Ref<KESTSearchViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);

    // Takes the snapshots of the live planes (those the filters let through) and the airports.
    void refreshData();
    // Starts a search; an empty phrase does nothing.
    void performSearchWithPhrase(const std::string& phrase);
    static Value addResultWithFlagAndKeyAndDetailAndObject(
        int32_t flag, const std::string& key, const std::string& detail, const Value& object);
    // Shows the working set: a copy of it that shares the section arrays.
    void reloadResults();
    // The result-set index of the n-th non-empty section; 0 when there is none.
    int32_t indexForSection(int32_t section) const;

    // Eight empty sections.
    static Value emptyResultSet();
    // The local search over the given planes and airports (sections 0 to 4).
    static Value localSearch(const std::string& phrase, const std::vector<Ref<KESTPlane>>& planes,
        const std::vector<Ref<KESTAirport>>& airports);
    // A section's localized title; "Misc" for an unknown index.
    static std::string titleForSectionIndex(int32_t index);
    // The row title: the value of the record's "key" on its "object".
    static std::string titleForRecord(const Value& record);

    // Table.
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override;
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, int32_t section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

    const Ref<CLGeocoder>& geocoder() const { return m_geocoder; }
    void setGeocoder(Ref<CLGeocoder> geocoder) { m_geocoder = std::move(geocoder); }
    const Ref<VNHTTPRequestOperationManager>& manager() const { return m_manager; }
    void setManager(Ref<VNHTTPRequestOperationManager> manager) { m_manager = std::move(manager); }
    const std::vector<Ref<KESTPlane>>& planes() const { return m_planes; }
    void setPlanes(std::vector<Ref<KESTPlane>> planes) { m_planes = std::move(planes); }
    const std::vector<Ref<KESTAirport>>& airports() const { return m_airports; }
    void setAirports(std::vector<Ref<KESTAirport>> airports) { m_airports = std::move(airports); }
    const Value& results() const { return m_results; }
    const Value& tmpResults() const { return m_tmpResults; }
    const Ref<UISearchDisplayController>& searchController() const { return m_searchController; }
    void setSearchController(Ref<UISearchDisplayController> controller) { m_searchController = std::move(controller); }
    std::shared_ptr<KESTSearchDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<KESTSearchDelegate> delegate) { m_delegate = std::move(delegate); }

private:
    void initSearch();
    // The working set of the running phrase, started afresh when it belongs to another.
    Value& workingSetFor(uint64_t generation);
    void handleLocalResults(uint64_t generation, const Value& results);
    void handlePlacemarks(uint64_t generation, const std::vector<Ref<CLPlacemark>>& placemarks);
    void handleScheduleReply(uint64_t generation, const Value& reply);
    Ref<UITableView> resultsTable() const;

    Ref<CLGeocoder> m_geocoder;
    Ref<VNHTTPRequestOperationManager> m_manager;
    std::vector<Ref<KESTPlane>> m_planes;
    std::vector<Ref<KESTAirport>> m_airports;
    Value m_results;
    Ref<UISearchDisplayController> m_searchController;
    std::weak_ptr<KESTSearchDelegate> m_delegate;
    Value m_tmpResults;
    // The phrase running now and the phrase the working set belongs to.
    uint64_t m_generation { 0 };
    uint64_t m_tmpGeneration { 0 };
};
