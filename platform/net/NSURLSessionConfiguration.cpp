#include "net/NSURLSessionConfiguration.h"

#include "foundation/NSCoder.h"

VX_REGISTER_CODING_CLASS(NSURLSessionConfiguration);

Ref<NSURLSessionConfiguration> NSURLSessionConfiguration::defaultSessionConfiguration()
{
    return make<NSURLSessionConfiguration>();
}

Ref<NSURLSessionConfiguration> NSURLSessionConfiguration::ephemeralSessionConfiguration()
{
    return make<NSURLSessionConfiguration>();
}

Ref<NSURLSessionConfiguration> NSURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier(
    const std::string& identifier)
{
    auto configuration = make<NSURLSessionConfiguration>();
    configuration->m_identifier = identifier;
    return configuration;
}

Ref<NSURLSessionConfiguration> NSURLSessionConfiguration::copy() const
{
    auto configuration = make<NSURLSessionConfiguration>();
    configuration->m_identifier = m_identifier;
    configuration->m_timeoutForRequest = m_timeoutForRequest;
    configuration->m_timeoutForResource = m_timeoutForResource;
    configuration->m_additionalHeaders = m_additionalHeaders;
    configuration->m_cachePolicy = m_cachePolicy;
    configuration->m_maxConnections = m_maxConnections;
    configuration->m_allowsCellular = m_allowsCellular;
    configuration->m_discretionary = m_discretionary;
    return configuration;
}

void NSURLSessionConfiguration::encodeWithCoder(NSCoder& coder)
{
    if (m_identifier)
        coder.encodeObjectForKey(Value(*m_identifier), "identifier");
    coder.encodeDoubleForKey(m_timeoutForRequest, "timeoutIntervalForRequest");
    coder.encodeDoubleForKey(m_timeoutForResource, "timeoutIntervalForResource");
    if (m_additionalHeaders.isDictionary())
        coder.encodeObjectForKey(m_additionalHeaders, "HTTPAdditionalHeaders");
    coder.encodeInt32ForKey(int32_t(m_cachePolicy), "requestCachePolicy");
    coder.encodeInt32ForKey(m_maxConnections, "HTTPMaximumConnectionsPerHost");
    coder.encodeBoolForKey(m_allowsCellular, "allowsCellularAccess");
    coder.encodeBoolForKey(m_discretionary, "discretionary");
}

Ref<NSURLSessionConfiguration> NSURLSessionConfiguration::initWithCoder(NSCoder& coder)
{
    auto configuration = make<NSURLSessionConfiguration>();
    Value identifier = coder.decodeObjectOfClassForKey(Value::stringClass(), "identifier");
    if (identifier.isString())
        configuration->m_identifier = identifier.string();
    if (coder.containsValueForKey("timeoutIntervalForRequest"))
        configuration->m_timeoutForRequest = coder.decodeDoubleForKey("timeoutIntervalForRequest");
    if (coder.containsValueForKey("timeoutIntervalForResource"))
        configuration->m_timeoutForResource = coder.decodeDoubleForKey("timeoutIntervalForResource");
    Value headers = coder.decodeObjectOfClassesForKey(
        { Value::dictionaryClass(), Value::stringClass() }, "HTTPAdditionalHeaders");
    if (headers.isDictionary())
        configuration->m_additionalHeaders = headers;
    configuration->m_cachePolicy = NSURLRequestCachePolicy(coder.decodeInt32ForKey("requestCachePolicy"));
    if (coder.containsValueForKey("HTTPMaximumConnectionsPerHost"))
        configuration->m_maxConnections = coder.decodeInt32ForKey("HTTPMaximumConnectionsPerHost");
    if (coder.containsValueForKey("allowsCellularAccess"))
        configuration->m_allowsCellular = coder.decodeBoolForKey("allowsCellularAccess");
    configuration->m_discretionary = coder.decodeBoolForKey("discretionary");
    return configuration;
}
