#include "app/core/KESTAirport.h"
#include "app/core/KESTVolcano.h"
#include "app/tests/AppTestSupport.h"
#include "app/tests/map-markers/MarkerTestSupport.h"
#include "app/view-controllers/map-markers/KESTAirportAnnotationView.h"
#include "app/view-controllers/map-markers/KESTPlaneAnnotationView.h"
#include "app/view-controllers/map-markers/KESTPlaneLabelView.h"
#include "app/view-controllers/map-markers/KESTSantaAnnotationView.h"
#include "app/view-controllers/map-markers/KESTVolcanoAnnotationView.h"
#include "graphics/CALayer.h"
#include "testing/Drain.h"
#include "testing/GoldenImage.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

constexpr const char* kLogoBase = "http://logos.invalid/";

// Marker views over a fresh marker manager wired into the plane model, with the logo service
// at a stubbed address.
class KESTPlaneAnnotationViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KESTPlaneMarkerManager::resetSharedInstanceForTesting();
        KESTPlaneMarkerManager::setLogoServiceBaseURL(kLogoBase);
        KESTPlaneServices::install(std::make_shared<MarkerServices>(KESTPlaneMarkerManager::sharedInstance()));
    }
    void TearDown() override
    {
        drainAll();
        KESTPlaneAnnotationView::setZoomThresholdQuery(nullptr);
        KESTPlaneServices::install(nullptr);
        KESTPlaneMarkerManager::setLogoServiceBaseURL(std::nullopt);
        KESTPlaneMarkerManager::resetSharedInstanceForTesting();
        UIImage::setNamedImageDirectory("");
    }

    // Runs drawRect as a display pass would, into a bitmap of the view's size.
    static void draw(UIView& view)
    {
        CGRect bounds = view.bounds();
        UIGraphicsBeginImageContextWithOptions(bounds.size, false, 1);
        view.drawRect(bounds);
        UIGraphicsEndImageContext();
    }

    Ref<KESTPlaneAnnotationView> markerFor(const Ref<KESTPlane>& plane)
    {
        return KESTPlaneAnnotationView::initWithAnnotation(mapAnnotation(plane), std::string("plane"));
    }

    AppTestScope scope;
    ScopedVirtualClock clock;
};

URLStubSpec logoAnswer(std::string body)
{
    URLStubSpec spec;
    spec.url = std::string(kLogoBase) + "v1/getLogo.php";
    spec.matchPrefix = true;
    spec.headers = { { "Content-Type", "image/png" } };
    spec.body = std::move(body);
    return spec;
}

} // namespace

TEST_F(KESTPlaneAnnotationViewTest, StartsAsAClearUnclippedSquare)
{
    auto view = markerFor(makePlane());
    EXPECT_EQ(NSStringFromCGRect(view->frame()), NSStringFromCGRect(CGRectMake(0, 0, 35, 35)));
    EXPECT_FALSE(view->layer()->masksToBounds());
    EXPECT_TRUE(view->showLabel());
    EXPECT_FALSE(view->labelView());
    EXPECT_EQ(view->reuseIdentifier(), std::optional<std::string>("plane"));
}

TEST_F(KESTPlaneAnnotationViewTest, ChoosesTheLabelTextByTheLabelSetting)
{
    struct Case {
        const char* name;
        int32_t setting;
        bool markerDebug;
        PlaneFields plane;
        Value expected;
    };
    const Case cases[] = {
        { "registration", 0, false, {}, Value("G-ABCD") },
        { "no registration", 0, false, { .reg = "z.NO-REG" }, Value() },
        { "flight number", 1, false, {}, Value("BA123") },
        { "no flight number", 1, false, { .fltno = "" }, Value("BAW123") },
        { "callsign", 2, false, {}, Value("BAW123") },
        { "debug registration", 0, true, {}, Value("B738") },
        { "debug callsign", 2, true, { .type = "A320" }, Value("A320") },
    };
    auto settings = KESTSettingsManager::sharedInstance();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings->setPlaneLabelContent(c.setting);
        settings->setMarkerDebug(c.markerDebug);
        auto plane = makePlane(c.plane);
        auto view = markerFor(plane);
        draw(*view);
        auto label = view->labelView();
        ASSERT_TRUE(label);
        EXPECT_EQ(label->superview(), view);
        EXPECT_EQ(NSStringFromCGRect(label->frame()), NSStringFromCGRect(CGRectMake(-7, 30, 50, 50)));
        EXPECT_EQ(label->plane(), plane);
        EXPECT_TRUE(label->content() == c.expected) << label->content().description();
    }
}

TEST_F(KESTPlaneAnnotationViewTest, ShowsTheLabelOnlyWhenEverySwitchAllowsIt)
{
    struct Case {
        const char* name;
        bool showLabel;
        bool showPlaneLabels;
        bool withinThreshold;
        bool expectLabel;
    };
    const Case cases[] = {
        { "all on", true, true, true, true },
        { "marker without label", false, true, true, false },
        { "labels switched off", true, false, true, false },
        { "zoomed out", true, true, false, false },
    };
    KESTSettingsManager::sharedInstance()->setPlaneLabelContent(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KESTSettingsManager::sharedInstance()->setShowPlaneLabels(c.showPlaneLabels);
        KESTPlaneAnnotationView::setZoomThresholdQuery([&] { return c.withinThreshold; });
        auto view = markerFor(makePlane());
        // A label from an earlier draw goes away when labels are no longer due.
        KESTPlaneAnnotationView::setZoomThresholdQuery([] { return true; });
        KESTSettingsManager::sharedInstance()->setShowPlaneLabels(true);
        draw(*view);
        ASSERT_TRUE(view->labelView());
        KESTSettingsManager::sharedInstance()->setShowPlaneLabels(c.showPlaneLabels);
        KESTPlaneAnnotationView::setZoomThresholdQuery([&] { return c.withinThreshold; });
        view->setShowLabel(c.showLabel);
        draw(*view);
        EXPECT_EQ(bool(view->labelView()), c.expectLabel);
        EXPECT_EQ(view->subviews().size(), c.expectLabel ? 1u : 0u);
    }
}

TEST_F(KESTPlaneAnnotationViewTest, ReuseAllowsTheLabelAgainAndAsksForARedraw)
{
    KESTSettingsManager::sharedInstance()->setPlaneLabelContent(0);
    auto view = markerFor(makePlane());
    draw(*view);
    ASSERT_TRUE(view->labelView());
    view->setShowLabel(false);
    view->layer()->displayIfNeeded();
    view->prepareForReuse();
    EXPECT_TRUE(view->showLabel());
    EXPECT_FALSE(view->labelView());
    EXPECT_TRUE(view->subviews().empty());
    EXPECT_TRUE(view->layer()->needsDisplay());

    view->layer()->displayIfNeeded();
    view->setAnnotation(mapAnnotation(makePlane({ .reg = "D-AIBC" })));
    EXPECT_TRUE(view->layer()->needsDisplay());
    draw(*view);
    EXPECT_TRUE(view->labelView()->content() == Value("D-AIBC"));
}

TEST_F(KESTPlaneAnnotationViewTest, FetchesTheLogoThenShowsItAtHalfSizeOnAPlainScreen)
{
    ScopedScreenScale scale(1);
    URLStubs stubs;
    auto stub = stubs.add(logoAnswer(pngBytes(40, 20)));
    KESTSettingsManager::sharedInstance()->setPlaneLabelContent(3);

    auto view = markerFor(makePlane());
    // The first display draws without a logo and starts the fetch.
    view->layer()->displayIfNeeded();
    EXPECT_FALSE(view->layer()->needsDisplay());
    ASSERT_TRUE(view->labelView());
    EXPECT_TRUE(view->labelView()->content().isNil());

    drainAll();
    ASSERT_EQ(stub->requestCount(), 1u);
    EXPECT_EQ(stub->requests()[0].url, "http://logos.invalid/v1/getLogo.php?airlineCode=BAW&requestThumb=1");
    // The logo's arrival asks the marker to draw again; that draw shows it.
    EXPECT_TRUE(view->layer()->needsDisplay());
    draw(*view);
    auto logo = view->labelView()->content().objectAs<UIImage>();
    ASSERT_TRUE(logo);
    EXPECT_EQ(NSStringFromCGSize(logo->size()), NSStringFromCGSize(CGSizeMake(20, 10)));
    EXPECT_EQ(logo->scale(), 2);
    EXPECT_EQ(stub->requestCount(), 1u);
}

TEST_F(KESTPlaneAnnotationViewTest, AsksForNoLogoWithoutAnAirline)
{
    URLStubs stubs;
    auto stub = stubs.add(logoAnswer(pngBytes(40, 20)));
    KESTSettingsManager::sharedInstance()->setPlaneLabelContent(3);
    struct Case {
        const char* name;
        PlaneFields plane;
    };
    const Case cases[] = {
        { "registration as callsign", { .reg = "GABCD", .callsign = "GABCD" } },
        { "ground vehicle", { .reg = "<gnd>", .callsign = "TUG1" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = markerFor(makePlane(c.plane));
        draw(*view);
        drainAll();
        ASSERT_TRUE(view->labelView());
        EXPECT_TRUE(view->labelView()->content().isNil());
    }
    EXPECT_EQ(stub->requestCount(), 0u);
}

TEST_F(KESTPlaneAnnotationViewTest, DrawsTheMarkerAndItsLabelLikeTheGoldenImage)
{
    ScopedScreenScale scale(2);
    auto settings = KESTSettingsManager::sharedInstance();
    settings->setPlaneLabelContent(1);
    settings->setPlaneColor(3);
    auto view = markerFor(makePlane({ .heading = 40 }));
    auto container = UIView::initWithFrame(CGRectMake(0, 0, 64, 84));
    container->addSubview(view);
    view->setFrame(CGRectMake(14, 2, 35, 35));

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(64, 84), false, 2);
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetRGBFillColor(context, 0.55f, 0.7f, 0.85f, 1);
    CGContextFillRect(context, CGRectMake(0, 0, 64, 84));
    CGContextTranslateCTM(context, 14, 2);
    view->drawRect(view->bounds());
    ASSERT_TRUE(view->labelView());
    CGRect labelFrame = view->labelView()->frame();
    CGContextTranslateCTM(context, labelFrame.origin.x, labelFrame.origin.y);
    view->labelView()->drawRect(view->labelView()->bounds());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(image);
    EXPECT_EQ(KESTPlaneServices::shared()->rotatedImageNamed("B737", 40, "W") != nullptr, true);
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/plane-marker.png"), 8));
}

TEST_F(KESTPlaneAnnotationViewTest, AirportMarkersSwitchSymbolWhenReused)
{
    std::filesystem::path dir = scope.sandbox().path("symbols");
    std::filesystem::create_directories(dir);
    // A small symbol that fits and a large one that overhangs the 25-point square.
    std::ofstream(dir / "airportMarkerSmall.png", std::ios::binary) << pngBytes(10, 10);
    std::ofstream(dir / "airportMarkerLarge.png", std::ios::binary) << pngBytes(41, 31);
    UIImage::setNamedImageDirectory(dir.string());

    auto small = KESTAirport::initWithData(Value::array({ Value("Field"), Value("Town"), Value("Land"), Value("FLD"),
        Value("XFLD"), Value(50.0), Value(1.0), Value(false) }));
    auto major = KESTAirport::initWithData(Value::array({ Value("Heathrow"), Value("London"), Value("UK"), Value("LHR"),
        Value("EGLL"), Value(51.47), Value(-0.46), Value(true) }));
    ASSERT_TRUE(small && major);

    auto view = KESTAirportAnnotationView::initWithAnnotation(mapAnnotation(small), std::string("airport"));
    view->setFrame(CGRectMake(100, 200, 10, 10));
    view->layer()->displayIfNeeded();
    auto again = KESTAirportAnnotationView::initWithAnnotation(mapAnnotation(small), std::nullopt);
    EXPECT_EQ(NSStringFromCGSize(again->frame().size), NSStringFromCGSize(CGSizeMake(25, 25)));
    EXPECT_FALSE(again->layer()->masksToBounds());

    // Where each symbol lands: pixels drawn around the square's centre.
    auto centreOf = [&](const Ref<KESTAirportAnnotationView>& v) {
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(65, 65), false, 1);
        CGContextTranslateCTM(UIGraphicsGetCurrentContext(), 20, 20);
        v->drawRect(v->bounds());
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    };
    auto drawnWidth = [](const Ref<UIImage>& image) {
        // Counts drawn pixels along the middle row.
        Pixels pixels = pixelsOf(image->CGImage());
        int count = 0;
        for (size_t x = 0; x < pixels.width; ++x)
            count += Pixels::alpha(pixels.at(x, pixels.height / 2)) != 0;
        return count;
    };
    EXPECT_EQ(drawnWidth(centreOf(again)), 10);
    again->prepareForReuse();
    EXPECT_TRUE(again->layer()->needsDisplay());
    again->layer()->displayIfNeeded();
    again->setAnnotation(mapAnnotation(major));
    EXPECT_TRUE(again->layer()->needsDisplay());
    EXPECT_EQ(drawnWidth(centreOf(again)), 41);
}

TEST_F(KESTPlaneAnnotationViewTest, VolcanoAndSeasonalMarkers)
{
    auto volcano = KESTVolcano::init();
    EXPECT_EQ(volcano->title(), "Volcano");
    EXPECT_TRUE(volcano->annotationImage());
    auto volcanoView = KESTVolcanoAnnotationView::initWithAnnotation(mapAnnotation(volcano), std::nullopt);
    EXPECT_EQ(NSStringFromCGRect(volcanoView->frame()), NSStringFromCGRect(CGRectMake(0, 0, 25, 25)));

    auto santaPlane = makePlane({ .heading = 270, .dataType = 99 });
    auto santaView = KESTSantaAnnotationView::initWithAnnotation(mapAnnotation(santaPlane), std::string("4CA123"));
    EXPECT_EQ(NSStringFromCGRect(santaView->frame()), NSStringFromCGRect(CGRectMake(0, 0, 69, 69)));
    EXPECT_TRUE(santaPlane->annotationImage());
    santaView->layer()->displayIfNeeded();
    santaView->setAnnotation(mapAnnotation(santaPlane));
    EXPECT_FALSE(santaView->layer()->needsDisplay()) << "the seasonal marker redraws only with every marker";

    // Without its image the seasonal marker draws nothing, and does not fail.
    UIImage::setNamedImageDirectory(scope.sandbox().path(""));
    KESTPlaneMarkerManager::sharedInstance()->invalidateCache();
    santaPlane->setHeading(280);
    EXPECT_FALSE(santaPlane->annotationImage());
    draw(*santaView);
}
