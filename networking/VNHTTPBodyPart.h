#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "foundation/Value.h"
#include "net/NSStream.h"
#include "net/NetForward.h"

#include <cstdint>
#include <string>

// The fixed boundary between the parts of a multipart body.
inline constexpr const char* VNMultipartFormBoundary = "Boundary+0xAbCdEfGbOuNdArY";

// One part of a multipart body: its boundary, header lines, body (data, a file URL or an input
// stream) and, for the last part, the closing boundary, delivered in phases as the body stream
// reads. Used from the thread that reads the body stream.
class VNHTTPBodyPart : public NSObject {
    VX_OBJECT(VNHTTPBodyPart, NSObject)
public:
    enum Phase : int32_t {
        EncapsulationBoundaryPhase = 1,
        HeaderPhase = 2,
        BodyPhase = 3,
        FinalBoundaryPhase = 4,
    };

    explicit VNHTTPBodyPart(Passkey key)
        : NSObject(key)
    {
    }
    ~VNHTTPBodyPart() override;

    // A part in the boundary phase with nothing read.
    static Ref<VNHTTPBodyPart> init();

    NSStringEncoding stringEncoding() const { return m_stringEncoding; }
    void setStringEncoding(NSStringEncoding encoding) { m_stringEncoding = encoding; }
    const Value& headers() const { return m_headers; }
    void setHeaders(const Value& headers) { m_headers = headers; }
    // A data Value, or an object Value holding an NSURL (a file) or an NSInputStream.
    const Value& body() const { return m_body; }
    void setBody(const Value& body) { m_body = body; }
    uint64_t bodyContentLength() const { return m_bodyContentLength; }
    void setBodyContentLength(uint64_t length) { m_bodyContentLength = length; }
    bool hasInitialBoundary() const { return m_hasInitialBoundary; }
    void setHasInitialBoundary(bool value) { m_hasInitialBoundary = value; }
    bool hasFinalBoundary() const { return m_hasFinalBoundary; }
    void setHasFinalBoundary(bool value) { m_hasFinalBoundary = value; }
    Phase phase() const { return m_phase; }

    // The stream the body is read from, made on first use.
    const Ref<NSInputStream>& inputStream();
    // The header lines and the blank line that ends them.
    std::string stringForHeaders() const;
    // Bytes of boundary, headers, body and closing boundary.
    uint64_t contentLength() const;
    bool hasBytesAvailable();
    // Bytes read (0 when nothing fits), or -1 when the body stream failed.
    int64_t read(uint8_t* buffer, size_t maxLength);
    bool transitionToNextPhase();

    // A new part in the first phase with the same encoding, headers, body and length.
    Ref<VNHTTPBodyPart> copy() const;

private:
    std::string openingBoundaryText() const;
    std::string closingBoundaryText() const;
    int64_t readData(const Value::Bytes& data, uint8_t* buffer, size_t maxLength);
    Value::Bytes encoded(const std::string& text) const;

    NSStringEncoding m_stringEncoding { NSUTF8StringEncoding };
    Value m_headers;
    Value m_body;
    uint64_t m_bodyContentLength { 0 };
    Ref<NSInputStream> m_inputStream;
    bool m_hasInitialBoundary { false };
    bool m_hasFinalBoundary { false };
    Phase m_phase { static_cast<Phase>(0) };
    uint64_t m_phaseReadOffset { 0 };
};
