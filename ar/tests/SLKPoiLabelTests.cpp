#include "ar/tests/ARTestSupport.h"

#include "uikit/UILabel.h"
#include "uikit/UINib.h"

namespace {

struct Fixture {
    ARTestScope scope;
    Fixture()
    {
        SNRSensorManager::sharedSensorManager()->deviceAttitude()->setLocationFromCLLocation(
            CLLocation::initWithLatitudeLongitude(50, 8));
    }
};

// A location `metres` north of the device at (50, 8).
Ref<CLLocation> north(double metres)
{
    auto c = SNRDestinationCoordinate(50, 8, metres, 0);
    return CLLocation::initWithLatitudeLongitude(c.latitude, c.longitude);
}

// Moves the label until its measured distance is `metres` (the ellipsoid differs from the sphere).
void placeAt(const Ref<SLKPoiLabel>& label, double metres)
{
    double guess = metres;
    for (int i = 0; i < 4; ++i) {
        label->setLocation(north(guess));
        label->updateLocation();
        guess += metres - label->distanceToUser();
    }
}

} // namespace

TEST(SLKPoiLabel, RefusesAMissingTitle)
{
    Fixture f;
    LogCapture log;
    EXPECT_FALSE(SLKPoiLabel::initWithTitleAtLocation(std::nullopt, north(100)));
    EXPECT_TRUE(log.contains("Could not create label, no title specified!"));
}

TEST(SLKPoiLabel, LoadsTheKitTemplateAfterLookingInTheMainBundle)
{
    Fixture f;
    LogCapture log;
    auto label = SLKPoiLabel::initWithTitleAtLocation(std::string("Tower"), north(100));
    ASSERT_TRUE(label->labelTemplate());
    EXPECT_TRUE(log.contains(
        "could not load template named 'DefaultPoiLabel' from main bundle, trying framework default bundle now..."));
    EXPECT_EQ(label->labelTemplate()->title()->text(), "Tower");
    EXPECT_TRUE(label->labelTemplate()->isHidden());
    EXPECT_EQ(label->stackingSize().width, 200);
    EXPECT_EQ(label->labelTemplate()->poiLabel(), label);
    log.clear();
    EXPECT_FALSE(SLKPoiLabelTemplate::loadPoiLabelTemplate("NoSuchLabel"));
    EXPECT_TRUE(log.contains("could not load template named 'NoSuchLabel' from any bundle"));
}

TEST(SLKPoiLabel, DistanceTextFollowsItsBands)
{
    Fixture f;
    auto label = SLKPoiLabel::initWithTitleAtLocation(std::string("x"), north(5));
    label->updateLocation();
    label->updateContent();
    // 5 m from 0 is below the small band's step: no text yet.
    EXPECT_FALSE(label->distance());
    struct Case {
        double metres;
        const char* text;
    };
    const Case cases[] = { { 1000, "1000 m" }, { 1004, "1000 m" }, { 1500, "1 km" }, { 10000, "10 km" },
        { 10400, "10 km" }, { 60000, "60 km" }, { 512, "510 m" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.metres);
        placeAt(label, c.metres);
        label->updateContent();
        ASSERT_TRUE(label->distance());
        EXPECT_EQ(*label->distance(), c.text);
        EXPECT_EQ(label->labelTemplate()->distance()->text(), c.text);
    }
}

TEST(SLKPoiLabel, AdvancedLabelsFadeAndShrinkWithDistance)
{
    Fixture f;
    auto label = SLKPoiAdvancedLabel::initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(
        std::string("x"), std::string("y"), nullptr, std::nullopt, north(500));
    struct Case {
        double metres;
        float scale;
    };
    const Case cases[] = { { 500, 1 }, { 20000, 0.9f }, { 60000, 0.7f }, { 200000, 0.7f } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.metres);
        placeAt(label, c.metres);
        label->updateAppearance();
        EXPECT_NEAR(label->labelView()->alpha(), c.scale, 1e-3);
        EXPECT_NEAR(label->labelView()->frame().size.width, 200 * c.scale, 0.1);
        EXPECT_NEAR(label->stackingSize().width, 200 * c.scale, 0.1);
    }
}

TEST(SLKPoiLabel, StackedLabelsRiseAboveEachOther)
{
    Fixture f;
    auto view = SLKView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    SLKPoi::setStackingAnimationSpeed(1);
    struct Case {
        float x, width, height;
        float top;
    };
    // Sector width 768 * 1.5 / 80 = 14.4 points.
    const Case cases[] = {
        { 384, 100, 40, 40 }, // alone
        { 384, 100, 40, 80 }, // same place: on top of the first
        { 384, 20, 30, 30 }, // too narrow to read the sectors: not lifted
        { -2000, 100, 10, 10 }, // wholly outside: base 0
    };
    view->resetStacking();
    EXPECT_EQ(view->addHeightInStackingSectorTheWidthTheHeight(cases[0].x, cases[0].width, cases[0].height), 40);
    EXPECT_EQ(view->addHeightInStackingSectorTheWidthTheHeight(cases[1].x, cases[1].width, cases[1].height), 80);
    EXPECT_EQ(view->addHeightInStackingSectorTheWidthTheHeight(cases[2].x, cases[2].width, cases[2].height), 30);
    EXPECT_EQ(view->addHeightInStackingSectorTheWidthTheHeight(cases[3].x, cases[3].width, cases[3].height), 10);
    view->resetStacking();
    EXPECT_EQ(view->getHeightInStackingSector(40), 0);
    EXPECT_EQ(view->getHeightInStackingSector(-1), 0);
    EXPECT_EQ(view->getHeightInStackingSector(80), 0);
    // A view of width 0 still has sectors one point wide.
    auto empty = SLKView::initWithFrame(CGRectZero);
    EXPECT_FLOAT_EQ(empty->widthOfStackingSector(), 1);
}

TEST(SLKView, LabelBaselineIsClamped)
{
    ARTestScope scope;
    auto view = SLKView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    EXPECT_FLOAT_EQ(view->labelBaseline(), 0.5f);
    view->setLabelBaseline(-1);
    EXPECT_FLOAT_EQ(SLKPoi::labelBaseline(), 0);
    view->setLabelBaseline(2);
    EXPECT_FLOAT_EQ(view->labelBaseline(), 1);
    // A tablet: 80 sectors and a gentle stacking animation.
    EXPECT_EQ(view->numberOfStackingSectors(), 80);
    EXPECT_FLOAT_EQ(SLKPoi::stackingAnimationSpeed(), 0.25f);
    UIDevice::currentDevice()->setUserInterfaceIdiom(UIUserInterfaceIdiomPhone);
    auto phone = SLKView::initWithFrame(CGRectMake(0, 0, 320, 480));
    EXPECT_EQ(phone->numberOfStackingSectors(), 40);
    EXPECT_FLOAT_EQ(phone->stackingAnimationSpeed(), 0.5f);
}

TEST(SLKView, StartAndStopAreIdempotent)
{
    ARTestScope scope;
    auto view = SLKView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    view->start();
    view->start();
    EXPECT_EQ(SLKView::activeView(), view);
    view->stop();
    EXPECT_FALSE(SLKView::activeView());
    view->stop();
    EXPECT_FALSE(view->isRunning());
}
