#pragma once

#include "ar/SNRMath.h"
#include "uikit/UIView.h"

class NSTimer;
class SLKViewController;

// The transparent full-screen overlay the AR screen lays over the camera picture; the labels of
// the AR objects are its subviews. It builds the projection from the back camera's field of
// view, multiplies it by the device attitude on every frame, and on every pass of the main run
// loop (while started) renders the objects from the farthest to the nearest, keeping a table of
// vertical sectors in which stacking labels record how high they reach. Touches go to its view
// controller. Main thread only.
class SLKView : public UIView {
    VX_OBJECT(SLKView, UIView)
public:
    static constexpr int32_t maximumStackingSectors = 80;

    explicit SLKView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<SLKView> initWithFrame(CGRect frame);

    static Ref<SLKView> activeView();
    static void setActiveView(const Ref<SLKView>& view);

    void start();
    void stop();
    bool isRunning() const { return m_renderTimer != nullptr; }
    void updateView(const Ref<NSTimer>& timer);
    void setupProjectionMatrix();
    const SNRMatrix4x4* perspectiveCameraMatrix() const { return &m_perspectiveCameraMatrix; }
    const SNRMatrix4x4* perspectiveMatrix() const { return &m_perspectiveMatrix; }
    CGSize viewport() const { return m_viewport; }
    float fov() const { return m_fov; }
    float labelBaseline() const { return m_labelBaseline; }
    void setLabelBaseline(float baseline);
    float stackingAnimationSpeed() const { return m_stackingAnimationSpeed; }
    void setStackingAnimationSpeed(float speed);
    Ref<SLKViewController> arViewController() const { return m_arViewController.lock(); }
    void setArViewController(const Ref<SLKViewController>& controller) { m_arViewController = controller; }
    float viewRotationOffset() const { return m_viewRotationOffset; }

    void layoutSubviews() override;
    void updateStackingValues();
    void resetStacking();
    float addHeightInStackingSectorTheWidthTheHeight(float x, float width, float height);
    // Outside 0 .. numberOfStackingSectors - 1 the answer is 0.
    int32_t getHeightInStackingSector(int32_t sector) const;
    int32_t numberOfStackingSectors() const { return m_numberOfStackingSectors; }
    float widthOfStackingSector() const { return m_widthOfStackingSector; }
    float firstSectorX() const { return m_firstSectorX; }

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event) override;

    // Test-only: forgets the active view and the pending sort.
    static void resetForTesting();

private:
    void initialize();

    CGSize m_viewport {};
    float m_fov { 0 };
    SNRMatrix4x4 m_perspectiveMatrix {};
    SNRMatrix4x4 m_perspectiveCameraMatrix {};
    float m_heightInStackingSector[maximumStackingSectors] {};
    int32_t m_numberOfStackingSectors { maximumStackingSectors };
    float m_widthOfStackingSector { 1 };
    float m_firstSectorX { 0 };
    float m_stackingAnimationSpeed { 0.25f };
    float m_labelBaseline { 0.5f };
    Ref<NSTimer> m_renderTimer;
    float m_viewRotationOffset { 0 };
    Weak<SLKViewController> m_arViewController;
};
