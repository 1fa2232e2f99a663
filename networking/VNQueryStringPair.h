#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "foundation/Value.h"

#include <string>
#include <vector>

class VNQueryStringPair;

// One field of a query string or of a form: a field and its value, both any value. Immutable
// once made; any thread.
class VNQueryStringPair : public NSObject {
    VX_OBJECT(VNQueryStringPair, NSObject)
public:
    explicit VNQueryStringPair(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<VNQueryStringPair> initWithFieldValue(const Value& field, const Value& value);

    const Value& field() const { return m_field; }
    const Value& value() const { return m_value; }

    // "key=value" with both percent-escaped in `encoding`; the key alone when the value is nil
    // or NSNull. Square brackets and dots stay as they are in the key.
    std::string URLEncodedStringValueWithEncoding(NSStringEncoding encoding) const;

private:
    Value m_field;
    Value m_value;
};

// Flattens a parameter value into pairs: dictionary keys in case-insensitive order nested as
// "outer[inner]", array elements as "key[]", anything else one pair. `key` is nil at the top.
std::vector<Ref<VNQueryStringPair>> VNQueryStringPairsFromKeyAndValue(const Value& key, const Value& value);
// The pairs of the parameters joined with "&".
std::string VNQueryStringFromParametersWithEncoding(const Value& parameters, NSStringEncoding encoding);
// Percent escaping of a query value (every reserved character escaped) and of a query key
// (the same, except "[", "]" and "."). Text the encoding cannot hold escapes to "".
std::string VNPercentEscapedQueryStringValue(const std::string& text, NSStringEncoding encoding);
std::string VNPercentEscapedQueryStringKey(const std::string& text, NSStringEncoding encoding);
