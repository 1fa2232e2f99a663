// The aircraft list with 20,000 live planes: re-sorting the planes by each of its twelve columns
// (values read from the live planes, the order stable), next to std::sort of the same values
// already in a plain vector as the floor; and refreshing the rows on screen after a live update.
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/list/KESTListViewController.h"
#include "grid/LatticeGrid.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LatticeDataGrid.h"
#include "testing/Drain.h"
#include "uikit/UIWindow.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <variant>

namespace {

using Field = KESTListViewController::Field;

constexpr int kPlanes = 20000;
const char* const kTypes[] = { "B738", "A320", "B744", "A388", "E190", "B77W" };
const char* const kAirlines[] = { "BAW", "DLH", "AFR", "UAE", "RYR", "EZY", "KLM" };

Value planeAnswer(uint32_t seed, double altitudeShift)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> altitude(0, 45000), speed(0, 620), lat(-60, 70), lon(-180, 180),
        heading(0, 360);
    std::uniform_int_distribution<int> letter(0, 25), digit(0, 9);
    Value planes = Value::mutableDictionary();
    for (int i = 0; i < kPlanes; ++i) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%06X", (i * 2654435761u) & 0xffffff);
        std::string reg = "G-";
        for (int l = 0; l < 4; ++l)
            reg += static_cast<char>('A' + letter(random));
        std::string squawk;
        for (int d = 0; d < 4; ++d)
            squawk += static_cast<char>('0' + digit(random));
        std::string airline = kAirlines[i % 7];
        planes.setObjectForKey(
            Value::array({ kTypes[i % 6], "LHR-JFK", i % 50 ? reg : "z.NO-REG", airline + std::to_string(i % 900),
                lat(random), lon(random), std::round(altitude(random) + altitudeShift), std::round(heading(random)),
                std::round(speed(random)), 1388534390, squawk, 0, airline.substr(0, 2) + std::to_string(i % 900) }),
            Value(std::string(hex)));
    }
    return Value::dictionary({ { Value("planes"), planes } });
}

// The list on screen over the shared live feed's 20,000 planes.
struct ListOnScreen {
    Ref<UIWindow> window;
    Ref<KESTListViewController> list;
};

ListOnScreen& listOnScreen()
{
    static ListOnScreen shown = [] {
        KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(planeAnswer(1, 0), true, nullptr, nullptr);
        drainAll();
        ListOnScreen made;
        made.window = UIWindow::initWithFrame(CGRectMake(0, 0, 1024, 768));
        made.list = KESTListViewController::init();
        made.window->setRootViewController(made.list);
        made.window->makeKeyAndVisible();
        made.list->view()->setFrame(CGRectMake(0, 0, 1024, 768));
        made.list->viewWillAppear(false);
        made.list->gridView()->layoutIfNeeded();
        made.list->gridView()->internalGrid()->layoutIfNeeded();
        drainAll();
        return made;
    }();
    return shown;
}

bool isNumeric(Field field)
{
    return field == Field::Lat || field == Field::Lon || field == Field::Altitude || field == Field::Heading
        || field == Field::Speed;
}

void ListSortByColumn(benchmark::State& state)
{
    auto field = static_cast<Field>(state.range(0));
    const auto& planes = listOnScreen().list->gridContent();
    bool ascending = false;
    for (auto _ : state) {
        auto sorted = KESTListViewController::planesSortedByField(planes, field, ascending);
        benchmark::DoNotOptimize(sorted.data());
        ascending = !ascending;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(planes.size()));
}

// The floor: std::sort of the column's values, already copied into a vector, each iteration
// starting from the same unsorted copy.
void StdSortFloor(benchmark::State& state)
{
    auto field = static_cast<Field>(state.range(0));
    const auto& planes = listOnScreen().list->gridContent();
    std::vector<double> numbers;
    std::vector<std::string> texts;
    for (const auto& plane : planes) {
        if (isNumeric(field)) {
            numbers.push_back(field == Field::Lat ? plane->lat()
                    : field == Field::Lon         ? plane->lon()
                    : field == Field::Altitude    ? plane->altitude()
                    : field == Field::Heading     ? plane->heading()
                                                  : plane->speed());
        } else {
            texts.push_back(KESTListViewController::textForField(plane, field));
        }
    }
    bool ascending = false;
    for (auto _ : state) {
        state.PauseTiming();
        auto n = numbers;
        auto t = texts;
        state.ResumeTiming();
        if (ascending) {
            std::sort(n.begin(), n.end());
            std::sort(t.begin(), t.end());
        } else {
            std::sort(n.begin(), n.end(), std::greater<>());
            std::sort(t.begin(), t.end(), std::greater<>());
        }
        benchmark::DoNotOptimize(n.data());
        benchmark::DoNotOptimize(t.data());
        ascending = !ascending;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(planes.size()));
}

// A live update changes every plane's altitude; the list re-reads its mode (the snapshot the
// screen shows), sorts by altitude descending and refreshes the rows on screen.
void RefreshVisibleRowsAfterLiveUpdate(benchmark::State& state)
{
    auto& shown = listOnScreen();
    auto grid = shown.list->gridView();
    auto altitude = grid->columnAtIndex(static_cast<int32_t>(Field::Altitude));
    int update = 0;
    for (auto _ : state) {
        state.PauseTiming();
        KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(
            planeAnswer(1, (++update % 2) * 100.0), false, nullptr, nullptr);
        drainAll();
        state.ResumeTiming();
        shown.list->loadGlobalData();
        altitude->setSortOrderAndResetSiblings(LDataGridColumnSortOrderNone, true);
        altitude->setSortOrder(LDataGridColumnSortOrderDescending);
        std::vector<Ref<NSObject>> rows;
        for (const auto& row : grid->visibleRows())
            rows.push_back(row);
        grid->reloadRows(rows);
        grid->internalGrid()->layoutIfNeeded();
    }
}

} // namespace

BENCHMARK(ListSortByColumn)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);
BENCHMARK(StdSortFloor)->DenseRange(0, 11)->Unit(benchmark::kMillisecond);
BENCHMARK(RefreshVisibleRowsAfterLiveUpdate)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
