#include "net/CurlTransport.h"

#include "foundation/AlternateSignalStack.h"
#include "foundation/DispatchWork.h"
#include "foundation/Locked.h"
#include "foundation/NSError.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSStream.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "security/SecCertificate.h"
#include "security/SecPolicy.h"
#include "security/SecTrust.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <pthread.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

struct Transfer {
    Ref<NSURLRequest> request;
    Ref<TransportClient> client;
    CURL* easy { nullptr };
    curl_slist* headers { nullptr };
    std::string url;
    bool isHTTPS { false };

    // Response being read.
    int32_t status { 0 };
    NSHTTPURLResponse::HeaderList responseHeaders;
    bool responseSent { false };

    // Body going out.
    Value::Bytes body;
    size_t bodyOffset { 0 };
    Ref<NSInputStream> bodyStream;
    int64_t bodyLength { -1 };
    int64_t lastSent { 0 };

    SteadyClock::time_point lastActivity;
    double timeout { 60 };

    // Trust decision for the current connection.
    std::optional<int32_t> trustFailure; // URL error code when the server was refused
    // How many times the request has gone out: libcurl sends it again on another connection
    // when a kept-alive one turns out to be dead.
    int sends { 0 };
    bool done { false };
};

// Fills in the response from the collected header lines and sends it once.
void sendResponse(Transfer& transfer)
{
    if (transfer.responseSent)
        return;
    transfer.responseSent = true;
    auto response = NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
        transfer.request->URL(), transfer.status, "HTTP/1.1", transfer.responseHeaders);
    transfer.client->protocolDidReceiveResponse(response);
}

size_t headerCallback(char* data, size_t size, size_t count, void* context)
{
    auto& transfer = *static_cast<Transfer*>(context);
    size_t length = size * count;
    transfer.lastActivity = SteadyClock::now();
    std::string line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (line.rfind("HTTP/", 0) == 0) {
        transfer.responseHeaders.clear();
        auto space = line.find(' ');
        transfer.status = space == std::string::npos ? 0 : std::atoi(line.c_str() + space + 1);
        return length;
    }
    if (line.empty()) {
        // End of one header block; interim (1xx) responses are skipped.
        if (transfer.status >= 200)
            sendResponse(transfer);
        return length;
    }
    auto colon = line.find(':');
    if (colon == std::string::npos)
        return length;
    std::string name = line.substr(0, colon);
    size_t start = colon + 1;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    transfer.responseHeaders.emplace_back(name, line.substr(start));
    return length;
}

size_t writeCallback(char* data, size_t size, size_t count, void* context)
{
    auto& transfer = *static_cast<Transfer*>(context);
    size_t length = size * count;
    transfer.lastActivity = SteadyClock::now();
    if (transfer.client->isCancelled())
        return 0;
    sendResponse(transfer);
    transfer.client->protocolDidLoadData(Value::Bytes(data, data + length));
    return length;
}

size_t readCallback(char* buffer, size_t size, size_t count, void* context)
{
    auto& transfer = *static_cast<Transfer*>(context);
    size_t length = size * count;
    transfer.lastActivity = SteadyClock::now();
    size_t n = 0;
    if (transfer.bodyStream) {
        int64_t read = transfer.bodyStream->read(reinterpret_cast<uint8_t*>(buffer), length);
        if (read < 0)
            return CURL_READFUNC_ABORT;
        n = size_t(read);
    } else {
        n = std::min(transfer.body.size() - transfer.bodyOffset, length);
        std::memcpy(buffer, transfer.body.data() + transfer.bodyOffset, n);
        transfer.bodyOffset += n;
    }
    // Progress counts body bytes handed over, without any chunk framing.
    if (n > 0) {
        transfer.lastSent += int64_t(n);
        transfer.client->transportDidSendBodyData(transfer.lastSent, transfer.bodyLength);
    }
    return n;
}

int progressCallback(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto& transfer = *static_cast<Transfer*>(context);
    return transfer.client->isCancelled() ? 1 : 0;
}

// A request is sent again once at most when its connection is lost before any answer: libcurl
// by itself tries up to five more kept-alive connections, so a server that resets every
// connection receives each request six times back to back.
constexpr int kMaximumSends = 2;

// Before a request goes out on a connection (new or reused): refuses to send it a third time,
// builds the trust from the peer's chain and waits for the client's decision.
int prereqCallback(void* context, char*, char*, int, int)
{
    auto& transfer = *static_cast<Transfer*>(context);
    if (++transfer.sends > kMaximumSends) {
        transfer.trustFailure = NSURLErrorNetworkConnectionLost;
        return CURL_PREREQFUNC_ABORT;
    }
    if (!transfer.isHTTPS)
        return CURL_PREREQFUNC_OK;
    struct curl_tlssessioninfo* info = nullptr;
    if (curl_easy_getinfo(transfer.easy, CURLINFO_TLS_SSL_PTR, &info) != CURLE_OK || !info
        || info->backend != CURLSSLBACKEND_OPENSSL || !info->internals) {
        transfer.trustFailure = NSURLErrorSecureConnectionFailed;
        return CURL_PREREQFUNC_ABORT;
    }
    SSL* ssl = static_cast<SSL*>(info->internals);
    std::vector<SecCertificateRef> chain;
    if (STACK_OF(X509)* peers = SSL_get_peer_cert_chain(ssl)) {
        for (int i = 0; i < sk_X509_num(peers); ++i) {
            unsigned char* der = nullptr;
            int length = i2d_X509(sk_X509_value(peers, i), &der);
            if (length > 0) {
                if (auto certificate = SecCertificate::createWithDER(Value::Bytes(der, der + length)))
                    chain.push_back(certificate);
            }
            OPENSSL_free(der);
        }
    }
    if (chain.empty()) {
        transfer.trustFailure = NSURLErrorServerCertificateUntrusted;
        return CURL_PREREQFUNC_ABORT;
    }
    const auto& url = transfer.request->URL();
    SecTrustRef trust;
    SecTrustCreateWithCertificates(chain, { SecPolicyCreateSSL(true, url->host()) }, &trust);

    struct Decision {
        std::mutex lock;
        std::condition_variable cv;
        std::optional<std::pair<bool, int32_t>> answer;
    };
    auto decision = std::make_shared<Decision>();
    transfer.client->transportShouldTrustServer(
        trust, url->host(), url->port().value_or(443), [decision](bool trusted, int32_t failureCode) {
            std::lock_guard lock(decision->lock);
            decision->answer = std::pair(trusted, failureCode);
            decision->cv.notify_all();
        });
    std::unique_lock lock(decision->lock);
    auto deadline = SteadyClock::now() + std::chrono::duration<double>(std::max(transfer.timeout, 1.0));
    while (!decision->answer) {
        if (transfer.client->isCancelled()) {
            transfer.trustFailure = NSURLErrorCancelled;
            return CURL_PREREQFUNC_ABORT;
        }
        if (SteadyClock::now() > deadline) {
            transfer.trustFailure = NSURLErrorTimedOut;
            return CURL_PREREQFUNC_ABORT;
        }
        decision->cv.wait_for(lock, std::chrono::milliseconds(20));
    }
    if (!decision->answer->first) {
        transfer.trustFailure = decision->answer->second;
        return CURL_PREREQFUNC_ABORT;
    }
    transfer.lastActivity = SteadyClock::now();
    return CURL_PREREQFUNC_OK;
}

int32_t errorCodeFor(CURLcode code)
{
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        return NSURLErrorUnsupportedURL;
    case CURLE_URL_MALFORMAT:
        return NSURLErrorBadURL;
    case CURLE_COULDNT_RESOLVE_HOST:
        return NSURLErrorCannotFindHost;
    case CURLE_COULDNT_CONNECT:
        return NSURLErrorCannotConnectToHost;
    case CURLE_OPERATION_TIMEDOUT:
        return NSURLErrorTimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
        return NSURLErrorServerCertificateUntrusted;
    case CURLE_SSL_CONNECT_ERROR:
        return NSURLErrorSecureConnectionFailed;
    case CURLE_BAD_CONTENT_ENCODING:
        return NSURLErrorCannotDecodeContentData;
    case CURLE_WEIRD_SERVER_REPLY:
        return NSURLErrorBadServerResponse;
    case CURLE_TOO_MANY_REDIRECTS:
        return NSURLErrorHTTPTooManyRedirects;
    case CURLE_ABORTED_BY_CALLBACK:
        return NSURLErrorCancelled;
    default:
        return NSURLErrorNetworkConnectionLost;
    }
}

class Worker {
public:
    static Worker& shared()
    {
        static Worker* worker = new Worker;
        return *worker;
    }

    void add(std::unique_ptr<Transfer> transfer)
    {
        m_incoming.with([&](auto& incoming) { incoming.push_back(std::move(transfer)); });
        curl_multi_wakeup(m_multi);
    }

    void wake() { curl_multi_wakeup(m_multi); }

private:
    Worker()
    {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        m_multi = curl_multi_init();
        std::thread([this] {
            AlternateSignalStack signalStack;
            run();
        }).detach();
    }

    void run()
    {
        pthread_setname_np(pthread_self(), "vx.net.curl");
        std::vector<std::unique_ptr<Transfer>> active;
        for (;;) {
            std::deque<std::unique_ptr<Transfer>> incoming = m_incoming.exchange({});
            for (auto& transfer : incoming) {
                if (configure(*transfer)) {
                    curl_multi_add_handle(m_multi, transfer->easy);
                    active.push_back(std::move(transfer));
                }
            }
            int running = 0;
            curl_multi_perform(m_multi, &running);
            while (true) {
                int left = 0;
                CURLMsg* message = curl_multi_info_read(m_multi, &left);
                if (!message)
                    break;
                if (message->msg != CURLMSG_DONE)
                    continue;
                for (auto& transfer : active) {
                    if (transfer->easy == message->easy_handle) {
                        complete(*transfer, message->data.result);
                        break;
                    }
                }
            }
            auto now = SteadyClock::now();
            for (auto& transfer : active) {
                if (transfer->done)
                    continue;
                if (transfer->client->isCancelled()) {
                    finishSilently(*transfer);
                } else if (now - transfer->lastActivity > std::chrono::duration<double>(transfer->timeout)) {
                    fail(*transfer, NSURLErrorTimedOut);
                }
            }
            std::erase_if(active, [](const auto& transfer) { return transfer->done; });
            curl_multi_poll(m_multi, nullptr, 0, active.empty() ? 1000 : 20, nullptr);
        }
    }

    bool configure(Transfer& transfer)
    {
        const auto& request = *transfer.request;
        transfer.url = request.URL()->absoluteString();
        // The fragment is never sent.
        if (auto hash = transfer.url.find('#'); hash != std::string::npos)
            transfer.url.erase(hash);
        transfer.isHTTPS = strcasecmp(request.URL()->scheme().c_str(), "https") == 0;
        transfer.timeout = request.timeoutInterval() > 0 ? request.timeoutInterval() : 60;
        transfer.lastActivity = SteadyClock::now();
        CURL* easy = curl_easy_init();
        transfer.easy = easy;
        curl_easy_setopt(easy, CURLOPT_URL, transfer.url.c_str());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, headerCallback);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeCallback);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, progressCallback);
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);
        curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, prereqCallback);
        curl_easy_setopt(easy, CURLOPT_PREREQDATA, &transfer);
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(transfer.timeout * 1000));
        // The server's chain is judged by the load's trust decision, before anything is sent.
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfer);

        const std::string& method = request.HTTPMethod();
        bool hasBody = request.HTTPBody().isData() || request.HTTPBodyStream();
        if (request.HTTPBody().isData()) {
            transfer.body = request.HTTPBody().bytes();
            transfer.bodyLength = int64_t(transfer.body.size());
        } else if (request.HTTPBodyStream()) {
            transfer.bodyStream = request.HTTPBodyStream();
            if (transfer.bodyStream->streamStatus() == NSStreamStatusNotOpen)
                transfer.bodyStream->open();
            if (auto length = request.valueForHTTPHeaderField("Content-Length"))
                transfer.bodyLength = std::atoll(length->c_str());
        }
        if (method == "HEAD") {
            curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
        } else if (hasBody) {
            curl_easy_setopt(easy, CURLOPT_POST, 1L);
            curl_easy_setopt(easy, CURLOPT_READFUNCTION, readCallback);
            curl_easy_setopt(easy, CURLOPT_READDATA, &transfer);
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(transfer.bodyLength));
            if (method != "POST")
                curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
        } else if (method != "GET") {
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
        }
        transfer.headers = curl_slist_append(transfer.headers, "Expect:");
        for (const auto& [name, value] : request.headerList()) {
            if (name.find_first_of("\r\n:") != std::string::npos || value.find_first_of("\r\n") != std::string::npos)
                continue; // a header that would split the request is dropped
            std::string line = value.empty() ? name + ";" : name + ": " + value;
            transfer.headers = curl_slist_append(transfer.headers, line.c_str());
        }
        if (hasBody && transfer.bodyLength < 0)
            transfer.headers = curl_slist_append(transfer.headers, "Transfer-Encoding: chunked");
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.headers);
        return true;
    }

    void release(Transfer& transfer)
    {
        transfer.done = true;
        curl_multi_remove_handle(m_multi, transfer.easy);
        curl_easy_cleanup(transfer.easy);
        curl_slist_free_all(transfer.headers);
        transfer.easy = nullptr;
        transfer.headers = nullptr;
        if (transfer.bodyStream)
            transfer.bodyStream->close();
    }

    void finishSilently(Transfer& transfer)
    {
        release(transfer);
        DispatchWork::queuedJobTaken();
    }

    void fail(Transfer& transfer, int32_t code)
    {
        release(transfer);
        transfer.client->protocolDidFailWithError(makeURLError(code, transfer.request->URL()));
        DispatchWork::queuedJobTaken();
    }

    void complete(Transfer& transfer, CURLcode result)
    {
        if (transfer.client->isCancelled())
            return finishSilently(transfer);
        if (result == CURLE_OK) {
            if (transfer.status >= 200)
                sendResponse(transfer);
            release(transfer);
            if (transfer.responseSent)
                transfer.client->protocolDidFinishLoading();
            else
                transfer.client->protocolDidFailWithError(
                    makeURLError(NSURLErrorBadServerResponse, transfer.request->URL()));
            DispatchWork::queuedJobTaken();
            return;
        }
        int32_t code = transfer.trustFailure.value_or(errorCodeFor(result));
        if (result == CURLE_WRITE_ERROR)
            code = NSURLErrorCancelled;
        fail(transfer, code);
    }

    CURLM* m_multi { nullptr };
    Locked<std::deque<std::unique_ptr<Transfer>>> m_incoming; // handed from the callers to the worker thread
};

} // namespace

namespace CurlTransport {

void start(const Ref<NSURLRequest>& request, const Ref<TransportClient>& client)
{
    auto transfer = std::make_unique<Transfer>();
    transfer->request = request;
    transfer->client = client;
    DispatchWork::queuedJobAdded();
    Worker::shared().add(std::move(transfer));
}

void wake()
{
    Worker::shared().wake();
}

} // namespace CurlTransport
