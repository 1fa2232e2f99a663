#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "foundation/Value.h"
#include "net/NSMutableURLRequest.h"
#include "networking/VNURLRequestSerialization.h"

#include <functional>
#include <optional>
#include <set>
#include <string>

class VNMultipartFormData;

enum VNHTTPRequestQueryStringSerializationStyle : uint32_t {
    VNHTTPRequestQueryStringDefaultStyle = 0,
};

// Builds requests from a method, a URL string and parameters: adds the default headers
// ("Accept-Language" and "User-Agent", computed once at creation, plus whatever the caller sets)
// and puts the parameters into the query string (GET, HEAD, DELETE) or a form body.
// A plain value object: any thread, as long as nobody changes its settings meanwhile.
class VNHTTPRequestSerializer : public NSObject, public VNURLRequestSerialization, public NSCoding {
    VX_OBJECT(VNHTTPRequestSerializer, NSObject)
public:
    using QueryStringSerializationBlock
        = std::function<std::optional<std::string>(const Ref<NSURLRequest>&, const Value&, Ref<NSError>*)>;
    using ConstructingBodyBlock = std::function<void(const Ref<VNMultipartFormData>&)>;

    explicit VNHTTPRequestSerializer(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<VNHTTPRequestSerializer> serializer() { return init(); }
    static Ref<VNHTTPRequestSerializer> init();

    NSStringEncoding stringEncoding() const { return m_stringEncoding; }
    void setStringEncoding(NSStringEncoding encoding) { m_stringEncoding = encoding; }
    const std::set<std::string>& HTTPMethodsEncodingParametersInURI() const { return m_methodsInURI; }
    void setHTTPMethodsEncodingParametersInURI(std::set<std::string> methods) { m_methodsInURI = std::move(methods); }
    // The default headers (an immutable copy).
    Value HTTPRequestHeaders() const { return m_headers.copy(); }
    uint32_t queryStringSerializationStyle() const { return m_queryStyle; }
    const QueryStringSerializationBlock& queryStringSerialization() const { return m_queryBlock; }

    // Sets a default header; nullopt removes it.
    void setValueForHTTPHeaderField(const std::optional<std::string>& value, const std::string& field);
    void setAuthorizationHeaderFieldWithUsernamePassword(const std::string& username, const std::string& password);
    void setAuthorizationHeaderFieldWithToken(const std::string& token);
    void clearAuthorizationHeader();
    // Sets the style and drops a query block.
    void setQueryStringSerializationWithStyle(uint32_t style);
    void setQueryStringSerializationWithBlock(QueryStringSerializationBlock block) { m_queryBlock = std::move(block); }

    // A new request for the URL with the method, the default headers and the parameters
    // (nil for none). A URL string that does not parse gives a request without URL.
    Ref<NSMutableURLRequest> requestWithMethodURLStringParameters(
        const std::string& method, const std::string& URLString, const Value& parameters);
    // A "multipart/form-data" request whose body stream holds one part per flattened parameter
    // and whatever `block` appends.
    Ref<NSMutableURLRequest> multipartFormRequestWithMethodURLStringParametersConstructingBodyWithBlock(
        const std::string& method, const std::string& URLString, const Value& parameters,
        const ConstructingBodyBlock& block);

    Ref<NSMutableURLRequest> requestBySerializingRequestWithParametersError(
        const Ref<NSURLRequest>& request, const Value& parameters, Ref<NSError>* error) override;

    void encodeWithCoder(NSCoder& coder) override;
    static Ref<VNHTTPRequestSerializer> initWithCoder(NSCoder& coder);
    // A fresh serializer of the same class with this one's headers, style and query block.
    virtual Ref<VNHTTPRequestSerializer> copy() const;

protected:
    // Sets the defaults (encoding, headers, URI methods).
    void initialize();
    // A new, initialized serializer of the receiver's class.
    virtual Ref<VNHTTPRequestSerializer> makeFresh() const { return init(); }
    // A mutable copy of `request` with each default header it lacks.
    Ref<NSMutableURLRequest> copyWithDefaultHeaders(const Ref<NSURLRequest>& request) const;
    bool encodesParametersInURI(const Ref<NSURLRequest>& request) const;
    void decodeBaseState(NSCoder& coder);

private:
    NSStringEncoding m_stringEncoding { NSUTF8StringEncoding };
    std::set<std::string> m_methodsInURI;
    Value m_headers;
    uint32_t m_queryStyle { VNHTTPRequestQueryStringDefaultStyle };
    QueryStringSerializationBlock m_queryBlock;
};
