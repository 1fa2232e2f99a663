// servicesim: plays every external service of the system on loopback until SIGTERM or SIGINT.
//
//   servicesim [--port N] [--print-port] [--seed S] [--aircraft N] [--time SECONDS]
//              [--data DIR] [--seasonal] [--hotspot LAT,LON] [--fault PATH:key=value,...]...
//              [--feedback-reply TEXT]
#include "servicesim/ServiceSimulator.h"

#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage(const char* program)
{
    std::fprintf(stderr,
        "usage: %s [--port N] [--print-port] [--seed S] [--aircraft N] [--time SECONDS]\n"
        "          [--data DIR] [--seasonal] [--hotspot LAT,LON] [--feedback-reply TEXT]\n"
        "          [--fault PATH[:status=N,delay=S,body=KIND,no-time-header,times=N]]...\n",
        program);
    return 2;
}

bool parseInteger(const char* text, long long low, long long high, long long& value)
{
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return *text && *end == '\0' && value >= low && value <= high;
}

} // namespace

int main(int argc, char** argv)
{
    ServiceSimulator::Options options;
    long long port = 0;
    bool printPort = false;
    std::vector<SimFault> faults;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        long long number = 0;
        if (arg == "--print-port") {
            printPort = true;
        } else if (arg == "--seasonal") {
            options.seasonal = true;
        } else if (arg == "--port") {
            const char* value = next();
            if (!value || !parseInteger(value, 0, 65535, port))
                return usage(argv[0]);
        } else if (arg == "--seed") {
            const char* value = next();
            if (!value || !parseInteger(value, 0, INT64_MAX, number))
                return usage(argv[0]);
            options.seed = static_cast<uint64_t>(number);
        } else if (arg == "--aircraft") {
            const char* value = next();
            if (!value || !parseInteger(value, 0, 20000, number))
                return usage(argv[0]);
            options.aircraft = static_cast<int>(number);
        } else if (arg == "--time") {
            const char* value = next();
            char* end = nullptr;
            double time = value ? std::strtod(value, &end) : 0;
            if (!value || *end != '\0')
                return usage(argv[0]);
            options.fixedTime = time;
        } else if (arg == "--hotspot") {
            const char* value = next();
            double latitude = 0, longitude = 0;
            char extra = 0;
            if (!value || std::sscanf(value, "%lf,%lf%c", &latitude, &longitude, &extra) != 2 || std::abs(latitude) > 90
                || std::abs(longitude) > 180)
                return usage(argv[0]);
            options.hotspot = std::array<double, 2> { latitude, longitude };
        } else if (arg == "--data") {
            const char* value = next();
            if (!value)
                return usage(argv[0]);
            options.dataDirectory = value;
        } else if (arg == "--feedback-reply") {
            const char* value = next();
            if (!value)
                return usage(argv[0]);
            options.feedbackAutoReply = value;
        } else if (arg == "--fault") {
            const char* value = next();
            std::string error;
            auto fault = value ? SimFault::parse(value, &error) : std::nullopt;
            if (!fault) {
                std::fprintf(stderr, "servicesim: %s\n", value ? error.c_str() : "--fault needs a value");
                return 2;
            }
            faults.push_back(*fault);
        } else {
            return usage(argv[0]);
        }
    }

    // Block the stop signals before any thread starts, so only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::string error;
    auto simulator = ServiceSimulator::create(options, &error);
    if (!simulator) {
        std::fprintf(stderr, "servicesim: %s\n", error.c_str());
        return 1;
    }
    for (const auto& fault : faults)
        simulator->addFault(fault);
    auto bound = simulator->start(static_cast<int>(port));
    if (!bound) {
        std::fprintf(stderr, "servicesim: cannot listen on 127.0.0.1:%lld\n", port);
        return 1;
    }
    if (printPort)
        std::printf("%d\n", *bound);
    else
        std::printf("servicesim serving %s\n", simulator->baseUrl().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    simulator->stop();
    return 0;
}
