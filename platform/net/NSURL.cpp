#include "net/NSURL.h"

#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "foundation/Value.h"

#include <cctype>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

VX_REGISTER_CODING_CLASS(NSURL);

namespace {

bool isUnreserved(unsigned char c)
{
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool isSubDelim(unsigned char c)
{
    switch (c) {
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
        return true;
    default:
        return false;
    }
}

bool isHex(unsigned char c)
{
    return std::isxdigit(c);
}

// Every character allowed in a component, or a well-formed escape.
bool validComponent(std::string_view s, std::string_view extra)
{
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = s[i];
        if (c == '%') {
            if (i + 2 >= s.size() || !isHex(s[i + 1]) || !isHex(s[i + 2]))
                return false;
            i += 2;
            continue;
        }
        if (isUnreserved(c) || isSubDelim(c) || extra.find(char(c)) != std::string_view::npos)
            continue;
        return false;
    }
    return true;
}

std::string percentDecode(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && isHex(s[i + 1]) && isHex(s[i + 2])) {
            out.push_back(char(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string percentEncodePathComponent(std::string_view s)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (isUnreserved(c) || isSubDelim(c) || c == ':' || c == '@') {
            out.push_back(char(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

std::string removeDotSegments(std::string input)
{
    std::string output;
    while (!input.empty()) {
        if (input.rfind("../", 0) == 0) {
            input.erase(0, 3);
        } else if (input.rfind("./", 0) == 0) {
            input.erase(0, 2);
        } else if (input.rfind("/./", 0) == 0) {
            input.erase(0, 2);
        } else if (input == "/.") {
            input = "/";
        } else if (input.rfind("/../", 0) == 0 || input == "/..") {
            input = input == "/.." ? "/" : input.substr(3);
            auto slash = output.rfind('/');
            output.erase(slash == std::string::npos ? 0 : slash);
        } else if (input == "." || input == "..") {
            input.clear();
        } else {
            size_t start = input[0] == '/' ? 1 : 0;
            size_t next = input.find('/', start);
            if (next == std::string::npos)
                next = input.size();
            output += input.substr(0, next);
            input.erase(0, next);
        }
    }
    return output;
}

std::string toLower(std::string s)
{
    for (auto& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

NSURL::NSURL(Passkey key, std::string text, Parts parts, Ref<NSURL> base)
    : NSObject(key)
    , m_text(std::move(text))
    , m_parts(std::move(parts))
    , m_base(std::move(base))
{
    m_absolute = m_base ? resolve(m_base->absoluteParts(), m_parts) : m_parts;
}

std::optional<NSURL::Parts> NSURL::parse(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    for (unsigned char c : text) {
        if (c <= 0x20 || c >= 0x7f)
            return std::nullopt;
    }
    Parts parts;
    std::string_view rest = text;
    auto hashAt = rest.find('#');
    if (hashAt != std::string_view::npos) {
        auto fragment = rest.substr(hashAt + 1);
        if (!validComponent(fragment, ":@/?"))
            return std::nullopt;
        parts.fragment = std::string(fragment);
        rest = rest.substr(0, hashAt);
    }
    auto queryAt = rest.find('?');
    if (queryAt != std::string_view::npos) {
        auto query = rest.substr(queryAt + 1);
        if (!validComponent(query, ":@/?[]"))
            return std::nullopt;
        parts.query = std::string(query);
        rest = rest.substr(0, queryAt);
    }
    // A scheme is letters first, then letters, digits, "+", "-" or ".", before the first ":"
    // that comes before any "/".
    auto colon = rest.find(':');
    auto slash = rest.find('/');
    if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash)) {
        auto scheme = rest.substr(0, colon);
        if (scheme.empty() || !std::isalpha(static_cast<unsigned char>(scheme[0])))
            return std::nullopt;
        for (unsigned char c : scheme) {
            if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
                return std::nullopt;
        }
        parts.scheme = std::string(scheme);
        rest = rest.substr(colon + 1);
    }
    if (rest.substr(0, 2) == "//") {
        rest = rest.substr(2);
        auto end = rest.find('/');
        auto authority = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        auto at = authority.rfind('@');
        if (at != std::string_view::npos) {
            auto userInfo = authority.substr(0, at);
            if (!validComponent(userInfo, ":"))
                return std::nullopt;
            auto userColon = userInfo.find(':');
            parts.user = std::string(userInfo.substr(0, userColon));
            if (userColon != std::string_view::npos)
                parts.password = std::string(userInfo.substr(userColon + 1));
            authority = authority.substr(at + 1);
        }
        std::string_view host = authority;
        std::string_view port;
        bool hasPort = false;
        if (!authority.empty() && authority[0] == '[') {
            auto close = authority.find(']');
            if (close == std::string_view::npos)
                return std::nullopt;
            host = authority.substr(0, close + 1);
            auto after = authority.substr(close + 1);
            if (!after.empty()) {
                if (after[0] != ':')
                    return std::nullopt;
                hasPort = true;
                port = after.substr(1);
            }
            for (unsigned char c : host.substr(1, host.size() - 2)) {
                if (!isHex(c) && c != ':' && c != '.')
                    return std::nullopt;
            }
        } else {
            auto portColon = authority.rfind(':');
            if (portColon != std::string_view::npos) {
                host = authority.substr(0, portColon);
                port = authority.substr(portColon + 1);
                hasPort = true;
            }
            if (!validComponent(host, ""))
                return std::nullopt;
        }
        if (hasPort && !port.empty()) {
            if (port.size() > 5)
                return std::nullopt;
            for (unsigned char c : port) {
                if (!std::isdigit(c))
                    return std::nullopt;
            }
            int value = std::stoi(std::string(port));
            if (value > 65535)
                return std::nullopt;
            parts.port = value;
        }
        parts.host = std::string(host);
    }
    if (!validComponent(rest, ":@/"))
        return std::nullopt;
    parts.path = std::string(rest);
    return parts;
}

std::string NSURL::compose(const Parts& parts)
{
    std::string out;
    if (parts.scheme)
        out += *parts.scheme + ":";
    if (parts.host) {
        out += "//";
        if (parts.user) {
            out += *parts.user;
            if (parts.password)
                out += ":" + *parts.password;
            out += "@";
        }
        out += *parts.host;
        if (parts.port)
            out += ":" + std::to_string(*parts.port);
    }
    out += parts.path;
    if (parts.query)
        out += "?" + *parts.query;
    if (parts.fragment)
        out += "#" + *parts.fragment;
    return out;
}

NSURL::Parts NSURL::resolve(const Parts& base, const Parts& reference)
{
    Parts target;
    if (reference.scheme) {
        target = reference;
        target.path = removeDotSegments(reference.path);
        return target;
    }
    target.scheme = base.scheme;
    target.fragment = reference.fragment;
    if (reference.host) {
        target.user = reference.user;
        target.password = reference.password;
        target.host = reference.host;
        target.port = reference.port;
        target.path = removeDotSegments(reference.path);
        target.query = reference.query;
        return target;
    }
    target.user = base.user;
    target.password = base.password;
    target.host = base.host;
    target.port = base.port;
    if (reference.path.empty()) {
        target.path = base.path;
        target.query = reference.query ? reference.query : base.query;
        return target;
    }
    if (reference.path[0] == '/') {
        target.path = removeDotSegments(reference.path);
    } else {
        std::string merged;
        if (base.host && base.path.empty()) {
            merged = "/" + reference.path;
        } else {
            auto slash = base.path.rfind('/');
            merged = (slash == std::string::npos ? std::string() : base.path.substr(0, slash + 1)) + reference.path;
        }
        target.path = removeDotSegments(merged);
    }
    target.query = reference.query;
    return target;
}

Ref<NSURL> NSURL::URLWithString(const std::string& text)
{
    auto parts = parse(text);
    if (!parts)
        return nullptr;
    return make<NSURL>(text, std::move(*parts), nullptr);
}

Ref<NSURL> NSURL::URLWithStringRelativeToURL(const std::string& text, const Ref<NSURL>& base)
{
    if (!base)
        return URLWithString(text);
    std::optional<Parts> parts = text.empty() ? std::optional<Parts>(Parts {}) : parse(text);
    if (!parts)
        return nullptr;
    if (parts->scheme)
        return make<NSURL>(text, std::move(*parts), nullptr);
    return make<NSURL>(text, std::move(*parts), base);
}

Ref<NSURL> NSURL::fileURLWithPath(const std::string& path)
{
    std::error_code ec;
    bool directory = std::filesystem::is_directory(path, ec);
    return fileURLWithPathIsDirectory(path, directory);
}

Ref<NSURL> NSURL::fileURLWithPathIsDirectory(const std::string& path, bool isDirectory)
{
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        std::error_code ec;
        absolute = (std::filesystem::current_path(ec) / path).string();
    }
    std::string encoded;
    for (const auto& piece : std::filesystem::path(absolute)) {
        std::string name = piece.string();
        if (name == "/" || name.empty())
            continue;
        encoded += "/" + percentEncodePathComponent(name);
    }
    if (encoded.empty() || isDirectory)
        encoded += "/";
    Parts parts;
    parts.scheme = "file";
    parts.host = "";
    parts.path = encoded;
    std::string text = compose(parts);
    return make<NSURL>(text, std::move(parts), nullptr);
}

const NSURL::Parts& NSURL::absoluteParts() const
{
    return m_absolute;
}

std::string NSURL::absoluteString() const
{
    return compose(m_absolute);
}

Ref<NSURL> NSURL::absoluteURL() const
{
    if (!m_base)
        return std::const_pointer_cast<NSURL>(std::static_pointer_cast<const NSURL>(shared_from_this()));
    return make<NSURL>(absoluteString(), m_absolute, nullptr);
}

std::string NSURL::scheme() const
{
    return m_absolute.scheme.value_or("");
}
std::string NSURL::host() const
{
    return percentDecode(m_absolute.host.value_or(""));
}
bool NSURL::hasHost() const
{
    return m_absolute.host.has_value() && !m_absolute.host->empty();
}
std::optional<int32_t> NSURL::port() const
{
    return m_absolute.port;
}
std::string NSURL::user() const
{
    return percentDecode(m_absolute.user.value_or(""));
}
std::string NSURL::password() const
{
    return percentDecode(m_absolute.password.value_or(""));
}
std::optional<std::string> NSURL::query() const
{
    return m_absolute.query;
}
std::optional<std::string> NSURL::fragment() const
{
    return m_absolute.fragment;
}
std::string NSURL::percentEncodedPath() const
{
    return m_absolute.path;
}

std::string NSURL::path() const
{
    std::string p = percentDecode(m_absolute.path);
    if (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

bool NSURL::hasDirectoryPath() const
{
    return !m_absolute.path.empty() && m_absolute.path.back() == '/';
}

std::vector<std::string> NSURL::pathComponents() const
{
    std::vector<std::string> out;
    std::string p = path();
    if (p.empty())
        return out;
    if (p[0] == '/')
        out.push_back("/");
    size_t start = 0;
    while (start < p.size()) {
        size_t end = p.find('/', start);
        if (end == std::string::npos)
            end = p.size();
        if (end > start)
            out.push_back(p.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string NSURL::lastPathComponent() const
{
    auto components = pathComponents();
    return components.empty() ? std::string() : components.back();
}

std::string NSURL::pathExtension() const
{
    std::string last = lastPathComponent();
    auto dot = last.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == last.size() || last == "/")
        return "";
    return last.substr(dot + 1);
}

Ref<NSURL> NSURL::URLByAppendingPathComponent(const std::string& component) const
{
    Parts parts = m_absolute;
    if (parts.path.empty() || parts.path.back() != '/')
        parts.path += "/";
    std::string added = percentEncodePathComponent(component);
    // Slashes inside the component separate further components.
    std::string withSlashes;
    for (size_t i = 0; i < added.size(); ++i) {
        if (added.compare(i, 3, "%2F") == 0) {
            withSlashes += "/";
            i += 2;
        } else {
            withSlashes += added[i];
        }
    }
    if (!withSlashes.empty() && withSlashes[0] == '/' && parts.path.back() == '/')
        withSlashes.erase(0, 1);
    parts.path += withSlashes;
    std::string text = compose(parts);
    return make<NSURL>(text, std::move(parts), nullptr);
}

Ref<NSURL> NSURL::URLByAppendingPathComponentIsDirectory(const std::string& component, bool isDirectory) const
{
    auto url = URLByAppendingPathComponent(component);
    if (isDirectory && !url->hasDirectoryPath())
        return URLByAppendingPathComponent(component + "/");
    return url;
}

Ref<NSURL> NSURL::URLByDeletingLastPathComponent() const
{
    Parts parts = m_absolute;
    std::string p = parts.path;
    if (p.size() > 1 && p.back() == '/')
        p.pop_back();
    auto slash = p.rfind('/');
    parts.path = slash == std::string::npos ? std::string("../") : p.substr(0, slash + 1);
    std::string text = compose(parts);
    return make<NSURL>(text, std::move(parts), nullptr);
}

Ref<NSURL> NSURL::URLByAppendingPathExtension(const std::string& extension) const
{
    Parts parts = m_absolute;
    bool directory = parts.path.size() > 1 && parts.path.back() == '/';
    if (directory)
        parts.path.pop_back();
    parts.path += "." + percentEncodePathComponent(extension);
    if (directory)
        parts.path += "/";
    std::string text = compose(parts);
    return make<NSURL>(text, std::move(parts), nullptr);
}

bool NSURL::isFileURL() const
{
    return toLower(scheme()) == "file";
}

bool NSURL::checkResourceIsReachableAndReturnError(Ref<NSError>* error) const
{
    if (!isFileURL()) {
        if (error)
            *error = NSError::errorWithDomain(
                NSCocoaErrorDomain, 262, Value::dictionary({ { "NSURL", Value::object(absoluteURL()) } }));
        return false;
    }
    struct stat info;
    if (::stat(path().c_str(), &info) == 0)
        return true;
    if (error)
        *error = NSError::errorWithDomain(NSCocoaErrorDomain, 260,
            Value::dictionary({ { NSFilePathErrorKey, path() }, { "NSURL", Value::object(absoluteURL()) } }));
    return false;
}

std::string NSURL::description() const
{
    if (m_base)
        return m_text + " -- " + m_base->description();
    return m_text;
}

bool NSURL::isEqual(const NSObject* other) const
{
    auto url = dynamic_cast<const NSURL*>(other);
    if (!url)
        return false;
    if (url->m_text != m_text)
        return false;
    if (!m_base || !url->m_base)
        return !m_base && !url->m_base;
    return m_base->isEqual(url->m_base.get());
}

size_t NSURL::hash() const
{
    return std::hash<std::string>()(m_text);
}

Value NSURL::valueForKey(const std::string& key)
{
    if (key == "absoluteString")
        return absoluteString();
    if (key == "host")
        return hasHost() ? Value(host()) : Value();
    if (key == "path")
        return path();
    if (key == "scheme")
        return m_absolute.scheme ? Value(*m_absolute.scheme) : Value();
    if (key == "lastPathComponent")
        return lastPathComponent();
    return NSObject::valueForKey(key);
}

void NSURL::encodeWithCoder(NSCoder& coder)
{
    coder.encodeObjectForKey(Value(m_text), "NS.relative");
    if (m_base)
        coder.encodeObjectForKey(Value::object(m_base), "NS.base");
}

Ref<NSURL> NSURL::initWithCoder(NSCoder& coder)
{
    Value text = coder.decodeObjectOfClassForKey(Value::stringClass(), "NS.relative");
    if (!text.isString())
        return nullptr;
    auto base = coder.decodeObjectOfClassForKey(NSURL::classObject(), "NS.base").objectAs<NSURL>();
    return base ? URLWithStringRelativeToURL(text.string(), base) : URLWithString(text.string());
}
