#pragma once

#include "foundation/Value.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"

#include <string>
#include <string_view>

// Responses and bodies for the tests that feed the response serializers directly.

// An HTTP/1.1 response from `url` with `status`, and with `contentType` when one is given.
inline Ref<NSHTTPURLResponse> httpResponse(const std::string& url, int32_t status, const char* contentType)
{
    NSHTTPURLResponse::HeaderList headers;
    if (contentType)
        headers.emplace_back("Content-Type", contentType);
    return NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
        NSURL::URLWithString(url), status, "HTTP/1.1", headers);
}

inline Value body(std::string_view text)
{
    return Value::data(text.data(), text.size());
}
