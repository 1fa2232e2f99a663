// The AR screen's per-frame and per-update work: one overlay pass over 500 labels (projection,
// fading, sorting and stacking) and the label-set update against 20,000 live planes, each beside
// a bare loop that only multiplies the same points by the same matrix (the floor).
#include "app/core/KESTLiveDataManager.h"
#include "app/view-controllers/ar/KESTARViewController.h"
#include "ar/SLKController.h"
#include "ar/SLKPoiAdvancedLabel.h"
#include "ar/SLKView.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSJSONSerialization.h"
#include "location/CLLocation.h"
#include "location/CMDeviceMotion.h"
#include "testing/Drain.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kLatitude = 50;
constexpr double kLongitude = 8.5;

void placeDevice()
{
    SNRDeviceProperties::setSimulateGPSForAllDevices(true);
    auto attitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
    attitude->setLocationFromCLLocation(CLLocation::initWithLatitudeLongitude(kLatitude, kLongitude));
    // Upright, facing north.
    attitude->setMotionFromCMMotion(
        CMDeviceMotion::initWithAttitude(CMAttitude::initWithRollPitchYaw(0, M_PI / 2, -M_PI / 2), { 0, 0, 0 }, 0));
}

// 500 labels north of the device, 2 to 60 km away at 1 to 10 km height, half of them in view.
std::vector<Ref<SLKPoiAdvancedLabel>> makeLabels()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> bearing(-60, 60), distance(2000, 60000), height(1000, 10000);
    std::vector<Ref<SLKPoiAdvancedLabel>> labels;
    auto controller = SLKController::sharedARController();
    controller->clearObjects();
    for (int i = 0; i < 500; ++i) {
        auto c = SNRDestinationCoordinate(kLatitude, kLongitude, distance(random), bearing(random));
        auto label = SLKPoiAdvancedLabel::initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(
            "L" + std::to_string(i), std::string("route"), nullptr, std::nullopt,
            CLLocation::initWithCoordinate({ c.latitude, c.longitude }, height(random), 5, 5, nullptr));
        controller->addObject(label);
        label->worldPosition().z = -static_cast<float>(height(random));
        labels.push_back(label);
    }
    return labels;
}

void BM_OverlayPass500Labels(benchmark::State& state)
{
    placeDevice();
    auto labels = makeLabels();
    auto view = SLKView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    auto controller = SLKController::sharedARController();
    for (auto _ : state) {
        controller->setObjectsNeedSorting(true);
        controller->updateObjects(nullptr);
        view->updateView(nullptr);
    }
    int shown = 0;
    for (auto& label : labels)
        shown += label->addedToView();
    state.counters["labels"] = 500;
    state.counters["shown"] = shown;
}

void BM_OverlayFloor500Points(benchmark::State& state)
{
    placeDevice();
    auto labels = makeLabels();
    auto view = SLKView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    view->updateView(nullptr);
    const SNRMatrix4x4& camera = *view->perspectiveCameraMatrix();
    std::vector<SNRVector4> points;
    for (auto& label : labels)
        points.push_back(label->worldPosition());
    for (auto _ : state) {
        for (auto& p : points) {
            auto c = SNRMatrixMultiplyVector4(camera, p.x, p.y, p.z, p.w);
            benchmark::DoNotOptimize(c);
        }
    }
}

// A feed of 20,000 planes over Europe, about 2% of them within 1.5 degrees of the device.
void feedPlanes()
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> lat(35, 65), lon(-10, 30), near(-1.4, 1.4);
    std::string json = R"({"planes":{)";
    for (int i = 0; i < 20000; ++i) {
        bool close = i % 50 == 0;
        double la = close ? kLatitude + near(random) : lat(random);
        double lo = close ? kLongitude + near(random) : lon(random);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%06X", i);
        json += (i ? "," : "") + std::string("\"") + hex + "\":[\"B738\",\"LHR-JFK\",\"G-ABCD\",\"CS" + hex + "\","
            + std::to_string(la) + "," + std::to_string(lo) + ",35000,90,450,1388534400,\"1234\",0,\"BA1\"]";
    }
    json += "}}";
    KESTLiveDataManager::setServiceBaseURL("http://feed.invalid/");
    KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(
        NSJSONSerialization::JSONObjectWithData(std::string_view(json), 0, nullptr), false, nullptr, nullptr);
    drainAll();
}

void BM_LabelSetUpdate20000Planes(benchmark::State& state)
{
    placeDevice();
    feedPlanes();
    SLKController::sharedARController()->clearObjects();
    auto screen = KESTARViewController::init();
    screen->setUserLocationStored(CLLocation::initWithLatitudeLongitude(kLatitude, kLongitude));
    screen->updateARObjects();
    for (auto _ : state)
        screen->updateARObjects();
    state.counters["planes"] = static_cast<double>(KESTLiveDataManager::sharedInstance()->planeArray().size());
    state.counters["labels"] = SLKController::sharedARController()->numberOfObjects();
    SLKController::sharedARController()->clearObjects();
}

void BM_LabelSetFloor20000Points(benchmark::State& state)
{
    placeDevice();
    feedPlanes();
    auto view = SLKView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    view->updateView(nullptr);
    const SNRMatrix4x4& camera = *view->perspectiveCameraMatrix();
    std::vector<SNRVector4> points;
    for (auto& plane : KESTLiveDataManager::sharedInstance()->planeArray())
        points.push_back({ static_cast<float>(plane->lat()), static_cast<float>(plane->lon()), 0, 1 });
    for (auto _ : state) {
        for (auto& p : points) {
            auto c = SNRMatrixMultiplyVector4(camera, p.x, p.y, p.z, p.w);
            benchmark::DoNotOptimize(c);
        }
    }
}

} // namespace

BENCHMARK(BM_OverlayPass500Labels);
BENCHMARK(BM_OverlayFloor500Points);
BENCHMARK(BM_LabelSetUpdate20000Planes);
BENCHMARK(BM_LabelSetFloor20000Points);
BENCHMARK_MAIN();
