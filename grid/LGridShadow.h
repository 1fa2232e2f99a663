#pragma once

#include "graphics/UIImage.h"
#include "grid/GridForward.h"
#include "uikit/UIImageView.h"

// A soft shadow strip, 15 points wide, that a view attaches along one of its sides: darkest
// against the owner's edge, fading away from it. Sides: 0 top, 1 bottom, 2 left, 3 right. All
// shadows draw one shared image, rotated per side. Main thread only.
class LGridShadow : public UIImageView {
    VX_OBJECT(LGridShadow, UIImageView)
public:
    explicit LGridShadow(Passkey key)
        : UIImageView(key)
    {
    }
    static Ref<LGridShadow> init();

    void addToView(const Ref<UIView>& view);
    // Sizes and places the strip outside the superview's side and shows the image for that
    // side. The superview stops clipping to its bounds so the strip shows. An unknown side or a
    // missing superview is logged and changes nothing.
    void attachOnSide(int32_t side);
    // The image for a side: the one shown when it already has that side's orientation, else a
    // new one. Null for an unknown side.
    Ref<UIImage> createImageOnSide(int32_t side);

private:
    UIImageOrientation m_lastImageOrientation { UIImageOrientationUp };
};
