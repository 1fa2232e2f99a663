#include "networking/VNQueryStringPair.h"

#include <algorithm>

VX_REGISTER_CLASS(VNQueryStringPair);

namespace {

constexpr const char* kCharactersToBeEscapedInQueryString = ":/?&=;+!@#$()',*";
constexpr const char* kCharactersToLeaveUnescapedInQueryStringKey = "[].";

std::string textOf(const Value& value)
{
    if (value.isString())
        return value.string();
    return value.description();
}

} // namespace

std::string VNPercentEscapedQueryStringKey(const std::string& text, NSStringEncoding encoding)
{
    return NSString::stringByAddingPercentEscapes(
        text, kCharactersToLeaveUnescapedInQueryStringKey, kCharactersToBeEscapedInQueryString, encoding)
        .value_or(std::string());
}

std::string VNPercentEscapedQueryStringValue(const std::string& text, NSStringEncoding encoding)
{
    return NSString::stringByAddingPercentEscapes(text, "", kCharactersToBeEscapedInQueryString, encoding)
        .value_or(std::string());
}

Ref<VNQueryStringPair> VNQueryStringPair::initWithFieldValue(const Value& field, const Value& value)
{
    auto pair = make<VNQueryStringPair>();
    pair->m_field = field;
    pair->m_value = value;
    return pair;
}

std::string VNQueryStringPair::URLEncodedStringValueWithEncoding(NSStringEncoding encoding) const
{
    std::string key = VNPercentEscapedQueryStringKey(textOf(m_field), encoding);
    if (m_value.isNilOrNull())
        return key;
    return key + "=" + VNPercentEscapedQueryStringValue(textOf(m_value), encoding);
}

std::vector<Ref<VNQueryStringPair>> VNQueryStringPairsFromKeyAndValue(const Value& key, const Value& value)
{
    std::vector<Ref<VNQueryStringPair>> pairs;
    if (value.isDictionary()) {
        auto entries = value.entries();
        std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return NSString::caseInsensitiveCompare(a.first.description(), b.first.description()) == NSOrderedAscending;
        });
        for (const auto& [nestedKey, nestedValue] : entries) {
            if (nestedValue.isNil())
                continue;
            Value field
                = key.isNil() ? nestedKey : Value(NSString::stringWithFormat("%@[%@]", textOf(key), textOf(nestedKey)));
            auto nested = VNQueryStringPairsFromKeyAndValue(field, nestedValue);
            pairs.insert(pairs.end(), nested.begin(), nested.end());
        }
    } else if (value.isArray()) {
        Value field(NSString::stringWithFormat("%@[]", key.isNil() ? std::string("(null)") : textOf(key)));
        for (const auto& element : value.elements()) {
            auto nested = VNQueryStringPairsFromKeyAndValue(field, element);
            pairs.insert(pairs.end(), nested.begin(), nested.end());
        }
    } else {
        pairs.push_back(VNQueryStringPair::initWithFieldValue(key, value));
    }
    return pairs;
}

std::string VNQueryStringFromParametersWithEncoding(const Value& parameters, NSStringEncoding encoding)
{
    std::string query;
    bool first = true;
    for (const auto& pair : VNQueryStringPairsFromKeyAndValue(Value(), parameters)) {
        if (!first)
            query += "&";
        first = false;
        query += pair->URLEncodedStringValueWithEncoding(encoding);
    }
    return query;
}
