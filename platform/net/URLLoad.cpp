#include "net/URLLoad.h"

#include "foundation/Clock.h"
#include "foundation/Dispatch.h"
#include "foundation/NSError.h"
#include "net/CurlTransport.h"
#include "net/NSCachedURLResponse.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLCache.h"
#include "net/NSURLCredential.h"
#include "net/NSURLError.h"
#include "net/NSURLProtectionSpace.h"
#include "net/NSURLRequest.h"
#include "net/URLProtocolRegistry.h"
#include "net/UTType.h"
#include "security/SecTrust.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <strings.h>
#include <sys/stat.h>

namespace {

constexpr int s_maxRedirects = 16;
// Bodies above this size are not kept for the cache.
constexpr size_t s_maxCachedBody = 4 * 1024 * 1024;

std::string lower(std::string s)
{
    for (auto& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isRedirect(int32_t status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::string base64(const std::string& text)
{
    static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < text.size(); i += 3) {
        uint32_t n = (uint8_t(text[i]) << 16) | (uint8_t(text[i + 1]) << 8) | uint8_t(text[i + 2]);
        out += table[n >> 18];
        out += table[(n >> 12) & 63];
        out += table[(n >> 6) & 63];
        out += table[n & 63];
    }
    if (i + 1 == text.size()) {
        uint32_t n = uint8_t(text[i]) << 16;
        out += table[n >> 18];
        out += table[(n >> 12) & 63];
        out += "==";
    } else if (i + 2 == text.size()) {
        uint32_t n = (uint8_t(text[i]) << 16) | (uint8_t(text[i + 1]) << 8);
        out += table[n >> 18];
        out += table[(n >> 12) & 63];
        out += table[(n >> 6) & 63];
        out += "=";
    }
    return out;
}

} // namespace

void URLLoadDelegate::loadWillPerformRedirect(
    const Ref<NSHTTPURLResponse>&, const Ref<NSURLRequest>& proposed, std::function<void(Ref<NSURLRequest>)> reply)
{
    reply(proposed);
}

void URLLoadDelegate::loadDidReceiveChallenge(const Ref<NSURLAuthenticationChallenge>& challenge)
{
    challenge->answer(NSURLSessionAuthChallengePerformDefaultHandling, nullptr);
}

void URLLoadDelegate::loadWillCacheResponse(
    const Ref<NSCachedURLResponse>& proposed, std::function<void(Ref<NSCachedURLResponse>)> reply)
{
    reply(proposed);
}

// The client handed to the network or to a protocol handler for one attempt (the first
// request, or one after a redirect or a challenge).
class URLLoad::Attempt final : public TransportClient {
public:
    Attempt(Weak<URLLoad> load, uint64_t id)
        : m_load(std::move(load))
        , m_id(id)
    {
    }

    void protocolDidReceiveResponse(const Ref<NSHTTPURLResponse>& response) override
    {
        if (auto load = m_load.lock())
            load->attemptDidReceiveResponse(m_id, response);
    }
    void protocolDidLoadData(Value::Bytes bytes) override
    {
        if (auto load = m_load.lock())
            load->attemptDidLoadData(m_id, std::move(bytes));
    }
    void protocolDidFinishLoading() override
    {
        if (auto load = m_load.lock())
            load->attemptDidFinish(m_id, nullptr);
    }
    void protocolDidFailWithError(const Ref<NSError>& error) override
    {
        if (auto load = m_load.lock())
            load->attemptDidFinish(m_id, error ? error : makeURLError(NSURLErrorUnknown, nullptr));
    }
    bool isCancelled() const override
    {
        auto load = m_load.lock();
        return !load || !load->isCurrent(m_id);
    }
    void transportShouldTrustServer(const SecTrustRef& trust, const std::string& host, int32_t port,
        std::function<void(bool, int32_t)> reply) override
    {
        if (auto load = m_load.lock())
            load->attemptShouldTrustServer(m_id, trust, host, port, std::move(reply));
        else
            reply(false, NSURLErrorCancelled);
    }
    void transportDidSendBodyData(int64_t totalSent, int64_t totalExpected) override
    {
        if (auto load = m_load.lock())
            load->attemptDidSendBodyData(m_id, totalSent, totalExpected);
    }

private:
    Weak<URLLoad> m_load;
    uint64_t m_id;
};

Ref<URLLoad> URLLoad::create(const Ref<NSURLRequest>& request, const Ref<URLLoadDelegate>& delegate, Executor executor)
{
    Ref<URLLoad> load(new URLLoad);
    load->m_original = request;
    load->m_current = request;
    load->m_delegate = delegate;
    load->m_executor = std::move(executor);
    return load;
}

URLLoad::~URLLoad() = default;

Ref<NSURLRequest> URLLoad::currentRequest() const
{
    std::lock_guard lock(m_lock);
    return m_current;
}

void URLLoad::post(std::function<void()> event)
{
    {
        std::lock_guard lock(m_lock);
        m_events.push_back(std::move(event));
    }
    m_executor([self = shared_from_this()] { self->runNext(); });
}

void URLLoad::runNext()
{
    std::lock_guard running(m_runLock); // recursive: an executor may run inline
    std::function<void()> event;
    {
        std::lock_guard lock(m_lock);
        if (m_events.empty())
            return;
        event = std::move(m_events.front());
        m_events.pop_front();
    }
    event();
}

void URLLoad::finish(const Ref<NSError>& error)
{
    if (m_finishPosted.exchange(true))
        return;
    post([self = shared_from_this(), error] {
        if (self->m_finished.exchange(true))
            return;
        auto delegate = std::move(self->m_delegate);
        if (delegate)
            delegate->loadDidFinish(error);
    });
}

void URLLoad::finishWithError(int32_t code)
{
    finish(makeURLError(code, currentRequest() ? currentRequest()->URL() : nullptr));
}

void URLLoad::cancel()
{
    if (m_finishPosted.exchange(true))
        return;
    m_cancelled = true;
    CurlTransport::wake();
    post([self = shared_from_this()] {
        if (self->m_finished.exchange(true))
            return;
        auto delegate = std::move(self->m_delegate);
        auto request = self->currentRequest();
        if (delegate)
            delegate->loadDidFinish(makeURLError(NSURLErrorCancelled, request ? request->URL() : nullptr));
    });
}

void URLLoad::start()
{
    if (m_resourceTimeout > 0 && std::isfinite(m_resourceTimeout))
        scheduleResourceTimeout(Clock::mediaTime() + m_resourceTimeout);
    auto request = m_current;
    auto url = request ? request->URL() : nullptr;
    if (!url)
        return finishWithError(NSURLErrorBadURL);
    std::string scheme = lower(url->scheme());
    if (scheme == "file")
        return loadFile(request);

    // The cache may answer a GET without the network.
    auto cache = NSURLCache::sharedURLCache();
    auto policy = request->cachePolicy();
    if (cache && request->HTTPMethod() == "GET" && policy != NSURLRequestReloadIgnoringLocalCacheData
        && policy != NSURLRequestReloadIgnoringLocalAndRemoteCacheData
        && policy != NSURLRequestReloadRevalidatingCacheData) {
        auto cached = cache->cachedResponseForRequest(request);
        bool usable = cached && (policy != NSURLRequestUseProtocolCachePolicy || NSURLCache::isFresh(cached));
        if (usable) {
            deliverFinal(cached->response(), cached->data().bytes(), true);
            return;
        }
        if (policy == NSURLRequestReturnCacheDataDontLoad)
            return finishWithError(NSURLErrorResourceUnavailable);
        // A stale entry with a validator is revalidated: a 304 answer serves the cached body.
        auto http = cached ? std::dynamic_pointer_cast<NSHTTPURLResponse>(cached->response()) : nullptr;
        if (http && !request->valueForHTTPHeaderField("If-None-Match")
            && !request->valueForHTTPHeaderField("If-Modified-Since")) {
            auto etag = http->headerValue("ETag");
            auto modified = http->headerValue("Last-Modified");
            if (etag || modified) {
                auto conditional = request->mutableCopy();
                if (etag)
                    conditional->setValueForHTTPHeaderField(*etag, "If-None-Match");
                if (modified)
                    conditional->setValueForHTTPHeaderField(*modified, "If-Modified-Since");
                m_revalidating = cached;
                request = conditional;
            }
        }
    }
    startAttempt(request);
}

void URLLoad::startAttempt(const Ref<NSURLRequest>& request)
{
    uint64_t id;
    {
        std::lock_guard lock(m_lock);
        m_current = request;
        id = ++m_attempt;
        m_hold = Hold::None;
        m_heldResponse = nullptr;
        m_body.clear();
        m_cacheable = false;
        m_lastActivity = Clock::mediaTime();
    }
    auto attempt = std::make_shared<Attempt>(weak_from_this(), id);
    if (auto handler = URLProtocolRegistry::handlerForRequest(request)) {
        scheduleTimeout(id);
        handler->startLoading(request, attempt);
        return;
    }
    auto url = request->URL();
    std::string scheme = lower(url->scheme());
    if (scheme != "http" && scheme != "https") {
        ++m_attempt;
        return finishWithError(NSURLErrorUnsupportedURL);
    }
    if (!url->hasHost()) {
        ++m_attempt;
        return finishWithError(NSURLErrorBadURL);
    }
    CurlTransport::start(request, attempt);
}

void URLLoad::noteActivity()
{
    m_lastActivity = Clock::mediaTime();
}

void URLLoad::scheduleTimeout(uint64_t attempt)
{
    double timeout;
    double due;
    {
        std::lock_guard lock(m_lock);
        timeout = m_current && m_current->timeoutInterval() > 0 ? m_current->timeoutInterval() : 60;
        due = m_lastActivity + timeout;
    }
    double delay = std::max(0.0, due - Clock::mediaTime());
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, int64_t(delay * NSEC_PER_SEC)),
        dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [weak = weak_from_this(), attempt, timeout] {
            auto self = weak.lock();
            if (!self)
                return;
            bool timedOut = false;
            {
                std::lock_guard lock(self->m_lock);
                if (!self->isCurrent(attempt))
                    return;
                if (Clock::mediaTime() - self->m_lastActivity >= timeout - 1e-6) {
                    ++self->m_attempt; // the handler's later calls are ignored
                    timedOut = true;
                }
            }
            if (timedOut)
                self->finishWithError(NSURLErrorTimedOut);
            else
                self->scheduleTimeout(attempt);
        });
}

void URLLoad::scheduleResourceTimeout(double deadline)
{
    // Checked at most a minute apart, so a finished load's check goes away soon even when the
    // limit is days away.
    double delay = std::clamp(deadline - Clock::mediaTime(), 0.0, 60.0);
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, int64_t(delay * NSEC_PER_SEC)),
        dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [weak = weak_from_this(), deadline] {
            auto self = weak.lock();
            if (!self)
                return;
            {
                std::lock_guard lock(self->m_lock);
                if (self->m_cancelled || self->m_finished || self->m_finishPosted)
                    return;
                if (Clock::mediaTime() < deadline - 1e-6) {
                    self->scheduleResourceTimeout(deadline);
                    return;
                }
                ++self->m_attempt; // the transfer in flight stops and its later calls are ignored
            }
            CurlTransport::wake();
            self->finishWithError(NSURLErrorTimedOut);
        });
}

void URLLoad::attemptDidReceiveResponse(uint64_t attempt, const Ref<NSHTTPURLResponse>& response)
{
    std::unique_lock lock(m_lock);
    if (!isCurrent(attempt) || m_hold != Hold::None || m_responseDelivered)
        return;
    noteActivity();
    m_body.clear();
    int32_t status = response->statusCode();
    if (isRedirect(status) && response->headerValue("Location")) {
        m_hold = Hold::Redirect;
        m_heldResponse = response;
        return;
    }
    if (status == 304 && m_revalidating) {
        m_hold = Hold::Cache;
        m_heldResponse = response;
        return;
    }
    auto challenge = lower(response->headerValue("WWW-Authenticate").value_or(""));
    if (status == 401 && challenge.rfind("basic", 0) == 0) {
        m_hold = Hold::Authenticate;
        m_heldResponse = response;
        return;
    }
    m_cacheable = m_current->HTTPMethod() == "GET" && NSURLCache::isStorable(response)
        && m_current->cachePolicy() != NSURLRequestReloadIgnoringLocalAndRemoteCacheData;
    m_responseDelivered = true;
    m_heldResponse = response;
    lock.unlock();
    post([self = shared_from_this(), response] {
        if (self->m_cancelled || !self->m_delegate)
            return;
        self->m_delegate->loadDidReceiveResponse(response);
    });
}

void URLLoad::attemptDidLoadData(uint64_t attempt, Value::Bytes bytes)
{
    std::unique_lock lock(m_lock);
    if (!isCurrent(attempt) || bytes.empty())
        return;
    noteActivity();
    if (m_hold != Hold::None) {
        m_body.insert(m_body.end(), bytes.begin(), bytes.end());
        return;
    }
    if (!m_responseDelivered)
        return;
    if (m_cacheable) {
        if (m_body.size() + bytes.size() > s_maxCachedBody) {
            m_cacheable = false;
            m_body.clear();
        } else {
            m_body.insert(m_body.end(), bytes.begin(), bytes.end());
        }
    }
    lock.unlock();
    post([self = shared_from_this(), data = Value::data(std::move(bytes))] {
        if (self->m_cancelled || !self->m_delegate)
            return;
        self->m_delegate->loadDidReceiveData(data);
    });
}

void URLLoad::attemptDidSendBodyData(uint64_t attempt, int64_t totalSent, int64_t expected)
{
    std::unique_lock lock(m_lock);
    if (!isCurrent(attempt))
        return;
    noteActivity();
    lock.unlock();
    post([self = shared_from_this(), totalSent, expected] {
        if (self->m_cancelled || !self->m_delegate)
            return;
        self->m_delegate->loadDidSendBodyData(totalSent - self->m_sentReported, totalSent, expected);
        self->m_sentReported = totalSent;
    });
}

void URLLoad::attemptShouldTrustServer(uint64_t attempt, const SecTrustRef& trust, const std::string& host,
    int32_t port, std::function<void(bool, int32_t)> reply)
{
    if (!isCurrent(attempt))
        return reply(false, NSURLErrorCancelled);
    auto space = NSURLProtectionSpace::initWithHostPortProtocolRealmAuthenticationMethod(
        host, port, "https", std::nullopt, NSURLAuthenticationMethodServerTrust, trust);
    auto shared = std::make_shared<std::function<void(bool, int32_t)>>(std::move(reply));
    auto challenge = NSURLAuthenticationChallenge::make(space, 0, nullptr,
        [trust, shared](NSURLSessionAuthChallengeDisposition disposition, Ref<NSURLCredential> credential) {
            auto& reply = *shared;
            if (disposition == NSURLSessionAuthChallengeCancelAuthenticationChallenge)
                return reply(false, NSURLErrorCancelled);
            if (disposition == NSURLSessionAuthChallengeUseCredential && credential && credential->serverTrust())
                return reply(true, 0);
            SecTrustResultType result = kSecTrustResultInvalid;
            SecTrustEvaluate(trust, &result);
            if (result == kSecTrustResultProceed || result == kSecTrustResultUnspecified)
                return reply(true, 0);
            reply(false, NSURLErrorServerCertificateUntrusted);
        });
    post([self = shared_from_this(), challenge] {
        if (self->m_cancelled || !self->m_delegate) {
            challenge->answer(NSURLSessionAuthChallengeCancelAuthenticationChallenge, nullptr);
            return;
        }
        self->m_delegate->loadDidReceiveChallenge(challenge);
    });
}

void URLLoad::attemptDidFinish(uint64_t attempt, const Ref<NSError>& error)
{
    std::unique_lock lock(m_lock);
    if (!isCurrent(attempt))
        return;
    ++m_attempt; // nothing more from this attempt
    if (error) {
        lock.unlock();
        return finish(error);
    }
    auto hold = m_hold;
    auto response = m_heldResponse;
    auto body = m_body;
    auto request = m_current;
    bool cacheable = m_cacheable;
    bool delivered = m_responseDelivered;
    lock.unlock();

    if (!response && !delivered)
        return finishWithError(NSURLErrorBadServerResponse);

    if (hold == Hold::Redirect) {
        auto location = NSURL::URLWithStringRelativeToURL(*response->headerValue("Location"), request->URL());
        if (!location)
            return finishWithError(NSURLErrorRedirectToNonExistentLocation);
        if (++m_redirects > s_maxRedirects)
            return finishWithError(NSURLErrorHTTPTooManyRedirects);
        auto proposed = request->mutableCopy();
        proposed->setURL(location->absoluteURL());
        int32_t status = response->statusCode();
        if (status == 303 || ((status == 301 || status == 302) && request->HTTPMethod() == "POST")) {
            proposed->setHTTPMethod("GET");
            proposed->setHTTPBody(Value());
            proposed->setHTTPBodyStream(nullptr);
            proposed->setValueForHTTPHeaderField(std::nullopt, "Content-Type");
            proposed->setValueForHTTPHeaderField(std::nullopt, "Content-Length");
        }
        post([self = shared_from_this(), response, proposed, body] {
            if (self->m_cancelled || !self->m_delegate)
                return;
            self->m_delegate->loadWillPerformRedirect(
                response, proposed, [weak = self->weak_from_this(), response, body](Ref<NSURLRequest> chosen) {
                    auto load = weak.lock();
                    if (!load || load->m_cancelled)
                        return;
                    if (chosen)
                        load->startAttempt(chosen);
                    else
                        load->deliverFinal(response, body, false);
                });
        });
        return;
    }

    if (hold == Hold::Cache) {
        // Still valid: the cached answer is delivered and kept as fresh from now.
        auto cached = m_revalidating;
        auto refreshed = NSCachedURLResponse::initWithResponseDataUserInfoStoragePolicy(
            cached->response(), cached->data(), cached->userInfo(), cached->storagePolicy());
        if (auto cache = NSURLCache::sharedURLCache())
            cache->storeCachedResponseForRequest(refreshed, m_original);
        return deliverFinal(cached->response(), cached->data().bytes(), true);
    }

    if (hold == Hold::Authenticate) {
        auto url = request->URL();
        std::string header = response->headerValue("WWW-Authenticate").value_or("");
        std::optional<std::string> realm;
        if (auto at = header.find("realm=\""); at != std::string::npos) {
            auto end = header.find('"', at + 7);
            realm = header.substr(at + 7, end == std::string::npos ? std::string::npos : end - at - 7);
        }
        int32_t port = url->port().value_or(lower(url->scheme()) == "https" ? 443 : 80);
        auto space = NSURLProtectionSpace::initWithHostPortProtocolRealmAuthenticationMethod(
            url->host(), port, lower(url->scheme()), realm, NSURLAuthenticationMethodHTTPBasic);
        auto challenge = NSURLAuthenticationChallenge::make(space, m_authFailures, response,
            [weak = weak_from_this(), response, body, request](
                NSURLSessionAuthChallengeDisposition disposition, Ref<NSURLCredential> credential) {
                auto load = weak.lock();
                if (!load || load->m_cancelled)
                    return;
                if (disposition == NSURLSessionAuthChallengeCancelAuthenticationChallenge)
                    return load->finishWithError(NSURLErrorCancelled);
                if (disposition == NSURLSessionAuthChallengeUseCredential && credential && credential->hasPassword()) {
                    ++load->m_authFailures;
                    auto retry = request->mutableCopy();
                    retry->setValueForHTTPHeaderField(
                        "Basic " + base64(credential->user() + ":" + credential->password()), "Authorization");
                    return load->startAttempt(retry);
                }
                load->deliverFinal(response, body, false);
            });
        post([self = shared_from_this(), challenge] {
            if (self->m_cancelled || !self->m_delegate) {
                challenge->answer(NSURLSessionAuthChallengeCancelAuthenticationChallenge, nullptr);
                return;
            }
            self->m_delegate->loadDidReceiveChallenge(challenge);
        });
        return;
    }

    if (cacheable) {
        auto proposed = NSCachedURLResponse::initWithResponseData(response, Value::data(body));
        post([self = shared_from_this(), proposed, request] {
            if (self->m_cancelled || !self->m_delegate)
                return;
            self->m_delegate->loadWillCacheResponse(
                proposed, [weak = self->weak_from_this(), request](Ref<NSCachedURLResponse> chosen) {
                    auto load = weak.lock();
                    if (!load)
                        return;
                    if (chosen) {
                        if (auto cache = NSURLCache::sharedURLCache())
                            cache->storeCachedResponseForRequest(chosen, request);
                    }
                    load->finish(nullptr);
                });
        });
        return;
    }
    finish(nullptr);
}

void URLLoad::deliverFinal(const Ref<NSURLResponse>& response, const Value::Bytes& body, bool)
{
    {
        std::lock_guard lock(m_lock);
        if (m_responseDelivered)
            return;
        m_responseDelivered = true;
    }
    post([self = shared_from_this(), response] {
        if (self->m_cancelled || !self->m_delegate)
            return;
        self->m_delegate->loadDidReceiveResponse(response);
    });
    if (!body.empty()) {
        post([self = shared_from_this(), data = Value::data(body)] {
            if (self->m_cancelled || !self->m_delegate)
                return;
            self->m_delegate->loadDidReceiveData(data);
        });
    }
    finish(nullptr);
}

void URLLoad::loadFile(const Ref<NSURLRequest>& request)
{
    auto url = request->URL();
    std::string path = url->path();
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return finishWithError(NSURLErrorFileDoesNotExist);
    if (S_ISDIR(info.st_mode))
        return finishWithError(NSURLErrorFileIsDirectory);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return finishWithError(NSURLErrorNoPermissionsToReadFile);
    Value::Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto response = NSURLResponse::initWithURLMIMETypeExpectedContentLengthTextEncodingName(
        url, MIMETypeForPathExtension(url->pathExtension()), int64_t(bytes.size()), std::nullopt);
    deliverFinal(response, bytes, false);
}
