#pragma once

#include "app/view-controllers/detail/KESTDetailBaseViewController.h"
#include "app/widgets/KESTSparkLineView.h"
#include "foundation/Value.h"
#include "mapkit/MKMapViewDelegate.h"

class CADisplayLink;
class KESTPlane;
class KESTRouteProgressView;
class MKMapCamera;
class MKMapView;
class UIButton;

// The second tab of the plane detail screen: one flight in ten rows. A tilted hybrid map that
// follows the plane from behind (each live update glides the camera for 12.5 seconds once the
// tab has been shown), spark lines of ground speed and altitude replotted from a display link at
// every second frame, the days of operation, the route progress with terminals and distances,
// and the schedule record's arrival day, journey time, codeshares, service, seats, freight and
// passenger classes. Main thread only.
class KESTFlightDetailViewController : public KESTDetailBaseViewController,
                                       public MKMapViewDelegate,
                                       public KESTSparkLineViewDelegate {
    VX_OBJECT(KESTFlightDetailViewController, KESTDetailBaseViewController)
public:
    explicit KESTFlightDetailViewController(Passkey key)
        : KESTDetailBaseViewController(key)
    {
    }
    static Ref<KESTFlightDetailViewController> initWithStyle(UITableViewStyle style);

    static double cameraAltitudeForRealAltitude(double altitude);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void liveDataDidUpdate() override;
    void metadataDidUpdate() override;
    void cleanup() override;
    void updateProgressView();
    void redrawSparklines();
    void cockpitPress();
    // The block liveDataDidUpdate queues: spark lines, proxy marker, camera, progress.
    void applyLiveUpdate();

    void sparkLineDidAddPlotPointWithValue(const Ref<KESTSparkLineView>& sparkLine, float value) override;
    Ref<MKAnnotationView> mapViewViewForAnnotation(const Ref<MKMapView>&, const Ref<MKAnnotation>&) override;

    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 1; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return 10; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

    const Ref<MKMapView>& mapView() const { return m_mapView; }
    const Ref<MKMapCamera>& mapCamera() const { return m_mapCamera; }
    const Ref<KESTPlane>& proxyPlane() const { return m_proxyPlane; }
    const Value& chartData() const { return m_chartData; }
    const Value& chartDataKeys() const { return m_chartDataKeys; }
    const Ref<CADisplayLink>& displayLink() const { return m_displayLink; }
    const Ref<KESTSparkLineView>& speedSparkline() const { return m_speedSparkline; }
    const Ref<KESTSparkLineView>& altitudeSparkline() const { return m_altitudeSparkline; }
    const Ref<KESTRouteProgressView>& progressView() const { return m_progressView; }
    bool hasPerformedInitialLoad() const { return m_hasPerformedInitialLoad; }
    // Over the map's top right corner: opens the cockpit view of the plane.
    const Ref<UIButton>& cockpitButton() const { return m_cockpitButton; }

private:
    Value scheduleValue(const char* key) const;

    Ref<MKMapView> m_mapView;
    Ref<MKMapCamera> m_mapCamera;
    Ref<KESTPlane> m_proxyPlane;
    Value m_chartData;
    Value m_chartDataKeys;
    Ref<CADisplayLink> m_displayLink;
    Ref<KESTSparkLineView> m_speedSparkline;
    Ref<KESTSparkLineView> m_altitudeSparkline;
    Ref<KESTRouteProgressView> m_progressView;
    bool m_hasPerformedInitialLoad { false };
    Ref<UIButton> m_cockpitButton;
};
