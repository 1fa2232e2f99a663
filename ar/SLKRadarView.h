#pragma once

#include "ar/SNRMath.h"
#include "uikit/UIView.h"

class NSTimer;
class SLKViewController;
class UIImage;
class UIImageView;

enum SLKRadarMode : int32_t {
    SLKRadarModeNone = 0,
    SLKRadarModeThumbnail = 1,
    SLKRadarModeFullscreen = 2,
};

// The radar: a square with a radar-screen picture and one dot per AR object, placed by the
// object from the radar's range, radius and the device's heading matrix. Shown as a thumbnail in
// a corner or as a large square in the middle (while the device lies face up); a timer redraws
// it 15 times a second, turning it with the device's roll. Main thread only.
class SLKRadarView : public UIView {
    VX_OBJECT(SLKRadarView, UIView)
public:
    explicit SLKRadarView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<SLKRadarView> init();
    static Ref<SLKRadarView> initWithImage(const Ref<UIImage>& image);

    static Ref<SLKRadarView> activeView();
    static void setActiveView(const Ref<SLKRadarView>& radar);
    static void resetForTesting();

    void setFrame(CGRect frame) override;
    void setNeedsDisplay();

    void showRadar();
    void showRadarInMode(int32_t mode);
    void hideRadar();
    bool isRadarVisible() const { return m_shouldBeVisible; }
    int32_t radarMode() const { return m_radarMode; }
    CGRect radarRect() const { return m_radarRect; }

    void setRadarToFullscreen() { setRadarToFullscreenWithSizeOffset(CGPointZero, 0); }
    void setRadarToFullscreenWithSizeOffset(CGPoint offset, float sizeOffset);
    void setRadarToThumbnail() { setRadarToThumbnailWithSize(CGPointMake(5, 5), 128); }
    void setRadarToThumbnail(int32_t corner) { setRadarToThumbnailWithAdditionalOffset(corner, CGRectZero); }
    void setRadarToThumbnailWithAdditionalOffset(int32_t corner, CGRect offset)
    {
        setRadarToThumbnailWithAdditionalOffsetAndSize(corner, offset, 128);
    }
    void setRadarToThumbnailWithAdditionalOffsetAndSize(int32_t corner, CGRect offset, float size);
    void setRadarToThumbnailWithSize(CGPoint origin, float size);

    float radarRange() const { return m_radarRange; }
    void setRadarRange(float range) { m_radarRange = range; }
    float radarRadius() const { return m_radarRadius * 0.5f - m_radarInset; }
    bool animatesRadius() const { return m_animateRadius; }
    float radarInset() const { return m_radarInset; }
    void setRadarInset(float inset) { m_radarInset = inset; }
    const SNRMatrix4x4* radarMatrix() const { return &m_radarMatrix; }
    const Ref<UIView>& containerView() const { return m_containerView; }
    const Ref<UIImageView>& backgroundImageView() const { return m_backgroundImageView; }
    Ref<SLKViewController> arViewController() const { return m_arViewController.lock(); }
    void setArViewController(const Ref<SLKViewController>& controller) { m_arViewController = controller; }
    int32_t renderID() const { return m_renderID; }
    bool canBeVisible() const { return m_canBeVisible; }
    void setCanBeVisible(bool v) { m_canBeVisible = v; }

    void didRotate();
    void start();
    void stop();
    bool isRunning() const { return m_renderTimer != nullptr; }
    void updateView(const Ref<NSTimer>& timer);

private:
    void placeAt(CGRect rect, bool animated);

    SNRMatrix4x4 m_radarMatrix {};
    int32_t m_radarMode { SLKRadarModeNone };
    CGRect m_radarRect {};
    float m_radarRange { 10000 };
    float m_radarRadius { -1 };
    bool m_animateRadius { false };
    float m_radarInset { 8 };
    int32_t m_renderID { 0 };
    bool m_rendering { false };
    Ref<NSTimer> m_renderTimer;
    bool m_canBeVisible { true };
    bool m_shouldBeVisible { false };
    Ref<UIView> m_containerView;
    Ref<UIImageView> m_backgroundImageView;
    Weak<SLKViewController> m_arViewController;
};
