#pragma once

#include "uikit/UIView.h"

// A view backed by a gradient layer; its owner sets the colours and locations on the layer.
// Main thread only.
class KESTGradientView : public UIView {
    VX_OBJECT(KESTGradientView, UIView)
public:
    explicit KESTGradientView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTGradientView> initWithFrame(CGRect frame) { return makeView<KESTGradientView>(frame); }
    static Ref<KESTGradientView> init() { return initWithFrame(CGRectZero); }

    Ref<CALayer> layerClass() const override;
};
