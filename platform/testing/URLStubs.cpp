#include "testing/URLStubs.h"

#include "foundation/Dispatch.h"
#include "net/NSStream.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "net/URLProtocolRegistry.h"

#include <strings.h>

std::optional<std::string> URLStubRecord::header(const std::string& name) const
{
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0)
            return value;
    }
    return std::nullopt;
}

namespace {

std::string urlWithoutFragment(const Ref<NSURLRequest>& request)
{
    if (!request || !request->URL())
        return "";
    std::string url = request->URL()->absoluteString();
    if (auto hash = url.find('#'); hash != std::string::npos)
        url.erase(hash);
    return url;
}

Value::Bytes readBody(const Ref<NSURLRequest>& request)
{
    if (request->HTTPBody().isData())
        return request->HTTPBody().bytes();
    Value::Bytes body;
    if (auto stream = request->HTTPBodyStream()) {
        if (stream->streamStatus() == NSStreamStatusNotOpen)
            stream->open();
        uint8_t buffer[4096];
        for (;;) {
            int64_t n = stream->read(buffer, sizeof(buffer));
            if (n <= 0)
                break;
            body.insert(body.end(), buffer, buffer + n);
        }
        stream->close();
    }
    return body;
}

} // namespace

bool URLStub::matches(const Ref<NSURLRequest>& request) const
{
    if (!m_spec.method.empty() && strcasecmp(m_spec.method.c_str(), request->HTTPMethod().c_str()) != 0)
        return false;
    std::string url = urlWithoutFragment(request);
    if (!m_spec.url.empty()) {
        if (m_spec.matchPrefix ? url.rfind(m_spec.url, 0) != 0 : url != m_spec.url)
            return false;
    }
    return !m_spec.matcher || m_spec.matcher(request);
}

void URLStub::record(URLStubRecord record)
{
    std::lock_guard lock(m_lock);
    m_requests.push_back(std::move(record));
}

std::vector<URLStubRecord> URLStub::requests() const
{
    std::lock_guard lock(m_lock);
    return m_requests;
}

size_t URLStub::requestCount() const
{
    std::lock_guard lock(m_lock);
    return m_requests.size();
}

class URLStubs::Handler final : public URLProtocolHandler {
public:
    bool canHandleRequest(const Ref<NSURLRequest>& request) override { return find(request) != nullptr; }

    void startLoading(const Ref<NSURLRequest>& request, const Ref<URLProtocolClient>& client) override
    {
        auto stub = find(request);
        if (!stub) {
            client->protocolDidFailWithError(makeURLError(NSURLErrorCannotConnectToHost, request->URL()));
            return;
        }
        URLStubRecord record { request->HTTPMethod(), urlWithoutFragment(request), request->headerList(),
            readBody(request) };
        stub->record(record);
        {
            std::lock_guard lock(m_lock);
            m_all.push_back(std::move(record));
        }
        auto queue = dispatch_queue_create("vx.testing.urlstub", DISPATCH_QUEUE_SERIAL);
        after(queue, stub->spec().delay, [stub, request, client, queue] { respond(stub, request, client, queue, 0); });
    }

    std::vector<URLStubRecord> all() const
    {
        std::lock_guard lock(m_lock);
        return m_all;
    }

    Ref<URLStub> add(URLStubSpec spec)
    {
        auto stub = std::make_shared<URLStub>(std::move(spec));
        std::lock_guard lock(m_lock);
        m_stubs.push_back(stub);
        return stub;
    }

private:
    static void after(const dispatch_queue_t& queue, double delay, std::function<void()> block)
    {
        if (delay <= 0)
            dispatch_async(queue, std::move(block));
        else
            dispatch_after(dispatch_time(DISPATCH_TIME_NOW, int64_t(delay * NSEC_PER_SEC)), queue, std::move(block));
    }

    // Sends the response (at offset 0), then the body from `offset` on, one chunk per step.
    static void respond(const Ref<URLStub>& stub, const Ref<NSURLRequest>& request,
        const Ref<URLProtocolClient>& client, const dispatch_queue_t& queue, size_t offset)
    {
        if (client->isCancelled())
            return;
        const auto& spec = stub->spec();
        if (offset == 0) {
            if (spec.errorCode && !spec.failAfterBytes) {
                client->protocolDidFailWithError(makeURLError(*spec.errorCode, request->URL()));
                return;
            }
            auto headers = spec.headers;
            bool hasLength = false;
            for (const auto& [name, value] : headers)
                hasLength = hasLength || strcasecmp(name.c_str(), "Content-Length") == 0;
            if (!hasLength && spec.chunkSize == 0)
                headers.emplace_back("Content-Length", std::to_string(spec.body.size()));
            client->protocolDidReceiveResponse(NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
                request->URL(), spec.statusCode, "HTTP/1.1", headers));
        }
        size_t limit = spec.failAfterBytes ? std::min(*spec.failAfterBytes, spec.body.size()) : spec.body.size();
        if (offset >= limit) {
            if (spec.failAfterBytes)
                client->protocolDidFailWithError(
                    makeURLError(spec.errorCode.value_or(NSURLErrorNetworkConnectionLost), request->URL()));
            else
                client->protocolDidFinishLoading();
            return;
        }
        size_t size = spec.chunkSize ? std::min(spec.chunkSize, limit - offset) : limit - offset;
        auto sendChunk = [stub, request, client, queue, offset, size] {
            if (client->isCancelled())
                return;
            const auto& body = stub->spec().body;
            client->protocolDidLoadData(Value::Bytes(body.begin() + long(offset), body.begin() + long(offset + size)));
            respond(stub, request, client, queue, offset + size);
        };
        // The first chunk follows the response at once; later ones wait chunkDelay each.
        after(queue, offset == 0 ? 0 : spec.chunkDelay, sendChunk);
    }

    Ref<URLStub> find(const Ref<NSURLRequest>& request) const
    {
        std::lock_guard lock(m_lock);
        for (auto it = m_stubs.rbegin(); it != m_stubs.rend(); ++it) {
            if ((*it)->matches(request))
                return *it;
        }
        return nullptr;
    }

    mutable std::mutex m_lock;
    std::vector<Ref<URLStub>> m_stubs;
    std::vector<URLStubRecord> m_all;
};

URLStubs::URLStubs()
    : m_handler(std::make_shared<Handler>())
    , m_token(URLProtocolRegistry::registerHandler(m_handler))
{
}

URLStubs::~URLStubs()
{
    URLProtocolRegistry::unregisterHandler(m_token);
}

Ref<URLStub> URLStubs::add(URLStubSpec spec)
{
    return m_handler->add(std::move(spec));
}

std::vector<URLStubRecord> URLStubs::allRequests() const
{
    return m_handler->all();
}
