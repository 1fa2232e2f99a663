#pragma once

#include "net/URLProtocolRegistry.h"
#include "security/SecurityForward.h"

#include <functional>

// The client of a network load (private to URL loading). Besides the protocol client's calls it
// is asked, on the transport's thread, whether to trust a TLS server before the request is sent
// on a new or reused connection, and told how much of the body went out.
class TransportClient : public URLProtocolClient {
public:
    // Answers through `reply` (any thread). Until then the transport waits; a load cancelled
    // meanwhile ends the wait.
    virtual void transportShouldTrustServer(const SecTrustRef& trust, const std::string& host, int32_t port,
        std::function<void(bool trusted, int32_t failureCode)> reply)
        = 0;
    virtual void transportDidSendBodyData(int64_t totalSent, int64_t totalExpected) = 0;
};

// Network loads over libcurl's multi interface, on one worker thread for the process. Each load
// counts as pending work for drainAll() from start until its last call to the client returns.
// Redirects are not followed (callers decide); bodies are decoded. While one load waits for its
// trust decision the worker waits with it (up to the load's timeout), so the other loads pause
// too. Any thread.
namespace CurlTransport {
void start(const Ref<NSURLRequest>& request, const Ref<TransportClient>& client);
// Wakes the worker so it notices cancelled loads at once.
void wake();
} // namespace CurlTransport
