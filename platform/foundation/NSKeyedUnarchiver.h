#pragma once

#include "foundation/NSCoder.h"

#include <memory>
#include <vector>

// Reads keyed archives (binary or XML property lists in the layout NSKeyedArchiver writes).
// Values come back with their kinds (integers as Int when they fit 32 bits, else LongLong;
// reals as Double; mutable containers mutable); NSCoding objects are made by the factory
// registered for their class name.
//
// Nothing here throws on bad input: a corrupt, truncated or wrong-typed archive, an unknown
// class, a class outside the allowed ones, or an exception thrown by a decoding factory all
// end in nil (or zero) and an NSError in "NSCocoaErrorDomain" (code 4864) with an
// "NSDebugDescription". Error slots are written only on failure. One thread at a time.
class NSKeyedUnarchiver final : public NSCoder {
public:
    struct State;
    NSKeyedUnarchiver(std::unique_ptr<State> state);
    ~NSKeyedUnarchiver() override;

    // An unarchiver whose top-level keys are those encoded on the archiver, or nullptr (with
    // `error` set) when `data` is not a keyed archive.
    static Ref<NSKeyedUnarchiver> initForReadingWithData(const Value::Bytes& data, Ref<NSError>* error = nullptr);

    // The object under "root" of any class that has a decoder; nil (with `error`) on failure.
    static Value unarchiveObjectWithData(const Value::Bytes& data, Ref<NSError>* error = nullptr);
    // The same with secure coding: the root and everything in it must be of `classes`.
    static Value unarchivedObjectOfClassesFromData(
        const std::vector<Class>& classes, const Value::Bytes& data, Ref<NSError>* error = nullptr);
    static Value unarchivedObjectOfClassFromData(Class cls, const Value::Bytes& data, Ref<NSError>* error = nullptr)
    {
        return unarchivedObjectOfClassesFromData({ cls }, data, error);
    }

    void setRequiresSecureCoding(bool required);
    bool requiresSecureCoding() const override;

    bool containsValueForKey(std::string_view key) override;
    Value decodeObjectForKey(std::string_view key) override;
    Value decodeObjectOfClassesForKey(const std::vector<Class>& classes, std::string_view key) override;
    bool decodeBoolForKey(std::string_view key) override;
    int32_t decodeIntForKey(std::string_view key) override;
    int32_t decodeInt32ForKey(std::string_view key) override;
    int64_t decodeInt64ForKey(std::string_view key) override;
    float decodeFloatForKey(std::string_view key) override;
    double decodeDoubleForKey(std::string_view key) override;

    void finishDecoding() { }

private:
    std::unique_ptr<State> m_state;
};
