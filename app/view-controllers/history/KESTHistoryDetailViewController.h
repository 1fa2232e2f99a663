#pragma once

#include "app/view-controllers/common/KESTBaseCustomViewController.h"
#include "foundation/Value.h"
#include "mapkit/MKMapViewDelegate.h"

#include <vector>

class KESTHistoricFlight;
class KESTRouteProgressView;
class MKMapView;
struct KESTLocation;

// One past flight on a map: the route's known airports as markers (the lookup stops at the
// first code the database lacks), the route strip over the top, and the flown track fetched
// once as a blue geodesic line from the last known airport through the track to the first.
// With fewer than two known airports the track's ends get "N/A" markers instead. The request
// keeps the screen alive until it has answered. Main thread only.
class KESTHistoryDetailViewController : public KESTBaseCustomViewController, public MKMapViewDelegate {
    VX_OBJECT(KESTHistoryDetailViewController, KESTBaseCustomViewController)
public:
    explicit KESTHistoryDetailViewController(Passkey key)
        : KESTBaseCustomViewController(key)
    {
    }
    static Ref<KESTHistoryDetailViewController> initWithHistoricFlight(const Ref<KESTHistoricFlight>& flight);

    const Ref<KESTHistoricFlight>& flight() const { return m_flight; }
    void setFlight(Ref<KESTHistoricFlight> flight) { m_flight = std::move(flight); }
    const Ref<MKMapView>& mapView() const { return m_mapView; }
    const Ref<KESTRouteProgressView>& routeView() const { return m_routeView; }
    size_t airportLocationCount() const { return m_airportLocations.size(); }
    // Draws the track of an answer ({"locations": {"location": [{"lat", "lon"}]}}).
    void showTrack(const Value& answer);

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    Ref<MKAnnotationView> mapViewViewForAnnotation(const Ref<MKMapView>&, const Ref<MKAnnotation>&) override;
    Ref<MKOverlayRenderer> mapViewRendererForOverlay(const Ref<MKMapView>&, const Ref<MKOverlay>&) override;

private:
    Ref<MKMapView> m_mapView;
    Ref<KESTRouteProgressView> m_routeView;
    std::vector<std::pair<double, double>> m_airportLocations;
    Ref<KESTHistoricFlight> m_flight;
};
