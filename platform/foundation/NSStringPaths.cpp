// NSString: path components, extensions and tilde expansion.
#include "foundation/NSString.h"

namespace NSString {

// MARK: Paths

namespace {

std::string_view trimTrailingSlashes(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

// Index of the "." that starts the extension of the last component, or npos.
size_t extensionDot(std::string_view path)
{
    size_t slash = path.rfind('/');
    size_t componentStart = slash == std::string_view::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot <= componentStart || dot + 1 == path.size())
        return std::string_view::npos;
    return dot;
}

} // namespace

std::string lastPathComponent(std::string_view path)
{
    path = trimTrailingSlashes(path);
    if (path == "/")
        return "/";
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string pathExtension(std::string_view path)
{
    path = trimTrailingSlashes(path);
    size_t dot = extensionDot(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

std::vector<std::string> pathComponents(std::string_view path)
{
    std::vector<std::string> parts;
    if (path.empty())
        return parts;
    if (path.front() == '/')
        parts.emplace_back("/");
    for (auto& part : componentsSeparatedByString(path, "/")) {
        if (!part.empty())
            parts.push_back(std::move(part));
    }
    if (path.size() > 1 && path.back() == '/')
        parts.emplace_back("/");
    return parts;
}

std::string stringByAppendingPathComponent(std::string_view path, std::string_view component)
{
    while (!component.empty() && component.front() == '/')
        component.remove_prefix(1);
    component = trimTrailingSlashes(component);
    if (component == "/")
        component = {};
    path = trimTrailingSlashes(path);
    if (path.empty())
        return std::string(component);
    if (component.empty())
        return std::string(path);
    std::string out(path);
    if (out.back() != '/')
        out += '/';
    out += component;
    return out;
}

std::string stringByAppendingPathExtension(std::string_view path, std::string_view extension)
{
    std::string out(trimTrailingSlashes(path));
    out += '.';
    out += extension;
    return out;
}

std::string stringByDeletingLastPathComponent(std::string_view path)
{
    path = trimTrailingSlashes(path);
    if (path == "/")
        return "/";
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return std::string();
    if (slash == 0)
        return "/";
    return std::string(trimTrailingSlashes(path.substr(0, slash)));
}

std::string stringByDeletingPathExtension(std::string_view path)
{
    path = trimTrailingSlashes(path);
    size_t dot = extensionDot(path);
    return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

bool isAbsolutePath(std::string_view path)
{
    return !path.empty() && (path.front() == '/' || path.front() == '~');
}

std::string stringByAbbreviatingWithTildeInPath(std::string_view path, std::string_view home)
{
    home = trimTrailingSlashes(home);
    if (home.empty() || home == "/")
        return std::string(path);
    std::string_view trimmed = trimTrailingSlashes(path);
    if (trimmed == home)
        return "~";
    if (trimmed.size() > home.size() && trimmed.substr(0, home.size()) == home && trimmed[home.size()] == '/')
        return "~" + std::string(trimmed.substr(home.size()));
    return std::string(path);
}

std::string stringByExpandingTildeInPath(std::string_view path, std::string_view home)
{
    if (path.empty() || path.front() != '~' || (path.size() > 1 && path[1] != '/'))
        return std::string(path);
    return std::string(trimTrailingSlashes(home)) + std::string(trimTrailingSlashes(path.substr(1)));
}

std::string stringByStandardizingPath(std::string_view path, std::string_view home)
{
    std::string expanded = stringByExpandingTildeInPath(path, home);
    if (expanded.empty())
        return expanded;
    bool absolute = expanded.front() == '/';
    std::vector<std::string> kept;
    for (auto& part : componentsSeparatedByString(expanded, "/")) {
        if (part.empty() || part == ".")
            continue;
        if (part == ".." && absolute) {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(std::move(part));
    }
    std::string out = componentsJoinedByString(kept, "/");
    return absolute ? "/" + out : out;
}

} // namespace NSString
