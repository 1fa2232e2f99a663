#include "media/AVCaptureOutput.h"

#include "media/AVCaptureDevice.h"

Ref<AVCaptureConnection> AVCaptureOutput::connectionWithMediaType(const std::string& mediaType) const
{
    for (auto& connection : m_connections) {
        for (auto& type : connection->inputPortMediaTypes()) {
            if (type == mediaType)
                return connection;
        }
    }
    return nullptr;
}

void AVCaptureOutput::attachToSession(const Ref<AVCaptureSession>& session, size_t videoInputs)
{
    m_session = session;
    m_connections.clear();
    for (size_t i = 0; i < videoInputs; ++i)
        m_connections.push_back(AVCaptureConnection::initWithInputPortMediaTypes({ AVMediaTypeVideo }));
}

void AVCaptureOutput::detachFromSession()
{
    m_session.reset();
    m_connections.clear();
}
