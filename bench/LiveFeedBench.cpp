// The live feed's answer path: decode, merge into the working set and publish, for a recorded
// 20,000-plane full answer and a 2,000-plane delta from the simulated service, next to decoding
// the same bytes with the fastest JSON parser at hand (simdjson, into its document tree) and with
// nlohmann-json for reference. Also reports memory per live plane. At the end it prints the full
// answer path against the bare decode, in wall and in CPU time (the CPU time is the calling
// thread's: the decode, without the merge on the background queue). Last, one full answer at
// 100,000 aircraft served by the simulated service and decoded, end to end.
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlaneAnswer.h"
#include "app/core/KESTSettingsManager.h"
#include "foundation/Dispatch.h"
#include "foundation/JSONReader.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "net/NSURLSession.h"
#include "net/NSURLSessionTask.h"
#include "servicesim/ServiceSimulator.h"

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <simdjson.h>

#include <cstdio>
#include <malloc.h>
#include <optional>
#include <string>

namespace {

struct Answers {
    std::string full;
    std::string delta;
};

const Answers& answers()
{
    static const Answers recorded = [] {
        ServiceSimulator::Options options;
        options.aircraft = 20000;
        options.fixedTime = 1388534400.0;
        auto sim = ServiceSimulator::create(options);
        if (!sim || !sim->start(0)) {
            std::fprintf(stderr, "the simulated service did not start\n");
            std::exit(1);
        }
        httplib::Client client("127.0.0.1", sim->port());
        Answers a;
        if (auto r = client.Get("/APPAPIv2/planeUpdate.php?routetype=IATA&FAA=1&ts=0&background=0"))
            a.full = r->body;
        // A box over Europe and the North Atlantic: roughly a tenth of the traffic.
        if (auto r = client.Get("/APPAPIv2/planeUpdate.php?routetype=IATA&FAA=1&ts=0&bounds=72,30,40,-60&background=0"))
            a.delta = r->body;
        sim->stop();
        return a;
    }();
    return recorded;
}

// Reads, merges and publishes one answer as a poll's does, waiting for the publication. The
// body arrives as the network layer hands it over.
void applyAnswer(const Ref<KESTLiveDataManager>& manager, const Value& body, bool full)
{
    static const auto response = NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
        NSURL::URLWithString("http://127.0.0.1/"), 200, "HTTP/1.1", {});
    auto done = dispatch_semaphore_create(0);
    manager->handlePlaneResponse(
        response, body, nullptr, full, [done] { dispatch_semaphore_signal(done); }, nullptr, nullptr);
    dispatch_semaphore_wait(done, DISPATCH_TIME_FOREVER);
    // The notifications queued for the main thread.
    while (DispatchMainQueue::runPendingBlocks(1000) > 0) { }
}

// The body as the network layer hands it over: its bytes with spare room after them.
Value bodyData(const std::string& body)
{
    Value::Bytes bytes;
    bytes.reserve(body.size() + JSONReader::kReadInPlacePadding);
    bytes.assign(body.begin(), body.end());
    return Value::data(std::move(bytes));
}

// Bytes the heap has handed out and not taken back.
double heapInUse()
{
    return double(mallinfo2().uordblks);
}

void BM_FullAnswerPath(benchmark::State& state)
{
    const auto& body = answers().full;
    Value data = bodyData(body);
    auto manager = KESTLiveDataManager::init();
    for (auto _ : state)
        applyAnswer(manager, data, true);
    state.counters["planes"] = double(manager->unfilteredPlaneArray().size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(body.size()));
}

void BM_DeltaAnswerPath(benchmark::State& state)
{
    const auto& body = answers().delta;
    Value data = bodyData(body);
    auto manager = KESTLiveDataManager::init();
    applyAnswer(manager, bodyData(answers().full), true);
    for (auto _ : state)
        applyAnswer(manager, data, false);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(body.size()));
}

void BM_FullAnswerDecodeOnly(benchmark::State& state)
{
    const auto& body = answers().full;
    // The padded copy the parser reads is made once, as a reader of the socket would fill it.
    simdjson::padded_string padded(body);
    simdjson::dom::parser parser;
    size_t planes = 0;
    for (auto _ : state) {
        simdjson::dom::element document;
        if (parser.parse(padded).get(document)) {
            state.SkipWithError("the answer is not JSON");
            return;
        }
        simdjson::dom::object planeTable;
        if (document["planes"].get(planeTable)) {
            state.SkipWithError("the answer has no plane table");
            return;
        }
        planes = planeTable.size();
        benchmark::DoNotOptimize(planes);
    }
    state.counters["planes"] = double(planes);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(body.size()));
}

// The application's own reader: the answer's bytes, as the network layer hands them over, into
// the indexed plane table the merge reads.
void BM_FullAnswerDecodeToRecords(benchmark::State& state)
{
    const auto& body = answers().full;
    Value data = bodyData(body);
    const auto& bytes = data.bytes();
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_t planes = 0;
    for (auto _ : state) {
        auto answer = KESTPlaneAnswer::decode(text, bytes.capacity() - bytes.size());
        planes = answer ? answer->size() : 0;
        benchmark::DoNotOptimize(answer);
    }
    state.counters["planes"] = double(planes);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(body.size()));
}

void BM_FullAnswerDecodeOnlyNlohmann(benchmark::State& state)
{
    const auto& body = answers().full;
    for (auto _ : state)
        benchmark::DoNotOptimize(nlohmann::json::parse(body));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(body.size()));
}

void BM_MemoryPerPlane(benchmark::State& state)
{
    Value data = bodyData(answers().full);
    for (auto _ : state) {
        state.PauseTiming();
        double before = heapInUse();
        auto manager = KESTLiveDataManager::init();
        state.ResumeTiming();
        applyAnswer(manager, data, true);
        state.PauseTiming();
        // The working and published sets with their planes, without the decoded answer.
        size_t planes = manager->unfilteredPlaneArray().size();
        state.counters["bytes_per_plane"] = planes ? (heapInUse() - before) / double(planes) : 0.0;
        state.ResumeTiming();
    }
}

// One full answer at the largest traffic the simulated service flies (100,000 aircraft), served
// and decoded as the application asks for it: the service builds and compresses the answer for
// the next simulated second, the URL loading system fetches and decompresses it over loopback,
// and the live feed reads, merges and publishes it. Goal: under a second.
void BM_FullAnswerServedAndDecoded100k(benchmark::State& state)
{
    ServiceSimulator::Options options;
    options.aircraft = 100000;
    options.fixedTime = 1388534400.0;
    auto sim = ServiceSimulator::create(options);
    if (!sim || !sim->start(0)) {
        state.SkipWithError("the simulated service did not start");
        return;
    }
    auto url = NSURL::URLWithString(sim->baseUrl() + "APPAPIv2/planeUpdate.php?routetype=IATA&FAA=1&ts=0&background=0");
    auto session = NSURLSession::sharedSession();
    auto manager = KESTLiveDataManager::init();
    size_t bytes = 0;
    for (auto _ : state) {
        // Each answer is the next second's, as a polling client gets it.
        sim->advanceTime(1);
        auto done = dispatch_semaphore_create(0);
        auto task = session->dataTaskWithRequestCompletionHandler(NSURLRequest::requestWithURL(url),
            [&](const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
                bytes = data.isData() ? data.bytes().size() : 0;
                bool answered = manager->handlePlaneResponse(
                    response, data, error, true, [done] { dispatch_semaphore_signal(done); }, nullptr,
                    [done](const Ref<NSURLResponse>&, const Ref<NSError>&) { dispatch_semaphore_signal(done); });
                if (!answered)
                    dispatch_semaphore_signal(done);
            });
        task->resume();
        dispatch_semaphore_wait(done, DISPATCH_TIME_FOREVER);
        while (DispatchMainQueue::runPendingBlocks(1000) > 0) { }
    }
    state.counters["planes"] = double(manager->unfilteredPlaneArray().size());
    state.counters["answer_MB"] = double(bytes) / 1e6;
    sim->stop();
}

BENCHMARK(BM_FullAnswerPath)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeltaAnswerPath)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullAnswerDecodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullAnswerDecodeToRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullAnswerDecodeOnlyNlohmann)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerPlane)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FullAnswerServedAndDecoded100k)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Prints the runs as the console does, then the full answer path against the bare decode.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter()
        : ConsoleReporter(OO_None)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            if (run.run_name.function_name == "BM_FullAnswerPath")
                m_path = run;
            else if (run.run_name.function_name == "BM_FullAnswerDecodeOnly")
                m_decode = run;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (!m_path || !m_decode)
            return;
        double pathWall = m_path->GetAdjustedRealTime(), pathCPU = m_path->GetAdjustedCPUTime();
        double decodeWall = m_decode->GetAdjustedRealTime(), decodeCPU = m_decode->GetAdjustedCPUTime();
        std::printf("\nFull answer path: %.2f ms wall, %.2f ms CPU\n", pathWall, pathCPU);
        std::printf("Decode only:      %.2f ms wall, %.2f ms CPU\n", decodeWall, decodeCPU);
        std::printf("Ratio:            %.1fx wall, %.1fx CPU\n", pathWall / decodeWall, pathCPU / decodeCPU);
    }

private:
    std::optional<Run> m_path;
    std::optional<Run> m_decode;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
