#include "media/AVCaptureVideoPreviewLayer.h"

#include "media/MediaSimulator.h"

Ref<AVCaptureVideoPreviewLayer> AVCaptureVideoPreviewLayer::layerWithSession(const Ref<AVCaptureSession>& session)
{
    auto layer = make<AVCaptureVideoPreviewLayer>();
    layer->m_session = session;
    layer->m_connection = AVCaptureConnection::initWithInputPortMediaTypes({ AVMediaTypeVideo });
    return layer;
}

void AVCaptureVideoPreviewLayer::drawBackgroundAndContents(const CGContextRef& context)
{
    CALayer::drawBackgroundAndContents(context);
    if (m_session && m_session->isRunning() && !m_session->inputs().empty())
        MediaSimulator::drawFrame(context, bounds());
}
