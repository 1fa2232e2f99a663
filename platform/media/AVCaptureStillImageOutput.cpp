#include "media/AVCaptureStillImageOutput.h"

#include "foundation/NSError.h"
#include "graphics/UIImage.h"
#include "media/AVCaptureSession.h"
#include "media/MediaSimulator.h"

#include <algorithm>

void AVCaptureStillImageOutput::captureStillImageAsynchronouslyFromConnection(
    const Ref<AVCaptureConnection>& connection, CompletionHandler handler)
{
    if (!handler)
        return;
    auto session = this->session();
    bool ours = connection && std::find(connections().begin(), connections().end(), connection) != connections().end();
    bool running = session && session->isRunning();
    Value jpeg;
    if (ours && running) {
        auto image = UIImage::imageWithCGImage(MediaSimulator::frameImage(stillWidth, stillHeight));
        jpeg = UIImageJPEGRepresentation(image, 0.9f);
    }
    static dispatch_queue_t& s_queue
        = *new dispatch_queue_t(dispatch_queue_create("com.volantrix.media.still", DISPATCH_QUEUE_SERIAL));
    dispatch_async(s_queue, [handler = std::move(handler), jpeg]() {
        if (jpeg.isNilOrNull()) {
            handler(nullptr, NSError::errorWithDomain("AVFoundationErrorDomain", -11803));
            return;
        }
        handler(CMSampleBuffer::initWithData(jpeg, stillWidth, stillHeight), nullptr);
    });
}

Value AVCaptureStillImageOutput::jpegStillImageNSDataRepresentation(const Ref<CMSampleBuffer>& buffer)
{
    if (!buffer)
        return {};
    return buffer->data();
}
