// The JSON reader: the fast reader refuses every text the general reader refuses, and the
// decoder (fast reader first, general one for the exact error) never fails without an error.
#include "foundation/JSONReader.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "fuzz/FuzzCheck.h"

#include <nlohmann/json.hpp>

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto document = JSONReader::parse(text)) {
        fuzzCheck(nlohmann::json::accept(text), "the fast reader took a text the general reader refuses");
        Value value = document->root().toValue(JSONReader::Containers::Immutable);
        (void)value.description();
    }
    Ref<NSError> error;
    Value decoded = NSJSONSerialization::JSONObjectWithData(text,
        NSJSONSerialization::NSJSONReadingMutableContainers | NSJSONSerialization::NSJSONReadingAllowFragments, &error);
    fuzzCheck(!decoded.isNil() || error, "a refused text gave no error");
    return 0;
}
