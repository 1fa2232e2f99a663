#pragma once

#include "foundation/Value.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NetForward.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// What a stub saw of one request.
struct URLStubRecord {
    std::string method;
    std::string url;
    NSHTTPURLResponse::HeaderList headers;
    Value::Bytes body;
    std::optional<std::string> header(const std::string& name) const;
};

// How a stub matches and answers. Delays are on the process clock (a virtual clock moves them).
struct URLStubSpec {
    std::string method; // "" matches any method
    std::string url; // the absolute URL without fragment; "" matches any
    bool matchPrefix { false }; // url is a prefix rather than the whole URL
    std::function<bool(const Ref<NSURLRequest>&)> matcher; // further condition, optional
    int32_t statusCode { 200 };
    NSHTTPURLResponse::HeaderList headers; // "Content-Length" is added for unchunked bodies
    std::string body;
    size_t chunkSize { 0 }; // 0: the body in one piece
    double delay { 0 }; // before the response
    double chunkDelay { 0 }; // before each chunk
    std::optional<int32_t> errorCode; // an NSURLErrorDomain error instead of (or, with
                                      // failAfterBytes, in the middle of) the answer
    std::optional<size_t> failAfterBytes;
};

// A registered stub; it records every request it answers.
class URLStub {
public:
    explicit URLStub(URLStubSpec spec)
        : m_spec(std::move(spec))
    {
    }
    const URLStubSpec& spec() const { return m_spec; }
    bool matches(const Ref<NSURLRequest>& request) const;
    void record(URLStubRecord record);
    std::vector<URLStubRecord> requests() const;
    size_t requestCount() const;

private:
    URLStubSpec m_spec;
    mutable std::mutex m_lock;
    std::vector<URLStubRecord> m_requests;
};

// A scope in which stubs answer URL loads of sessions and connections. Later stubs win; a
// request no stub matches goes to the network. Destroying the scope removes its stubs.
// Any thread.
class URLStubs {
public:
    URLStubs();
    ~URLStubs();
    URLStubs(const URLStubs&) = delete;
    URLStubs& operator=(const URLStubs&) = delete;

    Ref<URLStub> add(URLStubSpec spec);
    // Every request answered by any stub of this scope, in order.
    std::vector<URLStubRecord> allRequests() const;

    class Handler;

private:
    Ref<Handler> m_handler;
    int m_token;
};
