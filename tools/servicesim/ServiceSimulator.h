#pragma once

#include "servicesim/SimFault.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TrafficSimulation;

// A request the simulated services received, kept so tests can check what clients sent.
struct SimRequest {
    struct Part {
        std::string name;
        std::string filename;
        std::string contentType;
        std::string content;
    };
    std::string method;
    std::string path;
    std::string query; // the raw query text, without "?"
    std::multimap<std::string, std::string> parameters; // decoded query and form fields
    std::multimap<std::string, std::string> headers;
    std::string body;
    std::vector<Part> parts; // multipart fields
    int status = 0; // the status answered
};

// Plays every external service of the system on one loopback port, each at the paths and with
// the formats its clients use: the flight-data service (live planes from a deterministic traffic
// simulation, paths, metadata, schedules, ash areas, history, airport boards, searches, alert
// store, message poll, app list), the logo and photo services, chart products and tiles, the
// account service, the analytics collector and the crash, feedback and update service. Every
// base address is `baseUrl()`; the collector's is the same without the final "/".
//
// Faults can be added per path (addFault, or POST /_sim/faults with the text form of SimFault)
// and every request is recorded (requests(), or GET /_sim/requests). Handlers run on the
// server's own threads; the public operations may be called from any thread.
class ServiceSimulator {
public:
    struct Options {
        uint64_t seed = 1;
        int aircraft = 2000;
        bool seasonal = false;
        // Latitude and longitude with local traffic around it (see TrafficSimulation::Options).
        std::optional<std::array<double, 2>> hotspot;
        // Seconds since 1970 the service clock starts from and stays at until setTime/advanceTime;
        // nullopt follows the process clock.
        std::optional<double> fixedTime;
        // Where the reference tables are; empty uses the source tree's resources/data.
        std::string dataDirectory;
        // Waits out a fault's delay; the default sleeps the serving thread.
        std::function<void(double seconds)> sleeper;
        // The "uuids" of the newest version the update service lists (architecture to build
        // UUID), so a client can be shown its own build.
        std::map<std::string, std::string> versionUuids;
        // When set, the developer answers every newly opened feedback thread with this text.
        std::string feedbackAutoReply;
    };

    // Loads the reference data and builds the traffic. Returns nullptr with a message in `error`
    // when the data cannot be read.
    static std::unique_ptr<ServiceSimulator> create(const Options& options, std::string* error = nullptr);
    ~ServiceSimulator();

    // Starts serving on 127.0.0.1 at `port` (0 picks a free port). Returns the bound port, or
    // nullopt with the reason in `error` when the port cannot be bound; a port another server
    // listens on is refused, never shared. Serving runs on background threads until stop().
    std::optional<int> start(int port = 0, std::string* error = nullptr);
    void stop();
    int port() const;
    std::string baseUrl() const; // "http://127.0.0.1:PORT/"

    double now() const;
    void setTime(double secondsSince1970);
    void advanceTime(double seconds);

    void addFault(const SimFault& fault);
    void clearFaults();

    // Adds a reply from the developer to a feedback thread; false for an unknown thread.
    bool addFeedbackReply(const std::string& threadToken, const std::string& text);
    // The XML documents of every crash upload received, in order.
    std::vector<std::string> receivedCrashReports() const;

    std::vector<SimRequest> requests() const;
    std::vector<SimRequest> requestsForPath(const std::string& path) const;
    void clearRequests();

    const TrafficSimulation& traffic() const;

    struct Impl;

private:
    ServiceSimulator();
    std::unique_ptr<Impl> m_impl;
};
