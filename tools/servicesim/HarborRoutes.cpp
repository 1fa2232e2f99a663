// The crash, feedback and update service: integration ping, crash upload (the documents are
// kept for tests), the feedback thread and the version list with its install manifest.
#include "servicesim/ServiceSimulatorImpl.h"
#include "servicesim/SimMultipart.h"

#include <algorithm>
#include <mutex>

#include <libxml/parser.h>
#include <libxml/tree.h>

using nlohmann::json;
using SimText::param;

namespace {

bool isAppIdentifier(const std::string& text)
{
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
}

// The fields of a request as the service reads them: a multipart body read strictly (nullopt
// when it is broken), else the query and form parameters.
std::optional<std::vector<SimRequest::Part>> formOf(const httplib::Request& request)
{
    auto type = request.headers.find(kMultipartTypeHeader);
    if (type != request.headers.end())
        return SimMultipart::parseStrict(type->second, request.body);
    std::vector<SimRequest::Part> fields;
    for (const auto& [name, value] : request.params) {
        SimRequest::Part part;
        part.name = name;
        part.content = value;
        fields.push_back(std::move(part));
    }
    return fields;
}

// The first field of that name; "" when there is none.
std::string fieldOf(const std::vector<SimRequest::Part>& fields, const char* name)
{
    for (const auto& field : fields)
        if (field.name == name)
            return field.content;
    return "";
}

// A crash document the service can read: well-formed XML 1.0 in UTF-8 (no control characters,
// no broken sequences), with the root element "crashes". No network, no entity loading.
bool isCrashDocument(const std::string& xml)
{
    static std::once_flag s_initialised;
    std::call_once(s_initialised, [] { xmlInitParser(); });
    xmlDoc* document = xmlReadMemory(
        xml.data(), int(xml.size()), "crash.xml", "UTF-8", XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!document)
        return false;
    xmlNode* root = xmlDocGetRootElement(document);
    bool crashes = root && xmlStrcmp(root->name, BAD_CAST "crashes") == 0;
    xmlFreeDoc(document);
    return crashes;
}

} // namespace

void ServiceSimulator::Impl::appendFeedbackMessage(json& thread, const json& message)
{
    json entry = message;
    entry["id"] = nextFeedbackId++;
    thread["feedback"]["messages"].push_back(std::move(entry));
}

std::optional<json> ServiceSimulator::Impl::addFeedbackReply(const std::string& threadToken, const std::string& text)
{
    double time = now();
    std::lock_guard lock(mutex);
    auto thread = feedbackThreads.find(threadToken);
    if (thread == feedbackThreads.end())
        return std::nullopt;
    appendFeedbackMessage(thread->second,
        { { "text", text }, { "clean_text", text }, { "name", "Volantrix Support" }, { "email", "" },
            { "created_at", SimText::date(time, "%Y-%m-%dT%H:%M:%SZ") }, { "via", 2 }, { "token", "" } });
    return thread->second;
}

bool ServiceSimulator::addFeedbackReply(const std::string& threadToken, const std::string& text)
{
    return m_impl->addFeedbackReply(threadToken, text).has_value();
}

std::vector<std::string> ServiceSimulator::receivedCrashReports() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->crashReports;
}

void ServiceSimulator::Impl::addHarborRoutes()
{
    // Crash, feedback and update service. The application identifier is 32 lower-case hex digits.
    route("POST", R"(/api/3/apps/([^/]+)/integration)", [this](const httplib::Request& request) {
        std::string app = request.matches[1];
        if (!isAppIdentifier(app))
            return SimReply::error(400, "Unknown application");
        std::lock_guard lock(mutex);
        bool known = !integratedApps.insert(app).second;
        return SimReply::json({ { "status", known ? "known" : "created" } }, known ? 200 : 201);
    });
    route("POST", R"(/api/2/apps/([^/]+)/crashes)", [this](const httplib::Request& request) {
        if (!isAppIdentifier(request.matches[1]))
            return SimReply::error(400, "Unknown application");
        auto form = formOf(request);
        if (!form)
            return SimReply::error(400, "The multipart body cannot be read");
        std::string xml = fieldOf(*form, "xml");
        if (xml.empty())
            return SimReply::error(422, "The crash report is missing");
        if (!isCrashDocument(xml))
            return SimReply::error(400, "The crash report is not a well-formed crashes document");
        {
            std::lock_guard lock(mutex);
            crashReports.push_back(xml);
        }
        SimReply reply;
        reply.status = 201;
        reply.contentType = "text/xml";
        reply.body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><result>ok</result>";
        return reply;
    });
    auto feedback = [this](const httplib::Request& request) {
        std::string app = request.matches[1];
        std::string token = request.matches.size() > 2 ? std::string(request.matches[2]) : "";
        if (!isAppIdentifier(app))
            return SimReply::error(400, "Unknown application");
        double time = now(); // before taking the lock, which now() takes too
        std::lock_guard lock(mutex);
        auto thread = token.empty() ? feedbackThreads.end() : feedbackThreads.find(token);
        if (request.method == "GET") {
            if (thread == feedbackThreads.end())
                return SimReply::error(404, "No such thread");
            return SimReply::json(thread->second);
        }
        if (request.method == "PUT" && thread == feedbackThreads.end())
            return SimReply::error(404, "No such thread");
        if (request.method == "POST" && !token.empty())
            return SimReply::error(409, "The thread exists");
        auto form = formOf(request);
        if (!form)
            return SimReply::error(400, "The multipart body cannot be read");
        auto field = [&](const char* name) { return fieldOf(*form, name); };
        if (field("text").empty())
            return SimReply::error(422, "A message needs text");
        // A message the service already holds (a device resending after a lost reply) is not
        // added again: the answer is the thread that holds it, which confirms it to the sender.
        if (std::string messageToken = field("message_token"); !messageToken.empty()) {
            auto holds = [&](const json& candidate) {
                for (const auto& message : candidate["feedback"]["messages"])
                    if (message.value("token", "") == messageToken)
                        return true;
                return false;
            };
            if (thread != feedbackThreads.end()) {
                if (holds(thread->second))
                    return SimReply::json(thread->second);
            } else {
                for (const auto& [threadToken, candidate] : feedbackThreads)
                    if (holds(candidate))
                        return SimReply::json(candidate);
            }
        }
        bool opened = thread == feedbackThreads.end();
        if (opened) {
            int id = nextFeedbackId++;
            char made[33];
            std::snprintf(made, sizeof made, "%032x", id * 2654435761u);
            token = made;
            thread = feedbackThreads
                         .emplace(token,
                             json { { "status", "success" }, { "token", token },
                                 { "feedback",
                                     { { "id", id }, { "name", field("name") }, { "email", field("email") },
                                         { "messages", json::array() } } } })
                         .first;
        }
        appendFeedbackMessage(thread->second,
            { { "text", field("text") }, { "clean_text", field("text") }, { "name", field("name") },
                { "email", field("email") }, { "created_at", SimText::date(time, "%Y-%m-%dT%H:%M:%SZ") }, { "via", 1 },
                { "token", field("message_token") } });
        // The automatic answer goes out at once, so it carries the message's own time: a later
        // stamp would read ahead of the device's clock when the thread is fetched.
        if (opened && !options.feedbackAutoReply.empty())
            appendFeedbackMessage(thread->second,
                { { "text", options.feedbackAutoReply }, { "clean_text", options.feedbackAutoReply },
                    { "name", "Volantrix Support" }, { "email", "" },
                    { "created_at", SimText::date(time, "%Y-%m-%dT%H:%M:%SZ") }, { "via", 2 }, { "token", "" } });
        return SimReply::json(thread->second, request.method == "POST" ? 201 : 200);
    };
    for (const char* method : { "GET", "POST", "PUT" }) {
        route(method, R"(/api/2/apps/([^/]+)/feedback/([0-9a-f]+))", feedback);
        route(method, R"(/api/2/apps/([^/]+)/feedback)", feedback);
    }
    route("GET", R"(/api/2/apps/([^/]+))", [this](const httplib::Request& request) {
        std::string app = request.matches[1];
        if (!isAppIdentifier(app))
            return SimReply::error(404, "Unknown application");
        std::string format = param(request, "format");
        if (format == "plist") {
            SimReply reply;
            reply.contentType = "application/xml";
            reply.body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist "
                         "version=\"1.0\"><dict><key>items</key><array><dict>"
                         "<key>metadata</key><dict><key>bundle-identifier</key><string>com.kestravon.volantrix</string>"
                         "<key>bundle-version</key><string>7.1.0</string><key>kind</key><string>software</string>"
                         "<key>title</key><string>Volantrix</string></dict></dict></array></dict></plist>\n";
            return reply;
        }
        if (format != "json")
            return SimReply::error(400, "format must be json or plist");
        double time = now();
        json uuids = json::object();
        for (const auto& [architecture, uuid] : options.versionUuids)
            uuids[architecture] = uuid;
        json versions = json::array({
            { { "version", "7.1.0" }, { "shortversion", "7.1" }, { "title", "Volantrix" },
                { "timestamp", static_cast<int64_t>(time - 86400) }, { "appsize", 31457280 },
                { "notes", "<p>Faster map drawing.</p>" }, { "mandatory", false }, { "external", false },
                { "device_family", "iPad" }, { "minimum_os_version", "7.0" }, { "status", 2 }, { "id", 2 },
                { "uuids", uuids } },
            { { "version", "7.0.0" }, { "shortversion", "7.0" }, { "title", "Volantrix" },
                { "timestamp", static_cast<int64_t>(time - 30 * 86400) }, { "appsize", 30408704 },
                { "notes", "<p>Designed for iOS 7.</p>" }, { "mandatory", false }, { "external", false },
                { "device_family", "iPad" }, { "minimum_os_version", "7.0" }, { "status", 2 }, { "id", 1 },
                { "uuids", json::object() } },
        });
        return SimReply::json({ { "versions", versions }, { "company", "Kestravon" }, { "tracker", nullptr } });
    });

    // The crash documents received so far, for tests driving the service over HTTP.
    route("GET", "/_sim/harbor/crashes", [this](const httplib::Request&) {
        std::lock_guard lock(mutex);
        return SimReply::json({ { "crashes", crashReports } });
    });
}
