#pragma once

#include "foundation/NSCoder.h"

#include <memory>

// Writes Values and NSCoding objects into a keyed archive: a binary property list with
// "$archiver" = "NSKeyedArchiver", "$version" = 100000, "$top" (the keys encoded on the
// archiver itself) and "$objects" ("$null" first, then every object once, referenced by UID;
// objects are dictionaries whose "$class" names a "$classname"/"$classes" entry).
//
// The same object (or container storage) encoded twice is stored once. Encoding something that
// cannot be archived (a class, an object that is not NSCoding) records an error, and the
// archive then answers nil. One thread at a time.
class NSKeyedArchiver final : public NSCoder {
public:
    NSKeyedArchiver();
    ~NSKeyedArchiver() override;
    static Ref<NSKeyedArchiver> init() { return std::make_shared<NSKeyedArchiver>(); }

    // The archive of `root` under the key "root", or nil with `error` set.
    static Value archivedDataWithRootObject(const Value& root, Ref<NSError>* error = nullptr);

    void encodeObjectForKey(const Value& object, std::string_view key) override;
    void encodeBoolForKey(bool value, std::string_view key) override;
    void encodeIntForKey(int32_t value, std::string_view key) override;
    void encodeInt32ForKey(int32_t value, std::string_view key) override;
    void encodeInt64ForKey(int64_t value, std::string_view key) override;
    void encodeFloatForKey(float value, std::string_view key) override;
    void encodeDoubleForKey(double value, std::string_view key) override;

    // Ends encoding; later encodes are ignored.
    void finishEncoding();
    // The archive as a data Value (finishing encoding first), or nil after a failure.
    Value encodedData();

    struct State;

private:
    std::unique_ptr<State> m_state;
};
