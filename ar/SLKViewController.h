#pragma once

#include "ar/SNRSensorDelegate.h"
#include "uikit/UIViewController.h"

class AVCaptureSession;
class AVCaptureVideoPreviewLayer;
class NSTimer;
class SLKRadarView;
class SLKView;
class SNRDeviceAttitude;
class SNRSensorManager;
class UILabel;

// The behaviour switches of the AR screen; SLKViewController answers them itself and a
// subclass overrides them.
class SLKViewControllerDelegate {
public:
    virtual ~SLKViewControllerDelegate() = default;
    virtual bool usesCameraPreview() const = 0;
    virtual bool fadesInCameraPreview() const = 0;
    virtual bool startsARAutomatically() const = 0;
    virtual bool showARViewInOrientation(int32_t deviceOrientation) const = 0;
    virtual bool rotatesARView() const = 0;
    virtual float sizeOfNotification() const = 0;
    virtual void switchFaceUp(bool faceUp) = 0;
    virtual void switchFaceDown(bool faceDown) = 0;
};

// The AR kit's screen: from the bottom, the live camera picture, the overlay, the radar and a
// square status banner. It starts and stops the shared AR controller with the screen, becomes
// its sensor delegate, turns the AR availability into visibility and banner texts, switches the
// radar between thumbnail and fullscreen when the device lies face up, hides it face down, and
// animates the orientation offset when the interface rotates. Main thread only.
class SLKViewController : public UIViewController, public SNRSensorDelegate, public SLKViewControllerDelegate {
    VX_OBJECT(SLKViewController, UIViewController)
public:
    explicit SLKViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<SLKViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<SLKViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeController<SLKViewController>(nibName, bundle);
    }

    static Ref<SLKViewController> activeViewController();
    static void setActiveViewController(const Ref<SLKViewController>& controller);
    static void resetForTesting();

    // SLKViewControllerDelegate.
    bool usesCameraPreview() const override { return true; }
    bool fadesInCameraPreview() const override { return true; }
    bool startsARAutomatically() const override { return true; }
    bool showARViewInOrientation(int32_t deviceOrientation) const override;
    bool rotatesARView() const override { return true; }
    float sizeOfNotification() const override;
    void switchFaceUp(bool faceUp) override;
    void switchFaceDown(bool faceDown) override;

    // Life cycle.
    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewWillUnload();
    void viewDidUnload();
    bool shouldAutorotate() const override { return !rotatesARView(); }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    void willRotateToInterfaceOrientationDuration(UIInterfaceOrientation orientation, double duration) override;
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation orientation) override;

    // AR control.
    void startAR();
    void stopAR();
    void updateState();
    void setARViewVisible(bool visible);
    void centerArView();
    void createARView();
    void createARRadarView();
    bool paused() const { return m_paused; }
    void setPaused(bool paused) { m_paused = paused; }
    int32_t availability() const { return m_availability; }

    void setNotification(const std::optional<std::string>& text);
    bool notificationVisible() const { return m_notificationVisible; }
    const Ref<UILabel>& notificationLabel() const { return m_notificationLabel; }

    void startCameraPreview();
    void updateCameraPreview();
    void stopCameraPreview();
    const Ref<UIView>& cameraView() const { return m_cameraView; }
    const Ref<AVCaptureSession>& cameraAvCaptureSession() const { return m_cameraAvCaptureSession; }
    const Ref<AVCaptureVideoPreviewLayer>& cameraAvCaptureVideoPreviewLayer() const
    {
        return m_cameraAvCaptureVideoPreviewLayer;
    }
    bool cameraPreviewVisible() const { return m_cameraPreviewVisible; }

    const Ref<SLKView>& arView() const { return m_arView; }
    const Ref<SLKRadarView>& arRadarView() const { return m_arRadarView; }
    float orientationOffsetAngle() const { return m_orientationOffsetAngle; }
    void setOrientationOffsetAngle(float angle) { m_orientationOffsetAngle = angle; }
    Ref<SNRSensorManager> sensorManager() const;
    Ref<SNRDeviceAttitude> deviceAttitude() const;

    // Touches (also reached through the overlay).
    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    bool touched() const { return m_touched; }
    bool tapped() const { return m_touched; }
    bool touchMoved() const { return m_touchMoved; }
    float touchDragX() const;
    float touchDragY() const;
    float touchMovedX() const;
    float touchMovedY() const;
    void resetTouchDrag() { m_lastTouchDistance = CGPointZero; }

    // SNRSensorDelegate.
    void didChangeStatus(int32_t) override { }
    void didReceiveErrorCode(int32_t) override { }
    void didChangeSensorUpdateModeFromModeMotionIncludesHeading(uint32_t, uint32_t, bool) override { }
    void didUpdateLocation(const Ref<CLLocation>&) override { }
    void didUpdateHeading(const Ref<CLHeading>&) override { }
    void didChangeSignalQuality(int32_t) override { }
    void didChangeDeviceOrientation(int32_t orientation) override;
    void didChangeAuthorizationStatus(int32_t) override { updateState(); }

    // The interface orientation's offset from portrait, in degrees.
    static float offsetForInterfaceOrientation(int32_t orientation);

private:
    void animateOrientationOffsetAngle(const Ref<NSTimer>& timer);
    std::string bannerText(const std::string& key) const;
    CGPoint touchLocation(const UITouchSet& touches) const;

    Ref<UILabel> m_notificationLabel;
    bool m_paused { false };
    bool m_arViewShouldBeVisible { false };
    int32_t m_availability { 0 };
    bool m_faceDownDidSetNotification { false };
    CGPoint m_lastTouchPosition {};
    CGPoint m_initialTouchPosition {};
    CGPoint m_overallTouchDistance {};
    CGPoint m_lastTouchDistance {};
    bool m_cameraPreviewVisible { false };
    bool m_touched { false };
    bool m_touchMoved { false };
    bool m_notificationVisible { false };
    Ref<SLKView> m_arView;
    Ref<SLKRadarView> m_arRadarView;
    Ref<UIView> m_cameraView;
    Ref<AVCaptureSession> m_cameraAvCaptureSession;
    Ref<AVCaptureVideoPreviewLayer> m_cameraAvCaptureVideoPreviewLayer;
    float m_orientationOffsetAngle { 0 };
    Ref<NSTimer> m_orientationTimer;
};
