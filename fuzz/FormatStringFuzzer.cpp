// Format strings from outside (translations, user text): any format with any arguments gives a
// string, never a crash.
#include "foundation/NSString.h"
#include "fuzz/FuzzCheck.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string format(reinterpret_cast<const char*>(data), size);
    (void)NSString::stringWithFormat(format, std::string("text"), 42, 2.5, Value::array({ Value(1) }));
    (void)NSString::stringWithFormat(format);
    (void)NSString::stringWithFormat(format, int64_t(-1), 'c');
    return 0;
}
