#include "servicesim/SimFault.h"

#include <cstdlib>

namespace {

struct BodyName {
    const char* name;
    SimFault::Body body;
};
const BodyName kBodies[] = {
    { "normal", SimFault::Body::Normal },
    { "empty", SimFault::Body::Empty },
    { "truncated", SimFault::Body::Truncated },
    { "malformed", SimFault::Body::Malformed },
    { "planes-array", SimFault::Body::PlanesArray },
    { "error-object", SimFault::Body::ErrorObject },
    { "empty-object", SimFault::Body::EmptyObject },
    { "empty-array", SimFault::Body::EmptyArray },
    { "null-items", SimFault::Body::NullItems },
};

std::optional<double> number(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (*end != '\0')
        return std::nullopt;
    return value;
}

} // namespace

std::optional<SimFault::Body> SimFault::bodyFromName(const std::string& name)
{
    for (const auto& entry : kBodies) {
        if (name == entry.name)
            return entry.body;
    }
    return std::nullopt;
}

std::vector<std::string> SimFault::bodyNames()
{
    std::vector<std::string> names;
    for (const auto& entry : kBodies)
        names.emplace_back(entry.name);
    return names;
}

std::optional<SimFault> SimFault::parse(const std::string& text, std::string* error)
{
    auto fail = [&](const std::string& message) -> std::optional<SimFault> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    SimFault fault;
    size_t colon = text.find(':');
    fault.path = text.substr(0, colon);
    if (fault.path.empty() || fault.path[0] != '/')
        return fail("a fault's path must start with \"/\": " + text);
    if (colon == std::string::npos)
        return fault;

    std::string rest = text.substr(colon + 1);
    size_t start = 0;
    while (start <= rest.size()) {
        size_t comma = rest.find(',', start);
        std::string item = rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? rest.size() + 1 : comma + 1;
        if (item.empty())
            continue;
        size_t equals = item.find('=');
        std::string key = item.substr(0, equals);
        std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
        if (key == "no-time-header" && equals == std::string::npos) {
            fault.omitTimeHeader = true;
        } else if (key == "status") {
            auto status = number(value);
            if (!status || *status < 100 || *status > 599 || *status != static_cast<int>(*status))
                return fail("bad status: " + value);
            fault.status = static_cast<int>(*status);
        } else if (key == "delay") {
            auto delay = number(value);
            if (!delay || *delay < 0 || *delay > 600)
                return fail("bad delay: " + value);
            fault.delaySeconds = *delay;
        } else if (key == "times") {
            auto times = number(value);
            if (!times || *times < 1 || *times != static_cast<int>(*times))
                return fail("bad times: " + value);
            fault.times = static_cast<int>(*times);
        } else if (key == "body") {
            auto body = bodyFromName(value);
            if (!body)
                return fail("unknown body: " + value);
            fault.body = *body;
        } else {
            return fail("unknown fault setting: " + item);
        }
    }
    return fault;
}
