// Keyed archives: decoding any bytes fails cleanly or gives a value that can be described.
#include "foundation/NSError.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Ref<NSError> error;
    Value value = NSKeyedUnarchiver::unarchiveObjectWithData(Value::Bytes(data, data + size), &error);
    if (!value.isNil())
        (void)value.description();
    return 0;
}
