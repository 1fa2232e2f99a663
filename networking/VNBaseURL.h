#pragma once

#include "net/NSURL.h"

#include <string>

// Base-URL handling shared by the operation manager and the HTTP session manager.
namespace VNBaseURL {

// The base URL a manager keeps: one with a path gets a final "/", since without it a relative
// string would replace the base's last path segment.
Ref<NSURL> normalized(const Ref<NSURL>& url);

// `URLString` resolved against `base`. A string that does not resolve is handed on as it is: it
// does not parse on its own either, so the serializer makes a request without URL and the
// request fails.
std::string resolve(const std::string& URLString, const Ref<NSURL>& base);

} // namespace VNBaseURL
