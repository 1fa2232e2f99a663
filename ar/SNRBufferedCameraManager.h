#pragma once

#include "ar/SNRCameraManager.h"
#include "foundation/Dispatch.h"
#include "graphics/CGGeometry.h"
#include "media/AVCaptureVideoDataOutput.h"

class CALayer;

// Receives every camera frame itself on the serial queue "VideoQueue", turns it into an image
// and shows it as the contents of a plain layer that it sizes and turns for the interface
// orientation; it can pause the picture. Frames hop to the main queue synchronously; a frame that
// arrives after stop touches nothing. Main thread, except the frames.
class SNRBufferedCameraManager : public SNRCameraManager, public AVCaptureVideoDataOutputSampleBufferDelegate {
    VX_OBJECT(SNRBufferedCameraManager, SNRCameraManager)
public:
    explicit SNRBufferedCameraManager(Passkey key)
        : SNRCameraManager(key)
    {
    }
    ~SNRBufferedCameraManager() override;
    static Ref<SNRBufferedCameraManager> initWithView(const Ref<UIView>& view);

    void startCameraPreview() override;
    void stopCameraPreview(bool) override;
    void toggleCameraPreviewPause() override;
    void unpauseCameraPreview() override;
    void willRotateToInterfaceOrientationDuration(int32_t orientation, double duration) override;
    void captureOutputDidOutputSampleBufferFromConnection(const Ref<AVCaptureVideoDataOutput>& output,
        const Ref<CMSampleBuffer>& buffer, const Ref<AVCaptureConnection>& connection) override;

    void updateCameraPreviewSize();
    void updateCameraPreviewSizeForOrientationDuration(int32_t orientation, double duration);
    static CGRect aspectFittedRectMax(CGRect source, CGRect target);
    static CGRect aspectFilledRectMax(CGRect source, CGRect target);

    const Ref<CALayer>& cameraPreviewLayer() const { return m_cameraPreviewLayer; }
    const Ref<AVCaptureVideoDataOutput>& dataOutput() const { return m_dataOutput; }
    CGSize cameraPreviewImageSize() const { return m_cameraPreviewImageSize; }
    bool cameraPreviewHadFirstFrame() const { return m_cameraPreviewHadFirstFrame; }

private:
    Ref<AVCaptureVideoDataOutput> m_dataOutput;
    Ref<AVCaptureConnection> m_videoConnection;
    Ref<CALayer> m_cameraPreviewLayer;
    CGSize m_cameraPreviewImageSize {};
    bool m_cameraPreviewNeedsResize { false };
    bool m_cameraPreviewHadFirstFrame { false };
    bool m_videoConnectionSupportsVideoOrientation { false };
};
