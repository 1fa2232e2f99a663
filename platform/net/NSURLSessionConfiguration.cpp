#include "NSURLSessionConfiguration.h"

VX_REGISTER_CLASS(NSURLSessionConfiguration);

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
