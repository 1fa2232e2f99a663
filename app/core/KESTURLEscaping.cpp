#include "app/core/KESTURLEscaping.h"

#include "foundation/NSString.h"

namespace KESTURLEscaping {

std::string escapedValue(std::string_view value)
{
    return NSString::stringByEscapingForURLArgument(value);
}

} // namespace KESTURLEscaping
