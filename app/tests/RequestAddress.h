#pragma once

#include <string>
#include <utility>
#include <vector>

// An address read the way a server reads it, independently of the application's own URL code:
// a "#" ends what is sent, the path's segments and the query's fields are split on "/", "&" and
// "=", and percent escapes are decoded by hand afterwards.
struct RequestAddress {
    std::vector<std::string> pathSegments; // after the host
    std::vector<std::pair<std::string, std::string>> fields;
    bool hasFragment { false };

    static std::string decoded(const std::string& text)
    {
        auto digit = [](char c) {
            return c >= '0' && c <= '9' ? c - '0'
                : c >= 'A' && c <= 'F'  ? c - 'A' + 10
                : c >= 'a' && c <= 'f'  ? c - 'a' + 10
                                        : -1;
        };
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 2 < text.size() && digit(text[i + 1]) >= 0 && digit(text[i + 2]) >= 0) {
                out += static_cast<char>(digit(text[i + 1]) * 16 + digit(text[i + 2]));
                i += 2;
            } else {
                out += text[i];
            }
        }
        return out;
    }

    static std::vector<std::string> split(const std::string& text, char separator)
    {
        std::vector<std::string> parts;
        size_t start = 0;
        while (true) {
            size_t end = text.find(separator, start);
            parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos)
                return parts;
            start = end + 1;
        }
    }

    static RequestAddress read(const std::string& url)
    {
        RequestAddress address;
        std::string sent = url;
        if (size_t hash = sent.find('#'); hash != std::string::npos) {
            address.hasFragment = true;
            sent.resize(hash);
        }
        size_t scheme = sent.find("://");
        size_t pathStart = sent.find('/', scheme == std::string::npos ? 0 : scheme + 3);
        size_t question = sent.find('?');
        std::string path = pathStart == std::string::npos || (question != std::string::npos && pathStart > question)
            ? std::string()
            : sent.substr(pathStart + 1, question == std::string::npos ? std::string::npos : question - pathStart - 1);
        for (const auto& segment : split(path, '/'))
            address.pathSegments.push_back(decoded(segment));
        if (question != std::string::npos) {
            for (const auto& field : split(sent.substr(question + 1), '&')) {
                size_t equals = field.find('=');
                address.fields.emplace_back(decoded(field.substr(0, equals)),
                    equals == std::string::npos ? std::string() : decoded(field.substr(equals + 1)));
            }
        }
        return address;
    }

    // The field names in order.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& [name, value] : fields)
            out.push_back(name);
        return out;
    }
    // The value of the first field of that name; "<missing>" without one.
    std::string value(const std::string& name) const
    {
        for (const auto& [key, value] : fields) {
            if (key == name)
                return value;
        }
        return "<missing>";
    }
};

// Values from the feed or a service that would change an address put into it as they are: each
// one adds a field, ends the query, starts a fragment, adds a path segment or decodes as
// something else.
inline const std::vector<std::string>& hostileURLValues()
{
    static const std::vector<std::string> values {
        "AB&x=1",
        "AB=C",
        "AB#frag",
        "AB/..",
        "AB?q=1",
        "AB C",
        "AB%26",
        "AB+C",
        "\xC3\x84"
        "B;",
    };
    return values;
}
