#include "media/AVCaptureVideoDataOutput.h"

#include "media/AVCaptureSession.h"

void AVCaptureVideoDataOutput::setSampleBufferDelegateQueue(
    const std::weak_ptr<AVCaptureVideoDataOutputSampleBufferDelegate>& delegate, dispatch_queue_t queue)
{
    m_delegate = delegate;
    m_queue = queue;
    m_hasQueue = true;
}

bool AVCaptureVideoDataOutput::deliverFrame(size_t width, size_t height)
{
    auto session = this->session();
    if (!session || !session->isRunning() || session->inputs().empty() || !m_hasQueue)
        return false;
    auto frame = CMSampleBuffer::frameWithSize(width, height);
    auto self = this->self<AVCaptureVideoDataOutput>();
    auto connection = m_connection;
    auto delegate = m_delegate;
    dispatch_async(m_queue, [delegate, self, frame, connection]() {
        if (auto target = delegate.lock())
            target->captureOutputDidOutputSampleBufferFromConnection(self, frame, connection);
    });
    return true;
}
