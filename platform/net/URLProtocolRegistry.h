#pragma once

#include "foundation/Value.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NetForward.h"

#include <functional>

// Receives what a protocol handler produces for one load: a response, body bytes, then either
// finish or fail. Calls may come from any thread but must not overlap; after finish or fail
// nothing more is accepted. isCancelled turns true when the load is cancelled, so a handler can
// stop early.
class URLProtocolClient {
public:
    virtual ~URLProtocolClient() = default;
    virtual void protocolDidReceiveResponse(const Ref<NSHTTPURLResponse>& response) = 0;
    virtual void protocolDidLoadData(Value::Bytes bytes) = 0;
    virtual void protocolDidFinishLoading() = 0;
    virtual void protocolDidFailWithError(const Ref<NSError>& error) = 0;
    virtual bool isCancelled() const = 0;
};

// Something that answers requests in place of the network (test stubs). Sessions and
// connections consult the registry before the network, for every request and every redirect.
class URLProtocolHandler {
public:
    virtual ~URLProtocolHandler() = default;
    virtual bool canHandleRequest(const Ref<NSURLRequest>& request) = 0;
    // Starts answering; must return at once and deliver to the client later (on any thread).
    virtual void startLoading(const Ref<NSURLRequest>& request, const Ref<URLProtocolClient>& client) = 0;
};

// The registry. Handlers registered later are asked first. Any thread.
namespace URLProtocolRegistry {
int registerHandler(Ref<URLProtocolHandler> handler);
void unregisterHandler(int token);
Ref<URLProtocolHandler> handlerForRequest(const Ref<NSURLRequest>& request);
void removeAllForTesting();
} // namespace URLProtocolRegistry
