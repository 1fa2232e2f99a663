#include "net/NSHTTPURLResponse.h"

#include "foundation/NSCoder.h"
#include "net/NSURL.h"

#include <cctype>
#include <strings.h>

VX_REGISTER_CODING_CLASS(NSHTTPURLResponse);

namespace {

std::string trim(std::string s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.pop_back();
    size_t start = 0;
    while (start < s.size() && std::isspace(static_cast<unsigned char>(s[start])))
        ++start;
    return s.substr(start);
}

std::string lower(std::string s)
{
    for (auto& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::optional<std::string> find(const NSHTTPURLResponse::HeaderList& headers, const char* name)
{
    for (const auto& [key, value] : headers) {
        if (strcasecmp(key.c_str(), name) == 0)
            return value;
    }
    return std::nullopt;
}

// Splits "text/html; charset=UTF-8" into the lower-cased MIME type and the charset.
std::pair<std::optional<std::string>, std::optional<std::string>> parseContentType(
    const std::optional<std::string>& header)
{
    if (!header)
        return {};
    std::string value = *header;
    auto semicolon = value.find(';');
    std::optional<std::string> mime = lower(trim(value.substr(0, semicolon)));
    std::optional<std::string> charset;
    while (semicolon != std::string::npos) {
        auto next = value.find(';', semicolon + 1);
        std::string parameter
            = trim(value.substr(semicolon + 1, next == std::string::npos ? std::string::npos : next - semicolon - 1));
        if (lower(parameter).rfind("charset=", 0) == 0) {
            std::string name = parameter.substr(8);
            if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
                name = name.substr(1, name.size() - 2);
            charset = lower(name);
        }
        semicolon = next;
    }
    if (mime->empty())
        mime.reset();
    return { mime, charset };
}

int64_t parseLength(const std::optional<std::string>& header)
{
    if (!header || header->empty())
        return NSURLResponseUnknownLength;
    int64_t value = 0;
    for (char c : trim(*header)) {
        if (!std::isdigit(static_cast<unsigned char>(c)) || value > (INT64_MAX - 9) / 10)
            return NSURLResponseUnknownLength;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

NSHTTPURLResponse::NSHTTPURLResponse(Passkey key, Ref<NSURL> url, int32_t statusCode, HeaderList headers)
    : NSURLResponse(key, std::move(url), parseContentType(find(headers, "Content-Type")).first,
        parseLength(find(headers, "Content-Length")), parseContentType(find(headers, "Content-Type")).second)
    , m_statusCode(statusCode)
    , m_headers(std::move(headers))
{
}

Ref<NSHTTPURLResponse> NSHTTPURLResponse::initWithURLStatusCodeHTTPVersionHeaderFields(
    const Ref<NSURL>& url, int32_t statusCode, const std::string&, const HeaderList& headers)
{
    HeaderList merged;
    for (const auto& [name, value] : headers) {
        bool joined = false;
        for (auto& existing : merged) {
            if (strcasecmp(existing.first.c_str(), name.c_str()) == 0) {
                existing.second += ", " + value;
                joined = true;
                break;
            }
        }
        if (!joined)
            merged.emplace_back(name, value);
    }
    return make<NSHTTPURLResponse>(url, statusCode, std::move(merged));
}

Value NSHTTPURLResponse::allHeaderFields() const
{
    auto fields = Value::mutableDictionary();
    for (const auto& [name, value] : m_headers)
        fields.setObjectForKey(value, name);
    return fields.copy();
}

std::optional<std::string> NSHTTPURLResponse::headerValue(const std::string& name) const
{
    return find(m_headers, name.c_str());
}

std::string NSHTTPURLResponse::localizedStringForStatusCode(int32_t statusCode)
{
    switch (statusCode) {
    case 100:
        return "continue";
    case 101:
        return "switching protocols";
    case 200:
        return "no error";
    case 201:
        return "created";
    case 202:
        return "accepted";
    case 203:
        return "non-authoritative information";
    case 204:
        return "no content";
    case 205:
        return "reset content";
    case 206:
        return "partial content";
    case 300:
        return "multiple choices";
    case 301:
        return "moved permanently";
    case 302:
        return "found";
    case 303:
        return "see other";
    case 304:
        return "not modified";
    case 305:
        return "needs proxy";
    case 307:
        return "temporarily redirected";
    case 400:
        return "bad request";
    case 401:
        return "unauthorized";
    case 402:
        return "payment required";
    case 403:
        return "forbidden";
    case 404:
        return "not found";
    case 405:
        return "method not allowed";
    case 406:
        return "unacceptable";
    case 407:
        return "proxy authentication required";
    case 408:
        return "request timed out";
    case 409:
        return "conflict";
    case 410:
        return "no longer exists";
    case 411:
        return "length required";
    case 412:
        return "precondition failed";
    case 413:
        return "request too large";
    case 414:
        return "requested URL too long";
    case 415:
        return "unsupported media type";
    case 416:
        return "requested range not satisfiable";
    case 417:
        return "expectation failed";
    case 500:
        return "internal server error";
    case 501:
        return "unimplemented";
    case 502:
        return "bad gateway";
    case 503:
        return "service unavailable";
    case 504:
        return "gateway timed out";
    case 505:
        return "unsupported version";
    default:
        break;
    }
    if (statusCode >= 100 && statusCode < 200)
        return "informational";
    if (statusCode >= 200 && statusCode < 300)
        return "success";
    if (statusCode >= 300 && statusCode < 400)
        return "redirected";
    if (statusCode >= 400 && statusCode < 500)
        return "client error";
    if (statusCode >= 500 && statusCode < 600)
        return "server error";
    return "unknown error";
}

Value NSHTTPURLResponse::valueForKey(const std::string& key)
{
    if (key == "statusCode")
        return Value(m_statusCode);
    if (key == "allHeaderFields")
        return allHeaderFields();
    return NSURLResponse::valueForKey(key);
}

std::string NSHTTPURLResponse::description() const
{
    return "<" + className() + ": { URL: " + (m_url ? m_url->absoluteString() : std::string("(null)"))
        + " } { status code: " + std::to_string(m_statusCode) + " }>";
}

void NSHTTPURLResponse::encodeWithCoder(NSCoder& coder)
{
    if (m_url)
        coder.encodeObjectForKey(Value::object(m_url), "URL");
    coder.encodeInt32ForKey(m_statusCode, "statusCode");
    auto headers = Value::mutableArray();
    for (const auto& [name, value] : m_headers)
        headers.addObject(Value::array({ Value(name), Value(value) }));
    coder.encodeObjectForKey(headers, "headers");
}

Ref<NSHTTPURLResponse> NSHTTPURLResponse::initWithCoder(NSCoder& coder)
{
    auto url = coder.decodeObjectOfClassForKey(NSURL::classObject(), "URL").objectAs<NSURL>();
    HeaderList headers;
    Value pairs = coder.decodeObjectOfClassesForKey({ Value::arrayClass(), Value::stringClass() }, "headers");
    for (const auto& pair : pairs.elements()) {
        if (pair.isArray() && pair.count() == 2 && pair[0].isString() && pair[1].isString())
            headers.emplace_back(pair[0].string(), pair[1].string());
    }
    return make<NSHTTPURLResponse>(url, coder.decodeInt32ForKey("statusCode"), std::move(headers));
}
