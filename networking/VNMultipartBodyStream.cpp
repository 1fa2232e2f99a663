#include "networking/VNMultipartBodyStream.h"

#include "foundation/NSThread.h"

#include <algorithm>

VX_REGISTER_CLASS(VNMultipartBodyStream);

Ref<VNMultipartBodyStream> VNMultipartBodyStream::initWithStringEncoding(NSStringEncoding encoding)
{
    auto stream = make<VNMultipartBodyStream>();
    stream->m_stringEncoding = encoding;
    return stream;
}

void VNMultipartBodyStream::setInitialAndFinalBoundaries()
{
    if (m_parts.empty())
        return;
    for (const auto& part : m_parts) {
        part->setHasInitialBoundary(false);
        part->setHasFinalBoundary(false);
    }
    m_parts.front()->setHasInitialBoundary(true);
    m_parts.back()->setHasFinalBoundary(true);
}

uint64_t VNMultipartBodyStream::contentLength() const
{
    uint64_t length = 0;
    for (const auto& part : m_parts)
        length += part->contentLength();
    return length;
}

void VNMultipartBodyStream::open()
{
    if (m_status == NSStreamStatusOpen)
        return;
    m_status = NSStreamStatusOpen;
    setInitialAndFinalBoundaries();
    m_nextPartIndex = 0;
    m_currentPart = nullptr;
}

void VNMultipartBodyStream::close()
{
    m_status = NSStreamStatusClosed;
}

int64_t VNMultipartBodyStream::read(uint8_t* buffer, size_t maxLength)
{
    if (m_status == NSStreamStatusClosed)
        return 0;
    // After a part failed, the body cannot be completed: say so rather than end it early.
    if (m_status == NSStreamStatusError)
        return -1;
    size_t total = 0;
    const size_t limit = std::min<size_t>(maxLength, m_numberOfBytesInPacket);
    while (total < limit) {
        if (!m_currentPart || !m_currentPart->hasBytesAvailable()) {
            if (m_nextPartIndex >= m_parts.size())
                break;
            m_currentPart = m_parts[m_nextPartIndex++];
            continue;
        }
        int64_t count = m_currentPart->read(buffer + total, maxLength - total);
        if (count == -1) {
            m_error = m_currentPart->inputStream()->streamError();
            m_status = NSStreamStatusError;
            break;
        }
        total += static_cast<size_t>(count);
        // A part stream that has nothing to give yet must not make this loop spin.
        if (count == 0 && m_currentPart->hasBytesAvailable())
            break;
        if (m_delay > 0)
            NSThread::sleepForTimeInterval(m_delay);
    }
    return static_cast<int64_t>(total);
}

Ref<VNMultipartBodyStream> VNMultipartBodyStream::copy() const
{
    auto stream = initWithStringEncoding(m_stringEncoding);
    for (const auto& part : m_parts)
        stream->appendHTTPBodyPart(part->copy());
    stream->setInitialAndFinalBoundaries();
    return stream;
}
