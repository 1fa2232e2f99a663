// The grid engine's scrolling cost: a 20-column grid in a 768 x 1024 view scrolled one row at a
// time, 200 rows down and 200 rows back, with 1,000 rows and with 1,000,000 rows. The cost per
// step must not grow with the row count. Also the first layout of a full visible window, and the
// heap the million-row grid holds once laid out (the engine keeps loaded rows only).
//
// The same grid with a delegate that answers row styles the way the data grid does (a new style
// for every odd row, none for the even ones): a programmatic jump far down and back, a layout
// pass (what a rotation, a frame change or a collapse pays), and the heap per row. A jump and a
// layout pass must cost what the visible window costs, whatever the row count.
#include "foundation/NSObject.h"
#include "graphics/UIColor.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellPool.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSource.h"
#include "grid/LGridDelegate.h"
#include "grid/LatticeGrid.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int32_t kColumns = 20;
constexpr float kRowHeight = 40;
constexpr int32_t kSteps = 200;

class BenchClient : public NSObject, public LGridDataSource, public LGridDelegate {
    VX_OBJECT(BenchClient, NSObject)
public:
    BenchClient(Passkey key, int32_t rows)
        : NSObject(key)
        , m_rows(rows)
    {
    }
    static Ref<BenchClient> make(int32_t rows) { return NSObject::make<BenchClient>(rows); }
    int32_t numberOfColsForLatticeGrid(const Ref<LatticeGrid>&) override { return kColumns; }
    Ref<LGridCell> latticeGridCellForGridCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>&) override
    {
        auto cell = grid->dequeueReusableCellWithIdentifier(std::string("Cell"));
        return cell ? cell : LGridCell::initWithReuseIdentifier("Cell");
    }
    int32_t latticeGridNumberOfRowsInSection(const Ref<LatticeGrid>&, int32_t) override { return m_rows; }

private:
    int32_t m_rows;
};

// Answers row styles as the data grid does: alternate rows get a fresh style with their height
// and a cell style, the others none.
class StyledBenchClient final : public BenchClient {
    VX_OBJECT(StyledBenchClient, BenchClient)
public:
    StyledBenchClient(Passkey key, int32_t rows)
        : BenchClient(key, rows)
        , m_alternate(LGridCellStyle::styleWithBackgroundColorWithTextColorWithFont(
              UIColor::colorWithRedGreenBlueAlpha(0.2f, 0.2f, 0.25f, 1), UIColor::whiteColor(), nullptr))
    {
    }
    static Ref<StyledBenchClient> make(int32_t rows) { return NSObject::make<StyledBenchClient>(rows); }
    bool respondsToSelector(std::string_view selector) const override
    {
        return selector == "latticeGrid:styleForRowAtIndex:inSection:";
    }
    Ref<LGridColRowStyle> latticeGridStyleForRowAtIndexInSection(
        const Ref<LatticeGrid>&, int32_t index, int32_t) override
    {
        if (index % 2 == 0)
            return nullptr;
        return LGridColRowStyle::styleWithSizeWithCellStyle(kRowHeight, m_alternate);
    }

private:
    Ref<LGridCellStyle> m_alternate;
};

Ref<LatticeGrid> makeGrid(const Ref<BenchClient>& client)
{
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 768, 1024));
    grid->setDataSource(client);
    grid->setDelegate(client);
    grid->setDefaultColumnStyle(LGridColRowStyle::styleWithSizeWithCellStyle(120.0f, nullptr));
    grid->setDefaultRowStyle(LGridColRowStyle::styleWithSizeWithCellStyle(kRowHeight, nullptr));
    grid->setMinimumRowHeight(10.0f);
    grid->layoutIfNeeded();
    return grid;
}

void BM_ScrollStep(benchmark::State& state)
{
    auto client = BenchClient::make(static_cast<int32_t>(state.range(0)));
    auto grid = makeGrid(client);
    // The rows are 41 points apart (40 plus a 1-point line).
    int32_t step = 0;
    int32_t direction = 1;
    for (auto _ : state) {
        step += direction;
        if (step == kSteps || step == 0)
            direction = -direction;
        grid->setContentOffset(CGPointMake(0, 41.0f * static_cast<float>(step) + 0.5f));
    }
    state.counters["visibleRows"] = static_cast<double>(grid->visibleRows().size());
    state.counters["rows"] = static_cast<double>(state.range(0));
    grid = nullptr;
    LGridCellPool::reset();
}
BENCHMARK(BM_ScrollStep)->Arg(1000)->Arg(1000000);

void BM_FirstLayout(benchmark::State& state)
{
    auto client = BenchClient::make(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        auto grid = makeGrid(client);
        benchmark::DoNotOptimize(grid.get());
        state.PauseTiming();
        grid = nullptr;
        LGridCellPool::reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstLayout)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Heap held by a laid-out grid, per row of the data.
void BM_MemoryPerRow(benchmark::State& state)
{
    const auto rows = static_cast<int32_t>(state.range(0));
    double bytes = 0;
    for (auto _ : state) {
        size_t before = mallinfo2().uordblks;
        auto client = BenchClient::make(rows);
        auto grid = makeGrid(client);
        size_t after = mallinfo2().uordblks;
        bytes = static_cast<double>(after - before);
        grid = nullptr;
        LGridCellPool::reset();
    }
    state.counters["bytes"] = bytes;
    state.counters["bytesPerRow"] = bytes / rows;
}
BENCHMARK(BM_MemoryPerRow)->Arg(1000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One programmatic jump to nine tenths of the way down and one back to the top.
void BM_FarJumpWithRowStyles(benchmark::State& state)
{
    const auto rows = static_cast<int32_t>(state.range(0));
    auto client = StyledBenchClient::make(rows);
    auto grid = makeGrid(client);
    const float far = 41.0f * static_cast<float>(rows / 10 * 9) + 0.5f;
    for (auto _ : state) {
        grid->setContentOffset(CGPointMake(0, far));
        grid->setContentOffset(CGPointMake(0, 0));
    }
    state.counters["visibleRows"] = static_cast<double>(grid->visibleRows().size());
    grid = nullptr;
    LGridCellPool::reset();
}
BENCHMARK(BM_FarJumpWithRowStyles)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// One layout pass of a grid at the top (second argument 0) or scrolled half way down (1).
void BM_LayoutPassWithRowStyles(benchmark::State& state)
{
    const auto rows = static_cast<int32_t>(state.range(0));
    auto client = StyledBenchClient::make(rows);
    auto grid = makeGrid(client);
    if (state.range(1))
        grid->setContentOffset(CGPointMake(0, 41.0f * static_cast<float>(rows / 2) + 0.5f));
    for (auto _ : state) {
        grid->setNeedsLayout();
        grid->layoutIfNeeded();
    }
    state.counters["visibleRows"] = static_cast<double>(grid->visibleRows().size());
    grid = nullptr;
    LGridCellPool::reset();
}
BENCHMARK(BM_LayoutPassWithRowStyles)
    ->Args({ 1000, 0 })
    ->Args({ 1000000, 0 })
    ->Args({ 1000, 1 })
    ->Args({ 1000000, 1 })
    ->Unit(benchmark::kMicrosecond);

// Heap held by a laid-out grid whose delegate answers row styles, per row of the data.
void BM_MemoryPerRowWithRowStyles(benchmark::State& state)
{
    const auto rows = static_cast<int32_t>(state.range(0));
    double bytes = 0;
    for (auto _ : state) {
        auto client = StyledBenchClient::make(rows);
        size_t before = mallinfo2().uordblks;
        auto grid = makeGrid(client);
        size_t after = mallinfo2().uordblks;
        bytes = static_cast<double>(after - before);
        grid = nullptr;
        LGridCellPool::reset();
    }
    state.counters["bytes"] = bytes;
    state.counters["bytesPerRow"] = bytes / rows;
}
BENCHMARK(BM_MemoryPerRowWithRowStyles)->Arg(1000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
