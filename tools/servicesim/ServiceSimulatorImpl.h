#pragma once

// Private to the simulated services: the state behind ServiceSimulator and the route tables.

#include "refdata/ReferenceData.h"
#include "servicesim/ServiceSimulator.h"
#include "servicesim/SimImageCache.h"
#include "servicesim/SimPictures.h"
#include "servicesim/TrafficSimulation.h"

#include <httplib.h>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

// What a route handler answers; faults are applied to it before it is sent.
struct SimReply {
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
    std::vector<std::pair<std::string, std::string>> headers;

    static SimReply json(const nlohmann::json& value, int status = 200);
    static SimReply error(int status, const std::string& message); // {"response": message}
    static SimReply image(std::string bytes, const char* contentType);
};

struct ServiceSimulator::Impl {
    using Handler = std::function<SimReply(const httplib::Request&)>;

    Options options;
    ReferenceData data;
    std::unique_ptr<TrafficSimulation> traffic;
    httplib::Server server;
    std::thread thread;
    int port = 0;

    // Guards everything below: the clock, the faults, the record and the stateful stores.
    mutable std::mutex mutex;
    std::optional<double> time;
    std::vector<SimFault> faults;
    std::vector<SimRequest> requests;

    std::map<std::string, std::vector<nlohmann::json>> alertsByToken; // alerts as answered, per push token
    std::map<std::string, std::string> devices; // push token to bundle identifier
    int nextAlertId = 1;
    std::map<std::string, std::string> accounts; // email to password
    std::set<std::string> integratedApps;
    std::map<std::string, nlohmann::json> feedbackThreads; // token to thread
    int nextFeedbackId = 1;
    std::vector<std::string> crashReports; // the "xml" documents of crash uploads, in order

    // Logos, icons and photos as sent; guarded by its own lock.
    SimImageCache pictures { 256 };

    double now() const;
    // Appends a message to a feedback thread; the caller holds `mutex`.
    void appendFeedbackMessage(nlohmann::json& thread, const nlohmann::json& message);
    // Adds a reply from the developer; returns the thread, or nullopt for an unknown token.
    std::optional<nlohmann::json> addFeedbackReply(const std::string& threadToken, const std::string& text);
    // The aircraft a photo "<registration>-<n>" shows: the simulated aircraft of that registration,
    // or for an unknown one an airliner of an airline chosen by the registration.
    SimPictures::AircraftLook photographedAircraft(const std::string& photoId) const;
    // How a type is drawn: its shape and, for an airliner, 2 or 4 engines.
    SimPictures::AircraftLook lookOfType(const std::string& type) const;
    std::string baseUrl() const { return "http://127.0.0.1:" + std::to_string(port) + "/"; }

    // Registers a handler for a method and a path pattern (a regular expression matched against
    // the whole path). The wrapper records the request and applies the path's fault.
    void route(const std::string& method, const std::string& pattern, Handler handler);
    void serve(const httplib::Request&, httplib::Response&, const Handler&);

    void addFlightDataRoutes();
    void addOtherServiceRoutes();
    void addHarborRoutes();
    void addControlRoutes();
};

// The side of the square icons of the maker's other applications, in pixels.
inline constexpr int kAppIconSize = 57;

// The header that carries a multipart request's own content type to the handlers.
inline constexpr const char* kMultipartTypeHeader = "X-Sim-Multipart-Content-Type";
// The header that carries the client's Accept-Encoding past the server's own compression.
inline constexpr const char* kAcceptEncodingHeader = "X-Sim-Accept-Encoding";

// Small helpers shared by the route files.
namespace SimText {
std::string param(const httplib::Request&, const char* name);
// A multipart part's content, or else a query or form parameter; "" when absent.
std::string field(const httplib::Request&, const char* name);
bool hasField(const httplib::Request&, const char* name);
std::optional<double> number(const std::string& text);
std::string hhmm(double secondsSince1970);
std::string date(double secondsSince1970, const char* format); // strftime in UTC
bool equalsIgnoringCase(const std::string& a, const std::string& b);
bool startsWithIgnoringCase(const std::string& text, const std::string& prefix);
} // namespace SimText
