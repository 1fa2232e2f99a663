#include "testing/LoopbackServer.h"

#include "testing/TestCertificates.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <httplib.h>
#include <netinet/in.h>
#include <nlohmann/json.hpp>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

struct LoopbackServer::Impl {
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port { 0 };
    bool tls { false };
    std::atomic<int> requests { 0 };
    std::mutex lock;
    std::condition_variable stopped;
    bool stopping { false };

    void addRoutes();
    void start();
    void stop();
};

namespace {

std::string gzipped(const std::string& text)
{
    z_stream stream {};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(compressBound(uLong(text.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = uInt(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace

void LoopbackServer::Impl::addRoutes()
{
    auto& s = *server;
    s.set_logger([this](const httplib::Request&, const httplib::Response&) {});
    s.set_pre_routing_handler([this](const httplib::Request&, httplib::Response&) {
        ++requests;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    s.Get("/hello", [](const httplib::Request&, httplib::Response& res) { res.set_content("hello", "text/plain"); });
    auto echo = [](const httplib::Request& req, httplib::Response& res) {
        nlohmann::json headers = nlohmann::json::object();
        for (const auto& [name, value] : req.headers)
            headers[name] = value;
        nlohmann::json body
            = { { "method", req.method }, { "path", req.path }, { "headers", headers }, { "body", req.body } };
        res.set_content(body.dump(), "application/json");
    };
    s.Get("/echo", echo);
    s.Post("/echo", echo);
    s.Put("/echo", echo);
    s.Delete("/echo", echo);
    s.Get("/chunked", [](const httplib::Request& req, httplib::Response& res) {
        int count = req.has_param("count") ? std::stoi(req.get_param_value("count")) : 3;
        res.set_chunked_content_provider("text/plain", [count](size_t index, httplib::DataSink& sink) {
            int sent = 0;
            (void)index;
            for (; sent < count; ++sent) {
                std::string chunk = "chunk-" + std::to_string(sent) + "\n";
                sink.write(chunk.data(), chunk.size());
            }
            sink.done();
            return true;
        });
    });
    s.Get("/slow", [this](const httplib::Request& req, httplib::Response& res) {
        int count = req.has_param("count") ? std::stoi(req.get_param_value("count")) : 3;
        int ms = req.has_param("ms") ? std::stoi(req.get_param_value("ms")) : 50;
        res.set_chunked_content_provider("text/plain", [this, count, ms](size_t, httplib::DataSink& sink) {
            for (int i = 0; i < count; ++i) {
                {
                    std::unique_lock guard(lock);
                    if (stopped.wait_for(guard, std::chrono::milliseconds(ms), [this] { return stopping; }))
                        return false;
                }
                std::string chunk = "slow-" + std::to_string(i) + "\n";
                if (!sink.write(chunk.data(), chunk.size()))
                    return false;
            }
            sink.done();
            return true;
        });
    });
    s.Get("/hang", [this](const httplib::Request&, httplib::Response& res) {
        std::unique_lock guard(lock);
        stopped.wait_for(guard, std::chrono::seconds(10), [this] { return stopping; });
        res.set_content("late", "text/plain");
    });
    s.Get("/reset", [](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(1000, "application/octet-stream", [](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset > 0)
                return false; // drops the connection with the body unfinished
            sink.write("0123456789", 10);
            return true;
        });
    });
    s.Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        int code = std::stoi(req.matches[1]);
        res.status = code;
        res.set_content("status " + std::to_string(code), "text/plain");
    });
    s.Get("/redirect", [](const httplib::Request& req, httplib::Response& res) {
        int code = req.has_param("status") ? std::stoi(req.get_param_value("status")) : 302;
        res.set_redirect(req.get_param_value("to"), code);
        res.set_content("moving", "text/plain");
    });
    s.Post("/redirect", [](const httplib::Request& req, httplib::Response& res) {
        int code = req.has_param("status") ? std::stoi(req.get_param_value("status")) : 302;
        res.set_redirect(req.get_param_value("to"), code);
    });
    s.Get("/etag", [](const httplib::Request& req, httplib::Response& res) {
        res.set_header("ETag", "\"v1\"");
        if (req.get_header_value("If-None-Match") == "\"v1\"") {
            res.status = 304;
            return;
        }
        res.set_content("versioned", "text/plain");
    });
    s.Get("/range", [](const httplib::Request&, httplib::Response& res) {
        std::string body;
        for (int i = 0; i < 10; ++i)
            body += "0123456789";
        res.set_header("ETag", "\"r1\"");
        // The server library answers a Range request with 206 and the requested part.
        res.set_content(body, "application/octet-stream");
    });
    s.Get("/basic", [](const httplib::Request& req, httplib::Response& res) {
        // "user:secret"
        if (req.get_header_value("Authorization") == "Basic dXNlcjpzZWNyZXQ=") {
            res.set_content("welcome", "text/plain");
            return;
        }
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"test\"");
        res.set_content("denied", "text/plain");
    });
    s.Get("/gzip", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Content-Encoding", "gzip");
        res.set_content(gzipped("compressed body"), "text/plain");
    });
}

void LoopbackServer::Impl::start()
{
    addRoutes();
    // Idle connections close soon, so stopping the server does not wait long for them.
    server->set_keep_alive_timeout(1);
    server->set_read_timeout(2, 0);
    port = server->bind_to_any_port("127.0.0.1");
    thread = std::thread([this] { server->listen_after_bind(); });
}

void LoopbackServer::Impl::stop()
{
    {
        std::lock_guard guard(lock);
        stopping = true;
    }
    stopped.notify_all();
    server->stop();
    if (thread.joinable())
        thread.join();
}

LoopbackServer::LoopbackServer()
    : m_impl(std::make_unique<Impl>())
{
    m_impl->server = std::make_unique<httplib::Server>();
    m_impl->start();
}

LoopbackServer::LoopbackServer(const TestIdentity& identity, const std::string& chainPEM)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->tls = true;
    std::string certificate = identity.certificatePEM;
    std::string key = identity.privateKeyPEM;
    m_impl->server = std::make_unique<httplib::SSLServer>([certificate, key, chainPEM](SSL_CTX& context) {
        auto readPEM = [](const std::string& text) { return BIO_new_mem_buf(text.data(), int(text.size())); };
        BIO* certBio = readPEM(certificate);
        X509* cert = PEM_read_bio_X509(certBio, nullptr, nullptr, nullptr);
        BIO_free(certBio);
        BIO* keyBio = readPEM(key);
        EVP_PKEY* privateKey = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
        BIO_free(keyBio);
        bool ok = cert && privateKey && SSL_CTX_use_certificate(&context, cert) == 1
            && SSL_CTX_use_PrivateKey(&context, privateKey) == 1;
        X509_free(cert);
        EVP_PKEY_free(privateKey);
        if (ok && !chainPEM.empty()) {
            BIO* chainBio = readPEM(chainPEM);
            while (X509* extra = PEM_read_bio_X509(chainBio, nullptr, nullptr, nullptr))
                SSL_CTX_add0_chain_cert(&context, extra);
            BIO_free(chainBio);
        }
        return ok;
    });
    m_impl->start();
}

LoopbackServer::~LoopbackServer()
{
    m_impl->stop();
}

int LoopbackServer::port() const
{
    return m_impl->port;
}

std::string LoopbackServer::baseURL() const
{
    return std::string(m_impl->tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_impl->port);
}

int LoopbackServer::requestCount() const
{
    return m_impl->requests;
}

int LoopbackServer::unusedPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    int port = ntohs(address.sin_port);
    ::close(fd); // bound but never listening, then closed: connections are refused
    return port;
}
