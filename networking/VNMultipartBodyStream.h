#pragma once

#include "foundation/NSString.h"
#include "net/NSStream.h"
#include "networking/VNHTTPBodyPart.h"

#include <cstdint>
#include <limits>
#include <vector>

// The body stream of a multipart request: produces each part's boundary, headers, body and the
// closing boundary as the loader reads, without assembling the body. Used from the thread that
// reads it (the loader's), one reader at a time.
class VNMultipartBodyStream : public NSInputStream {
    VX_OBJECT(VNMultipartBodyStream, NSInputStream)
public:
    explicit VNMultipartBodyStream(Passkey key)
        : NSInputStream(key)
    {
    }

    static Ref<VNMultipartBodyStream> initWithStringEncoding(NSStringEncoding encoding);

    uint32_t numberOfBytesInPacket() const { return m_numberOfBytesInPacket; }
    void setNumberOfBytesInPacket(uint32_t size) { m_numberOfBytesInPacket = size; }
    double delay() const { return m_delay; }
    void setDelay(double delay) { m_delay = delay; }
    NSStringEncoding stringEncoding() const { return m_stringEncoding; }
    const std::vector<Ref<VNHTTPBodyPart>>& HTTPBodyParts() const { return m_parts; }
    const Ref<VNHTTPBodyPart>& currentHTTPBodyPart() const { return m_currentPart; }

    void appendHTTPBodyPart(const Ref<VNHTTPBodyPart>& part) { m_parts.push_back(part); }
    bool isEmpty() const { return m_parts.empty(); }
    // Marks the first part as opening the body and the last as closing it.
    void setInitialAndFinalBoundaries();
    uint64_t contentLength() const;

    void open() override;
    void close() override;
    // Bytes read; 0 once closed or when every part is done. A part stream that fails stops the
    // read, its error becomes streamError() and the stream is in error: later reads answer -1.
    int64_t read(uint8_t* buffer, size_t maxLength) override;
    bool hasBytesAvailable() const override { return m_status == NSStreamStatusOpen; }
    // The body offers no direct buffer and no stream properties.
    bool getBufferLength(uint8_t**, size_t*) const { return false; }
    Value propertyForKey(const std::string&) const override { return Value(); }
    bool setPropertyForKey(const Value&, const std::string&) { return false; }

    // A new stream with the same encoding and copies of the parts (packet size and delay are not
    // copied).
    Ref<VNMultipartBodyStream> copy() const;

private:
    uint32_t m_numberOfBytesInPacket { static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) };
    double m_delay { 0 };
    NSStringEncoding m_stringEncoding { NSUTF8StringEncoding };
    std::vector<Ref<VNHTTPBodyPart>> m_parts;
    size_t m_nextPartIndex { 0 };
    Ref<VNHTTPBodyPart> m_currentPart;
};
