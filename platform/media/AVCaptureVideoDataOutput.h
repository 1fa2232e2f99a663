#pragma once

#include "foundation/Dispatch.h"
#include "foundation/Value.h"
#include "media/AVCaptureOutput.h"
#include "media/CMSampleBuffer.h"

class AVCaptureVideoDataOutput;

// Receives the frames of a video data output, on the queue the output was given.
class AVCaptureVideoDataOutputSampleBufferDelegate {
public:
    virtual ~AVCaptureVideoDataOutputSampleBufferDelegate() = default;
    virtual void captureOutputDidOutputSampleBufferFromConnection(const Ref<AVCaptureVideoDataOutput>& output,
        const Ref<CMSampleBuffer>& buffer, const Ref<AVCaptureConnection>& connection)
        = 0;
};

inline constexpr uint32_t kCVPixelFormatType_32BGRA = 0x42475241; // 'BGRA'

// Hands every camera frame of a running session to a (weakly held) delegate on a queue. The
// simulated camera produces a frame each time the host calls deliverFrame. Main thread, except
// the delegate's calls.
class AVCaptureVideoDataOutput : public AVCaptureOutput {
    VX_OBJECT(AVCaptureVideoDataOutput, AVCaptureOutput)
public:
    explicit AVCaptureVideoDataOutput(Passkey key)
        : AVCaptureOutput(key)
    {
    }
    static Ref<AVCaptureVideoDataOutput> init() { return make<AVCaptureVideoDataOutput>(); }

    bool alwaysDiscardsLateVideoFrames() const { return m_discardsLate; }
    void setAlwaysDiscardsLateVideoFrames(bool v) { m_discardsLate = v; }
    const Value& videoSettings() const { return m_videoSettings; }
    void setVideoSettings(Value settings) { m_videoSettings = std::move(settings); }
    void setSampleBufferDelegateQueue(
        const std::weak_ptr<AVCaptureVideoDataOutputSampleBufferDelegate>& delegate, dispatch_queue_t queue);
    // A video connection exists from creation, so callers can configure it before joining a session.
    Ref<AVCaptureConnection> videoConnection() const { return m_connection; }

    // The host's side: one frame of the given size to the delegate, when the output belongs to a
    // running session. Answers whether a frame was sent.
    bool deliverFrame(size_t width = 640, size_t height = 480);

private:
    bool m_discardsLate { true };
    Value m_videoSettings;
    std::weak_ptr<AVCaptureVideoDataOutputSampleBufferDelegate> m_delegate;
    dispatch_queue_t m_queue;
    bool m_hasQueue { false };
    Ref<AVCaptureConnection> m_connection = AVCaptureConnection::initWithInputPortMediaTypes({ "vide" });
};
