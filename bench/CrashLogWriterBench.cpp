// Time and size of writing a crash log for a process of 20 threads, each 50 frames deep.
#include "crashreporter/PMCrashFrameCursor.h"
#include "crashreporter/PMCrashImageList.h"
#include "crashreporter/PMCrashLogWriter.h"
#include "os/OSThreads.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> s_release { false };
std::atomic<int> s_ready { 0 };

// Recurses to the given depth, then waits; the frames stay on the stack meanwhile.
__attribute__((noinline)) int descend(int depth)
{
    if (depth == 0) {
        s_ready.fetch_add(1);
        while (!s_release.load())
            std::this_thread::yield();
        return 0;
    }
    int result = descend(depth - 1) + 1;
    benchmark::DoNotOptimize(result);
    return result;
}

void BM_WriteCrashLog(benchmark::State& state)
{
    constexpr int kThreads = 20;
    constexpr int kDepth = 50;
    vxos::installThreadSuspension();
    s_release = false;
    s_ready = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads - 1; ++i)
        threads.emplace_back([] { descend(kDepth); });
    while (s_ready.load() < kThreads - 1)
        std::this_thread::yield();

    pmcrash_log_writer_t writer;
    pmcrash_log_writer_init(&writer, "com.kestravon.volantrix", "4.2", 1, true);
    pmcrash_image_list_t images;
    pmcrash_image_list_sync(&images);
    pmcrash_signal_info_t signal { 11, 1, 0, nullptr };
    char path[] = "/tmp/vxbench.XXXXXX";
    int fd = mkstemp(path);
    uint64_t bytes = 0;
    for (auto _ : state) {
        ftruncate(fd, 0);
        lseek(fd, 0, SEEK_SET);
        pmcrash_async_file_t file;
        pmcrash_async_file_init(&file, fd, 0);
        struct Args {
            pmcrash_log_writer_t* writer;
            pmcrash_image_list_t* images;
            pmcrash_async_file_t* file;
            pmcrash_signal_info_t* signal;
        } args { &writer, &images, &file, &signal };
        pmcrash_capture_current_thread(
            [](const pmcrash_thread_state_t* current, void* context) -> int {
                auto* a = static_cast<Args*>(context);
                return pmcrash_log_writer_write(
                    a->writer, vxos::currentThreadId(), a->images, a->file, a->signal, current);
            },
            &args);
        pmcrash_async_file_flush(&file);
        bytes = file.total_bytes;
    }
    state.counters["log_bytes"] = static_cast<double>(bytes);
    close(fd);
    unlink(path);
    pmcrash_log_writer_free(&writer);
    s_release = true;
    for (auto& thread : threads)
        thread.join();
}
BENCHMARK(BM_WriteCrashLog)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
