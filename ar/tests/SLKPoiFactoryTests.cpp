#include "ar/tests/ARTestSupport.h"

#include "ar/SLKPoiFactory.h"

namespace {

struct Fixture {
    ARTestScope scope;
    Ref<SLKController> controller = SLKController::sharedARController();
    Fixture(double latitude = 50, double longitude = 8)
    {
        SNRSensorManager::sharedSensorManager()->deviceAttitude()->setLocationFromCLLocation(
            CLLocation::initWithLatitudeLongitude(latitude, longitude));
    }
    ~Fixture() { SLKPoiFactory::resetForTesting(); }

    std::vector<std::string> titles() const
    {
        std::vector<std::string> list;
        for (auto& object : controller->arObjects())
            list.push_back(object->title().value_or(""));
        return list;
    }
};

double bearingTo(const Ref<SLKObjectDelegate>& object)
{
    return SNRSensorManager::bearingTowardsLocationTo(CLLocation::initWithLatitudeLongitude(50, 8), object->location());
}

} // namespace

TEST(SLKPoiFactory, RingsOfTenAroundTheDevice)
{
    Fixture f;
    SLKPoiFactory::createAroundUser(9);
    EXPECT_EQ(f.controller->numberOfObjects(), 0);
    SLKPoiFactory::createAroundUser(30);
    ASSERT_EQ(f.controller->numberOfObjects(), 30);
    auto& objects = f.controller->arObjects();
    struct Ring {
        int first;
        double distance, bearing;
    };
    for (const Ring& ring : { Ring { 0, 500, 12 }, Ring { 10, 1000, 24 }, Ring { 20, 1500, 36 } }) {
        SCOPED_TRACE(ring.distance);
        EXPECT_NEAR(objects[ring.first]->distanceToUser(), ring.distance, ring.distance * 0.004);
        EXPECT_NEAR(bearingTo(objects[ring.first]), ring.bearing, 0.05);
        EXPECT_NEAR(bearingTo(objects[ring.first + 9]), ring.bearing + 324, 0.05);
    }
    // Titles count every registered object.
    EXPECT_EQ(f.titles()[0], "Test Label 0");
    EXPECT_EQ(f.titles()[29], "Test Label 29");
    SLKPoiFactory::createAtHeadingWithDistance(90, 100);
    EXPECT_EQ(f.titles().back(), "30");
}

TEST(SLKPoiFactory, RefusedStepsAndObjectsRegisterNothing)
{
    Fixture f;
    SLKPoiFactory::createAroundUserAndOffsetAngleAtDistance(0, 0, 100);
    SLKPoiFactory::createAroundUserAndOffsetAngleAtDistance(-10, 0, 100);
    SLKPoiFactory::createRandom(0);
    EXPECT_EQ(f.controller->numberOfObjects(), 0);
    SLKPoiFactory::setPoiClass([](const std::string&, const Ref<CLLocation>&) { return Ref<SLKObjectDelegate>(); });
    SLKPoiFactory::createAroundUser(10);
    EXPECT_EQ(f.controller->numberOfObjects(), 0);
}

TEST(SLKPoiFactory, RandomObjectsFollowTheSeed)
{
    Fixture f;
    Random::setSeedForTesting(42);
    SLKPoiFactory::createRandom(5);
    ASSERT_EQ(f.controller->numberOfObjects(), 5);
    std::vector<float> first;
    for (auto& object : f.controller->arObjects()) {
        first.push_back(object->distanceToUser());
        EXPECT_GE(object->distanceToUser(), 190);
        EXPECT_LE(object->distanceToUser(), 201000);
    }
    EXPECT_EQ(f.titles()[4], "Test Label 5");
    f.controller->clearObjects();
    Random::setSeedForTesting(42);
    SLKPoiFactory::createRandom(5);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_FLOAT_EQ(f.controller->arObjects()[i]->distanceToUser(), first[i]);
}

TEST(SLKPoiFactory, NearestCitiesWithTheirOwnNames)
{
    Fixture f(48.86, 2.35);
    const auto& table = SLKPoiFactory::cities();
    ASSERT_GT(table.size(), 800u);
    EXPECT_EQ(table.front().name, "Shanghai");
    EXPECT_EQ(table.front().population, 21982184);
    EXPECT_EQ(table[2].name, "İstanbul");
    EXPECT_EQ(table.back().name, "Ciudad López Mateos");
    SLKPoiFactory::createCitiesAroundUser(3);
    ASSERT_EQ(f.controller->numberOfObjects(), 3);
    EXPECT_EQ(f.titles()[0], "Paris");
    // More than the table holds stops at what exists.
    f.controller->clearObjects();
    SLKPoiFactory::createCitiesAroundUser(100000);
    EXPECT_LE(static_cast<size_t>(f.controller->numberOfObjects()), table.size());
    EXPECT_GT(f.controller->numberOfObjects(), 800);
}
