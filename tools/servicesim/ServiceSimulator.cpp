#include "servicesim/ServiceSimulator.h"

#include "foundation/Clock.h"
#include "servicesim/ServiceSimulatorImpl.h"
#include "servicesim/SimMultipart.h"
#include "vxbuild/Paths.h"

#include <algorithm>
#include <arpa/inet.h>
#include <brotli/encode.h>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

SimReply SimReply::json(const nlohmann::json& value, int status)
{
    SimReply reply;
    reply.status = status;
    reply.body = value.dump();
    return reply;
}

SimReply SimReply::error(int status, const std::string& message)
{
    return json({ { "response", message } }, status);
}

SimReply SimReply::image(std::string bytes, const char* contentType)
{
    SimReply reply;
    reply.body = std::move(bytes);
    reply.contentType = contentType;
    return reply;
}

namespace SimText {

std::string param(const httplib::Request& request, const char* name)
{
    return request.has_param(name) ? request.get_param_value(name) : std::string();
}

std::string field(const httplib::Request& request, const char* name)
{
    auto type = request.headers.find(kMultipartTypeHeader);
    if (type != request.headers.end()) {
        for (const auto& part : SimMultipart::parse(type->second, request.body)) {
            if (part.name == name)
                return part.content;
        }
        return "";
    }
    return param(request, name);
}

bool hasField(const httplib::Request& request, const char* name)
{
    auto type = request.headers.find(kMultipartTypeHeader);
    if (type == request.headers.end())
        return request.has_param(name);
    auto parts = SimMultipart::parse(type->second, request.body);
    return std::any_of(parts.begin(), parts.end(), [&](const auto& part) { return part.name == name; });
}

std::optional<double> number(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string date(double seconds, const char* format)
{
    std::time_t t = static_cast<std::time_t>(std::floor(seconds));
    std::tm parts {};
    gmtime_r(&t, &parts);
    char text[64];
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

std::string hhmm(double seconds)
{
    return date(seconds, "%H%M");
}

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

} // namespace SimText

namespace {

// Every item of every array becomes null, recursively: an object in an array keeps its keys
// with null values, any other item (a plane record's fields, say) is replaced by null.
void nullItems(nlohmann::json& value, bool insideArray)
{
    if (value.is_array()) {
        for (auto& element : value) {
            if (element.is_object() || element.is_array())
                nullItems(element, true);
            else
                element = nullptr;
        }
    } else if (value.is_object()) {
        for (auto& [key, field] : value.items()) {
            if (insideArray)
                field = nullptr;
            else
                nullItems(field, false);
        }
    }
}

void applyBody(SimReply& reply, SimFault::Body body)
{
    switch (body) {
    case SimFault::Body::Normal:
        break;
    case SimFault::Body::Empty:
        reply.body.clear();
        break;
    case SimFault::Body::Truncated:
        reply.body.resize(reply.body.size() / 2);
        break;
    case SimFault::Body::Malformed:
        reply.body = "<html><body>Service temporarily unavailable</body>";
        reply.contentType = "text/html";
        break;
    case SimFault::Body::PlanesArray:
        reply.body = R"({"planes":[]})";
        reply.contentType = "application/json";
        break;
    case SimFault::Body::ErrorObject:
        reply.body = R"({"response":"Simulated failure"})";
        reply.contentType = "application/json";
        break;
    case SimFault::Body::EmptyObject:
        reply.body = "{}";
        reply.contentType = "application/json";
        break;
    case SimFault::Body::EmptyArray:
        reply.body = "[]";
        reply.contentType = "application/json";
        break;
    case SimFault::Body::NullItems: {
        auto parsed = nlohmann::json::parse(reply.body, nullptr, false);
        if (!parsed.is_discarded()) {
            nullItems(parsed, false);
            reply.body = parsed.dump();
        }
        break;
    }
    }
}

// Replies of these types are compressed for a client that accepts it.
bool isCompressible(const std::string& contentType)
{
    return contentType.rfind("text/", 0) == 0 || contentType == "application/json" || contentType == "application/xml"
        || contentType == "application/javascript";
}

// The levels the replies are compressed at: the fastest, so that a full live-feed answer at the
// largest traffic (about 10 MB of JSON) is compressed in under a tenth of a second, to less than
// half its size. The server's own default, brotli's slowest level, spent some twenty seconds on
// it (and brotli's level 4 most of a second).
constexpr int kBrotliQuality = 1;
constexpr int kGzipLevel = 1;

std::optional<std::string> brotliCompressed(const std::string& body)
{
    std::string out(BrotliEncoderMaxCompressedSize(body.size()), '\0');
    size_t size = out.size();
    if (out.empty()
        || !BrotliEncoderCompress(kBrotliQuality, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_TEXT, body.size(),
            reinterpret_cast<const uint8_t*>(body.data()), &size, reinterpret_cast<uint8_t*>(out.data())))
        return std::nullopt;
    out.resize(size);
    return out;
}

std::optional<std::string> gzipCompressed(const std::string& body)
{
    z_stream stream {};
    // 31: a gzip wrapper around the deflate stream.
    if (deflateInit2(&stream, kGzipLevel, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    std::string out(deflateBound(&stream, body.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    stream.avail_in = static_cast<uInt>(body.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        return std::nullopt;
    return out;
}

// Compresses the reply for a client whose Accept-Encoding is `accepted`: brotli when it takes it,
// else gzip, else nothing.
void compressFor(const std::string& accepted, SimReply& reply)
{
    if (reply.body.empty() || !isCompressible(reply.contentType))
        return;
    bool brotli = accepted.find("br") != std::string::npos;
    if (!brotli && accepted.find("gzip") == std::string::npos)
        return;
    auto compressed = brotli ? brotliCompressed(reply.body) : gzipCompressed(reply.body);
    if (!compressed)
        return;
    reply.body = std::move(*compressed);
    reply.headers.emplace_back("Content-Encoding", brotli ? "br" : "gzip");
}

// Why 127.0.0.1:port cannot be bound, found by trying it once more.
std::string bindFailure(int port)
{
    std::string address = "127.0.0.1:" + std::to_string(port);
    int probe = socket(AF_INET, SOCK_STREAM, 0);
    if (probe < 0)
        return "cannot listen on " + address + ": " + std::strerror(errno);
    int yes = 1;
    setsockopt(probe, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in where {};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<uint16_t>(port));
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int result = bind(probe, reinterpret_cast<const sockaddr*>(&where), sizeof where);
    int reason = errno;
    close(probe);
    if (result == 0)
        return "cannot listen on " + address;
    if (reason == EADDRINUSE)
        return "port " + std::to_string(port) + " is already in use (is another servicesim running?); "
            + "stop it or choose another port with --port";
    return "cannot listen on " + address + ": " + std::strerror(reason);
}

} // namespace

double ServiceSimulator::Impl::now() const
{
    std::lock_guard lock(mutex);
    return time ? *time : Clock::wallTime();
}

void ServiceSimulator::Impl::route(const std::string& method, const std::string& pattern, Handler handler)
{
    auto serveIt = [this, handler = std::move(handler)](const httplib::Request& request, httplib::Response& response) {
        serve(request, response, handler);
    };
    if (method == "GET")
        server.Get(pattern, serveIt);
    else if (method == "POST")
        server.Post(pattern, serveIt);
    else if (method == "PUT")
        server.Put(pattern, serveIt);
    else if (method == "DELETE")
        server.Delete(pattern, serveIt);
}

void ServiceSimulator::Impl::serve(const httplib::Request& request, httplib::Response& response, const Handler& handler)
{
    SimRequest record;
    record.method = request.method;
    record.path = request.path;
    size_t question = request.target.find('?');
    if (question != std::string::npos)
        record.query = request.target.substr(question + 1);
    for (const auto& [name, value] : request.params)
        record.parameters.emplace(name, value);
    auto multipartType = request.headers.find(kMultipartTypeHeader);
    for (const auto& [name, value] : request.headers) {
        if (name == kMultipartTypeHeader)
            continue;
        if (name == kAcceptEncodingHeader) {
            record.headers.emplace("Accept-Encoding", value);
            continue;
        }
        // Multipart bodies arrive relabelled (see create()); record what the client sent.
        bool relabelled = multipartType != request.headers.end() && SimText::equalsIgnoringCase(name, "Content-Type");
        record.headers.emplace(name, relabelled ? multipartType->second : value);
    }
    record.body = request.body;
    if (multipartType != request.headers.end())
        record.parts = SimMultipart::parse(multipartType->second, request.body);

    std::optional<SimFault> fault;
    bool isControl = request.path.rfind("/_sim/", 0) == 0;
    if (!isControl) {
        std::lock_guard lock(mutex);
        for (auto& candidate : faults) {
            if (candidate.path == request.path && candidate.times != 0) {
                if (candidate.times > 0)
                    --candidate.times;
                fault = candidate;
                break;
            }
        }
    }

    SimReply reply;
    try {
        reply = handler(request);
    } catch (const std::exception& error) {
        reply = SimReply::error(500, std::string("Simulator error: ") + error.what());
    }

    if (fault) {
        if (fault->status)
            reply.status = fault->status;
        applyBody(reply, fault->body);
        if (fault->omitTimeHeader) {
            std::erase_if(reply.headers, [](const auto& header) { return header.first == "X-VX-S-TIME"; });
        }
        if (fault->delaySeconds > 0) {
            if (options.sleeper)
                options.sleeper(fault->delaySeconds);
            else
                std::this_thread::sleep_for(std::chrono::duration<double>(fault->delaySeconds));
        }
    }

    compressFor(request.get_header_value(kAcceptEncodingHeader), reply);
    response.status = reply.status;
    for (const auto& [name, value] : reply.headers)
        response.set_header(name, value);
    if (!reply.body.empty())
        response.set_content(reply.body, reply.contentType);
    else if (reply.status != 204 && reply.status != 304)
        response.set_header("Content-Length", "0");

    if (!isControl) {
        record.status = reply.status;
        std::lock_guard lock(mutex);
        // A long demo run keeps only the latest requests.
        constexpr size_t kKeptRequests = 10000;
        if (requests.size() >= kKeptRequests)
            requests.erase(requests.begin(), requests.begin() + kKeptRequests / 10);
        requests.push_back(std::move(record));
    }
}

ServiceSimulator::ServiceSimulator()
    : m_impl(std::make_unique<Impl>())
{
}

ServiceSimulator::~ServiceSimulator()
{
    stop();
}

std::unique_ptr<ServiceSimulator> ServiceSimulator::create(const Options& options, std::string* error)
{
    std::unique_ptr<ServiceSimulator> simulator(new ServiceSimulator);
    Impl& impl = *simulator->m_impl;
    impl.options = options;
    impl.time = options.fixedTime;
    std::string directory
        = options.dataDirectory.empty() ? std::string(VX_SOURCE_DIR "/resources/data") : options.dataDirectory;
    auto data = ReferenceData::load(directory, error);
    if (!data)
        return nullptr;
    impl.data = std::move(*data);
    impl.traffic
        = TrafficSimulation::create(impl.data, { options.seed, options.aircraft, options.seasonal, options.hotspot });
    if (!impl.traffic) {
        if (error)
            *error = "the reference data holds too few airports";
        return nullptr;
    }
    // Multipart bodies are read by our own forgiving parser: before the server reads a body,
    // its multipart content type is moved aside, so the body arrives whole in `body`.
    impl.server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
        // The accepted encodings are set aside too, so the server does not compress the replies
        // itself (at its slowest level): serve() compresses them.
        auto& headers = const_cast<httplib::Request&>(request).headers;
        for (auto encoding = headers.find("Accept-Encoding"); encoding != headers.end();
             encoding = headers.find("Accept-Encoding")) {
            std::string value = encoding->second;
            headers.erase(encoding);
            headers.emplace(kAcceptEncodingHeader, value);
        }
        auto type = request.headers.find("Content-Type");
        if (type != request.headers.end() && !SimMultipart::boundaryOf(type->second).empty()) {
            auto& mutableRequest = const_cast<httplib::Request&>(request);
            std::string original = type->second;
            mutableRequest.headers.erase(type);
            mutableRequest.headers.emplace(kMultipartTypeHeader, original);
            mutableRequest.headers.emplace("Content-Type", "application/octet-stream");
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    impl.addFlightDataRoutes();
    impl.addOtherServiceRoutes();
    impl.addHarborRoutes();
    impl.addControlRoutes();
    impl.server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty() && response.status == 404)
            response.set_content(R"({"response":"Not found"})", "application/json");
    });
    return simulator;
}

std::optional<int> ServiceSimulator::start(int port, std::string* error)
{
    Impl& impl = *m_impl;
    if (impl.thread.joinable())
        return impl.port;
    // Idle kept-alive connections close after a second, so stopping never waits long for them.
    impl.server.set_keep_alive_timeout(1);
    // The server's default lets any number of processes share a port (SO_REUSEPORT), and the
    // kernel then splits the requests between them: only the port's own waiting connections
    // may be reused.
    impl.server.set_socket_options([](int socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    int bound = port == 0 ? impl.server.bind_to_any_port("127.0.0.1")
                          : (impl.server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) {
        if (error)
            *error = bindFailure(port);
        return std::nullopt;
    }
    impl.port = bound;
    impl.thread = std::thread([&impl] { impl.server.listen_after_bind(); });
    return bound;
}

void ServiceSimulator::stop()
{
    Impl& impl = *m_impl;
    if (!impl.thread.joinable())
        return;
    impl.server.stop();
    impl.thread.join();
}

int ServiceSimulator::port() const
{
    return m_impl->port;
}

std::string ServiceSimulator::baseUrl() const
{
    return m_impl->baseUrl();
}

double ServiceSimulator::now() const
{
    return m_impl->now();
}

void ServiceSimulator::setTime(double secondsSince1970)
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->time = secondsSince1970;
}

void ServiceSimulator::advanceTime(double seconds)
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->time = (m_impl->time ? *m_impl->time : Clock::wallTime()) + seconds;
}

void ServiceSimulator::addFault(const SimFault& fault)
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->faults.push_back(fault);
}

void ServiceSimulator::clearFaults()
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->faults.clear();
}

std::vector<SimRequest> ServiceSimulator::requests() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->requests;
}

std::vector<SimRequest> ServiceSimulator::requestsForPath(const std::string& path) const
{
    std::lock_guard lock(m_impl->mutex);
    std::vector<SimRequest> matching;
    for (const auto& request : m_impl->requests) {
        if (request.path == path)
            matching.push_back(request);
    }
    return matching;
}

void ServiceSimulator::clearRequests()
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->requests.clear();
}

const TrafficSimulation& ServiceSimulator::traffic() const
{
    return *m_impl->traffic;
}

void ServiceSimulator::Impl::addControlRoutes()
{
    // POST /_sim/faults with one fault in its text form per line; DELETE clears them.
    route("POST", "/_sim/faults", [this](const httplib::Request& request) {
        std::vector<SimFault> parsed;
        size_t start = 0;
        while (start < request.body.size()) {
            size_t end = request.body.find('\n', start);
            std::string line = request.body.substr(start, end == std::string::npos ? std::string::npos : end - start);
            start = end == std::string::npos ? request.body.size() : end + 1;
            if (line.empty())
                continue;
            std::string error;
            auto fault = SimFault::parse(line, &error);
            if (!fault)
                return SimReply::error(400, error);
            parsed.push_back(*fault);
        }
        std::lock_guard lock(mutex);
        faults.insert(faults.end(), parsed.begin(), parsed.end());
        return SimReply::json({ { "faults", faults.size() } });
    });
    route("DELETE", "/_sim/faults", [this](const httplib::Request&) {
        std::lock_guard lock(mutex);
        faults.clear();
        return SimReply::json({ { "faults", 0 } });
    });
    // GET /_sim/requests[?path=P]: what was received, oldest first.
    route("GET", "/_sim/requests", [this](const httplib::Request& request) {
        std::string path = SimText::param(request, "path");
        auto list = nlohmann::json::array();
        std::lock_guard lock(mutex);
        for (const auto& r : requests) {
            if (!path.empty() && r.path != path)
                continue;
            nlohmann::json parts = nlohmann::json::array();
            for (const auto& part : r.parts)
                parts.push_back({ { "name", part.name }, { "filename", part.filename },
                    { "contentType", part.contentType }, { "size", part.content.size() } });
            nlohmann::json parameters = nlohmann::json::object();
            for (const auto& [name, value] : r.parameters)
                parameters[name] = value;
            list.push_back(
                { { "method", r.method }, { "path", r.path }, { "query", r.query }, { "parameters", parameters },
                    { "status", r.status }, { "bodySize", r.body.size() }, { "parts", parts } });
        }
        return SimReply::json(list);
    });
    route("DELETE", "/_sim/requests", [this](const httplib::Request&) {
        std::lock_guard lock(mutex);
        requests.clear();
        return SimReply::json(nlohmann::json::object());
    });
    // POST /_sim/feedback-reply with "token" and "text" adds a reply from the developer.
    route("POST", "/_sim/feedback-reply", [this](const httplib::Request& request) {
        auto thread = addFeedbackReply(SimText::param(request, "token"), SimText::param(request, "text"));
        return thread ? SimReply::json(*thread) : SimReply::error(404, "No such thread");
    });
    // POST /_sim/time with "t=SECONDS" fixes the service clock.
    route("POST", "/_sim/time", [this](const httplib::Request& request) {
        auto value = SimText::number(SimText::param(request, "t"));
        if (!value)
            return SimReply::error(400, "t must be seconds since 1970");
        std::lock_guard lock(mutex);
        time = *value;
        return SimReply::json({ { "time", *value } });
    });
}
