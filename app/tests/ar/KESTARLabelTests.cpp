#include "app/tests/ar/ARScreenTestSupport.h"

#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneServices.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/ar/KESTARLabel.h"
#include "app/view-controllers/ar/KESTARLabelTemplate.h"
#include "graphics/CALayer.h"
#include "graphics/CGImage.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/URLStubs.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

#include <cmath>
#include <vector>

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

namespace {

// The live feed's clocks held still: the device clock reads `now` and runs level with the service.
class FixedClockServices : public KESTPlaneServices {
public:
    explicit FixedClockServices(double now)
        : m_now(now)
    {
    }
    double deviceUTCTime() const override { return m_now; }
    double serverTime() const override { return 0; }

private:
    double m_now;
};

// The initial great-circle bearing from one point to another, in degrees on a sphere.
double bearingBetween(double lat1, double lon1, double lat2, double lon2)
{
    double p1 = lat1 * M_PI / 180, p2 = lat2 * M_PI / 180, dl = (lon2 - lon1) * M_PI / 180;
    double b = std::atan2(
        std::sin(dl) * std::cos(p2), std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl));
    return std::fmod(b * 180 / M_PI + 360, 360);
}

} // namespace

// Every content update puts the label where its plane is estimated to be now: the feed's
// position carried along the heading at the feed's speed for the time since the report (plus
// the feed's five seconds of delay), and the label's placement follows.
TEST(KESTARLabel, MovesToItsPlanesEstimatedPosition)
{
    Fixture f;
    auto previous = KESTPlaneServices::shared();
    const double reported = 1388534400;
    struct Case {
        double heading, secondsSinceReport;
    };
    const Case cases[] = { { 0, 20 }, { 90, 50 }, { 225, 110 }, { 300, 5 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "heading " << c.heading << ", " << c.secondsSinceReport << " s");
        KESTPlaneServices::install(std::make_shared<FixedClockServices>(reported + c.secondsSinceReport));
        KESTPlane::Fields fields;
        fields.type = "B738";
        fields.route = "LHR-JFK";
        fields.reg = "G-STBA";
        fields.callsign = "BAW117";
        fields.fltno = "BA117";
        fields.lat = 50.1;
        fields.lon = 8.5;
        fields.altitude = 35000;
        fields.heading = c.heading;
        fields.speed = 450;
        fields.mtime = reported;
        auto label = labelFor(KESTPlane::initWithAdshexAndFields("400abc", fields));
        label->updateContent();

        // 450 knots is 450 * 1852 / 3600 m/s, for the time since the report plus five seconds.
        double metres = 450 * 1852.0 / 3600 * (c.secondsSinceReport + 5);
        // The estimate turns degrees into radians and back with the feed's short factors
        // 0.01745327 and 57.2957795, which sets out from a point a few metres off the reported one.
        const double shortFactors = 0.01745327 * 57.2957795;
        double startLatitude = 50.1 * shortFactors, startLongitude = 8.5 * shortFactors;
        auto start = CLLocation::initWithLatitudeLongitude(startLatitude, startLongitude);
        ASSERT_TRUE(label->location());
        auto now = label->location()->coordinate();
        EXPECT_NEAR(label->location()->distanceFromLocation(start), metres, 0.5);
        EXPECT_NEAR(std::remainder(
                        bearingBetween(startLatitude, startLongitude, now.latitude, now.longitude) - c.heading, 360.0),
            0, 0.3);
        // Placed from there: its distance is measured from the new position, its height kept.
        auto device = CLLocation::initWithLatitudeLongitude(50, 8.5);
        EXPECT_NEAR(label->distanceToUser(), label->location()->distanceFromLocation(device), 0.01);
        EXPECT_NEAR(label->worldPosition().z, -35000 * 0.3048, 0.01);
        SLKController::sharedARController()->removeObject(label);
    }
    KESTPlaneServices::install(previous);
}

namespace {

// The view drawn into a bitmap of its size at scale 1, as BGRA bytes.
std::vector<uint8_t> drawnPixels(const Ref<UIView>& view, size_t& stride)
{
    CGSize size = view->bounds().size;
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    view->layer()->renderInContext(UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    const auto& cg = image->CGImage();
    stride = CGImageGetBytesPerRow(cg);
    return CGDataProviderCopyData(CGImageGetDataProvider(cg));
}

} // namespace

// Where planes crowd, cards overlap: the nearer card is drawn in front and must hide what lies
// behind it, or the farther card's texts show through it as ghost text.
TEST(KESTARLabelTemplate, ACardInFrontHidesTheCardBehind)
{
    Fixture f;
    auto host = UIView::initWithFrame(CGRectMake(0, 0, 400, 260));
    host->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.4f, 0.6f, 0.85f, 1));
    auto card = [&](const std::string& title, const std::string& text) {
        auto view = std::dynamic_pointer_cast<KESTARLabelTemplate>(
            SLKPoiLabelTemplate::loadPoiLabelTemplate("SLKFloatingView"));
        EXPECT_TRUE(view);
        view->setHidden(false);
        view->title()->setText(title);
        view->content()->setText(text);
        view->depLabel()->setText(text);
        view->arrLabel()->setText(text);
        view->speedAltLabel()->setText(text);
        view->regLabel()->setText(text);
        return view;
    };
    // The card behind is offset a little, as a slightly farther plane's would be.
    auto behind = card("WWWWWWWW", "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
    behind->setCenter(CGPointMake(215, 125));
    auto front = card("", "");
    front->setCenter(CGPointMake(200, 130));
    host->addSubview(behind);
    host->addSubview(front);
    size_t stride = 0;
    auto withCardBehind = drawnPixels(host, stride);
    behind->removeFromSuperview();
    auto alone = drawnPixels(host, stride);

    CGRect frame = front->frame();
    size_t differing = 0, total = 0;
    // The card's inside, clear of its rounded corners.
    for (int y = int(frame.origin.y) + 6; y < int(CGRectGetMaxY(frame)) - 6; ++y) {
        for (int x = int(frame.origin.x) + 6; x < int(CGRectGetMaxX(frame)) - 6; ++x) {
            size_t i = size_t(y) * stride + size_t(x) * 4;
            ++total;
            for (int channel = 0; channel < 3; ++channel) {
                if (std::abs(int(withCardBehind[i + channel]) - int(alone[i + channel])) > 2) {
                    ++differing;
                    break;
                }
            }
        }
    }
    ASSERT_GT(total, 20000u);
    EXPECT_EQ(differing, 0u);
}
