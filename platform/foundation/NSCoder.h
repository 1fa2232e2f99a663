#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The keyed coder an NSCoding object writes itself to and reads itself from. NSKeyedArchiver
// implements the encoding half and NSKeyedUnarchiver the decoding half; calling the other half
// raises "NSInvalidArgumentException" (a programming error).
//
// Decoding never throws on bad input: a missing key reads as nil or zero, and corrupt or
// wrong-typed data records an error (see error()) after which every read answers nil or zero.
// One thread at a time.
class NSCoder {
public:
    NSCoder() = default;
    virtual ~NSCoder() = default;
    NSCoder(const NSCoder&) = delete;
    NSCoder& operator=(const NSCoder&) = delete;

    bool allowsKeyedCoding() const { return true; }

    // Encoding.
    virtual void encodeObjectForKey(const Value& object, std::string_view key);
    virtual void encodeBoolForKey(bool value, std::string_view key);
    virtual void encodeIntForKey(int32_t value, std::string_view key);
    virtual void encodeInt32ForKey(int32_t value, std::string_view key);
    virtual void encodeInt64ForKey(int64_t value, std::string_view key);
    void encodeIntegerForKey(NSInteger value, std::string_view key) { encodeIntForKey(value, key); }
    virtual void encodeFloatForKey(float value, std::string_view key);
    virtual void encodeDoubleForKey(double value, std::string_view key);

    // Decoding.
    virtual bool containsValueForKey(std::string_view key);
    // With secure coding required, plain decodeObjectForKey accepts only the classes allowed
    // by the enclosing decodeObjectOf... call.
    virtual Value decodeObjectForKey(std::string_view key);
    // Answers nil and records an error when the object (or any collection element in it) is
    // not of one of `classes` or a subclass of one. With secure coding required the objects'
    // own fields are held to the classes too, unless they name their own.
    virtual Value decodeObjectOfClassesForKey(const std::vector<Class>& classes, std::string_view key);
    Value decodeObjectOfClassForKey(Class cls, std::string_view key)
    {
        return decodeObjectOfClassesForKey({ cls }, key);
    }
    virtual bool decodeBoolForKey(std::string_view key);
    virtual int32_t decodeIntForKey(std::string_view key);
    virtual int32_t decodeInt32ForKey(std::string_view key);
    virtual int64_t decodeInt64ForKey(std::string_view key);
    NSInteger decodeIntegerForKey(std::string_view key) { return decodeIntForKey(key); }
    virtual float decodeFloatForKey(std::string_view key);
    virtual double decodeDoubleForKey(std::string_view key);

    virtual bool requiresSecureCoding() const { return false; }

    // The first failure of this coder, or nullptr.
    const Ref<NSError>& error() const { return m_error; }
    // Records a failure (the first one is kept). NSCoding objects call it for data they refuse.
    void failWithError(Ref<NSError> error);

protected:
    [[noreturn]] void raiseUnsupported(const char* selector) const;

private:
    Ref<NSError> m_error;
};

// Codes of coder failures in "NSCocoaErrorDomain".
inline constexpr int32_t NSCoderReadCorruptError = 4864;
inline constexpr int32_t NSCoderValueNotFoundError = 4865;
inline constexpr int32_t NSCoderInvalidValueError = 4866;
