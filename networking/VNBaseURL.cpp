#include "networking/VNBaseURL.h"

namespace VNBaseURL {

Ref<NSURL> normalized(const Ref<NSURL>& url)
{
    if (!url || url->path().empty())
        return url;
    auto absolute = url->absoluteString();
    if (absolute.empty() || absolute.back() != '/')
        return url->URLByAppendingPathComponent("");
    return url;
}

std::string resolve(const std::string& URLString, const Ref<NSURL>& base)
{
    auto url = NSURL::URLWithStringRelativeToURL(URLString, base);
    return url ? url->absoluteString() : URLString;
}

} // namespace VNBaseURL
