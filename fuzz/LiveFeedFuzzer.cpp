// The live feed's plane table: read straight from the bytes, it is what decoding the bytes and
// reading the decoded answer gives.
#include "app/core/KESTPlaneAnswer.h"
#include "foundation/JSONReader.h"
#include "foundation/NSJSONSerialization.h"
#include "fuzz/FuzzCheck.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto read = KESTPlaneAnswer::decode(bytes);
    Value decoded = NSJSONSerialization::JSONObjectWithData(bytes, 0, nullptr);
    auto general = KESTPlaneAnswer::fromJSONObject(decoded);
    if (!read)
        return 0;
    fuzzCheck(bool(general), "the direct reader found a plane table the general path does not");
    fuzzCheck(read->records() == general->records(), "the direct reader and the general path read different planes");
    // Read where they lie, as a network body with room after it, the bytes give the same.
    std::string room(bytes);
    room.append(JSONReader::kReadInPlacePadding, '7');
    auto inPlace = KESTPlaneAnswer::decode(std::string_view(room.data(), size), JSONReader::kReadInPlacePadding);
    fuzzCheck(inPlace && inPlace->records() == general->records(), "reading in place reads different planes");
    return 0;
}
