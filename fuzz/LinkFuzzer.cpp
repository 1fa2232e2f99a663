// Links the application is opened with: any address parses, and its query splits into texts.
#include "app/application/KESTAppDelegate.h"
#include "fuzz/FuzzCheck.h"
#include "net/NSURL.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    auto url = NSURL::URLWithString(text);
    std::optional<std::string> query = url ? url->query() : std::optional<std::string>(text);
    Value parts = KESTAppDelegate::parseQueryString(query);
    fuzzCheck(parts.isDictionary(), "a query did not split into a dictionary");
    for (const auto& [key, value] : parts.entries())
        fuzzCheck(key.isString() && value.isString(), "a query part is not text");
    return 0;
}
