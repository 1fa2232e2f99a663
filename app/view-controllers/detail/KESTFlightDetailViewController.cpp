#include "app/view-controllers/detail/KESTFlightDetailViewController.h"

#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/cockpit/KESTCockpitViewController.h"
#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightCapacityViewCell.h"
#include "app/view-controllers/detail/KESTFlightCodeshareViewCell.h"
#include "app/view-controllers/detail/KESTFlightDaysOfOperationViewCell.h"
#include "app/view-controllers/detail/KESTFlightGraphViewController.h"
#include "app/view-controllers/detail/KESTFlightMapViewCell.h"
#include "app/view-controllers/detail/KESTFlightScheduledViewCell.h"
#include "app/view-controllers/detail/KESTFlightServiceTypeViewCell.h"
#include "app/view-controllers/detail/KESTSingleColumnViewCell.h"
#include "app/view-controllers/detail/KESTSparkLineViewCell.h"
#include "app/view-controllers/map-markers/KESTPlaneAnnotationView.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/widgets/KESTRouteProgressView.h"
#include "app/widgets/KESTRouteProgressViewCell.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "graphics/CADisplayLink.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "mapkit/MKMapCamera.h"
#include "mapkit/MKMapView.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINib.h"

#include <algorithm>

VX_REGISTER_CLASS(KESTFlightDetailViewController);

namespace {

const char* const kNibs[] = { "KESTSparkLineViewCell", "KESTFlightCodeshareViewCell", "KESTFlightScheduledViewCell",
    "KESTFlightDaysOfOperationViewCell", "KESTFlightServiceTypeViewCell", "KESTFlightCapacityViewCell",
    "KESTSingleColumnViewCell" };

template <typename Cell> Ref<Cell> dequeue(const Ref<UITableView>& table, const char* name, const Ref<NSIndexPath>& at)
{
    return std::dynamic_pointer_cast<Cell>(table->dequeueReusableCellWithIdentifierForIndexPath(name, at));
}

std::string textOf(const Value& value)
{
    return value.isString() ? value.string() : value.stringValue();
}

// A graph sample the chart can plot: an object with a position ("prikey", a number or a text)
// and the altitude and speed as numbers.
bool isPlottableSample(const Value& sample)
{
    if (!sample.isDictionary())
        return false;
    const Value& position = sample.objectForKey("prikey");
    return (position.isNumber() || position.isString()) && sample.objectForKey("altitude").isNumber()
        && sample.objectForKey("speed").isNumber();
}

} // namespace

Ref<KESTFlightDetailViewController> KESTFlightDetailViewController::initWithStyle(UITableViewStyle style)
{
    auto tab = makeDetailTab<KESTFlightDetailViewController>(style);
    tab->installTabBarItem("Flight", "flightTabInactive", "flightTabActive");
    auto map = MKMapView::initWithFrame(CGRectMake(0, 0, 320, 135));
    map->setMapType(MKMapTypeHybrid);
    map->setPitchEnabled(true);
    map->setRotateEnabled(true);
    map->setShowsBuildings(true);
    map->setShowsPointsOfInterest(false);
    map->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    map->setDelegate(std::static_pointer_cast<MKMapViewDelegate>(tab));
    map->setUserInteractionEnabled(false);
    tab->m_mapView = map;
    tab->m_mapCamera = MKMapCamera::camera();
    if (!tab->m_displayLink) {
        tab->m_displayLink = CADisplayLink::displayLinkWithTargetSelector(
            tab, [raw = tab.get()](const Ref<CADisplayLink>&) { raw->redrawSparklines(); });
        tab->m_displayLink->setFrameInterval(2);
        tab->m_displayLink->addToRunLoopForMode(NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
        tab->m_speedSparkline = KESTSparkLineView::initWithFrame(CGRectZero);
        tab->m_speedSparkline->setDelegate(tab.get(), tab);
        tab->m_speedSparkline->setColor(
            UIColor::colorWithRedGreenBlueAlpha(186 / 255.0f, 10 / 255.0f, 224 / 255.0f, 1));
        tab->m_altitudeSparkline = KESTSparkLineView::initWithFrame(CGRectZero);
        tab->m_altitudeSparkline->setDelegate(tab.get(), tab);
        tab->m_altitudeSparkline->setColor(
            UIColor::colorWithRedGreenBlueAlpha(8 / 255.0f, 196 / 255.0f, 8 / 255.0f, 1));
    }
    tab->liveDataDidUpdate();
    return tab;
}

double KESTFlightDetailViewController::cameraAltitudeForRealAltitude(double altitude)
{
    if (altitude > 10000)
        return 5000;
    if (altitude < 5000)
        return 1000;
    return altitude;
}

void KESTFlightDetailViewController::viewDidLoad()
{
    KESTDetailBaseViewController::viewDidLoad();
    auto table = tableView();
    table->registerClassForCellReuseIdentifier<KESTFlightMapViewCell>("KESTFlightMapViewCell");
    for (const char* nib : kNibs)
        table->registerNibForCellReuseIdentifier(UINib::nibWithNibNameBundle(nib, nullptr), nib);
}

void KESTFlightDetailViewController::viewWillAppear(bool animated)
{
    KESTDetailBaseViewController::viewWillAppear(animated);
    liveDataDidUpdate();
    auto detail = detailVC();
    if (m_speedSparkline && m_speedSparkline->points().empty() && detail && detail->plane()) {
        m_speedSparkline->addPlotPoint(static_cast<float>(detail->plane()->speed()));
        m_altitudeSparkline->addPlotPoint(static_cast<float>(detail->plane()->altitude()));
    }
}

void KESTFlightDetailViewController::viewDidAppear(bool animated)
{
    KESTDetailBaseViewController::viewDidAppear(animated);
    if (m_mapView)
        m_mapView->setCamera(m_mapCamera);
    auto detail = detailVC();
    if (detail && detail->plane()) {
        const auto& plane = detail->plane();
        detail->setTitle(NSString::stringWithFormat("%@", plane->fltno().empty() ? plane->callsign() : plane->fltno()));
    }
    m_hasPerformedInitialLoad = true;
}

void KESTFlightDetailViewController::liveDataDidUpdate()
{
    KESTDetailBaseViewController::liveDataDidUpdate();
    // The block keeps the tab alive until it has run.
    auto tab = self<KESTFlightDetailViewController>();
    dispatch_async(dispatch_get_main_queue(), [tab] { tab->applyLiveUpdate(); });
}

void KESTFlightDetailViewController::applyLiveUpdate()
{
    auto detail = detailVC();
    auto plane = detail ? detail->plane() : nullptr;
    if (plane) {
        m_speedSparkline->addPlotPoint(static_cast<float>(plane->speed()));
        m_altitudeSparkline->addPlotPoint(static_cast<float>(plane->altitude()));
        if (!m_proxyPlane) {
            m_proxyPlane = plane->copy();
            m_proxyPlane->setCoordinate(KESTLocation { plane->lat(), plane->lon() });
            if (m_mapView)
                m_mapView->addAnnotation(KESTMapAnnotation::forAnnotation(m_proxyPlane));
        }
        m_proxyPlane->setAltitude(plane->altitude());
        m_proxyPlane->setHeading(0);
    }
    KESTLocation center = plane ? plane->estimateCoordWithClamping(true) : KESTLocation { 0, 0 };
    m_mapCamera->setCenterCoordinate(CLLocationCoordinate2DMake(center.latitude, center.longitude));
    m_mapCamera->setAltitude(cameraAltitudeForRealAltitude(plane ? plane->altitude() : 0));
    m_mapCamera->setHeading(plane ? plane->heading() : 0);
    m_mapCamera->setPitch(70);
    if (m_hasPerformedInitialLoad) {
        Weak<KESTFlightDetailViewController> weak = self<KESTFlightDetailViewController>();
        UIView::animateWithDurationDelayOptions(
            12.5, 0, UIViewAnimationOptionCurveEaseOut | UIViewAnimationOptionAllowUserInteraction,
            [weak, center] {
                auto tab = weak.lock();
                if (!tab)
                    return;
                if (tab->m_mapView)
                    tab->m_mapView->setCamera(tab->m_mapCamera);
                if (tab->m_proxyPlane)
                    tab->m_proxyPlane->setCoordinate(center);
            },
            nullptr);
    } else if (m_proxyPlane) {
        m_proxyPlane->setCoordinate(center);
    }
    updateProgressView();
}

void KESTFlightDetailViewController::metadataDidUpdate()
{
    KESTDetailBaseViewController::metadataDidUpdate();
    m_chartDataKeys = Value::array({ Value("Altitude"), Value("Speed") });
    auto detail = detailVC();
    const Value& graph = detail ? detail->metadata().objectForKey("graph") : Value();
    if (graph.isDictionary()) {
        auto keys = graph.allKeys();
        // Keys sort as text, character by character: "1", "10", "2".
        std::sort(keys.begin(), keys.end(),
            [](const Value& a, const Value& b) { return NSString::toUTF16(textOf(a)) < NSString::toUTF16(textOf(b)); });
        auto formatter = KESTFlightDataManager::sharedInstance();
        Value samples = Value::mutableArray();
        for (const auto& key : keys) {
            const Value& sample = graph.objectForKey(key);
            // A sample without a position, or whose values are not numbers, cannot be plotted (a
            // point without a position stops the chart): it is left out and the rest is shown.
            if (!isPlottableSample(sample))
                continue;
            Value converted = sample.mutableCopy();
            converted.setObjectForKey(
                Value(formatter->convertedAltitudeWithFeet(sample.objectForKey("altitude").doubleValue())), "altitude");
            converted.setObjectForKey(
                Value(formatter->convertedSpeedWithKnots(sample.objectForKey("speed").doubleValue())), "speed");
            samples.addObject(converted);
        }
        m_chartData = samples.copy();
    }
    updateProgressView();
}

void KESTFlightDetailViewController::cleanup()
{
    KESTDetailBaseViewController::cleanup();
    if (m_mapView) {
        m_mapView->setDelegate(nullptr);
        m_mapView->removeFromSuperview();
        m_mapView = nullptr;
    }
    if (m_displayLink) {
        m_displayLink->removeFromRunLoopForMode(NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
        m_displayLink = nullptr;
    }
}

Value KESTFlightDetailViewController::scheduleValue(const char* key) const
{
    auto detail = detailVC();
    return detail ? detail->oagData().objectForKey(key) : Value();
}

void KESTFlightDetailViewController::updateProgressView()
{
    if (!m_progressView)
        return;
    auto detail = detailVC();
    if (!detail || detail->progressData().isNil()) {
        m_progressView->setAlpha(0.5f);
        return;
    }
    m_progressView->setAlpha(1.0f);
    m_progressView->setProgressData(detail->progressData());
    m_progressView->setArrTermDepTerm(
        textOf(scheduleValue("arrival_terminal_indicator")), textOf(scheduleValue("departure_terminal_indicator")));
}

void KESTFlightDetailViewController::redrawSparklines()
{
    if (m_speedSparkline)
        m_speedSparkline->replot();
    if (m_altitudeSparkline)
        m_altitudeSparkline->replot();
}

void KESTFlightDetailViewController::cockpitPress()
{
    auto detail = detailVC();
    if (auto navigation = navigationController(); navigation && detail)
        navigation->pushViewControllerAnimated(KESTCockpitViewController::initWithPlane(detail->plane()), true);
}

void KESTFlightDetailViewController::sparkLineDidAddPlotPointWithValue(
    const Ref<KESTSparkLineView>& sparkLine, float value)
{
    int32_t row;
    std::optional<std::string> text;
    auto formatter = KESTFlightDataManager::sharedInstance();
    if (sparkLine == m_speedSparkline) {
        row = 1;
        text = formatter->formattedSpeedWithKnots(value);
    } else if (sparkLine == m_altitudeSparkline) {
        row = 2;
        text = formatter->formattedAltitudeWithFeet(value);
    } else {
        return;
    }
    if (!isViewLoaded())
        return;
    auto cell = std::dynamic_pointer_cast<KESTSparkLineViewCell>(
        tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(row, 0)));
    if (cell && cell->valueLabel())
        cell->valueLabel()->setText(text.value_or(""));
}

Ref<MKAnnotationView> KESTFlightDetailViewController::mapViewViewForAnnotation(
    const Ref<MKMapView>& map, const Ref<MKAnnotation>& annotation)
{
    if (!std::dynamic_pointer_cast<KESTPlane>(KESTMapAnnotation::annotationOf(annotation)))
        return nullptr;
    auto view = std::dynamic_pointer_cast<KESTPlaneAnnotationView>(
        map->dequeueReusableAnnotationViewWithIdentifier("KESTPlaneAnnotationViewID"));
    if (!view) {
        view = KESTPlaneAnnotationView::initWithAnnotation(annotation, std::string("KESTPlaneAnnotationViewID"));
        view->setShowLabel(false);
    }
    view->setAnnotation(annotation);
    view->setCanShowCallout(true);
    view->setCalloutOffset(CGPointMake(0, 5));
    view->setRightCalloutAccessoryView(UIButton::buttonWithType(UIButtonTypeDetailDisclosure));
    return view;
}

std::optional<CGFloat> KESTFlightDetailViewController::tableViewHeightForRowAtIndexPath(
    const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
{
    switch (indexPath->row()) {
    case 0:
        return 135;
    case 3:
        return 88;
    case 4:
        return 95;
    case 6: {
        Value list = scheduleValue("shared_designator");
        return KESTFlightCodeshareViewCell::heightWithData(list.isArray() ? list : Value::array({}));
    }
    case 9: {
        Value classes = scheduleValue("passenger_classes_formatted");
        size_t n = classes.isArray() ? classes.count() : 0;
        return n >= 2 ? 61 + 20 * static_cast<CGFloat>(n) : 61;
    }
    default:
        return 61;
    }
}

void KESTFlightDetailViewController::tableViewDidSelectRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    table->deselectRowAtIndexPathAnimated(indexPath, true);
    // The speed and altitude rows open the flight's graph.
    if (indexPath->row() != 1 && indexPath->row() != 2)
        return;
    if (auto navigation = navigationController())
        navigation->pushViewControllerAnimated(
            KESTFlightGraphViewController::initWithChartDataAndKeys(m_chartData, m_chartDataKeys), true);
}

Ref<UITableViewCell> KESTFlightDetailViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& table, const Ref<NSIndexPath>& indexPath)
{
    auto detail = detailVC();
    auto grey = KESTDetailCellStyle::shadedRowColor();
    auto white = UIColor::whiteColor();
    auto formatter = KESTFlightDataManager::sharedInstance();
    std::string na = NSLocalizedString("N/A");
    auto present = [&](const char* key) {
        Value value = scheduleValue(key);
        return value.isNilOrNull() ? std::optional<std::string>() : std::optional<std::string>(textOf(value));
    };
    switch (indexPath->row()) {
    case 0: {
        auto cell = table->dequeueReusableCellWithIdentifierForIndexPath("KESTFlightMapViewCell", indexPath);
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        // The map goes into the row's content view once (the content view may hold the cell's
        // own labels, so the map's place is what is checked).
        if (m_mapView && m_mapView->superview() != cell->contentView()) {
            m_mapView->setFrame(cell->contentView()->bounds());
            cell->contentView()->addSubview(m_mapView);
        }
        if (!m_cockpitButton) {
            m_cockpitButton = UIButton::buttonWithType(UIButtonTypeCustom);
            m_cockpitButton->setTitleForState(NSLocalizedString("Cockpit"), UIControlStateNormal);
            m_cockpitButton->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0.5f));
            m_cockpitButton->addTargetActionForControlEvents(
                self<NSObject>(), "cockpitPress",
                [weak = Weak<KESTFlightDetailViewController>(self<KESTFlightDetailViewController>())](
                    const Ref<UIControl>&, const Ref<UIEvent>&) {
                    if (auto tab = weak.lock())
                        tab->cockpitPress();
                },
                UIControlEventTouchUpInside);
        }
        if (m_cockpitButton->superview() != cell->contentView()) {
            CGRect bounds = cell->contentView()->bounds();
            m_cockpitButton->setFrame(CGRectMake(bounds.size.width - 84, 8, 76, 26));
            m_cockpitButton->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
            m_cockpitButton->removeFromSuperview();
            cell->contentView()->addSubview(m_cockpitButton);
        }
        return cell;
    }
    case 1:
    case 2: {
        bool speed = indexPath->row() == 1;
        auto cell = dequeue<KESTSparkLineViewCell>(table, "KESTSparkLineViewCell", indexPath);
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleBlue);
        cell->setSparkLineView(speed ? m_speedSparkline : m_altitudeSparkline);
        cell->descriptionLabel()->setText(NSLocalizedString(speed ? "Speed" : "Altitude"));
        cell->valueLabel()->setText((speed ? formatter->formattedSpeedWithKnots(cell->currentValue())
                                           : formatter->formattedAltitudeWithFeet(cell->currentValue()))
                                        .value_or(""));
        cell->setBackgroundColor(speed ? white : grey);
        return cell;
    }
    case 3: {
        auto cell = dequeue<KESTFlightDaysOfOperationViewCell>(table, "KESTFlightDaysOfOperationViewCell", indexPath);
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(white);
        auto days = present("days_of_operation");
        if (days && !days->empty()) {
            for (char c : *days) {
                if (c < '1' || c > '7')
                    continue;
                int32_t day = c - '0';
                if (auto image = cell->dayImageView(day))
                    image->setImage(UIImage::imageNamed("daysOfOperationActive"));
                if (auto label = cell->dayLabel(day))
                    label->setTextColor(UIColor::colorWithRedGreenBlueAlpha(0, 0.6f, 0, 1));
            }
        }
        return cell;
    }
    case 4: {
        auto cell = KESTRouteProgressViewCell::cellHostingProgressView(table, m_progressView, grey, [&](CGRect frame) {
            auto view = KESTRouteProgressView::initWithFrame(frame);
            view->setShowTerminals(true);
            view->setShowDistances(true);
            view->setShowFullAirportNames(false);
            view->setAirportData(detail ? detail->routeData() : Value());
            return view;
        });
        updateProgressView();
        return cell;
    }
    case 5: {
        auto cell = dequeue<KESTFlightScheduledViewCell>(table, "KESTFlightScheduledViewCell", indexPath);
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(white);
        auto nonEmpty = [&](const char* key) {
            auto value = present(key);
            return value && !value->empty() ? *value : na;
        };
        cell->scheduledArrivalDayHeaderLabel()->setText(NSLocalizedString("Arrival Day"));
        cell->scheduledArrivalDayValueLabel()->setText(nonEmpty("arrival_day_formatted"));
        cell->elapsedJourneyTimeHeaderLabel()->setText(NSLocalizedString("Journey Time"));
        cell->elapsedJourneyTimeValueLabel()->setText(nonEmpty("elapsed_journey_time_formatted"));
        return cell;
    }
    case 6: {
        auto cell = dequeue<KESTFlightCodeshareViewCell>(table, "KESTFlightCodeshareViewCell", indexPath);
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(grey);
        Value list = scheduleValue("shared_designator");
        cell->setData(Value::array({ list.isArray() ? list : Value::array({}) }));
        return cell;
    }
    case 7: {
        auto cell = dequeue<KESTFlightServiceTypeViewCell>(table, "KESTFlightServiceTypeViewCell", indexPath);
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(white);
        cell->serviceTypeHeaderLabel()->setText(NSLocalizedString("Service Type"));
        cell->serviceTypeValueLabel()->setText(present("service_type_code_formatted").value_or(na));
        cell->totalSeatsHeaderLabel()->setText(NSLocalizedString("Seats"));
        cell->totalSeatsValueLabel()->setText(present("num_seats").value_or(na));
        return cell;
    }
    case 8: {
        auto cell = dequeue<KESTFlightCapacityViewCell>(table, "KESTFlightCapacityViewCell", indexPath);
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(grey);
        cell->freightCapacityHeaderLabel()->setText(NSLocalizedString("Capacity"));
        cell->freightCapacityValueLabel()->setText(present("freight_capacity").value_or(na));
        cell->freightClassesHeaderLabel()->setText(NSLocalizedString("Freight Class"));
        cell->freightClassesValueLabel()->setText(present("freight_classes_formatted").value_or(na));
        return cell;
    }
    default: {
        auto cell = dequeue<KESTSingleColumnViewCell>(table, "KESTSingleColumnViewCell", indexPath);
        if (!cell)
            return cell;
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(white);
        cell->headerLabel()->setText(NSLocalizedString("Passenger Classes"));
        Value classes = scheduleValue("passenger_classes_formatted");
        std::string text;
        if (classes.isArray()) {
            for (const auto& entry : classes.elements())
                text += (text.empty() ? "" : "\n") + textOf(entry);
        }
        cell->valueLabel()->setText(text.empty() ? na : text);
        return cell;
    }
    }
}
