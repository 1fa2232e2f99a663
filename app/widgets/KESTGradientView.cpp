#include "app/widgets/KESTGradientView.h"

#include "graphics/CAGradientLayer.h"

VX_REGISTER_CLASS(KESTGradientView);

Ref<CALayer> KESTGradientView::layerClass() const
{
    return CAGradientLayer::layer();
}
