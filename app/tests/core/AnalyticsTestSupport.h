#pragma once

#include "app/core/KESTAnalyticsManager.h"
#include "app/core/analytics/NSString+URLArgumentsAdditions.h"
#include "app/tests/AppTestSupport.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIPasteboard.h"

#include <map>
#include <string>
#include <vector>

// A fresh analytics client and request queue over a virtual clock, with the collector at a stubbed
// address and the shared pasteboards in a directory of their own. Main thread.
class AnalyticsTestScope {
public:
    static constexpr const char* kCollector = "http://collector.test";

    AnalyticsTestScope()
    {
        UIPasteboard::resetForTesting();
        UIPasteboard::setSharedRoot(m_pasteboards.root());
        KESTAnalyticsManager::resetSharedInstanceForTesting();
        KESTAnalyticsManager::setCollectorBaseURL(kCollector);
    }
    ~AnalyticsTestScope()
    {
        drainAll();
        KESTAnalyticsManager::resetSharedInstanceForTesting();
        KESTAnalyticsManager::setCollectorBaseURL({});
        UIPasteboard::setSharedRoot({});
        UIPasteboard::resetForTesting();
    }

    // Answers the collector with the status, or with a transport failure when `fail`.
    Ref<URLStub> stubCollector(int32_t status = 200, bool fail = false)
    {
        URLStubSpec spec;
        spec.url = std::string(kCollector) + "/i?";
        spec.matchPrefix = true;
        spec.statusCode = status;
        if (fail)
            spec.errorCode = -1004; // cannot connect
        return m_stubs.add(spec);
    }

    ScopedVirtualClock& clock() { return m_clock; }
    URLStubs& stubs() { return m_stubs; }

private:
    TemporarySandbox m_pasteboards;
    AppTestScope m_app;
    ScopedVirtualClock m_clock;
    URLStubs m_stubs;
};

// The decoded query of a collector request.
inline std::map<std::string, std::string> collectorQuery(const URLStubRecord& record)
{
    std::map<std::string, std::string> fields;
    std::string query = record.url.substr(record.url.find('?') + 1);
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos)
            end = query.size();
        std::string pair = query.substr(start, end - start);
        size_t eq = pair.find('=');
        if (eq != std::string::npos)
            fields[pair.substr(0, eq)]
                = NSString_URLArgumentsAdditions::gtm_stringByUnescapingFromURLArgument(pair.substr(eq + 1));
        start = end + 1;
    }
    return fields;
}

// A short name for each collector request: "begin", "update N", "end N" or "events <json>".
inline std::string describeCollectorRequest(const URLStubRecord& record)
{
    auto fields = collectorQuery(record);
    if (fields.count("begin_session"))
        return "begin";
    if (fields.count("end_session"))
        return "end " + fields["session_duration"];
    if (fields.count("session_duration"))
        return "update " + fields["session_duration"];
    if (fields.count("events"))
        return "events " + fields["events"];
    return "?";
}

inline std::vector<std::string> describeCollectorRequests(const std::vector<URLStubRecord>& records)
{
    std::vector<std::string> described;
    for (const auto& record : records)
        described.push_back(describeCollectorRequest(record));
    return described;
}
