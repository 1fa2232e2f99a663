// The saved filters' predicate path with 20,000 live planes, next to plain loops comparing the
// same fields directly: counting one filter with three conditions (airline, aircraft type and
// the altitude and speed ranges), and the live feed's filtered planes with two active filters.
#include "app/core/KESTFilter.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTFilterDetail.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectModel.h"
#include "foundation/NSPredicate.h"
#include "testing/Drain.h"
#include "vxbuild/Paths.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <random>

namespace {

constexpr int kPlanes = 20000;
const char* const kTypes[] = { "B738", "A320", "B744", "A388", "E190", "B77W" };
const char* const kAirlines[] = { "BAW", "DLH", "AFR", "UAE", "RYR", "EZY", "KLM" };

Value planeAnswer(int count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> altitude(-100, 45000), speed(0, 620), lat(-60, 70), lon(-180, 180);
    Value planes = Value::mutableDictionary();
    for (int i = 0; i < count; ++i) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%06X", i);
        std::string airline = kAirlines[i % 7];
        planes.setObjectForKey(
            Value::array({ kTypes[i % 6], "LHR-JFK", "G-ABCD", airline + std::to_string(i % 900), lat(random),
                lon(random), std::round(altitude(random)), 90, std::round(speed(random)), 1388534390, "1234", 0,
                airline.substr(0, 2) + std::to_string(i % 900) }),
            Value(std::string(hex)));
    }
    return Value::dictionary({ { Value("planes"), planes } });
}

// The shared live feed holding the benchmark's planes.
std::vector<Ref<KESTPlane>> publishPlanes()
{
    static bool published = [] {
        KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(planeAnswer(kPlanes, 1), true, nullptr, nullptr);
        drainAll();
        return true;
    }();
    (void)published;
    return KESTLiveDataManager::sharedInstance()->unfilteredPlaneArray();
}

Ref<NSManagedObjectModel> model()
{
    static auto loaded = NSManagedObjectModel::initWithContentsOfURL(VX_SOURCE_DIR "/resources/Volantrix.momd");
    return loaded;
}

// A filter outside any context, as the editor's live count makes it.
Ref<KESTFilter> makeFilter(const std::vector<std::pair<int32_t, std::string>>& values)
{
    KESTFilter::registerClass();
    auto filter = std::dynamic_pointer_cast<KESTFilter>(
        NSManagedObject::initWithEntityInsertIntoManagedObjectContext(model()->entityNamed("KESTFilter"), nullptr));
    auto add = [&](int32_t type, const std::string& value) {
        auto detail
            = std::dynamic_pointer_cast<KESTFilterDetail>(NSManagedObject::initWithEntityInsertIntoManagedObjectContext(
                model()->entityNamed("KESTFilterDetail"), nullptr));
        detail->setFilterDetailType(Value(type));
        detail->setFilterDetail(Value(value));
        detail->setFilterLowerLimit(Value(0.0f));
        detail->setFilterUpperLimit(Value(1.0f));
        filter->addChildFilterObject(detail);
    };
    for (const auto& [type, value] : values)
        add(type, value);
    add(4, "ALTITUDEDATA");
    add(5, "SPEEDDATA");
    return filter;
}

bool containsIgnoringCase(const std::string& text, const std::string& part)
{
    if (part.empty())
        return false;
    // ASCII case folding, as the predicate's fold does for ASCII text.
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    auto found = std::search(
        text.begin(), text.end(), part.begin(), part.end(), [&](char a, char b) { return lower(a) == lower(b); });
    return found != text.end();
}

// The plain form of one filter: airline "BAW" in the flight number or callsign, type "B7",
// altitude and speed strictly inside the scale.
// The fields are read in place, under the plane's lock once, without copying its texts.
bool plainMatch(const KESTPlane& plane, const std::string& airline, const std::string& type)
{
    return plane.withFields([&](const KESTPlane::Fields& f) {
        if (!(f.altitude > 0 && f.altitude < 60000 && f.speed > 0 && f.speed < 600))
            return false;
        if (!containsIgnoringCase(f.fltno, airline) && !containsIgnoringCase(f.callsign, airline))
            return false;
        return containsIgnoringCase(f.type, type);
    });
}

void BM_CountOneFilter(benchmark::State& state)
{
    auto planes = publishPlanes();
    auto filter = makeFilter({ { 0, "BAW" }, { 1, "B7" } });
    for (auto _ : state) {
        // What the count's background block does: parse the clause and filter every plane.
        auto predicate = NSPredicate::predicateWithFormat(*KESTFilterDataManager::clauseForFilter(filter));
        int32_t count = 0;
        for (const auto& plane : planes)
            count += predicate->evaluateWithObject(Value(plane));
        benchmark::DoNotOptimize(count);
    }
    state.counters["planes"] = static_cast<double>(planes.size());
}

void BM_CountOneFilterPlainLoop(benchmark::State& state)
{
    auto planes = publishPlanes();
    const std::string baw = "BAW", b7 = "B7";
    for (auto _ : state) {
        int32_t count = 0;
        for (const auto& plane : planes)
            count += plainMatch(*plane, baw, b7);
        benchmark::DoNotOptimize(count);
    }
    state.counters["planes"] = static_cast<double>(planes.size());
}

void BM_PlaneArrayTwoFilters(benchmark::State& state)
{
    auto planes = publishPlanes();
    auto first = KESTFilterDataManager::clauseForFilter(makeFilter({ { 0, "BAW" }, { 1, "B7" } }));
    auto second = KESTFilterDataManager::clauseForFilter(makeFilter({ { 0, "DLH" }, { 1, "A3" } }));
    KESTFilterDataManager::sharedInstance()->setPredicate(NSPredicate::predicateWithFormat(*first + " OR " + *second));
    auto feed = KESTLiveDataManager::sharedInstance();
    for (auto _ : state) {
        auto shown = feed->planeArray();
        benchmark::DoNotOptimize(shown.data());
    }
    KESTFilterDataManager::sharedInstance()->setPredicate(nullptr);
    state.counters["planes"] = static_cast<double>(planes.size());
}

void BM_PlaneArrayTwoFiltersPlainLoop(benchmark::State& state)
{
    publishPlanes();
    auto feed = KESTLiveDataManager::sharedInstance();
    const std::string baw = "BAW", b7 = "B7", dlh = "DLH", a3 = "A3";
    for (auto _ : state) {
        // As planeArray does: the published set read where it lies, the passing planes copied.
        auto published = feed->liveData();
        std::vector<Ref<KESTPlane>> shown;
        auto ahead = published->begin();
        for (int step = 0; step < 4 && ahead != published->end(); ++step)
            ++ahead;
        for (const auto& [key, plane] : *published) {
            if (ahead != published->end()) {
                ahead->second->prefetchForUpdate();
                ++ahead;
            }
            if (plainMatch(*plane, baw, b7) || plainMatch(*plane, dlh, a3))
                shown.push_back(plane);
        }
        benchmark::DoNotOptimize(shown.data());
    }
}

} // namespace

BENCHMARK(BM_CountOneFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountOneFilterPlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaneArrayTwoFilters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaneArrayTwoFiltersPlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
