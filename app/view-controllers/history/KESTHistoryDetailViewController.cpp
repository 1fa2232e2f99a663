#include "app/view-controllers/history/KESTHistoryDetailViewController.h"

#include "app/core/KESTAirport.h"
#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTHistoricFlight.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTURLEscaping.h"
#include "app/view-controllers/map-markers/KESTAirportAnnotationView.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/widgets/KESTRouteProgressView.h"
#include "foundation/Dispatch.h"
#include "foundation/NSCharacterSet.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "mapkit/MKGeodesicPolyline.h"
#include "mapkit/MKMapView.h"
#include "mapkit/MKPolylineRenderer.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNJSONResponseSerializer.h"

VX_REGISTER_CLASS(KESTHistoryDetailViewController);

namespace {

Value airportMarkerData(const std::string& name, const std::string& city, const std::string& country,
    const std::string& code, double lat, double lon)
{
    return Value::array(
        { Value(name), Value(city), Value(country), Value(code), Value(code), Value(lat), Value(lon), Value(0) });
}

} // namespace

Ref<KESTHistoryDetailViewController> KESTHistoryDetailViewController::initWithHistoricFlight(
    const Ref<KESTHistoricFlight>& flight)
{
    auto screen = makeController<KESTHistoryDetailViewController>({}, nullptr);
    screen->m_flight = flight;
    screen->setEdgesForExtendedLayout(UIRectEdgeNone);
    if (!flight)
        return screen;
    screen->setTitle(flight->fltno().empty() ? flight->callsign() : flight->fltno());
    // Sized like the popover's content from the start, so that showing the airports fits them.
    screen->m_mapView = MKMapView::initWithFrame(CGRectMake(0, 64, 320, 440));
    screen->m_mapView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    screen->m_mapView->setDelegate(std::static_pointer_cast<MKMapViewDelegate>(screen));
    auto data = KESTFlightDataManager::sharedInstance();
    std::vector<Ref<MKAnnotation>> markers;
    for (const auto& code : NSString::componentsSeparatedByCharactersInSet(
             flight->route(), NSCharacterSet::characterSetWithCharactersInString("->,."))) {
        auto names = data->getAirportFullNameArray(code);
        if (!names)
            break;
        auto location = data->getAirportLocation(code);
        double lat = location ? location->latitude : 0, lon = location ? location->longitude : 0;
        auto airport
            = KESTAirport::initWithData(airportMarkerData((*names)[0], (*names)[1], (*names)[2], code, lat, lon));
        if (!airport)
            break;
        markers.push_back(KESTMapAnnotation::forAnnotation(airport));
        screen->m_airportLocations.emplace_back(lat, lon);
    }
    screen->m_mapView->addAnnotations(markers);
    if (!markers.empty())
        screen->m_mapView->showAnnotationsAnimated(markers, false);
    return screen;
}

void KESTHistoryDetailViewController::loadView()
{
    auto root = UIView::initWithFrame(CGRectMake(0, 0, 320, 568));
    root->setBackgroundColor(UIColor::whiteColor());
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (m_mapView)
        root->addSubview(m_mapView);
    setView(root);
}

void KESTHistoryDetailViewController::viewDidLoad()
{
    KESTBaseCustomViewController::viewDidLoad();
    if (!m_flight)
        return;
    auto screen = self<KESTHistoryDetailViewController>();
    auto url
        = NSURL::URLWithString(NSString::stringWithFormat("%@APPAPIv2/getHistoryForPlane.php?querytype=2&flightid=%@",
            KESTLiveDataManager::serviceBaseURL(), KESTURLEscaping::escapedValue(m_flight->flightID())));
    if (!url)
        return; // no track can be asked for: the airports and the strip stay alone
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
    operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
    operation->setCompletionBlockWithSuccessFailure(
        [screen](const Ref<VNHTTPRequestOperation>&, const Value& answer) { screen->showTrack(answer); },
        [screen](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {});
    operation->start();
}

void KESTHistoryDetailViewController::showTrack(const Value& answer)
{
    if (!m_mapView)
        return;
    std::vector<CLLocationCoordinate2D> line;
    bool knownRoute = m_airportLocations.size() >= 2;
    if (knownRoute)
        line.push_back(CLLocationCoordinate2DMake(m_airportLocations.back().first, m_airportLocations.back().second));
    // A "location" that is no list gives no points; numbers that do not read give 0 and are
    // skipped with every point at latitude or longitude 0.
    const Value& points = answer.objectForKey("locations").objectForKey("location");
    size_t count = points.isArray() ? points.count() : 0;
    std::string na = "N/A";
    for (size_t i = 0; i < count; ++i) {
        const Value& point = points.objectAtIndex(i);
        double lat = point.objectForKey("lat").doubleValue(), lon = point.objectForKey("lon").doubleValue();
        if (lat == 0 || lon == 0)
            continue;
        line.push_back(CLLocationCoordinate2DMake(lat, lon));
        if (!knownRoute && (i == 0 || i + 1 == count)) {
            if (auto end = KESTAirport::initWithData(airportMarkerData(na, na, na, na, lat, lon)))
                m_mapView->addAnnotation(KESTMapAnnotation::forAnnotation(end));
        }
    }
    if (knownRoute)
        line.push_back(CLLocationCoordinate2DMake(m_airportLocations.front().first, m_airportLocations.front().second));
    if (!line.empty())
        m_mapView->addOverlay(MKGeodesicPolyline::polylineWithCoordinates(line));
}

void KESTHistoryDetailViewController::viewWillAppear(bool animated)
{
    KESTBaseCustomViewController::viewWillAppear(animated);
    CGRect bounds = view()->bounds();
    if (!m_routeView) {
        m_routeView = KESTRouteProgressView::initWithFrame(CGRectMake(0, 0, bounds.size.width, 64));
        m_routeView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        m_routeView->setShowFullAirportNames(true);
        m_routeView->setShowProgress(false);
        m_routeView->setShowTerminals(false);
        m_routeView->setShowDistances(false);
        Value entries = Value::mutableArray();
        for (const auto& entry : KESTFlightDataManager::sharedInstance()->getExpandedAirportInfoFromRoute(
                 m_flight ? m_flight->route() : std::string()))
            entries.addObject(Value::array({ Value(entry[0]), Value(entry[1]), Value(entry[2]), Value(entry[3]) }));
        m_routeView->setAirportData(entries);
        m_routeView->setBackgroundColor(UIColor::whiteColor());
        view()->addSubview(m_routeView);
    }
    if (m_mapView)
        m_mapView->setFrame(CGRectMake(0, 64, bounds.size.width, bounds.size.height - 64));
}

Ref<MKAnnotationView> KESTHistoryDetailViewController::mapViewViewForAnnotation(
    const Ref<MKMapView>& map, const Ref<MKAnnotation>& annotation)
{
    if (!std::dynamic_pointer_cast<KESTAirport>(KESTMapAnnotation::annotationOf(annotation)))
        return nullptr;
    auto view = std::dynamic_pointer_cast<KESTAirportAnnotationView>(
        map->dequeueReusableAnnotationViewWithIdentifier("KESTAirportAnnotationViewID"));
    if (!view)
        view = KESTAirportAnnotationView::initWithAnnotation(annotation, std::string("KESTAirportAnnotationViewID"));
    view->setAnnotation(annotation);
    view->setCanShowCallout(true);
    view->setCalloutOffset(CGPointMake(0, 5));
    return view;
}

Ref<MKOverlayRenderer> KESTHistoryDetailViewController::mapViewRendererForOverlay(
    const Ref<MKMapView>&, const Ref<MKOverlay>& overlay)
{
    auto line = std::dynamic_pointer_cast<MKPolyline>(overlay);
    if (!line)
        return nullptr;
    auto renderer = MKPolylineRenderer::initWithPolyline(line);
    renderer->setStrokeColor(UIColor::blueColor());
    renderer->setLineWidth(2);
    return renderer;
}
