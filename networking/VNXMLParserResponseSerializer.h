#pragma once

#include "networking/VNHTTPResponseSerializer.h"

// Answers an XML body ("application/xml", "text/xml") as an NSXMLParser made with the data and
// not yet run: the caller sets its delegate and parses. An unacceptable status code still gives
// the parser (with the error); an unacceptable content type gives nil.
class VNXMLParserResponseSerializer : public VNHTTPResponseSerializer {
    VX_OBJECT(VNXMLParserResponseSerializer, VNHTTPResponseSerializer)
public:
    explicit VNXMLParserResponseSerializer(Passkey key)
        : VNHTTPResponseSerializer(key)
    {
    }

    static Ref<VNXMLParserResponseSerializer> init();
    static Ref<VNXMLParserResponseSerializer> serializer() { return init(); }

    // An NSXMLParser object value, or nil.
    Value responseObjectForResponseDataError(
        const Ref<NSURLResponse>& response, const Value& data, Ref<NSError>* error) override;
    // Carries the acceptable status codes and content types over, as the base class does.
    Ref<VNHTTPResponseSerializer> copy() const override;
    static Ref<VNXMLParserResponseSerializer> initWithCoder(NSCoder& coder);
};
