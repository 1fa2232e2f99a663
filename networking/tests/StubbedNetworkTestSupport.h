#pragma once

#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"

#include <gtest/gtest.h>

#include <string>

// Helpers for tests that load from stubbed URLs through the networking classes.

inline Ref<NSURLRequest> requestFor(const std::string& url)
{
    return NSURLRequest::requestWithURL(NSURL::URLWithString(url));
}

inline URLStubSpec stubSpec(
    std::string url, int32_t status, std::string body, NSHTTPURLResponse::HeaderList headers = {})
{
    URLStubSpec spec;
    spec.url = std::move(url);
    spec.statusCode = status;
    spec.body = std::move(body);
    spec.headers = std::move(headers);
    return spec;
}

// A JSON answer for every URL that starts with `prefix`.
inline URLStubSpec jsonStub(std::string prefix, std::string body, int32_t status = 200)
{
    URLStubSpec spec;
    spec.url = std::move(prefix);
    spec.matchPrefix = true;
    spec.statusCode = status;
    spec.headers = { { "Content-Type", "application/json" } };
    spec.body = std::move(body);
    return spec;
}

// The body a stub received, as text.
inline std::string bodyText(const URLStubRecord& record)
{
    return std::string(record.body.begin(), record.body.end());
}

// Every reachability target answers reachable, so the managers see a network.
inline void makeEveryHostReachable()
{
    SCNetworkReachability::setFlagsSourceForTesting(
        [](const SCNetworkReachability::Target&) { return kSCNetworkReachabilityFlagsReachable; });
}

// Gives the machine's reachability back and drops the shared manager made under the fake one.
inline void restoreReachability()
{
    SCNetworkReachability::setFlagsSourceForTesting(nullptr);
    VNNetworkReachabilityManager::resetSharedManagerForTesting();
}

// Every host is reachable during the test; afterwards the queues are drained and reachability and
// the test hooks are reset.
class ReachableNetworkTest : public ::testing::Test {
protected:
    void SetUp() override { makeEveryHostReachable(); }
    void TearDown() override
    {
        drainAll();
        restoreReachability();
        resetForTesting();
    }
};
