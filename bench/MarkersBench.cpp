// The map's marker work with 20,000 live planes: the new/stale pass and the marker-budget pass
// after a live update, one display-link tick with 250 markers on the map, and the spatial
// index's rect query against a brute-force scan of the same annotations.
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "mapkit/MKMapView.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kPlanes = 20000;
constexpr double kReportTime = 1388534390;

std::vector<Ref<KESTPlane>> makePlanes(int count, uint32_t seed)
{
    std::mt19937 random(seed);
    // Most traffic over Europe and North America, some everywhere.
    std::uniform_real_distribution<double> lat(-60, 70), lon(-180, 180), eu(35, 60), euLon(-10, 30);
    std::vector<Ref<KESTPlane>> planes;
    planes.reserve(count);
    for (int i = 0; i < count; ++i) {
        bool busy = i % 2 == 0;
        double la = busy ? eu(random) : lat(random);
        double lo = busy ? euLon(random) : lon(random);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%06X", i);
        Value info = Value::array({ "B738", "LHR-JFK", "G-ABCD", std::string("CS") + hex, la, lo, 35000,
            double(i % 360), 450, kReportTime, "1234", 0, "BA1" });
        auto plane = KESTPlane::initWithAdshexAndInfo(hex, info);
        plane->updateLocationImmediately();
        planes.push_back(plane);
    }
    return planes;
}

std::vector<Ref<KESTAnnotation>> asAnnotations(const std::vector<Ref<KESTPlane>>& planes)
{
    return { planes.begin(), planes.end() };
}

// A full update where 5% of the planes are new and 5% have gone.
void BM_NewAndStalePass(benchmark::State& state)
{
    auto planes = makePlanes(kPlanes, 1);
    auto indexed = asAnnotations(planes);
    std::vector<Ref<KESTPlane>> answer(planes.begin() + kPlanes / 20, planes.end());
    auto fresh = makePlanes(kPlanes / 20, 2);
    answer.insert(answer.end(), fresh.begin(), fresh.end());
    std::vector<Ref<KESTAnnotation>> shown(indexed.begin(), indexed.begin() + 250);
    for (auto _ : state) {
        auto sets = KESTMapViewController::computeLiveDataSets(answer, indexed, shown, false);
        benchmark::DoNotOptimize(sets.added.data());
    }
    state.counters["planes"] = kPlanes;
}

// The budget over every plane in a wide view of Europe, 250 of them on the map.
void BM_MarkerBudgetPass(benchmark::State& state)
{
    auto planes = makePlanes(kPlanes, 3);
    MKMapRect europe = MKMapRectForCoordinateRegion(MKCoordinateRegionMake({ 47.5, 10 }, MKCoordinateSpanMake(26, 42)));
    KESTMapViewController::BudgetInput input;
    input.visible = europe;
    input.zoom = 4;
    for (const auto& plane : planes) {
        KESTMapPoint point = plane->mapPoint();
        if (MKMapRectContainsPoint(europe, { point.x, point.y }))
            input.candidates.push_back(plane);
    }
    for (size_t i = 0; i < 250 && i < input.candidates.size(); ++i) {
        input.candidates[i]->setAddedAsAnnotation(true);
        input.shown.push_back(input.candidates[i]);
    }
    for (auto _ : state) {
        auto result = KESTMapViewController::computeMarkerBudget(input);
        benchmark::DoNotOptimize(result.toAdd.data());
    }
    state.counters["candidates"] = double(input.candidates.size());
}

// One display-link tick of the map screen with 250 markers on a 1024 x 768 map: above 100
// markers the tick returns at once; the light pass (every marker moved to its estimate) is what
// a tick costs at or below that limit, measured here for the same 250 markers.
void BM_DisplayLinkTick(benchmark::State& state)
{
    auto planes = makePlanes(kPlanes, 4);
    auto screen = KESTAppleMapViewController::initWithNibNameBundle({}, nullptr);
    screen->view()->setFrame(CGRectMake(0, 0, 1024, 768));
    screen->mapView()->setFrame(CGRectMake(0, 0, 1024, 768));
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 47.5, 10 }, 4, false);
    auto facade = KESTMapController::sharedInstance();
    facade->backingMapView()->addAnnotations(KESTMapAnnotation::mapAnnotationsFor(asAnnotations(planes)));
    std::vector<Ref<KESTAnnotation>> onMap(planes.begin(), planes.begin() + 250);
    facade->addAnnotations(onMap);
    bool light = state.range(0) == 1;
    for (auto _ : state) {
        if (light) {
            for (const auto& marker : facade->customAnnotations())
                marker->updateLocationImmediately();
        } else {
            screen->movePlanes();
        }
    }
    state.SetLabel(light ? "light pass over 250 markers" : "tick (250 markers: above the moving limit)");
    screen->cleanup();
}

void fillIndex(const Ref<MKMapView>& map, const std::vector<Ref<MKAnnotation>>& annotations)
{
    map->addAnnotations(annotations);
}

MKMapRect queryRect()
{
    return MKMapRectForCoordinateRegion(MKCoordinateRegionMake({ 51.5, 0 }, MKCoordinateSpanMake(4, 6)));
}

void BM_AnnotationsInMapRectIndex(benchmark::State& state)
{
    auto planes = makePlanes(kPlanes, 5);
    auto annotations = KESTMapAnnotation::mapAnnotationsFor(asAnnotations(planes));
    auto map = MKMapView::initWithFrame(CGRectZero);
    fillIndex(map, annotations);
    MKMapRect rect = queryRect();
    size_t found = 0;
    for (auto _ : state) {
        auto inside = map->annotationsInMapRect(rect);
        found = inside.size();
        benchmark::DoNotOptimize(inside.data());
    }
    state.counters["found"] = double(found);
}

void BM_AnnotationsInMapRectScan(benchmark::State& state)
{
    auto planes = makePlanes(kPlanes, 5);
    auto annotations = KESTMapAnnotation::mapAnnotationsFor(asAnnotations(planes));
    MKMapRect rect = queryRect();
    size_t found = 0;
    for (auto _ : state) {
        std::vector<Ref<MKAnnotation>> inside;
        for (const auto& annotation : annotations) {
            if (MKMapRectContainsPoint(rect, MKMapPointForCoordinate(annotation->coordinate())))
                inside.push_back(annotation);
        }
        found = inside.size();
        benchmark::DoNotOptimize(inside.data());
    }
    state.counters["found"] = double(found);
}

BENCHMARK(BM_NewAndStalePass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkerBudgetPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisplayLinkTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnnotationsInMapRectIndex)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnnotationsInMapRectScan)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
