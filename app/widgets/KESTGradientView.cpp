#include "KESTGradientView.h"

#include "CAGradientLayer.h"

VX_REGISTER_CLASS(KESTGradientView);

Ref<CALayer> KESTGradientView::layerClass() const
{
    return CAGradientLayer::layer();
}
