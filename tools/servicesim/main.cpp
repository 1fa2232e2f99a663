// servicesim: plays every external service of the system on loopback until SIGTERM or SIGINT.
// `servicesim --help` lists the options and the fault settings.
#include "servicesim/ServiceSimulator.h"
#include "servicesim/TrafficSimulation.h"

#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The port the application looks for the services on when it is given no address.
constexpr int kDefaultPort = 8080;

void printHelp(FILE* out, const char* program)
{
    std::string bodies;
    for (const auto& name : SimFault::bodyNames())
        bodies += (bodies.empty() ? "" : ", ") + name;
    std::fprintf(out,
        "usage: %s [options]\n"
        "Plays every external service of the application on 127.0.0.1 until SIGTERM or SIGINT.\n"
        "\n"
        "  --port N            port to listen on, 0 for any free one (default %d, the port the\n"
        "                      application uses when it is given no service address)\n"
        "  --print-port        print only the bound port on the first line of the output\n"
        "  --seed S            seed of the simulated traffic (default 1)\n"
        "  --aircraft N        number of simulated aircraft, 0 to %d (default 2000)\n"
        "  --time SECONDS      fix the service clock at SECONDS since 1970 (default: the real clock)\n"
        "  --data DIR          folder of the reference tables (default: the source tree's resources/data)\n"
        "  --seasonal          add the seasonal flight\n"
        "  --hotspot LAT,LON   fly local traffic within 100 km of this place\n"
        "  --feedback-reply TEXT\n"
        "                      answer each new feedback thread once with TEXT\n"
        "  --fault PATH[:SETTING,...]\n"
        "                      misbehave on requests to PATH (repeatable). Settings:\n"
        "                        status=N        answer with HTTP status N\n"
        "                        delay=S         wait S seconds before answering\n"
        "                        body=KIND       answer with another body; KIND is one of\n"
        "                                        %s\n"
        "                        no-time-header  leave out the service clock header\n"
        "                        times=N         only for the next N requests\n"
        "  --help, -h          show this text\n"
        "\n"
        "Control routes, on the same port:\n"
        "  POST /_sim/faults            add faults, one PATH[:SETTING,...] per line of the body\n"
        "  DELETE /_sim/faults          remove every fault\n"
        "  GET /_sim/requests[?path=P]  the requests received, oldest first, as JSON\n"
        "  DELETE /_sim/requests        forget the requests received\n"
        "  POST /_sim/time?t=SECONDS    fix the service clock at SECONDS since 1970\n"
        "  POST /_sim/feedback-reply?token=T&text=TEXT\n"
        "                               add a reply from the developer to feedback thread T\n",
        program, kDefaultPort, TrafficSimulation::kMaximumAircraft, bodies.c_str());
}

int usage(const char* program, const std::string& message = {})
{
    if (!message.empty())
        std::fprintf(stderr, "servicesim: %s\n", message.c_str());
    std::fprintf(stderr, "usage: %s [options]; %s --help lists them\n", program, program);
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
    long long port = kDefaultPort;
    bool printPort = false;
    std::vector<SimFault> faults;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        long long number = 0;
        if (arg == "--help" || arg == "-h") {
            printHelp(stdout, argv[0]);
            return 0;
        } else if (arg == "--print-port") {
            printPort = true;
        } else if (arg == "--seasonal") {
            options.seasonal = true;
        } else if (arg == "--port") {
            const char* value = next();
            if (!value || !parseInteger(value, 0, 65535, port))
                return usage(argv[0], "--port takes a number from 0 to 65535");
        } else if (arg == "--seed") {
            const char* value = next();
            if (!value || !parseInteger(value, 0, INT64_MAX, number))
                return usage(argv[0]);
            options.seed = static_cast<uint64_t>(number);
        } else if (arg == "--aircraft") {
            const char* value = next();
            if (!value || !parseInteger(value, 0, TrafficSimulation::kMaximumAircraft, number))
                return usage(argv[0],
                    "--aircraft takes a whole number from 0 to " + std::to_string(TrafficSimulation::kMaximumAircraft));
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
            return usage(argv[0], "unknown option " + arg);
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
    auto bound = simulator->start(static_cast<int>(port), &error);
    if (!bound) {
        std::fprintf(stderr, "servicesim: %s\n", error.c_str());
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
