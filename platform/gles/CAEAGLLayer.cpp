#include "gles/CAEAGLLayer.h"

CAEAGLLayer::CAEAGLLayer(Passkey key)
    : CALayer(key)
{
}

Ref<CAEAGLLayer> CAEAGLLayer::layer()
{
    return make<CAEAGLLayer>();
}
