#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "net/NSMutableURLRequest.h"
#include "networking/VNMultipartBodyStream.h"
#include "networking/VNMultipartFormData.h"

// The form a multipart request's body block fills: each append adds a part to the body stream,
// and finalising makes that stream the request's body. Fill it on one thread, then finalise once.
class VNStreamingMultipartFormData : public NSObject, public VNMultipartFormData {
    VX_OBJECT(VNStreamingMultipartFormData, NSObject)
public:
    explicit VNStreamingMultipartFormData(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<VNStreamingMultipartFormData> initWithURLRequestStringEncoding(
        const Ref<NSURLRequest>& request, NSStringEncoding encoding);

    const Ref<NSMutableURLRequest>& request() const { return m_request; }
    void setRequest(const Ref<NSURLRequest>& request) { m_request = request ? request->mutableCopy() : nullptr; }
    const Ref<VNMultipartBodyStream>& bodyStream() const { return m_bodyStream; }
    NSStringEncoding stringEncoding() const { return m_stringEncoding; }

    bool appendPartWithFileURLNameError(
        const Ref<NSURL>& fileURL, const std::string& name, Ref<NSError>* error) override;
    bool appendPartWithFileURLNameFileNameMimeTypeError(const Ref<NSURL>& fileURL, const std::string& name,
        const std::string& fileName, const std::string& mimeType, Ref<NSError>* error) override;
    void appendPartWithInputStreamNameFileNameLengthMimeType(const Ref<NSInputStream>& inputStream,
        const std::string& name, const std::string& fileName, int64_t length, const std::string& mimeType) override;
    void appendPartWithFileDataNameFileNameMimeType(
        const Value& data, const std::string& name, const std::string& fileName, const std::string& mimeType) override;
    void appendPartWithFormDataName(const Value& data, const std::string& name) override;
    void appendPartWithHeadersBody(const Value& headers, const Value& body) override;
    void throttleBandwidthWithPacketSizeDelay(uint32_t numberOfBytes, double delay) override;

    // The request with the body stream, "Content-Type" (multipart/form-data with the boundary)
    // and "Content-Length"; unchanged when no part was appended.
    Ref<NSMutableURLRequest> requestByFinalizingMultipartFormData();

private:
    Ref<NSMutableURLRequest> m_request;
    Ref<VNMultipartBodyStream> m_bodyStream;
    NSStringEncoding m_stringEncoding { NSUTF8StringEncoding };
};
