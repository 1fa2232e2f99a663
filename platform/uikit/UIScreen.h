#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

// The device's screen: 768 x 1024 points in portrait, at the scale of the graphics layer's
// screen setting (1 or 2). The size is a host setting. Main thread only.
class UIScreen : public NSObject {
    VX_OBJECT(UIScreen, NSObject)
public:
    explicit UIScreen(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UIScreen> mainScreen();
    static std::vector<Ref<UIScreen>> screens() { return { mainScreen() }; }

    CGRect bounds() const { return CGRectMake(0, 0, m_size.width, m_size.height); }
    // The bounds less the status bar (20 points at the top) unless the status bar is hidden.
    CGRect applicationFrame() const;
    CGFloat scale() const;
    CGFloat brightness() const { return m_brightness; }
    void setBrightness(CGFloat b) { m_brightness = b < 0 ? 0 : (b > 1 ? 1 : b); }

    // Host settings.
    void setSizeForTesting(CGSize size) { m_size = size; }
    static void resetForTesting();

private:
    CGSize m_size { 768, 1024 };
    CGFloat m_brightness { 0.5f };
};
