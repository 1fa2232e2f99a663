// Property lists: whatever reads must write back in XML and in binary and read back equal, or
// be refused by the writer.
#include "foundation/NSError.h"
#include "foundation/NSPropertyListSerialization.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Value input = Value::data(data, size);
    Value plist = NSPropertyListSerialization::propertyListWithData(input, 0, nullptr, nullptr);
    if (plist.isNil())
        return 0;
    (void)plist.description();
    for (auto format : { NSPropertyListSerialization::NSPropertyListXMLFormat_v1_0,
             NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0 }) {
        Ref<NSError> error;
        Value written = NSPropertyListSerialization::dataWithPropertyList(plist, format, 0, &error);
        if (!written.isData()) {
            fuzzCheck(bool(error), "a refused write gave no error");
            continue;
        }
        Value back = NSPropertyListSerialization::propertyListWithData(written, 0, nullptr, nullptr);
        fuzzCheck(!back.isNil(), "a written property list does not read back");
        fuzzCheck(back.isEqual(plist), "a property list changed on a write and read");
    }
    return 0;
}
