#pragma once

#include "ar/SLKObjectDelegate.h"
#include "ar/SLKViewController.h"

#include <optional>

class AVCaptureStillImageOutput;
class CLLocation;
class KESTPlane;
class NSTimer;
class UIButton;
class UIImage;

// The application's camera screen: the live planes near the user as labels over the camera
// picture, a radar in a corner, a close and a share button. It configures the shared AR
// controller, turns the live planes within 1.5 degrees of the device into labels and keeps that
// set in step with every live-data update. Main thread only; the still capture completes on a
// media queue and hands the picture back to the main queue.
class KESTARViewController : public SLKViewController, public SLKControllerDelegate {
    VX_OBJECT(KESTARViewController, SLKViewController)
public:
    // The text and link shared with the snapshot.
    static constexpr const char* shareText = "Check this out in Volantrix!";
    static constexpr const char* shareLink = "https://volantrix.example/";

    explicit KESTARViewController(Passkey key)
        : SLKViewController(key)
    {
    }
    static Ref<KESTARViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<KESTARViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);

    // SLKViewControllerDelegate answers.
    bool usesCameraPreview() const override { return true; }
    bool fadesInCameraPreview() const override { return false; }
    bool rotatesARView() const override { return true; }
    bool showARViewInOrientation(int32_t) const override { return true; }
    void switchFaceUp(bool faceUp) override;
    bool prefersStatusBarHidden() const override { return true; }
    bool shouldAutorotate() const override { return true; }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override { return 30; }

    // SLKControllerDelegate.
    void arDidTapObject(const Ref<SLKObjectDelegate>&) override { }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void didUpdateLocation(const Ref<CLLocation>& location) override;

    void createARPoiObjects();
    void updateARObjects();
    void updateMarkers(const Ref<NSTimer>& timer);
    void closePress();
    void sharePress();

    const Ref<CLLocation>& userLocationStored() const { return m_userLocationStored; }
    void setUserLocationStored(const Ref<CLLocation>& location) { m_userLocationStored = location; }
    bool hasARPoiObjects() const { return m_hasARPoiObjects; }
    bool createdInitialObjects() const { return m_createdInitialObjects; }
    int32_t radarThumbnailPosition() const { return m_radarThumbnailPosition; }
    const Ref<NSTimer>& arUpdateTimer() const { return m_arUpdateTimer; }
    const Ref<UIButton>& closeButton() const { return m_closeButton; }
    const Ref<UIButton>& shareButton() const { return m_shareButton; }
    const Ref<AVCaptureStillImageOutput>& stillImageOutput() const { return m_stillImageOutput; }

    // The planes inside the nearby window around the stored location (bounds excluded).
    std::vector<Ref<KESTPlane>> planesNearby() const;
    // Draws the share picture: the camera still with the screen's views over it and the logo on
    // a white strip below. Main thread.
    Ref<UIImage> shareImageWithCameraStill(const Ref<UIImage>& still);

private:
    void registerForLiveData();
    void unregisterFromLiveData();
    void createAndRegisterLabel(const Ref<KESTPlane>& plane);
    void presentShareSheet(const Value& jpeg);

    int32_t m_radarThumbnailPosition { 0 };
    Ref<AVCaptureStillImageOutput> m_stillImageOutput;
    Ref<NSTimer> m_arUpdateTimer;
    bool m_hasARPoiObjects { false };
    bool m_createdInitialObjects { false };
    Ref<NSObject> m_liveDataUpdateNotifier;
    Ref<CLLocation> m_userLocationStored;
    Ref<UIButton> m_closeButton;
    Ref<UIButton> m_shareButton;
    // Whether the status bar was hidden before the screen hid it, until the screen gives it back.
    std::optional<bool> m_statusBarHiddenBefore;
};
