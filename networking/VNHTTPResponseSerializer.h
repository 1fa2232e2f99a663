#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSIndexSet.h"
#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "networking/VNURLResponseSerialization.h"

#include <optional>
#include <set>
#include <string>

// Validates a response's status code and MIME type and hands the body back unchanged.
// Subclasses turn the body into JSON, property lists or images. Keeps no state while working:
// one serializer is shared by many requests on several threads; its settings are not changed
// while requests are in flight.
class VNHTTPResponseSerializer : public NSObject, public VNURLResponseSerialization, public NSCoding {
    VX_OBJECT(VNHTTPResponseSerializer, NSObject)
public:
    using ContentTypes = std::optional<std::set<std::string>>;

    explicit VNHTTPResponseSerializer(Passkey key);

    // UTF-8, status codes 200 to 299, any content type.
    static Ref<VNHTTPResponseSerializer> init();
    static Ref<VNHTTPResponseSerializer> serializer() { return init(); }

    uint32_t stringEncoding() const { return m_stringEncoding; }
    void setStringEncoding(uint32_t encoding) { m_stringEncoding = encoding; }
    // nullptr accepts every status code.
    const Ref<NSIndexSet>& acceptableStatusCodes() const { return m_acceptableStatusCodes; }
    void setAcceptableStatusCodes(Ref<NSIndexSet> codes) { m_acceptableStatusCodes = std::move(codes); }
    // nullopt accepts every content type.
    const ContentTypes& acceptableContentTypes() const { return m_acceptableContentTypes; }
    void setAcceptableContentTypes(ContentTypes types) { m_acceptableContentTypes = std::move(types); }

    // True when the response passes; otherwise fills `error` (when given) with the one failure:
    // an unacceptable status code first, else an unacceptable content type for a non-empty body.
    // A nil or non-HTTP response always passes.
    bool validateResponseDataError(const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error) const;

    // Validates, then answers the data unchanged, also when validation failed.
    Value responseObjectForResponseDataError(
        const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error) override;

    // A new serializer of the same class with copies of both acceptable sets; subclasses copy
    // their own settings onto their defaults instead.
    virtual Ref<VNHTTPResponseSerializer> copy() const;

    // Archives the acceptable status codes and content types (not the string encoding);
    // subclasses add their own settings. Decoding starts from the class's defaults.
    static Ref<VNHTTPResponseSerializer> initWithCoder(NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) override;

protected:
    // Runs the base initialisation on an object a subclass has made.
    void initialize();
    // True when `error` holds the content-type failure that ends every subclass's work.
    static bool isContentTypeFailure(const Ref<NSError>& error);
    // Sets both acceptable sets from an archive.
    void decodeBaseWithCoder(NSCoder& coder);

private:
    uint32_t m_stringEncoding { NSUTF8StringEncoding };
    Ref<NSIndexSet> m_acceptableStatusCodes;
    ContentTypes m_acceptableContentTypes;
};
