#include "servicesim/SimMultipart.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string trim(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return "";
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

// The value of `name=` in a header's parameters: quoted or bare, stopping at ";".
std::string headerParameter(const std::string& header, const std::string& name)
{
    std::string lowered = lower(header);
    size_t at = 0;
    while ((at = lowered.find(name + "=", at)) != std::string::npos) {
        bool boundaryBefore = at == 0 || lowered[at - 1] == ';' || lowered[at - 1] == ' ' || lowered[at - 1] == '\t';
        size_t start = at + name.size() + 1;
        if (!boundaryBefore) {
            at = start;
            continue;
        }
        if (start < header.size() && header[start] == '"') {
            size_t end = header.find('"', start + 1);
            return header.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        }
        size_t end = header.find(';', start);
        return trim(header.substr(start, end == std::string::npos ? std::string::npos : end - start));
    }
    return "";
}

} // namespace

namespace SimMultipart {

std::string boundaryOf(const std::string& contentType)
{
    if (lower(contentType).rfind("multipart/", 0) != 0)
        return "";
    return headerParameter(contentType, "boundary");
}

std::vector<SimRequest::Part> parse(const std::string& contentType, const std::string& body)
{
    std::vector<SimRequest::Part> parts;
    std::string boundary = boundaryOf(contentType);
    if (boundary.empty())
        return parts;
    const std::string delimiter = "--" + boundary;

    size_t at = body.find(delimiter);
    while (at != std::string::npos) {
        size_t start = at + delimiter.size();
        if (body.compare(start, 2, "--") == 0)
            break; // the closing delimiter
        // The rest of the delimiter line.
        size_t lineEnd = body.find('\n', start);
        if (lineEnd == std::string::npos)
            break;
        size_t next = body.find(delimiter, lineEnd + 1);
        std::string section
            = body.substr(lineEnd + 1, next == std::string::npos ? std::string::npos : next - lineEnd - 1);

        // Headers end at the first empty line, written with CRLF or LF.
        size_t headerEnd = section.find("\r\n\r\n");
        size_t contentStart = headerEnd == std::string::npos ? std::string::npos : headerEnd + 4;
        if (headerEnd == std::string::npos || section.find("\n\n") < headerEnd) {
            headerEnd = section.find("\n\n");
            contentStart = headerEnd == std::string::npos ? std::string::npos : headerEnd + 2;
        }
        SimRequest::Part part;
        std::string headers = headerEnd == std::string::npos ? section : section.substr(0, headerEnd);
        size_t lineStart = 0;
        while (lineStart <= headers.size()) {
            size_t end = headers.find('\n', lineStart);
            std::string line
                = trim(headers.substr(lineStart, end == std::string::npos ? std::string::npos : end - lineStart));
            lineStart = end == std::string::npos ? headers.size() + 1 : end + 1;
            size_t colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            std::string name = lower(trim(line.substr(0, colon)));
            std::string value = trim(line.substr(colon + 1));
            if (name == "content-disposition") {
                part.name = headerParameter(value, "name");
                part.filename = headerParameter(value, "filename");
            } else if (name == "content-type") {
                part.contentType = value;
            }
        }
        if (contentStart != std::string::npos) {
            part.content = section.substr(contentStart);
            // The line break before the next delimiter belongs to the delimiter.
            if (part.content.size() >= 2 && part.content.compare(part.content.size() - 2, 2, "\r\n") == 0)
                part.content.resize(part.content.size() - 2);
            else if (!part.content.empty() && part.content.back() == '\n')
                part.content.pop_back();
        }
        parts.push_back(std::move(part));
        at = next;
    }
    return parts;
}

std::optional<std::vector<SimRequest::Part>> parseStrict(const std::string& contentType, const std::string& body)
{
    std::string boundary = boundaryOf(contentType);
    if (boundary.empty() || boundary.size() > 70)
        return std::nullopt;
    const std::string dashBoundary = "--" + boundary;
    const std::string delimiter = "\r\n" + dashBoundary;
    // The first delimiter opens the body or follows a preamble that ends its line.
    size_t at;
    if (body.compare(0, dashBoundary.size(), dashBoundary) == 0) {
        at = dashBoundary.size();
    } else {
        at = body.find(delimiter);
        if (at == std::string::npos)
            return std::nullopt;
        at += delimiter.size();
    }
    std::vector<SimRequest::Part> parts;
    while (true) {
        if (body.compare(at, 2, "--") == 0)
            return parts.empty() ? std::nullopt : std::optional(std::move(parts)); // closing delimiter
        // Transport padding, then the end of the delimiter's line.
        while (at < body.size() && (body[at] == ' ' || body[at] == '\t'))
            ++at;
        if (body.compare(at, 2, "\r\n") != 0)
            return std::nullopt;
        at += 2;
        size_t next = body.find(delimiter, at);
        if (next == std::string::npos)
            return std::nullopt;
        std::string section = body.substr(at, next - at);
        size_t headerEnd = section.rfind("\r\n", 0) == 0 ? 0 : section.find("\r\n\r\n");
        if (headerEnd == std::string::npos)
            return std::nullopt;
        SimRequest::Part part;
        bool formData = false;
        std::string headers = section.substr(0, headerEnd);
        for (size_t lineStart = 0; lineStart < headers.size();) {
            size_t end = headers.find("\r\n", lineStart);
            std::string line
                = headers.substr(lineStart, end == std::string::npos ? std::string::npos : end - lineStart);
            lineStart = end == std::string::npos ? headers.size() : end + 2;
            size_t colon = line.find(':');
            if (colon == std::string::npos || line.find('\n') != std::string::npos)
                return std::nullopt;
            std::string name = lower(trim(line.substr(0, colon)));
            std::string value = trim(line.substr(colon + 1));
            if (name == "content-disposition") {
                formData = lower(value).rfind("form-data", 0) == 0;
                part.name = headerParameter(value, "name");
                part.filename = headerParameter(value, "filename");
            } else if (name == "content-type") {
                part.contentType = value;
            }
        }
        if (!formData || part.name.empty())
            return std::nullopt;
        part.content = section.substr(headerEnd == 0 ? 2 : headerEnd + 4);
        parts.push_back(std::move(part));
        at = next + delimiter.size();
    }
}

} // namespace SimMultipart
