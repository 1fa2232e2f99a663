#pragma once

#include <optional>
#include <string>
#include <vector>

// One misbehaviour of the simulated services, applied to requests whose path (without the query)
// equals `path`, so that clients' error paths can be exercised.
struct SimFault {
    enum class Body {
        Normal, // the regular answer
        Empty, // no body at all
        Truncated, // the first half of the regular answer
        Malformed, // text that is not JSON
        PlanesArray, // {"planes": []}, the plane list of the wrong kind
        ErrorObject, // {"response": "Simulated failure"}
        EmptyObject, // {}
        EmptyArray, // []
        NullItems, // the regular JSON answer with every item of every array null (objects keep their keys)
    };

    std::string path; // such as "/APPAPIv2/planeUpdate.php"
    int status = 0; // 0 keeps the regular status
    double delaySeconds = 0;
    Body body = Body::Normal;
    bool omitTimeHeader = false;
    int times = -1; // requests it still applies to; -1 for every request

    // Parses "PATH[:key=value,...]" with the keys status, delay, body (normal, empty, truncated,
    // malformed, planes-array, error-object, empty-object, empty-array, null-items), times, and
    // the flag no-time-header. Returns nullopt with a message for anything else.
    static std::optional<SimFault> parse(const std::string& text, std::string* error = nullptr);
    static std::optional<Body> bodyFromName(const std::string& name);
    // Every body name parse takes, in declaration order.
    static std::vector<std::string> bodyNames();
};
