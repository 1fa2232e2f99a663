#pragma once

#include "foundation/NSObject.h"

#include <atomic>
#include <optional>
#include <string>

class AVCaptureDeviceInput;
class AVCaptureSession;
class UIView;

// What the kit's two camera preview managers share: the view that shows the picture, the
// session, the opened camera, the preset and the started and paused flags. The base's operations
// do nothing. Main thread only, except the paused flag: it is written on the main thread and read
// for every frame on whatever queue the frames arrive on, so it is atomic.
class SNRCameraManager : public NSObject {
    VX_OBJECT(SNRCameraManager, NSObject)
public:
    explicit SNRCameraManager(Passkey key)
        : NSObject(key)
    {
    }

    virtual void startCameraPreview() { }
    virtual void stopCameraPreview(bool) { }
    virtual void toggleCameraPreviewPause() { }
    virtual void unpauseCameraPreview() { }
    virtual void willRotateToInterfaceOrientationDuration(int32_t, double) { }
    virtual void didRotateFromInterfaceOrientation(int32_t) { }

    const Ref<UIView>& cameraView() const { return m_cameraView; }
    const Ref<AVCaptureSession>& session() const { return m_session; }
    bool cameraPreviewPaused() const { return m_cameraPreviewPaused; }
    bool cameraPreviewStarted() const { return m_cameraPreviewStarted; }
    const std::optional<std::string>& sessionPreset() const { return m_sessionPreset; }
    void setSessionPreset(std::optional<std::string> preset) { m_sessionPreset = std::move(preset); }

protected:
    Ref<AVCaptureDeviceInput> m_input;
    std::atomic<bool> m_cameraPreviewPaused { false };
    bool m_cameraPreviewStarted { false };
    Ref<UIView> m_cameraView;
    Ref<AVCaptureSession> m_session;
    std::optional<std::string> m_sessionPreset;

    // Opens the default camera and adds it to the session; logs and answers nil when it cannot.
    Ref<AVCaptureDeviceInput> openCamera();
    // False (with the log line) when the device has no back camera.
    static bool hasBackCamera();
};
