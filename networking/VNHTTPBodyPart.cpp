#include "networking/VNHTTPBodyPart.h"

#include "net/NSURL.h"

#include <algorithm>
#include <cstring>

VX_REGISTER_CLASS(VNHTTPBodyPart);

namespace {
constexpr const char* kCRLF = "\r\n";
}

VNHTTPBodyPart::~VNHTTPBodyPart()
{
    if (m_inputStream)
        m_inputStream->close();
}

Ref<VNHTTPBodyPart> VNHTTPBodyPart::init()
{
    auto part = make<VNHTTPBodyPart>();
    part->transitionToNextPhase();
    return part;
}

const Ref<NSInputStream>& VNHTTPBodyPart::inputStream()
{
    if (!m_inputStream) {
        if (m_body.isData()) {
            m_inputStream = NSInputStream::inputStreamWithData(m_body);
        } else if (auto url = m_body.objectAs<NSURL>()) {
            m_inputStream = NSInputStream::inputStreamWithURL(url);
        } else if (auto stream = m_body.objectAs<NSInputStream>()) {
            m_inputStream = stream;
        } else {
            // Anything else reads as an empty body.
            m_inputStream = NSInputStream::inputStreamWithData(Value::data(Value::Bytes()));
        }
    }
    return m_inputStream;
}

Value::Bytes VNHTTPBodyPart::encoded(const std::string& text) const
{
    return NSString::dataUsingEncoding(text, m_stringEncoding).value_or(Value::Bytes());
}

std::string VNHTTPBodyPart::openingBoundaryText() const
{
    if (m_hasInitialBoundary)
        return NSString::stringWithFormat("--%@%@", VNMultipartFormBoundary, kCRLF);
    return NSString::stringWithFormat("%@--%@%@", kCRLF, VNMultipartFormBoundary, kCRLF);
}

std::string VNHTTPBodyPart::closingBoundaryText() const
{
    if (m_hasFinalBoundary)
        return NSString::stringWithFormat("%@--%@--%@", kCRLF, VNMultipartFormBoundary, kCRLF);
    return std::string();
}

std::string VNHTTPBodyPart::stringForHeaders() const
{
    std::string text;
    for (const auto& [field, value] : m_headers.entries())
        text += NSString::stringWithFormat("%@: %@%@", field.stringValue(), value.stringValue(), kCRLF);
    text += kCRLF;
    return text;
}

uint64_t VNHTTPBodyPart::contentLength() const
{
    return encoded(openingBoundaryText()).size() + encoded(stringForHeaders()).size() + m_bodyContentLength
        + encoded(closingBoundaryText()).size();
}

bool VNHTTPBodyPart::hasBytesAvailable()
{
    // The closing boundary may not have fitted into the last read.
    if (m_phase == FinalBoundaryPhase)
        return true;
    return inputStream()->streamStatus() < NSStreamStatusAtEnd;
}

int64_t VNHTTPBodyPart::read(uint8_t* buffer, size_t maxLength)
{
    size_t total = 0;
    if (m_phase == EncapsulationBoundaryPhase)
        total += static_cast<size_t>(readData(encoded(openingBoundaryText()), buffer, maxLength));
    if (m_phase == HeaderPhase)
        total += static_cast<size_t>(readData(encoded(stringForHeaders()), buffer + total, maxLength - total));
    if (m_phase == BodyPhase) {
        int64_t count = 0;
        if (maxLength > total) {
            count = inputStream()->read(buffer + total, maxLength - total);
            if (count == -1)
                return -1;
            total += static_cast<size_t>(count);
        }
        if (inputStream()->streamStatus() >= NSStreamStatusAtEnd)
            transitionToNextPhase();
    }
    if (m_phase == FinalBoundaryPhase)
        total += static_cast<size_t>(readData(encoded(closingBoundaryText()), buffer + total, maxLength - total));
    return static_cast<int64_t>(total);
}

int64_t VNHTTPBodyPart::readData(const Value::Bytes& data, uint8_t* buffer, size_t maxLength)
{
    uint64_t remaining = data.size() > m_phaseReadOffset ? data.size() - m_phaseReadOffset : 0;
    size_t count = static_cast<size_t>(std::min<uint64_t>(remaining, maxLength));
    if (count)
        std::memcpy(buffer, data.data() + m_phaseReadOffset, count);
    m_phaseReadOffset += count;
    if (m_phaseReadOffset >= data.size())
        transitionToNextPhase();
    return static_cast<int64_t>(count);
}

// Phase changes run on the thread that reads the body. The part's streams are data and file
// streams, which need no run loop, so there is no reason to wait for a (possibly busy) main
// thread here.
bool VNHTTPBodyPart::transitionToNextPhase()
{
    switch (m_phase) {
    case BodyPhase:
        inputStream()->close();
        m_phase = FinalBoundaryPhase;
        break;
    case HeaderPhase:
        inputStream()->open();
        m_phase = BodyPhase;
        break;
    case EncapsulationBoundaryPhase:
        m_phase = HeaderPhase;
        break;
    default:
        m_phase = EncapsulationBoundaryPhase;
        break;
    }
    m_phaseReadOffset = 0;
    return true;
}

Ref<VNHTTPBodyPart> VNHTTPBodyPart::copy() const
{
    auto part = init();
    part->m_stringEncoding = m_stringEncoding;
    part->m_headers = m_headers;
    part->m_body = m_body;
    part->m_bodyContentLength = m_bodyContentLength;
    return part;
}
