// Push payloads as they arrive (JSON): the alert text is made from any "loc-key" format and
// "loc-args", and the plane search from any "custom" dictionary, without a crash.
#include "app/application/KESTAppDelegate.h"
#include "foundation/JSONReader.h"
#include "foundation/NSJSONSerialization.h"
#include "fuzz/FuzzCheck.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Value payload = NSJSONSerialization::JSONObjectWithData(text, 0, nullptr);
    if (!payload.isDictionary())
        return 0;
    std::string message = KESTAppDelegate::pushAlertMessage(payload["aps"]["alert"]);
    fuzzCheck(JSONReader::isValidUTF8(message), "an alert text is not valid UTF-8");
    Value search = KESTAppDelegate::pushSearch(payload["custom"]);
    if (!search.isNil()) {
        fuzzCheck(search.isDictionary() && search.count() == 1, "a search is not one key");
        fuzzCheck(search["adshex"].isString(), "a search's address is not text");
    }
    return 0;
}
