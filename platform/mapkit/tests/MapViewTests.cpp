#include "foundation/NSException.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "location/LocationSimulator.h"
#include "mapkit/MKGeodesicPolyline.h"
#include "mapkit/MKMapView.h"
#include "mapkit/MKOverlayView.h"
#include "mapkit/MKPointAnnotation.h"
#include "mapkit/MKPolygon.h"
#include "mapkit/MKPolygonRenderer.h"
#include "mapkit/MKPolyline.h"
#include "mapkit/MKPolylineRenderer.h"
#include "testing/Drain.h"
#include "testing/GoldenImage.h"
#include "testing/ImagePixels.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIButton.h"
#include "uikit/UIWindow.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every map test runs on a virtual clock with a fresh application and leaves nothing queued.
class MKMapViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        LocationSimulator::shared().reset();
    }
    void TearDown() override
    {
        drainAll();
        UIApplicationHost::resetForTesting();
        LocationSimulator::shared().reset();
        resetForTesting();
    }

    // A map filling a visible key window of the given size.
    Ref<MKMapView> shownMap(CGFloat width, CGFloat height)
    {
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, width, height));
        m_window->makeKeyAndVisible();
        auto map = MKMapView::initWithFrame(CGRectMake(0, 0, width, height));
        m_window->addSubview(map);
        return map;
    }

    static Ref<MKPointAnnotation> pointAt(double latitude, double longitude, std::string title = "")
    {
        auto point = MKPointAnnotation::init();
        point->setCoordinate({ latitude, longitude });
        if (!title.empty())
            point->setTitle(title);
        return point;
    }

    ScopedVirtualClock m_clock;
    Ref<UIWindow> m_window;
};

// An annotation view that counts how often it was readied for reuse.
class CountingAnnotationView : public MKAnnotationView {
    VX_OBJECT(CountingAnnotationView, MKAnnotationView)
public:
    explicit CountingAnnotationView(Passkey key)
        : MKAnnotationView(key)
    {
    }
    static Ref<CountingAnnotationView> initWithAnnotation(const Ref<MKAnnotation>& annotation, std::string identifier)
    {
        return makeAnnotationView<CountingAnnotationView>(annotation, std::move(identifier));
    }
    void prepareForReuse() override
    {
        MKAnnotationView::prepareForReuse();
        ++reuses;
    }
    int reuses { 0 };
};

// The older overlay path: a view that fills the overlay's whole bounding rect in green.
class FillingOverlayView : public MKOverlayView {
    VX_OBJECT(FillingOverlayView, MKOverlayView)
public:
    explicit FillingOverlayView(Passkey key)
        : MKOverlayView(key)
    {
    }
    static Ref<FillingOverlayView> initWithOverlay(const Ref<MKOverlay>& overlay)
    {
        return makeOverlayView<FillingOverlayView>(overlay);
    }
    void drawMapRect(MKMapRect, MKZoomScale, const CGContextRef& context) override
    {
        auto r = overlay()->boundingMapRect();
        CGContextSetRGBFillColor(context, 0, 1, 0, 1);
        CGContextFillRect(context, CGRectMake(0, 0, r.size.width, r.size.height));
    }
};

// Writes down what the map tells it, in order, and makes views of a counting class.
class RecordingDelegate : public MKMapViewDelegate {
public:
    std::vector<std::string> log;
    Ref<MKOverlayRenderer> renderer;
    // Whether region changes are written down with their animated flag.
    bool withFlags { false };

    std::string flag(bool animated) const { return withFlags ? (animated ? " animated" : " at once") : ""; }
    void mapViewRegionWillChangeAnimated(const Ref<MKMapView>&, bool animated) override
    {
        log.push_back("will-change" + flag(animated));
    }
    void mapViewRegionDidChangeAnimated(const Ref<MKMapView>&, bool animated) override
    {
        log.push_back("did-change" + flag(animated));
    }
    Ref<MKAnnotationView> mapViewViewForAnnotation(
        const Ref<MKMapView>& map, const Ref<MKAnnotation>& annotation) override
    {
        log.push_back("view-for " + annotation->title().value_or("?"));
        if (annotation->title() == "pin")
            return nullptr; // the map's own pin
        auto view = map->dequeueReusableAnnotationViewWithIdentifier("plane");
        if (!view) {
            view = CountingAnnotationView::initWithAnnotation(annotation, "plane");
            view->setBounds(CGRectMake(0, 0, 20, 20));
            view->setCenterOffset(CGPointMake(0, -10));
            view->setCanShowCallout(true);
            made.push_back(view);
        }
        return view;
    }
    void mapViewDidAddAnnotationViews(const Ref<MKMapView>&, const std::vector<Ref<MKAnnotationView>>& views) override
    {
        log.push_back("did-add " + std::to_string(views.size()));
    }
    void mapViewDidSelectAnnotationView(const Ref<MKMapView>&, const Ref<MKAnnotationView>& view) override
    {
        log.push_back("select " + view->annotation()->title().value_or("?"));
    }
    void mapViewDidDeselectAnnotationView(const Ref<MKMapView>&, const Ref<MKAnnotationView>& view) override
    {
        log.push_back("deselect " + view->annotation()->title().value_or("?"));
    }
    void mapViewAnnotationViewDidChangeDragStateFromOldState(const Ref<MKMapView>&, const Ref<MKAnnotationView>&,
        MKAnnotationViewDragState state, MKAnnotationViewDragState old) override
    {
        log.push_back("drag " + std::to_string(state) + " from " + std::to_string(old));
    }
    void mapViewAnnotationViewCalloutAccessoryControlTapped(
        const Ref<MKMapView>&, const Ref<MKAnnotationView>& view, const Ref<UIControl>&) override
    {
        log.push_back("accessory " + view->annotation()->title().value_or("?"));
    }
    Ref<MKOverlayRenderer> mapViewRendererForOverlay(const Ref<MKMapView>&, const Ref<MKOverlay>& overlay) override
    {
        log.push_back("renderer-for");
        if (auto polygon = std::dynamic_pointer_cast<MKPolygon>(overlay)) {
            auto r = MKPolygonRenderer::initWithPolygon(polygon);
            r->setFillColor(UIColor::colorWithRedGreenBlueAlpha(1, 0.5, 0, 0.6));
            return r;
        }
        if (auto line = std::dynamic_pointer_cast<MKPolyline>(overlay)) {
            auto r = MKPolylineRenderer::initWithPolyline(line);
            r->setStrokeColor(UIColor::blueColor());
            r->setLineWidth(3);
            return r;
        }
        return nullptr;
    }
    Ref<MKOverlayView> mapViewViewForOverlay(const Ref<MKMapView>&, const Ref<MKOverlay>& overlay) override
    {
        log.push_back("view-for-overlay");
        return FillingOverlayView::initWithOverlay(overlay);
    }
    void mapViewDidUpdateUserLocation(const Ref<MKMapView>&, const Ref<MKUserLocation>&) override
    {
        log.push_back("user-location");
    }
    void mapViewDidChangeUserTrackingModeAnimated(const Ref<MKMapView>&, MKUserTrackingMode mode, bool) override
    {
        log.push_back("tracking " + std::to_string(mode));
    }

    std::vector<Ref<MKAnnotationView>> made;
};

double aspectOf(MKMapRect r)
{
    return r.size.width / r.size.height;
}

// The fraction of pixels that differ between two renderings of the same size.
double differingFraction(const Ref<UIImage>& a, const Ref<UIImage>& b)
{
    auto pa = a->CGImage()->nativeARGB(), pb = b->CGImage()->nativeARGB();
    if (pa.size() != pb.size() || pa.empty())
        return 1;
    size_t differing = 0;
    for (size_t i = 0; i < pa.size(); i += 4)
        if (std::abs(pa[i] - pb[i]) + std::abs(pa[i + 1] - pb[i + 1]) + std::abs(pa[i + 2] - pb[i + 2]) > 24)
            ++differing;
    return double(differing) / double(pa.size() / 4);
}

} // namespace

TEST_F(MKMapViewTest, RegionsAreWidenedToTheViewsAspectAroundTheirCentre)
{
    struct Case {
        const char* name;
        CGSize view;
        MKCoordinateRegion region;
    };
    const Case cases[] = {
        { "wide view, square region", { 400, 200 }, { { 48.0, 11.0 }, { 2, 2 } } },
        { "tall view, wide region", { 200, 400 }, { { -33.9, 151.2 }, { 1, 8 } } },
        { "square view, tall region", { 300, 300 }, { { 0, 0 }, { 10, 1 } } },
        { "whole world is held in the world", { 400, 200 }, { { 0, 0 }, { 170, 360 } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto map = MKMapView::initWithFrame(CGRectMake(0, 0, c.view.width, c.view.height));
        auto fits = map->regionThatFits(c.region);
        map->setRegion(c.region);
        auto visible = map->visibleMapRect();
        EXPECT_NEAR(aspectOf(visible), c.view.width / c.view.height, 1e-9);
        EXPECT_LE(visible.size.width, kMKMapWorldSide + 1e-6);
        EXPECT_NEAR(map->region().span.latitudeDelta, fits.span.latitudeDelta, 1e-6);
        EXPECT_NEAR(map->region().span.longitudeDelta, fits.span.longitudeDelta, 1e-6);
        auto requested = MKMapRectForCoordinateRegion(c.region);
        if (requested.size.width < kMKMapWorldSide / 2) {
            EXPECT_NEAR(map->centerCoordinate().latitude, c.region.center.latitude, 1e-6);
            EXPECT_NEAR(map->centerCoordinate().longitude, c.region.center.longitude, 1e-6);
            // The requested area is all visible, and one side matches exactly.
            EXPECT_GE(visible.size.width + 1e-6, requested.size.width);
            EXPECT_GE(visible.size.height + 1e-6, requested.size.height);
            EXPECT_TRUE(std::abs(visible.size.width - requested.size.width) < 1e-3
                || std::abs(visible.size.height - requested.size.height) < 1e-3);
        }
    }

    // A zero-frame map keeps what it is given; nonsense regions are refused.
    auto hidden = MKMapView::init();
    hidden->setVisibleMapRect(MKMapRectMake(1000, 2000, 300, 100));
    EXPECT_TRUE(MKMapRectEqualToRect(hidden->visibleMapRect(), MKMapRectMake(1000, 2000, 300, 100)));
    EXPECT_THROW(hidden->setRegion({ { NAN, 0 }, { 1, 1 } }), NSException);
    EXPECT_THROW(hidden->setRegion({ { 10, 10 }, { -1, 1 } }), NSException);
}

TEST_F(MKMapViewTest, CoordinatesAndPointsConvertBothWaysAtAnyHeading)
{
    auto map = shownMap(400, 300);
    map->setRegion({ { 51.5, -0.1 }, { 1, 1 } });
    const CLLocationCoordinate2D east { 51.5, 0.2 };
    struct Case {
        double heading;
        // Where a point due east of the centre should appear, relative to the middle.
        int dx, dy;
    };
    const Case cases[] = { { 0, +1, 0 }, { 90, 0, -1 }, { 180, -1, 0 }, { 270, 0, +1 }, { 45, +1, -1 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        auto camera = map->camera();
        camera->setHeading(c.heading);
        map->setCamera(camera);
        EXPECT_NEAR(map->camera()->heading(), c.heading, 1e-9);
        auto p = map->convertCoordinateToPointToView(east, map);
        auto sign = [](double v) { return std::abs(v) < 1e-6 ? 0 : (v > 0 ? 1 : -1); };
        EXPECT_EQ(sign(p.x - 200), c.dx);
        EXPECT_EQ(sign(p.y - 150), c.dy);
        for (CGPoint q : { CGPointMake(0, 0), CGPointMake(399, 17), CGPointMake(123, 299) }) {
            auto coordinate = map->convertPointToCoordinateFromView(q, nullptr);
            auto back = map->convertCoordinateToPointToView(coordinate, nullptr);
            EXPECT_NEAR(back.x, q.x, 1e-6);
            EXPECT_NEAR(back.y, q.y, 1e-6);
        }
    }

    // Resizing keeps the centre and the zoom scale, and the visible rect follows the new aspect.
    double scale = map->zoomScale();
    auto center = map->centerCoordinate();
    map->setFrame(CGRectMake(0, 0, 800, 200));
    EXPECT_NEAR(map->zoomScale(), scale, 1e-12);
    EXPECT_NEAR(map->centerCoordinate().latitude, center.latitude, 1e-9);
    EXPECT_NEAR(map->centerCoordinate().longitude, center.longitude, 1e-9);
}

TEST_F(MKMapViewTest, MapRectThatFitsLeavesThePaddingFree)
{
    auto map = shownMap(400, 300);
    const MKMapRect target = MKMapRectMake(100000000, 90000000, 2000000, 500000);
    const UIEdgeInsets paddings[]
        = { UIEdgeInsetsZero, UIEdgeInsetsMake(50, 10, 10, 10), UIEdgeInsetsMake(0, 200, 0, 0) };
    for (const auto& padding : paddings) {
        SCOPED_TRACE(padding.left + padding.top);
        auto fitted = map->mapRectThatFitsEdgePadding(target, padding);
        EXPECT_NEAR(aspectOf(fitted), 400.0 / 300.0, 1e-9);
        map->setVisibleMapRectEdgePaddingAnimated(target, padding, false);
        // The target's corners land inside the padded area, touching it on one axis.
        auto topLeft = map->convertCoordinateToPointToView(MKCoordinateForMapPoint(target.origin), map);
        auto bottomRight = map->convertCoordinateToPointToView(
            MKCoordinateForMapPoint(MKMapPointMake(MKMapRectGetMaxX(target), MKMapRectGetMaxY(target))), map);
        EXPECT_GE(topLeft.x, padding.left - 1e-3);
        EXPECT_GE(topLeft.y, padding.top - 1e-3);
        EXPECT_LE(bottomRight.x, 400 - padding.right + 1e-3);
        EXPECT_LE(bottomRight.y, 300 - padding.bottom + 1e-3);
        EXPECT_TRUE(std::abs(topLeft.x - padding.left) < 1e-3 || std::abs(topLeft.y - padding.top) < 1e-3);
    }
}

TEST_F(MKMapViewTest, CameraAltitudeAndHeadingRoundTrip)
{
    auto map = shownMap(400, 300);
    auto camera = MKMapCamera::cameraLookingAtCenterCoordinate({ 40.0, -74.0 }, { 39.9, -74.0 }, 5000);
    EXPECT_NEAR(camera->heading(), 0, 1e-6); // the eye is due south, looking north
    EXPECT_NEAR(camera->pitch(), std::atan(11100.0 / 5000) * 180 / M_PI, 0.5);
    map->setCamera(camera);
    auto seen = map->camera();
    EXPECT_NEAR(seen->altitude(), 5000, 1e-3);
    EXPECT_NEAR(seen->centerCoordinate().latitude, 40.0, 1e-6);
    EXPECT_NEAR(seen->pitch(), camera->pitch(), 1e-6);
    camera->setHeading(-90);
    EXPECT_EQ(camera->heading(), 270);
}

TEST_F(MKMapViewTest, CodeSetsHeadingAndPitchWhateverTheGestureSwitchesSay)
{
    struct Case {
        bool rotateEnabled, pitchEnabled, animated;
    };
    const Case cases[] = {
        { true, true, false },
        { false, false, false },
        { false, true, false },
        { true, false, false },
        { false, false, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "rotate " << c.rotateEnabled << " pitch " << c.pitchEnabled << " animated "
                                        << c.animated);
        auto map = shownMap(400, 300);
        map->setRotateEnabled(c.rotateEnabled);
        map->setPitchEnabled(c.pitchEnabled);
        auto camera = MKMapCamera::cameraLookingAtCenterCoordinate({ 40.0, -74.0 }, { 40.0, -74.0 }, 3000);
        camera->setHeading(125);
        camera->setPitch(40);
        map->setCameraAnimated(camera, c.animated);
        m_clock.advance(2);
        drainAll();
        auto seen = map->camera();
        EXPECT_NEAR(seen->heading(), 125, 1e-6);
        EXPECT_NEAR(seen->pitch(), 40, 1e-6);
        EXPECT_EQ(map->isRotateEnabled(), c.rotateEnabled);
        EXPECT_EQ(map->isPitchEnabled(), c.pitchEnabled);
    }
}

TEST_F(MKMapViewTest, HiddenMapAnswersRectQueriesFromItsIndexAndAsksForNoViews)
{
    auto map = MKMapView::init();
    auto delegate = std::make_shared<RecordingDelegate>();
    map->setDelegate(delegate);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> latitude(-80, 80), longitude(-180, 180);
    std::vector<Ref<MKAnnotation>> all;
    for (int i = 0; i < 3000; ++i)
        all.push_back(pointAt(latitude(random), longitude(random)));
    map->addAnnotations(all);
    map->addAnnotation(all.front()); // already there
    EXPECT_EQ(map->annotations().size(), all.size());
    std::vector<Ref<MKAnnotation>> half(all.begin(), all.begin() + 1500);
    map->removeAnnotations(half);
    std::vector<Ref<MKAnnotation>> kept(all.begin() + 1500, all.end());
    // One that moves is found at its new place.
    std::dynamic_pointer_cast<MKPointAnnotation>(kept.front())->setCoordinate({ 1, 1 });
    map->layoutIfNeeded();
    drainAll();

    // Rects inside the world (the brute-force scan below does not wrap around the 180th meridian).
    std::uniform_real_distribution<double> side(1e6, 6e7), origin(0, kMKMapWorldSide - 6e7);
    for (int q = 0; q < 20; ++q) {
        MKMapRect rect = MKMapRectMake(origin(random), origin(random), side(random), side(random));
        if (q == 0)
            rect = MKMapRectMake(MKMapPointForCoordinate({ 2, 0 }).x, MKMapPointForCoordinate({ 2, 0 }).y, 2e6, 2e6);
        size_t expected = 0;
        for (const auto& a : kept)
            if (MKMapRectContainsPoint(rect, MKMapPointForCoordinate(a->coordinate())))
                ++expected;
        SCOPED_TRACE(MKStringFromMapRect(rect));
        EXPECT_EQ(map->annotationsInMapRect(rect).size(), expected);
        if (q == 0) {
            EXPECT_GE(expected, 1u); // the moved annotation
        }
    }
    EXPECT_TRUE(delegate->log.empty());
    EXPECT_EQ(map->annotationContainerView()->subviews().size(), 0u);
}

TEST_F(MKMapViewTest, AnnotationViewsAreMadeInOrderPlacedAndReused)
{
    auto map = shownMap(400, 300);
    auto delegate = std::make_shared<RecordingDelegate>();
    map->setDelegate(delegate);
    map->setRegion({ { 10, 10 }, { 4, 4 } });
    auto a = pointAt(10, 10, "A"), b = pointAt(11, 11, "B"), far = pointAt(-40, 120, "far");
    delegate->log.clear();
    map->addAnnotations({ a, b, far });
    UIApplicationHost::runUntilIdle();
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "view-for A", "view-for B", "did-add 2" }));

    // The view's centre is the annotation's point moved by the centre offset.
    auto viewA = map->viewForAnnotation(a);
    ASSERT_TRUE(viewA);
    auto pointA = map->convertCoordinateToPointToView(a->coordinate(), map->annotationContainerView());
    EXPECT_NEAR(viewA->center().x, pointA.x, 1e-6);
    EXPECT_NEAR(viewA->center().y, pointA.y - 10, 1e-6);
    EXPECT_FALSE(map->viewForAnnotation(far));
    EXPECT_EQ(NSStringFromClass(map->annotationContainerView()->objectClass()), "MKAnnotationContainerView");

    // Moving away sends both views to the reuse queue; the far annotation gets one of them back.
    delegate->log.clear();
    map->setCenterCoordinate({ -40, 120 });
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "will-change", "view-for far", "did-add 1", "did-change" }));
    EXPECT_EQ(delegate->made.size(), 2u);
    auto viewFar = map->viewForAnnotation(far);
    EXPECT_TRUE(viewFar == delegate->made[0] || viewFar == delegate->made[1]);
    EXPECT_EQ(viewFar->annotation(), far);
    EXPECT_EQ(std::dynamic_pointer_cast<CountingAnnotationView>(viewFar)->reuses, 1);
    EXPECT_FALSE(map->viewForAnnotation(a));

    // An annotation that moves carries its view; one removed gives its view up.
    far->setCoordinate({ -40.5, 120.5 });
    auto moved = map->convertCoordinateToPointToView(far->coordinate(), map->annotationContainerView());
    EXPECT_NEAR(viewFar->center().x, moved.x, 1e-6);
    map->removeAnnotation(far);
    EXPECT_FALSE(viewFar->superview());
    EXPECT_EQ(map->dequeueReusableAnnotationViewWithIdentifier("plane") != nullptr, true);
}

TEST_F(MKMapViewTest, SelectionOpensACalloutThatFollowsTheTitleAndTapsOnEmptyMapClearIt)
{
    auto map = shownMap(400, 300);
    auto delegate = std::make_shared<RecordingDelegate>();
    map->setDelegate(delegate);
    map->setRegion({ { 10, 10 }, { 4, 4 } });
    auto a = pointAt(10, 10, "Flight 1"), b = pointAt(11, 11, "Flight 2");
    map->addAnnotations({ a, b });
    UIApplicationHost::runUntilIdle();
    auto button = UIButton::buttonWithType(UIButtonTypeDetailDisclosure);
    map->viewForAnnotation(a)->setRightCalloutAccessoryView(button);
    delegate->log.clear();

    map->setSelectedAnnotations({ a });
    ASSERT_TRUE(map->calloutView());
    EXPECT_EQ(map->calloutView()->titleText(), "Flight 1");
    a->setTitle(std::string("Flight 1 climbing"));
    a->setSubtitle(std::string("FL350"));
    EXPECT_EQ(map->calloutView()->titleText(), "Flight 1 climbing");
    EXPECT_EQ(map->calloutView()->subtitleText(), "FL350");
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);

    // Selecting another closes the first; a tap on an empty spot lands on the container and
    // clears the selection.
    map->selectAnnotationAnimated(b, false);
    EXPECT_EQ(map->selectedAnnotations(), std::vector<Ref<MKAnnotation>> { b });
    auto empty = CGPointMake(20, 280);
    auto hit = m_window->hitTest(empty, nullptr);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->className(), "MKAnnotationContainerView");
    UIApplicationHost::tap(empty);
    UIApplicationHost::runUntilIdle();
    m_clock.advance(1);
    drainAll();
    EXPECT_TRUE(map->selectedAnnotations().empty());
    EXPECT_FALSE(map->calloutView());
    // A tap on an annotation's view selects it.
    auto viewB = map->viewForAnnotation(b);
    UIApplicationHost::tap(viewB->convertPointToView(CGPointMake(10, 10), nullptr));
    m_clock.advance(1);
    drainAll();
    EXPECT_EQ(map->selectedAnnotations(), std::vector<Ref<MKAnnotation>> { b });
    EXPECT_TRUE(viewB->isSelected());
    EXPECT_EQ(delegate->log,
        (std::vector<std::string> { "select Flight 1", "accessory Flight 1 climbing", "deselect Flight 1 climbing",
            "select Flight 2", "deselect Flight 2", "select Flight 2" }));
}

TEST_F(MKMapViewTest, OverlaysStackByLevelThenAddOrderAndDrawOverTheBaseMap)
{
    auto map = shownMap(240, 180);
    auto delegate = std::make_shared<RecordingDelegate>();
    map->setDelegate(delegate);
    map->setRegion({ { 20, 0 }, { 60, 80 } });
    auto land = MKPolygon::polygonWithCoordinates({ { 0, -30 }, { 40, -30 }, { 40, 30 }, { 0, 30 } });
    auto route = MKPolyline::polylineWithCoordinates({ { -10, -40 }, { 50, 40 } });
    auto under = MKPolyline::polylineWithCoordinates({ { 45, -40 }, { -5, 40 } });
    delegate->log.clear();
    map->addOverlay(land);
    map->addOverlay(route);
    map->addOverlayLevel(under, MKOverlayLevelAboveRoads);
    map->addOverlay(route); // already there
    EXPECT_EQ(map->overlays(), (std::vector<Ref<MKOverlay>> { under, land, route }));
    EXPECT_EQ(map->overlaysInLevel(MKOverlayLevelAboveLabels), (std::vector<Ref<MKOverlay>> { land, route }));
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "renderer-for", "renderer-for", "renderer-for" }));
    ASSERT_TRUE(map->rendererForOverlay(land));
    EXPECT_EQ(delegate->log.size(), 3u); // asked once each

    map->addAnnotation(pointAt(20, 0, "pin"));
    auto image = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(image);
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), VX_TEST_DIR "/golden/mapview.png"));

    map->removeOverlay(land);
    EXPECT_EQ(map->overlays(), (std::vector<Ref<MKOverlay>> { under, route }));

    // An overlay with no renderer is drawn by the view the older delegate call gives.
    struct BoxOverlay : public MKShape, public MKOverlay {
        explicit BoxOverlay(Passkey key)
            : MKShape(key)
        {
        }
        static Ref<BoxOverlay> init() { return make<BoxOverlay>(); }
        CLLocationCoordinate2D coordinate() const override { return { 20, 0 }; }
        MKMapRect boundingMapRect() const override
        {
            auto p = MKMapPointForCoordinate({ 20, 0 });
            return MKMapRectMake(p.x - 5e6, p.y - 5e6, 1e7, 1e7);
        }
    };
    auto box = BoxOverlay::init();
    delegate->log.clear();
    map->addOverlay(box);
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "renderer-for", "view-for-overlay" }));
    ASSERT_TRUE(map->viewForOverlay(box));
    auto rendering = UIApplicationHost::renderKeyWindow();
    auto boxed = rendering->CGImage()->nativeARGB();
    // A pixel beside the pin, inside the box.
    auto middle = map->convertCoordinateToPointToView({ 20, 0 }, nullptr);
    size_t x = size_t((middle.x + 12) * rendering->scale()), y = size_t((middle.y + 4) * rendering->scale());
    size_t at = (y * rendering->CGImage()->width() + x) * 4;
    EXPECT_LT(boxed[at + 0], 40); // blue
    EXPECT_GT(boxed[at + 1], 200); // green
    EXPECT_LT(boxed[at + 2], 40); // red
    map->removeOverlay(box);
    // The map types look different from one another.
    std::vector<Ref<UIImage>> looks;
    for (auto type : { MKMapTypeStandard, MKMapTypeSatellite, MKMapTypeHybrid }) {
        map->setMapType(type);
        looks.push_back(UIApplicationHost::renderKeyWindow());
    }
    EXPECT_GT(differingFraction(looks[0], looks[1]), 0.02);
    EXPECT_GT(differingFraction(looks[1], looks[2]), 0.002);
}

TEST_F(MKMapViewTest, PanAndDoubleTapMoveTheRegionThroughTheDelegate)
{
    auto map = shownMap(400, 300);
    auto delegate = std::make_shared<RecordingDelegate>();
    map->setDelegate(delegate);
    map->setRegion({ { 0, 0 }, { 10, 10 } });
    UIApplicationHost::runUntilIdle();
    auto before = map->visibleMapRect();
    delegate->log.clear();

    // Dragging 100 points left moves the map 100 points' worth east.
    auto touch = UIApplicationHost::touchDown(CGPointMake(300, 150));
    for (int x = 280; x >= 200; x -= 20) {
        m_clock.advance(0.02);
        UIApplicationHost::touchMove(touch, CGPointMake(x, 150));
    }
    UIApplicationHost::touchUp(touch);
    drainAll();
    auto after = map->visibleMapRect();
    EXPECT_NEAR((after.origin.x - before.origin.x) * map->zoomScale(), 100, 1e-6);
    EXPECT_NEAR(after.origin.y, before.origin.y, 1e-6);
    ASSERT_GE(delegate->log.size(), 2u);
    EXPECT_EQ(delegate->log.front(), "will-change");
    EXPECT_EQ(delegate->log.back(), "did-change");

    // A double tap zooms in twice over, keeping the tapped spot under the finger.
    m_clock.advance(1);
    auto spot = CGPointMake(100, 100);
    auto under = map->convertPointToCoordinateFromView(spot, map);
    double scale = map->zoomScale();
    UIApplicationHost::tap(spot);
    m_clock.advance(0.1);
    UIApplicationHost::tap(spot);
    m_clock.advance(1);
    drainAll();
    EXPECT_NEAR(map->zoomScale(), scale * 2, 1e-9);
    auto still = map->convertCoordinateToPointToView(under, map);
    EXPECT_NEAR(still.x, spot.x, 1e-6);
    EXPECT_NEAR(still.y, spot.y, 1e-6);

    // With zooming off, double taps do nothing.
    map->setZoomEnabled(false);
    UIApplicationHost::tap(spot);
    m_clock.advance(0.1);
    UIApplicationHost::tap(spot);
    m_clock.advance(1);
    drainAll();
    EXPECT_NEAR(map->zoomScale(), scale * 2, 1e-9);
}

TEST_F(MKMapViewTest, UserLocationFollowsTheSimulatedDeviceAndTrackingCentresOnIt)
{
    auto map = shownMap(400, 300);
    auto delegate = std::make_shared<RecordingDelegate>();
    map->setDelegate(delegate);
    map->setRegion({ { 0, 0 }, { 1, 1 } });
    map->setShowsUserLocation(true);
    EXPECT_EQ(map->annotations().front(), std::static_pointer_cast<MKAnnotation>(map->userLocation()));
    EXPECT_TRUE(map->annotationsInMapRect(MKMapRectWorld).empty()); // no fix yet
    delegate->log.clear();

    LocationSimulator::shared().setCoordinate({ 47.45, 8.56 });
    drainAll();
    EXPECT_NEAR(map->userLocation()->coordinate().latitude, 47.45, 1e-9);
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "user-location" }));
    EXPECT_FALSE(map->isUserLocationVisible());

    delegate->log.clear();
    map->setUserTrackingMode(MKUserTrackingModeFollow);
    EXPECT_TRUE(map->isUserLocationVisible());
    EXPECT_NEAR(map->centerCoordinate().longitude, 8.56, 1e-9);
    LocationSimulator::shared().setCoordinate({ 47.46, 8.57 });
    drainAll();
    // Following glides to the new fix.
    EXPECT_LT(map->centerCoordinate().longitude, 8.57 - 1e-6);
    m_clock.advance(kMKMapAnimationDuration);
    EXPECT_NEAR(map->centerCoordinate().longitude, 8.57, 1e-9);
    EXPECT_EQ(delegate->log.front(), "tracking 1");

    map->setShowsUserLocation(false);
    EXPECT_EQ(map->userTrackingMode(), MKUserTrackingModeNone);
    EXPECT_TRUE(map->annotations().empty());
}

namespace {

// What a map shows, to compare two maps or two moments of one.
struct Shown {
    CLLocationCoordinate2D center;
    double zoomScale;
    double heading;
    double pitch;
};

Shown shownBy(const Ref<MKMapView>& map)
{
    auto camera = map->camera();
    return { map->centerCoordinate(), map->zoomScale(), camera->heading(), camera->pitch() };
}

// The region calls among what a delegate wrote down.
std::vector<std::string> regionCalls(const std::vector<std::string>& log)
{
    std::vector<std::string> calls;
    for (const auto& entry : log)
        if (entry.starts_with("will-change") || entry.starts_with("did-change"))
            calls.push_back(entry);
    return calls;
}

bool sameShown(const Shown& a, const Shown& b)
{
    return std::abs(a.center.latitude - b.center.latitude) < 1e-7
        && std::abs(a.center.longitude - b.center.longitude) < 1e-7 && std::abs(a.zoomScale / b.zoomScale - 1) < 1e-9
        && std::abs(a.heading - b.heading) < 1e-7 && std::abs(a.pitch - b.pitch) < 1e-7;
}

void expectShown(const Shown& seen, const Shown& expected)
{
    EXPECT_NEAR(seen.center.latitude, expected.center.latitude, 1e-7);
    EXPECT_NEAR(seen.center.longitude, expected.center.longitude, 1e-7);
    EXPECT_NEAR(seen.zoomScale / expected.zoomScale, 1, 1e-9);
    EXPECT_NEAR(seen.heading, expected.heading, 1e-7);
    EXPECT_NEAR(seen.pitch, expected.pitch, 1e-7);
}

// Every annotation view stands on its annotation's point (moved by its centre offset).
void expectViewsOnTheirPoints(const Ref<MKMapView>& map)
{
    for (const auto& subview : map->annotationContainerView()->subviews()) {
        auto view = std::dynamic_pointer_cast<MKAnnotationView>(subview);
        if (!view || !view->annotation())
            continue;
        auto point
            = map->convertCoordinateToPointToView(view->annotation()->coordinate(), map->annotationContainerView());
        EXPECT_NEAR(view->center().x, point.x + view->centerOffset().x, 1e-6);
        EXPECT_NEAR(view->center().y, point.y + view->centerOffset().y, 1e-6);
    }
}

} // namespace

TEST_F(MKMapViewTest, AnimatedMovesRunOnTheClockAndTellTheDelegateOnceAtTheEnd)
{
    using Move = std::function<void(const Ref<MKMapView>&, const std::vector<Ref<MKAnnotation>>&, bool animated)>;
    struct Case {
        const char* name;
        MKCoordinateRegion start;
        Move move;
    };
    const Case cases[] = {
        { "region", { { 10, 10 }, { 4, 4 } },
            [](auto& map, auto&, bool animated) {
                map->setRegionAnimated({ { 12, 14 }, { 1, 1 } }, animated);
            } },
        { "centre", { { 10, 10 }, { 4, 4 } },
            [](auto& map, auto&, bool animated) {
                map->setCenterCoordinateAnimated({ 9, 8 }, animated);
            } },
        { "centre across the 180th meridian", { { 10, 175 }, { 4, 4 } },
            [](auto& map, auto&, bool animated) {
                map->setCenterCoordinateAnimated({ 10, -175 }, animated);
            } },
        { "visible map rect", { { 10, 10 }, { 4, 4 } },
            [](auto& map, auto&, bool animated) {
                auto p = MKMapPointForCoordinate({ 30, 40 });
                map->setVisibleMapRectAnimated(MKMapRectMake(p.x, p.y, 4e6, 1e6), animated);
            } },
        { "camera", { { 10, 10 }, { 4, 4 } },
            [](auto& map, auto&, bool animated) {
                auto camera = MKMapCamera::camera();
                camera->setCenterCoordinate({ 11, 9 });
                camera->setAltitude(90000);
                camera->setHeading(300);
                camera->setPitch(40);
                map->setCameraAnimated(camera, animated);
            } },
        { "annotations", { { 10, 10 }, { 4, 4 } },
            [](auto& map, auto& annotations, bool animated) { map->showAnnotationsAnimated(annotations, animated); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto map = shownMap(400, 300);
        auto delegate = std::make_shared<RecordingDelegate>();
        delegate->withFlags = true;
        map->setDelegate(delegate);
        map->setRegion(c.start);
        std::vector<Ref<MKAnnotation>> annotations { pointAt(c.start.center.latitude, c.start.center.longitude, "A"),
            pointAt(10.5, 11, "B"), pointAt(13, 15, "C") };
        map->addAnnotations(annotations);
        UIApplicationHost::runUntilIdle();
        std::vector<Ref<MKAnnotation>> shownOnes { annotations[1], annotations[2] };

        // The same move at once, on a twin map, gives where the animation must end.
        auto twin = MKMapView::initWithFrame(CGRectMake(0, 0, 400, 300));
        twin->setRegion(c.start);
        c.move(twin, shownOnes, false);
        auto expectedEnd = shownBy(twin);
        auto start = shownBy(map);
        ASSERT_FALSE(sameShown(start, expectedEnd));

        delegate->log.clear();
        c.move(map, shownOnes, true);
        EXPECT_EQ(delegate->log, std::vector<std::string> { "will-change animated" });
        expectShown(shownBy(map), start);

        m_clock.advance(kMKMapAnimationDuration / 2);
        auto halfway = shownBy(map);
        EXPECT_FALSE(sameShown(halfway, start));
        EXPECT_FALSE(sameShown(halfway, expectedEnd));
        EXPECT_EQ(regionCalls(delegate->log).size(), 1u);
        expectViewsOnTheirPoints(map);
        if (std::string(c.name) == "centre across the 180th meridian") {
            EXPECT_GT(std::abs(halfway.center.longitude), 175); // the short way, not back across the world
        }

        m_clock.advance(kMKMapAnimationDuration);
        EXPECT_EQ(
            regionCalls(delegate->log), (std::vector<std::string> { "will-change animated", "did-change animated" }));
        expectShown(shownBy(map), expectedEnd);
        expectViewsOnTheirPoints(map);
        // Views for annotations that came into view were made on the way, before did-change.
        EXPECT_EQ(delegate->log.back(), "did-change animated");
        m_clock.advance(1);
        EXPECT_EQ(regionCalls(delegate->log).size(), 2u);
        map->removeFromSuperview();
    }
}

TEST_F(MKMapViewTest, ANewerMoveInterruptsTheOneInFlightWhereItStands)
{
    auto map = shownMap(400, 300);
    auto delegate = std::make_shared<RecordingDelegate>();
    delegate->withFlags = true;
    map->setDelegate(delegate);
    map->setRegion({ { 0, 0 }, { 4, 4 } });
    const std::vector<std::string> interrupted { "will-change animated", "did-change animated",
        "will-change animated" };

    // An animated move over one in flight starts from where the first one got to.
    delegate->log.clear();
    map->setCenterCoordinateAnimated({ 0, 3 }, true);
    m_clock.advance(kMKMapAnimationDuration / 4);
    auto reached = map->centerCoordinate();
    map->setCenterCoordinateAnimated({ 2, 0 }, true);
    EXPECT_EQ(delegate->log, interrupted);
    EXPECT_NEAR(map->centerCoordinate().longitude, reached.longitude, 1e-9);
    EXPECT_GT(reached.longitude, 0);
    m_clock.advance(kMKMapAnimationDuration);
    EXPECT_EQ(delegate->log.back(), "did-change animated");
    EXPECT_EQ(delegate->log.size(), 4u);
    EXPECT_NEAR(map->centerCoordinate().latitude, 2, 1e-9);
    EXPECT_NEAR(map->centerCoordinate().longitude, 0, 1e-9);

    // Asking again for where the map is already heading neither restarts nor slows the move.
    delegate->log.clear();
    map->setCenterCoordinateAnimated({ -2, 0 }, true);
    m_clock.advance(kMKMapAnimationDuration / 2);
    map->setCenterCoordinateAnimated({ -2, 0 }, true);
    m_clock.advance(kMKMapAnimationDuration / 2 + 0.02);
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "will-change animated", "did-change animated" }));
    EXPECT_NEAR(map->centerCoordinate().latitude, -2, 1e-9);

    struct Case {
        const char* name;
        std::function<void()> interrupt;
        std::vector<std::string> log;
        CLLocationCoordinate2D end;
    };
    const Case cases[] = {
        { "a move at once",
            [&] {
                map->setCenterCoordinate({ 1, 1 });
            },
            { "will-change animated", "did-change animated", "will-change at once", "did-change at once" }, { 1, 1 } },
        // A new size ends the move at its target, then keeps the zoom scale.
        { "a resize", [&] { map->setFrame(CGRectMake(0, 0, 300, 300)); },
            { "will-change animated", "did-change animated" }, { 0, 5 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        map->setFrame(CGRectMake(0, 0, 400, 300));
        map->setRegion({ { 0, 0 }, { 4, 4 } });
        delegate->log.clear();
        map->setCenterCoordinateAnimated({ 0, 5 }, true);
        m_clock.advance(kMKMapAnimationDuration / 4);
        c.interrupt();
        EXPECT_EQ(delegate->log, c.log);
        EXPECT_NEAR(map->centerCoordinate().latitude, c.end.latitude, 1e-9);
        EXPECT_NEAR(map->centerCoordinate().longitude, c.end.longitude, 1e-9);
        m_clock.advance(1);
        EXPECT_EQ(delegate->log, c.log); // the interrupted move is over for good
        EXPECT_NEAR(map->centerCoordinate().longitude, c.end.longitude, 1e-9);
    }

    // With view animations switched off, and on a map without a size, animated moves happen at once.
    UIView::setAnimationsEnabled(false);
    delegate->log.clear();
    map->setCenterCoordinateAnimated({ 3, 3 }, true);
    UIView::setAnimationsEnabled(true);
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "will-change at once", "did-change at once" }));
    EXPECT_NEAR(map->centerCoordinate().longitude, 3, 1e-9);
    auto hidden = MKMapView::init();
    hidden->setCenterCoordinateAnimated({ 4, 4 }, true);
    EXPECT_NEAR(hidden->centerCoordinate().longitude, 4, 1e-9);
}

TEST_F(MKMapViewTest, FittingAccountsForTheCamerasHeading)
{
    auto map = shownMap(400, 300);
    const MKMapRect target = MKMapRectMake(100000000, 90000000, 2000000, 500000);
    const MKMapPoint corners[] = { target.origin, { MKMapRectGetMaxX(target), MKMapRectGetMinY(target) },
        { MKMapRectGetMinX(target), MKMapRectGetMaxY(target) },
        { MKMapRectGetMaxX(target), MKMapRectGetMaxY(target) } };
    struct Case {
        double heading;
        UIEdgeInsets padding;
    };
    const Case cases[] = {
        { 0, UIEdgeInsetsZero },
        { 30, UIEdgeInsetsZero },
        { 90, UIEdgeInsetsZero },
        { 135, UIEdgeInsetsMake(50, 10, 10, 10) },
        { 200, UIEdgeInsetsMake(0, 200, 0, 0) },
        { 300, UIEdgeInsetsMake(10, 20, 30, 40) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "heading " << c.heading << " padding left " << c.padding.left);
        auto camera = map->camera();
        camera->setHeading(c.heading);
        map->setCamera(camera);
        auto fits = map->mapRectThatFitsEdgePadding(target, c.padding);
        map->setVisibleMapRectEdgePaddingAnimated(target, c.padding, false);
        EXPECT_NEAR(map->camera()->heading(), c.heading, 1e-9);
        // What the fit promised is what the map shows.
        auto visible = map->visibleMapRect();
        EXPECT_NEAR(visible.origin.x, fits.origin.x, 1e-3);
        EXPECT_NEAR(visible.origin.y, fits.origin.y, 1e-3);
        EXPECT_NEAR(visible.size.width, fits.size.width, 1e-3);
        EXPECT_NEAR(visible.size.height, fits.size.height, 1e-3);
        // Every corner of the target is in the padded area, and the target touches it.
        double slack = 1e9;
        for (auto corner : corners) {
            auto p = map->convertCoordinateToPointToView(MKCoordinateForMapPoint(corner), map);
            EXPECT_GE(p.x, c.padding.left - 1e-3);
            EXPECT_GE(p.y, c.padding.top - 1e-3);
            EXPECT_LE(p.x, 400 - c.padding.right + 1e-3);
            EXPECT_LE(p.y, 300 - c.padding.bottom + 1e-3);
            slack = std::min<double>({ slack, p.x - c.padding.left, p.y - c.padding.top, 400 - c.padding.right - p.x,
                300 - c.padding.bottom - p.y });
        }
        EXPECT_NEAR(slack, 0, 1e-3);
        // A region set at this heading is shown whole, and regionThatFits says what is shown.
        MKCoordinateRegion region { { -20, 60 }, { 6, 2 } };
        auto expected = map->regionThatFits(region);
        map->setRegion(region);
        EXPECT_NEAR(map->region().span.latitudeDelta, expected.span.latitudeDelta, 1e-6);
        EXPECT_NEAR(map->region().span.longitudeDelta, expected.span.longitudeDelta, 1e-6);
        auto shown = MKMapRectForCoordinateRegion(map->region());
        EXPECT_TRUE(MKMapRectContainsRect(MKMapRectInset(shown, -1, -1), MKMapRectForCoordinateRegion(region)));
        // Widening the visible rect by a padding gives a larger rect around it.
        auto widened = map->mapRectThatFitsEdgePadding(map->visibleMapRect(), UIEdgeInsetsMake(20, 20, 20, 20));
        EXPECT_TRUE(MKMapRectContainsRect(widened, map->visibleMapRect()));
        EXPECT_GT(widened.size.width, map->visibleMapRect().size.width);
    }
}

namespace {

// Paints polygons opaque red and lines opaque blue, four points wide.
class PaintingDelegate : public MKMapViewDelegate {
public:
    Ref<MKOverlayRenderer> mapViewRendererForOverlay(const Ref<MKMapView>&, const Ref<MKOverlay>& overlay) override
    {
        if (auto polygon = std::dynamic_pointer_cast<MKPolygon>(overlay)) {
            auto r = MKPolygonRenderer::initWithPolygon(polygon);
            r->setFillColor(UIColor::colorWithRedGreenBlueAlpha(1, 0, 0, 1));
            return r;
        }
        if (auto line = std::dynamic_pointer_cast<MKPolyline>(overlay)) {
            auto r = MKPolylineRenderer::initWithPolyline(line);
            r->setStrokeColor(UIColor::colorWithRedGreenBlueAlpha(0, 0, 1, 1));
            r->setLineWidth(4);
            return r;
        }
        return nullptr;
    }
};

ImagePixels::Colour pixelAt(const Ref<UIImage>& image, CGPoint point)
{
    return ImagePixels(image).at(point);
}

} // namespace

TEST_F(MKMapViewTest, OverlaysAndAnnotationsShowOnBothSidesOfThe180thMeridian)
{
    auto map = shownMap(400, 300);
    auto delegate = std::make_shared<PaintingDelegate>();
    map->setDelegate(delegate);
    map->setMapType(MKMapTypeSatellite);
    // Just west and just east of the 180th meridian, and a great circle across it.
    auto west = MKPolygon::polygonWithCoordinates({ { -4, 172 }, { 0, 172 }, { 0, 176 }, { -4, 176 } });
    auto east = MKPolygon::polygonWithCoordinates({ { -4, -176 }, { 0, -176 }, { 0, -172 }, { -4, -172 } });
    auto across = MKGeodesicPolyline::polylineWithCoordinates({ { 4, 170 }, { 4, -170 } });
    map->addOverlays({ west, east, across });
    auto westPoint = pointAt(2, 174, "west"), eastPoint = pointAt(2, -174, "east");
    map->addAnnotations({ westPoint, eastPoint });

    const double centres[] = { 180, 179.5, -179.5, 178, -178 };
    for (double longitude : centres) {
        SCOPED_TRACE(longitude);
        map->setRegion({ { 0, longitude }, { 16, 16 } });
        ASSERT_TRUE(MKMapRectSpans180thMeridian(
            MKMapRectOffset(map->visibleMapRect(), map->visibleMapRect().origin.x < 0 ? kMKMapWorldSide : 0, 0)));
        auto image = UIApplicationHost::renderKeyWindow();
        ASSERT_TRUE(image);
        for (auto coordinate : { CLLocationCoordinate2D { -2, 174 }, CLLocationCoordinate2D { -2, -174 } }) {
            SCOPED_TRACE(coordinate.longitude);
            auto pixel = pixelAt(image, map->convertCoordinateToPointToView(coordinate, nullptr));
            EXPECT_GT(pixel.red, 200);
            EXPECT_LT(pixel.green, 60);
            EXPECT_LT(pixel.blue, 60);
        }
        // The line is drawn where it crosses the meridian.
        auto onLine = map->convertCoordinateToPointToView({ 4.05, 180 }, nullptr);
        auto linePixel = pixelAt(image, onLine);
        EXPECT_LT(linePixel.red, 60);
        EXPECT_GT(linePixel.blue, 200);

        // Both annotations are in the visible rect and have views on their points.
        auto found = map->annotationsInMapRect(map->visibleMapRect());
        EXPECT_EQ(found.size(), 2u);
        for (const auto& annotation : { westPoint, eastPoint }) {
            SCOPED_TRACE(annotation->title().value_or(""));
            auto view = map->viewForAnnotation(annotation);
            ASSERT_TRUE(view);
            auto point = map->convertCoordinateToPointToView(annotation->coordinate(), map);
            EXPECT_TRUE(CGRectContainsPoint(map->bounds(), point));
            EXPECT_NEAR(view->center().x, point.x, 1e-6);
        }
    }
}

namespace {

// Makes every annotation view an opaque green square, 60 points wide, raised above its
// siblings, as an application may raise its own views.
class RaisedSquaresDelegate : public MKMapViewDelegate {
public:
    Ref<MKAnnotationView> mapViewViewForAnnotation(const Ref<MKMapView>&, const Ref<MKAnnotation>& annotation) override
    {
        auto view = MKAnnotationView::initWithAnnotation(annotation, std::string("square"));
        view->setBounds(CGRectMake(0, 0, 60, 60));
        view->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0, 1, 0, 1));
        view->setCanShowCallout(true);
        view->layer()->setZPosition(1000);
        return view;
    }
};

} // namespace

// The open callout covers every annotation view: those raised by their zPosition, and those
// made after it opened.
TEST_F(MKMapViewTest, TheCalloutLiesOverEveryAnnotationView)
{
    auto map = shownMap(400, 300);
    auto delegate = std::make_shared<RaisedSquaresDelegate>();
    map->setDelegate(delegate);
    map->setRegion({ { 10, 10 }, { 4, 4 } });
    auto selected = pointAt(10, 10, "Flight 1 with a long title");
    map->addAnnotation(selected);
    UIApplicationHost::runUntilIdle();
    map->setSelectedAnnotations({ selected });
    ASSERT_TRUE(map->calloutView());
    CGRect callout = map->calloutView()->frame();
    auto calloutMiddle = CGPointMake(CGRectGetMidX(callout), CGRectGetMinY(callout) + 4);
    auto windowPoint = map->convertPointToView(calloutMiddle, nullptr);
    // A second view under the callout, made after it opened.
    auto under = map->convertPointToCoordinateFromView(calloutMiddle, map);
    map->addAnnotation(pointAt(under.latitude, under.longitude, "Flight 2"));
    UIApplicationHost::runUntilIdle();
    ASSERT_EQ(map->annotationContainerView()->subviews().size(), 3u);

    auto image = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(image);
    auto pixel = pixelAt(image, windowPoint);
    EXPECT_GT(pixel.red, 240);
    EXPECT_GT(pixel.green, 240);
    EXPECT_GT(pixel.blue, 240);
}

namespace {

// An annotation that stays where it was made: it has no coordinate setter.
class FixedAnnotation : public NSObject, public MKAnnotation {
    VX_OBJECT(FixedAnnotation, NSObject)
public:
    explicit FixedAnnotation(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<FixedAnnotation> initAt(CLLocationCoordinate2D coordinate)
    {
        auto annotation = make<FixedAnnotation>();
        annotation->m_coordinate = coordinate;
        return annotation;
    }
    CLLocationCoordinate2D coordinate() const override { return m_coordinate; }
    std::optional<std::string> title() const override { return std::string("fixed"); }

private:
    CLLocationCoordinate2D m_coordinate;
};

} // namespace

TEST_F(MKMapViewTest, SelectedDraggableViewsAreDraggedAndDropTheirAnnotation)
{
    enum class Lift { Up, Cancel };
    struct Case {
        const char* name;
        bool draggable;
        bool selected;
        bool fixed;
        CGPoint move;
        Lift lift;
        std::vector<std::string> drags;
        bool annotationMoves;
        bool mapMoves;
    };
    const std::vector<std::string> dropped { "drag 1 from 0", "drag 2 from 1", "drag 4 from 2", "drag 0 from 4" };
    const Case cases[] = {
        { "dragged and dropped", true, true, false, { 60, 40 }, Lift::Up, dropped, true, false },
        { "dragged and cancelled", true, true, false, { 60, 40 }, Lift::Cancel,
            { "drag 1 from 0", "drag 2 from 1", "drag 3 from 2", "drag 0 from 3" }, false, false },
        { "an annotation that cannot move", true, true, true, { 60, 40 }, Lift::Up, dropped, false, false },
        { "not selected: the map pans", true, false, false, { 60, 40 }, Lift::Up, {}, false, true },
        { "not draggable: the map pans", false, true, false, { 60, 40 }, Lift::Up, {}, false, true },
        { "a small movement is no drag", true, true, false, { 2, 1 }, Lift::Up, {}, false, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto map = shownMap(400, 300);
        auto delegate = std::make_shared<RecordingDelegate>();
        map->setDelegate(delegate);
        map->setRegion({ { 10, 10 }, { 4, 4 } });
        Ref<MKAnnotation> annotation;
        if (c.fixed)
            annotation = FixedAnnotation::initAt({ 10, 10 });
        else
            annotation = pointAt(10, 10, "dragged");
        map->addAnnotation(annotation);
        UIApplicationHost::runUntilIdle();
        auto view = map->viewForAnnotation(annotation);
        ASSERT_TRUE(view);
        view->setDraggable(c.draggable);
        if (c.selected)
            map->selectAnnotationAnimated(annotation, false);
        auto region = map->region();
        auto before = annotation->coordinate();
        auto pointBefore = map->convertCoordinateToPointToView(before, map);
        delegate->log.clear();

        auto start = view->convertPointToView(CGPointMake(10, 10), nullptr);
        auto touch = UIApplicationHost::touchDown(start);
        for (int step = 1; step <= 4; ++step) {
            m_clock.advance(0.02);
            UIApplicationHost::touchMove(
                touch, CGPointMake(start.x + c.move.x * step / 4, start.y + c.move.y * step / 4));
            if (!c.drags.empty() && step == 4) {
                // The view follows the finger.
                auto held = view->convertPointToView(CGPointMake(10, 10), nullptr);
                EXPECT_NEAR(held.x, start.x + c.move.x, 1e-3);
                EXPECT_NEAR(held.y, start.y + c.move.y, 1e-3);
            }
        }
        if (c.lift == Lift::Up)
            UIApplicationHost::touchUp(touch);
        else
            UIApplicationHost::touchCancel(touch);
        m_clock.advance(1);
        drainAll();

        std::vector<std::string> drags;
        for (const auto& entry : delegate->log)
            if (entry.starts_with("drag"))
                drags.push_back(entry);
        EXPECT_EQ(drags, c.drags);
        EXPECT_EQ(!regionCalls(delegate->log).empty(), c.mapMoves);
        if (!c.mapMoves) {
            EXPECT_NEAR(map->region().center.longitude, region.center.longitude, 1e-12);
        }
        auto after = annotation->coordinate();
        if (c.annotationMoves) {
            auto expected = map->convertPointToCoordinateFromView(
                CGPointMake(pointBefore.x + c.move.x, pointBefore.y + c.move.y), map);
            EXPECT_NEAR(after.latitude, expected.latitude, 1e-6);
            EXPECT_NEAR(after.longitude, expected.longitude, 1e-6);
        } else {
            EXPECT_EQ(after.latitude, before.latitude);
            EXPECT_EQ(after.longitude, before.longitude);
        }
        // Whatever happened, the view stands on its annotation's point again.
        EXPECT_EQ(view->dragState(), MKAnnotationViewDragStateNone);
        expectViewsOnTheirPoints(map);
        map->removeFromSuperview();
    }
}

TEST_F(MKMapViewTest, PinchTwistAndDragMoveTheMapUnderTheFingersAsOneMove)
{
    struct Case {
        const char* name;
        // The two fingers, from where they go down to where they lift, moved there along a
        // circle about their middle (so a twist keeps their distance) and straight otherwise.
        CGPoint from[2], to[2];
        bool zoomEnabled, rotateEnabled;
        double zoom; // factor on the zoom scale
        double turn; // degrees the heading changes by
        bool moves;
    };
    const Case cases[] = {
        { "spread apart", { { 150, 150 }, { 250, 150 } }, { { 100, 150 }, { 300, 150 } }, true, true, 2, 0, true },
        { "pinched together off the middle", { { 60, 60 }, { 140, 140 } }, { { 80, 80 }, { 120, 120 } }, true, true,
            0.5, 0, true },
        { "twisted a quarter turn clockwise", { { 150, 150 }, { 250, 150 } }, { { 200, 100 }, { 200, 200 } }, true,
            true, 1, -90, true },
        { "spread while dragged", { { 150, 150 }, { 250, 150 } }, { { 160, 180 }, { 360, 180 } }, true, true, 2, 0,
            true },
        { "dragged with two fingers", { { 150, 150 }, { 250, 150 } }, { { 180, 190 }, { 280, 190 } }, true, true, 1, 0,
            true },
        { "spread with zooming off", { { 150, 150 }, { 250, 150 } }, { { 100, 150 }, { 300, 150 } }, false, true, 1, 0,
            false },
        { "twisted with rotation off", { { 150, 150 }, { 250, 150 } }, { { 200, 100 }, { 200, 200 } }, true, false, 1,
            0, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto map = shownMap(400, 300);
        auto delegate = std::make_shared<RecordingDelegate>();
        delegate->withFlags = true;
        map->setDelegate(delegate);
        map->setRegion({ { 20, 10 }, { 4, 4 } });
        map->setZoomEnabled(c.zoomEnabled);
        map->setRotateEnabled(c.rotateEnabled);
        auto before = shownBy(map);
        CGPoint middleFrom { (c.from[0].x + c.from[1].x) / 2, (c.from[0].y + c.from[1].y) / 2 };
        CGPoint middleTo { (c.to[0].x + c.to[1].x) / 2, (c.to[0].y + c.to[1].y) / 2 };
        auto underFingers = map->convertPointToCoordinateFromView(middleFrom, map);
        delegate->log.clear();

        auto touches = UIApplicationHost::touchesDown({ c.from[0], c.from[1] });
        const int steps = 12;
        for (int step = 1; step <= steps; ++step) {
            double t = double(step) / steps;
            CGPoint middle = CGPointMake(
                middleFrom.x + (middleTo.x - middleFrom.x) * t, middleFrom.y + (middleTo.y - middleFrom.y) * t);
            std::vector<CGPoint> points;
            for (int f = 0; f < 2; ++f) {
                double a0 = std::atan2(c.from[f].y - middleFrom.y, c.from[f].x - middleFrom.x);
                double a1 = std::atan2(c.to[f].y - middleTo.y, c.to[f].x - middleTo.x);
                double r0 = std::hypot(c.from[f].x - middleFrom.x, c.from[f].y - middleFrom.y);
                double r1 = std::hypot(c.to[f].x - middleTo.x, c.to[f].y - middleTo.y);
                double a = a0 + std::remainder(a1 - a0, 2 * M_PI) * t, r = r0 + (r1 - r0) * t;
                points.push_back(CGPointMake(middle.x + r * std::cos(a), middle.y + r * std::sin(a)));
            }
            m_clock.advance(0.02);
            UIApplicationHost::touchesMove(touches, points);
            if (c.moves && step == steps / 2) {
                // Mid-gesture the delegate has heard only that the region will change.
                EXPECT_EQ(regionCalls(delegate->log), std::vector<std::string> { "will-change at once" });
            }
        }
        UIApplicationHost::touchesUp(touches);
        m_clock.advance(1);
        drainAll();

        auto after = shownBy(map);
        EXPECT_NEAR(after.zoomScale / before.zoomScale, c.zoom, 1e-6);
        EXPECT_NEAR(std::remainder(after.heading - before.heading - c.turn, 360.0), 0, 1e-3);
        if (c.moves) {
            EXPECT_EQ(
                regionCalls(delegate->log), (std::vector<std::string> { "will-change at once", "did-change at once" }));
            // What was under the fingers is still under them.
            auto seen = map->convertCoordinateToPointToView(underFingers, map);
            EXPECT_NEAR(seen.x, middleTo.x, 1e-3);
            EXPECT_NEAR(seen.y, middleTo.y, 1e-3);
        } else {
            EXPECT_TRUE(regionCalls(delegate->log).empty());
        }
        map->removeFromSuperview();
    }

    // While the map follows the user, a pinch zooms about the user and following goes on.
    auto map = shownMap(400, 300);
    map->setRegion({ { 20, 10 }, { 4, 4 } });
    LocationSimulator::shared().setCoordinate({ 20.5, 10.5 });
    map->setUserTrackingMode(MKUserTrackingModeFollow);
    drainAll();
    m_clock.advance(1);
    double scale = map->zoomScale();
    auto touches = UIApplicationHost::touchesDown({ CGPointMake(60, 60), CGPointMake(140, 140) });
    for (int step = 1; step <= 4; ++step) {
        m_clock.advance(0.02);
        UIApplicationHost::touchesMove(
            touches, { CGPointMake(60 - 5 * step, 60 - 5 * step), CGPointMake(140 + 5 * step, 140 + 5 * step) });
    }
    UIApplicationHost::touchesUp(touches);
    m_clock.advance(1);
    drainAll();
    EXPECT_NEAR(map->zoomScale() / scale, 1.5, 1e-6);
    EXPECT_EQ(map->userTrackingMode(), MKUserTrackingModeFollow);
    EXPECT_NEAR(map->centerCoordinate().latitude, 20.5, 1e-9);
    EXPECT_NEAR(map->centerCoordinate().longitude, 10.5, 1e-9);
    // So does a double tap off the middle.
    UIApplicationHost::tap(CGPointMake(60, 60));
    m_clock.advance(0.1);
    UIApplicationHost::tap(CGPointMake(60, 60));
    m_clock.advance(1);
    drainAll();
    EXPECT_NEAR(map->zoomScale() / scale, 3, 1e-6);
    EXPECT_EQ(map->userTrackingMode(), MKUserTrackingModeFollow);
    EXPECT_NEAR(map->centerCoordinate().latitude, 20.5, 1e-9);
    EXPECT_NEAR(map->centerCoordinate().longitude, 10.5, 1e-9);
}

namespace {

// Covers the world and hides the base map.
class WorldOverlay : public MKShape, public MKOverlay {
    VX_OBJECT(WorldOverlay, MKShape)
public:
    explicit WorldOverlay(Passkey key)
        : MKShape(key)
    {
    }
    static Ref<WorldOverlay> init() { return make<WorldOverlay>(); }
    CLLocationCoordinate2D coordinate() const override { return { 0, 0 }; }
    MKMapRect boundingMapRect() const override { return MKMapRectWorld; }
    bool canReplaceMapContent() const override { return true; }
};

// Fills all it is asked to draw, translucent, as a tile renderer wrapping on its own would.
class FillingRenderer : public MKOverlayRenderer {
    VX_OBJECT(FillingRenderer, MKOverlayRenderer)
public:
    FillingRenderer(Passkey key, Ref<MKOverlay> overlay)
        : MKOverlayRenderer(key, std::move(overlay))
    {
    }
    static Ref<FillingRenderer> initWithOverlay(Ref<MKOverlay> overlay)
    {
        return make<FillingRenderer>(std::move(overlay));
    }
    void drawMapRect(MKMapRect mapRect, MKZoomScale, const CGContextRef& context) override
    {
        CGContextSetRGBFillColor(context, 1, 0, 0, 0.5);
        CGContextFillRect(context, rectForMapRect(mapRect));
    }
};

class FillingDelegate : public MKMapViewDelegate {
public:
    Ref<MKOverlayRenderer> mapViewRendererForOverlay(const Ref<MKMapView>&, const Ref<MKOverlay>& overlay) override
    {
        return FillingRenderer::initWithOverlay(overlay);
    }
};

} // namespace

TEST_F(MKMapViewTest, WorldWideOverlaysCoverTheMapOnceAcrossThe180thMeridian)
{
    auto map = shownMap(400, 300);
    auto delegate = std::make_shared<FillingDelegate>();
    map->setDelegate(delegate);
    map->addOverlay(WorldOverlay::init());
    map->setRegion({ { 0, 0 }, { 16, 16 } });
    auto once = pixelAt(UIApplicationHost::renderKeyWindow(), CGPointMake(200, 150));
    for (double longitude : { 180.0, 179.0, -178.0 }) {
        SCOPED_TRACE(longitude);
        map->setRegion({ { 0, longitude }, { 16, 16 } });
        auto image = UIApplicationHost::renderKeyWindow();
        for (double side : { 175.0, -175.0 }) {
            SCOPED_TRACE(side);
            auto pixel = pixelAt(image, map->convertCoordinateToPointToView({ 0, side }, nullptr));
            EXPECT_EQ(pixel.red, once.red);
            EXPECT_EQ(pixel.green, once.green);
            EXPECT_EQ(pixel.blue, once.blue);
        }
    }
}

namespace {

TEST_F(MKMapViewTest, MovesInsideAViewAnimationBlockTakeItsTiming)
{
    struct Case {
        const char* name;
        UIViewAnimationOptions curve;
        double delay;
        bool region; // setRegion, else setCamera
        bool animatedFlag;
        double atQuarter; // share of the way covered a quarter into the move
    };
    const Case cases[] = {
        { "camera, ease in and out", UIViewAnimationOptionCurveEaseInOut, 0, false, false,
            0.5 - 0.5 * std::cos(M_PI / 4) },
        { "camera, ease in, delayed", UIViewAnimationOptionCurveEaseIn, 0.5, false, true, 1 - std::cos(M_PI / 8) },
        { "camera, ease out", UIViewAnimationOptionCurveEaseOut, 0, false, false, std::sin(M_PI / 8) },
        { "region, linear, delayed", UIViewAnimationOptionCurveLinear, 0.25, true, false, 0.25 },
    };
    const double duration = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto map = shownMap(400, 300);
        map->setRegion({ { 0, 0 }, { 10, 10 } });
        auto camera = map->camera();
        auto delegate = std::make_shared<RecordingDelegate>();
        delegate->withFlags = true;
        map->setDelegate(delegate);
        // The share of the way the map has covered: turning 80 degrees, or moving 20 degrees east.
        auto progress
            = [&] { return c.region ? map->centerCoordinate().longitude / 20 : map->camera()->heading() / 80; };
        std::vector<bool> completions;
        UIView::animateWithDurationDelayOptions(
            duration, c.delay, c.curve,
            [&] {
                if (c.region) {
                    map->setRegionAnimated({ { 0, 20 }, { 10, 10 } }, c.animatedFlag);
                } else {
                    auto turned = MKMapCamera::cameraLookingAtCenterCoordinate(
                        camera->centerCoordinate(), camera->centerCoordinate(), camera->altitude());
                    turned->setHeading(80);
                    map->setCameraAnimated(turned, c.animatedFlag);
                }
            },
            [&](bool finished) { completions.push_back(finished); });
        EXPECT_NEAR(progress(), 0, 1e-9) << "nothing jumps";
        m_clock.advance(c.delay / 2);
        EXPECT_NEAR(progress(), 0, 1e-9) << "the block's delay holds the map";
        m_clock.advance(c.delay / 2 + duration / 4 + 1e-6);
        EXPECT_NEAR(progress(), c.atQuarter, 0.01);
        m_clock.advance(duration / 2);
        drainAll();
        EXPECT_LT(progress(), 1 - 1e-3);
        EXPECT_TRUE(completions.empty()) << "the block waits for the map";
        m_clock.advance(duration / 4);
        drainAll();
        EXPECT_NEAR(progress(), 1, 1e-9);
        EXPECT_EQ(completions, (std::vector<bool> { true }));
        EXPECT_EQ(
            regionCalls(delegate->log), (std::vector<std::string> { "will-change animated", "did-change animated" }));
    }
}

TEST_F(MKMapViewTest, BlocksThatDoNotAnimateLeaveMovesAsAskedAndAnInterruptedMoveEndsItsBlockUnfinished)
{
    auto map = shownMap(400, 300);
    map->setRegion({ { 0, 0 }, { 10, 10 } });
    // Without animation inside the block, or a block of no duration: the move shows at once.
    const std::function<void(const std::function<void()>&)> wrappers[] = {
        [](const std::function<void()>& move) {
            UIView::animateWithDuration(1, [&] { UIView::performWithoutAnimation(move); });
        },
        [](const std::function<void()>& move) { UIView::animateWithDuration(0, move); },
    };
    double longitude = 0;
    for (const auto& wrap : wrappers) {
        longitude += 5;
        wrap([&] { map->setCenterCoordinateAnimated({ 0, longitude }, false); });
        EXPECT_NEAR(map->centerCoordinate().longitude, longitude, 1e-9);
    }

    // A newer move interrupts the block's move where it stands; the block hears it did not finish.
    std::vector<bool> completions;
    UIView::animateWithDuration(
        2,
        [&] {
            map->setCenterCoordinateAnimated({ 0, 30 }, false);
        },
        [&](bool f) { completions.push_back(f); });
    m_clock.advance(0.5);
    map->setCenterCoordinateAnimated({ 0, -30 }, false);
    drainAll();
    EXPECT_EQ(completions, (std::vector<bool> { false }));
    EXPECT_NEAR(map->centerCoordinate().longitude, -30, 1e-9);
}

// Death tests run first and in a fresh process of their own; they share the map fixture.
using MKMapViewDeathTest = MKMapViewTest;

TEST_F(MKMapViewDeathTest, MainThreadEntryPointsAbortOnAnotherThread)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto map = shownMap(400, 300);
    auto point = pointAt(10, 20, "Here");
    map->addAnnotation(point);
    struct Case {
        const char* entryPoint;
        std::function<void()> call;
    };
    const Case cases[] = {
        { "setRegionAnimated",
            [&] {
                map->setRegion({ { 0, 0 }, { 10, 10 } });
            } },
        { "addAnnotation", [&] { map->addAnnotation(pointAt(0, 0)); } },
        { "selectAnnotationAnimated", [&] { map->selectAnnotationAnimated(point, false); } },
        { "addOverlayLevel",
            [&] {
                map->addOverlay(MKPolyline::polylineWithCoordinates({ { 0, 0 }, { 1, 1 } }));
            } },
        { "setShowsUserLocation", [&] { map->setShowsUserLocation(true); } },
        { "dequeueReusableAnnotationViewWithIdentifier",
            [&] { map->dequeueReusableAnnotationViewWithIdentifier("MKPinAnnotationView"); } },
        { "layoutSubviews", [&] { map->layoutSubviews(); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entryPoint);
        EXPECT_DEATH(
            {
                std::thread worker(c.call);
                worker.join();
            },
            std::string(c.entryPoint) + ".*must run on the main thread");
    }
    // The same calls are fine on the main thread.
    for (const auto& c : cases)
        c.call();
    EXPECT_EQ(map->overlays().size(), 1u);
    EXPECT_EQ(map->selectedAnnotations(), (std::vector<Ref<MKAnnotation>> { point }));
}

} // namespace
