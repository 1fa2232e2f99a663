#pragma once

#include <memory>
#include <string>

struct TestIdentity;

// An HTTP or HTTPS server on 127.0.0.1 at a free port, for tests of URL loading. It stops when
// destroyed. Routes:
//   /hello                  "hello" as text/plain
//   /echo                   the request as JSON: {"method", "path", "headers" {name: value}, "body"}
//   /chunked?count=N        N chunks "chunk-<i>\n", chunked transfer encoding
//   /slow?count=N&ms=M      N chunks, M real milliseconds apart (the server's own pace)
//   /hang                   never answers (until the server stops, at most 10 s)
//   /reset                  announces 1000 bytes, sends 10, then drops the connection
//   /status/<code>          that status with body "status <code>"
//   /redirect?to=<url>&status=<code>   a redirect (302 by default)
//   /etag                   body "versioned" with ETag "v1"; 304 for If-None-Match "v1"
//   /range                  100 bytes "0123456789" repeated, honouring Range (not If-Range), ETag "r1"
//   /basic                  "welcome" for Basic user:secret, else 401 with realm "test"
//   /gzip                   "compressed body" sent gzip-encoded
// Any thread.
class LoopbackServer {
public:
    LoopbackServer();
    // HTTPS with the identity; `chainPEM` is sent after the leaf (for example the authority).
    explicit LoopbackServer(const TestIdentity& identity, const std::string& chainPEM = "");
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const;
    // "http://127.0.0.1:<port>" (or https).
    std::string baseURL() const;
    std::string url(const std::string& path) const { return baseURL() + path; }
    // How many requests reached the server.
    int requestCount() const;

    // A loopback port on which nothing listens (for refused connections).
    static int unusedPort();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};
