#pragma once

#include "ar/SNRCameraManager.h"
#include "graphics/CGGeometry.h"
#include "media/AVCaptureVideoDataOutput.h"

#include <vector>

class AVCaptureVideoPreviewLayer;

// Shows the back camera with the platform's preview layer inside a view and measures the frame
// size from the frames it receives (on the main queue). Once stopped it keeps reporting started;
// a second stop or a rotation then does nothing. Main thread only.
class SNRNativeCameraManager : public SNRCameraManager, public AVCaptureVideoDataOutputSampleBufferDelegate {
    VX_OBJECT(SNRNativeCameraManager, SNRCameraManager)
public:
    explicit SNRNativeCameraManager(Passkey key)
        : SNRCameraManager(key)
    {
    }
    static Ref<SNRNativeCameraManager> initWithView(const Ref<UIView>& view);
    // The presets probed, in order.
    static const std::vector<std::string>& presetsToProbe();
    // The class-wide video data output of the last start.
    static Ref<AVCaptureVideoDataOutput> videoDataOutput();

    void startCameraPreview() override;
    void stopCameraPreview(bool) override;
    void willRotateToInterfaceOrientationDuration(int32_t orientation, double duration) override;
    void captureOutputDidOutputSampleBufferFromConnection(const Ref<AVCaptureVideoDataOutput>& output,
        const Ref<CMSampleBuffer>& buffer, const Ref<AVCaptureConnection>& connection) override;

    void determineSupportedPresets();
    CGRect previewBounds() const;
    CGSize previewScale() const { return m_previewScale; }
    void setPreviewScale(CGSize scale) { m_previewScale = scale; }
    CGSize previewSize() const { return m_previewSize; }
    const std::string& videoGravity() const { return m_videoGravity; }
    void setVideoGravity(std::string gravity) { m_videoGravity = std::move(gravity); }
    const std::vector<std::string>& videoGravities() const { return m_videoGravities; }
    const std::vector<std::string>& supportedPresets() const { return m_supportedPresets; }
    const Ref<AVCaptureVideoPreviewLayer>& cameraPreviewLayer() const { return m_cameraPreviewLayer; }

private:
    Ref<AVCaptureVideoPreviewLayer> m_cameraPreviewLayer;
    std::string m_videoGravity;
    std::vector<std::string> m_supportedPresets;
    std::vector<std::string> m_videoGravities;
    CGSize m_previewScale {};
    CGSize m_previewSize {};
};
