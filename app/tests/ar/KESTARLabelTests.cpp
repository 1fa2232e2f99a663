#include "app/tests/ar/ARScreenTestSupport.h"

#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/ar/KESTARLabel.h"
#include "app/view-controllers/ar/KESTARLabelTemplate.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/URLStubs.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

namespace {

Ref<KESTPlane> plane(double lat, double lon, std::string reg = "G-STBA", std::string callsign = "BAW117")
{
    KESTPlane::Fields fields;
    fields.type = "B738";
    fields.route = "LHR-JFK";
    fields.reg = std::move(reg);
    fields.callsign = std::move(callsign);
    fields.fltno = "BA117";
    fields.lat = lat;
    fields.lon = lon;
    fields.altitude = 6561.68; // 2000 m
    fields.speed = 0;
    return KESTPlane::initWithAdshexAndFields("400abc", fields);
}

// A label for the plane, registered as the screen does.
Ref<KESTARLabel> labelFor(const Ref<KESTPlane>& p)
{
    auto label = KESTARLabel::initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(std::string("BA117"),
        p->route(), nullptr, std::string("SLKFloatingView"), CLLocation::initWithLatitudeLongitude(p->lat(), p->lon()));
    label->setPlaneAltitude(static_cast<float>(p->altitude() * 0.3048));
    label->setAttachedPlane(p);
    SLKController::sharedARController()->addObject(label);
    return label;
}

// The latitude north of (50, 8.5) at which the measured distance is `metres`.
double latitudeAt(double metres)
{
    auto device = CLLocation::initWithLatitudeLongitude(50, 8.5);
    double latitude = 50 + metres / 111200.0;
    for (int i = 0; i < 5; ++i) {
        double d = CLLocation::initWithLatitudeLongitude(latitude, 8.5)->distanceFromLocation(device);
        latitude += (metres - d) / 111200.0;
    }
    return latitude;
}

std::string pngBytes()
{
    UIGraphicsBeginImageContext(CGSizeMake(40, 20));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto data = UIImagePNGRepresentation(image).bytes();
    return std::string(data.begin(), data.end());
}

struct Fixture {
    ARScreenTestScope scope;
    Fixture()
    {
        SNRSensorManager::sharedSensorManager()->deviceAttitude()->setLocationFromCLLocation(
            CLLocation::initWithLatitudeLongitude(50, 8.5));
    }
};

} // namespace

TEST(KESTARLabel, HeightIsTheAltitudeAboveTheDevice)
{
    Fixture f;
    auto label = labelFor(plane(50.1, 8.5));
    EXPECT_NEAR(label->worldPosition().z, -2000, 0.01);
    EXPECT_EQ(label->planeTemplate()->title()->text(), "BA117");
}

TEST(KESTARLabel, DistanceTextInTheUsersUnit)
{
    Fixture f;
    struct Case {
        double metres;
        int32_t unit;
        const char* text;
    };
    const Case cases[] = {
        { 1999, 1, "1 km" },
        { 999, 1, "0 km" },
        { 1999, 0, "1 mi" },
        { 10500, 0, "6 mi" },
        { 10500, 1, "10 km" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.metres << " unit " << c.unit);
        KESTSettingsManager::sharedInstance()->setDistanceUnit(c.unit);
        auto label = labelFor(plane(latitudeAt(c.metres), 8.5));
        label->updateContent();
        ASSERT_TRUE(label->distance());
        EXPECT_EQ(*label->distance(), c.text);
        EXPECT_EQ(label->planeTemplate()->distance()->text(), c.text);
        EXPECT_EQ(label->planeTemplate()->speedAltLabel()->text().empty(), false);
    }
}

TEST(KESTARLabel, SetupFillsAirportsAndAsksForTheLogoOnce)
{
    Fixture f;
    f.scope.map().app().installLookupFixture();
    URLStubs stubs;
    URLStubSpec spec;
    spec.url = "http://logos.invalid/v1/getLogo.php";
    spec.matchPrefix = true;
    spec.headers = { { "Content-Type", "image/png" } };
    spec.body = pngBytes();
    auto stub = stubs.add(spec);

    auto label = labelFor(plane(50.1, 8.5));
    label->setupContent();
    auto view = label->planeTemplate();
    EXPECT_EQ(view->depLabel()->text(), "Heathrow, London, United Kingdom");
    EXPECT_EQ(view->arrLabel()->text(), "John F Kennedy Intl, New York, United States");
    EXPECT_EQ(view->regLabel()->text(), "G-STBA");
    // Removed before the answer: the logo still arrives.
    SLKController::sharedARController()->removeObject(label);
    drainAll();
    ASSERT_EQ(stub->requestCount(), 1u);
    EXPECT_EQ(stub->requests()[0].url, "http://logos.invalid/v1/getLogo.php?airlineCode=BAW");
    EXPECT_TRUE(view->logoView()->image());

    // A registration equal to the callsign asks for nothing.
    auto bare = labelFor(plane(50.1, 8.5, "N123", "N123"));
    bare->setupContent();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 1u);
    EXPECT_FALSE(bare->planeTemplate()->logoView()->image());
}
