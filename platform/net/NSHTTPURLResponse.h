#pragma once

#include "foundation/Value.h"
#include "net/NSURLResponse.h"

#include <utility>
#include <vector>

// An HTTP response: status code and header fields. allHeaderFields keeps each name as the
// server spelled it, and lookups in it are exact (case-sensitive), as on the platform's
// dictionary; headerValue() offers a case-insensitive lookup for our own code.
// MIME type and text encoding come from "Content-Type", the expected length from
// "Content-Length" (-1 when absent). Immutable; any thread.
class NSHTTPURLResponse : public NSURLResponse {
    VX_OBJECT(NSHTTPURLResponse, NSURLResponse)
public:
    using HeaderList = std::vector<std::pair<std::string, std::string>>;

    NSHTTPURLResponse(Passkey key, Ref<NSURL> url, int32_t statusCode, HeaderList headers);

    // Headers with the same name (any spelling) are joined with ", " under the first spelling.
    static Ref<NSHTTPURLResponse> initWithURLStatusCodeHTTPVersionHeaderFields(
        const Ref<NSURL>& url, int32_t statusCode, const std::string& httpVersion, const HeaderList& headers);

    int32_t statusCode() const { return m_statusCode; }
    // A dictionary of strings, in the server's order.
    Value allHeaderFields() const;
    const HeaderList& headerList() const { return m_headers; }
    std::optional<std::string> headerValue(const std::string& name) const;

    // "not found", "internal server error", ... ("server error" for an unknown 5xx, and so on).
    static std::string localizedStringForStatusCode(int32_t statusCode);

    // Archives the URL, the status code and the header fields in order.
    void encodeWithCoder(NSCoder& coder) override;
    static Ref<NSHTTPURLResponse> initWithCoder(NSCoder& coder);

    Value valueForKey(const std::string& key) override;
    std::string description() const override;

private:
    int32_t m_statusCode;
    HeaderList m_headers;
};
