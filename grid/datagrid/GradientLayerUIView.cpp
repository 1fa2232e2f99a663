#include "grid/datagrid/GradientLayerUIView.h"

#include "graphics/CAGradientLayer.h"

Ref<CALayer> GradientLayerUIView::layerClass() const
{
    return CAGradientLayer::layer();
}

Ref<CAGradientLayer> GradientLayerUIView::gradientLayer() const
{
    return std::dynamic_pointer_cast<CAGradientLayer>(layer());
}
