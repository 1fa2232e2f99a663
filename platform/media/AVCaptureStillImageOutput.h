#pragma once

#include "foundation/Dispatch.h"
#include "foundation/Value.h"
#include "media/AVCaptureOutput.h"
#include "media/CMSampleBuffer.h"

#include <functional>

inline constexpr const char* AVVideoCodecKey = "AVVideoCodecKey";
inline constexpr const char* AVVideoCodecJPEG = "jpeg";

// Takes still pictures from a running session. A capture completes asynchronously on a media
// queue of the output's own: with a JPEG of the camera's current picture, or with nil and an
// error when the session is not running or the connection is not one of this output's.
// Capture calls on the main thread; the handler runs on the media queue.
class AVCaptureStillImageOutput : public AVCaptureOutput {
    VX_OBJECT(AVCaptureStillImageOutput, AVCaptureOutput)
public:
    using CompletionHandler = std::function<void(const Ref<CMSampleBuffer>& buffer, const Ref<NSError>& error)>;

    explicit AVCaptureStillImageOutput(Passkey key)
        : AVCaptureOutput(key)
    {
    }
    static Ref<AVCaptureStillImageOutput> init() { return make<AVCaptureStillImageOutput>(); }

    const Value& outputSettings() const { return m_outputSettings; }
    void setOutputSettings(Value settings) { m_outputSettings = std::move(settings); }
    bool isCapturingStillImage() const { return m_capturing; }

    void captureStillImageAsynchronouslyFromConnection(
        const Ref<AVCaptureConnection>& connection, CompletionHandler handler);
    // The JPEG bytes of a captured buffer; nil for a nil buffer.
    static Value jpegStillImageNSDataRepresentation(const Ref<CMSampleBuffer>& buffer);

    // The pixel size of captured stills.
    static constexpr size_t stillWidth = 1024;
    static constexpr size_t stillHeight = 768;

private:
    Value m_outputSettings;
    bool m_capturing { false };
};
