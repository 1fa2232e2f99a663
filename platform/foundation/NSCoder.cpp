#include "foundation/NSCoder.h"

#include "foundation/NSError.h"
#include "foundation/NSException.h"

void NSCoder::raiseUnsupported(const char* selector) const
{
    NSException::raise(
        NSInvalidArgumentException, std::string("*** -[NSCoder ") + selector + "]: not supported by this coder");
}

void NSCoder::encodeObjectForKey(const Value&, std::string_view)
{
    raiseUnsupported("encodeObject:forKey:");
}
void NSCoder::encodeBoolForKey(bool, std::string_view)
{
    raiseUnsupported("encodeBool:forKey:");
}
void NSCoder::encodeIntForKey(int32_t, std::string_view)
{
    raiseUnsupported("encodeInt:forKey:");
}
void NSCoder::encodeInt32ForKey(int32_t, std::string_view)
{
    raiseUnsupported("encodeInt32:forKey:");
}
void NSCoder::encodeInt64ForKey(int64_t, std::string_view)
{
    raiseUnsupported("encodeInt64:forKey:");
}
void NSCoder::encodeFloatForKey(float, std::string_view)
{
    raiseUnsupported("encodeFloat:forKey:");
}
void NSCoder::encodeDoubleForKey(double, std::string_view)
{
    raiseUnsupported("encodeDouble:forKey:");
}

bool NSCoder::containsValueForKey(std::string_view)
{
    raiseUnsupported("containsValueForKey:");
}
Value NSCoder::decodeObjectForKey(std::string_view)
{
    raiseUnsupported("decodeObjectForKey:");
}
Value NSCoder::decodeObjectOfClassesForKey(const std::vector<Class>&, std::string_view)
{
    raiseUnsupported("decodeObjectOfClasses:forKey:");
}
bool NSCoder::decodeBoolForKey(std::string_view)
{
    raiseUnsupported("decodeBoolForKey:");
}
int32_t NSCoder::decodeIntForKey(std::string_view)
{
    raiseUnsupported("decodeIntForKey:");
}
int32_t NSCoder::decodeInt32ForKey(std::string_view)
{
    raiseUnsupported("decodeInt32ForKey:");
}
int64_t NSCoder::decodeInt64ForKey(std::string_view)
{
    raiseUnsupported("decodeInt64ForKey:");
}
float NSCoder::decodeFloatForKey(std::string_view)
{
    raiseUnsupported("decodeFloatForKey:");
}
double NSCoder::decodeDoubleForKey(std::string_view)
{
    raiseUnsupported("decodeDoubleForKey:");
}

void NSCoder::failWithError(Ref<NSError> error)
{
    if (!m_error)
        m_error = std::move(error);
}
