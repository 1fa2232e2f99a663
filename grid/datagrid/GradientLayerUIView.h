#pragma once

#include "uikit/UIView.h"

class CAGradientLayer;

// A view backed by a gradient layer; the data grid's default section header view.
// Main thread only.
class GradientLayerUIView : public UIView {
    VX_OBJECT(GradientLayerUIView, UIView)
public:
    explicit GradientLayerUIView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<GradientLayerUIView> initWithFrame(CGRect frame) { return makeView<GradientLayerUIView>(frame); }

    Ref<CALayer> layerClass() const override;
    Ref<CAGradientLayer> gradientLayer() const;
};
