#pragma once

#include "foundation/Value.h"
#include "graphics/CALayer.h"

// Keys and values of a GL layer's drawable properties.
inline constexpr const char* kEAGLDrawablePropertyRetainedBacking = "kEAGLDrawablePropertyRetainedBacking";
inline constexpr const char* kEAGLDrawablePropertyColorFormat = "kEAGLDrawablePropertyColorFormat";
inline constexpr const char* kEAGLColorFormatRGBA8 = "EAGLColorFormatRGBA8";

// A layer whose contents come from a GL renderbuffer: a context sizes the renderbuffer from the
// layer's bounds times its contents scale, and presenting the renderbuffer reads its pixels back
// into the layer's contents, so a window snapshot shows what GL drew. Main thread only.
class CAEAGLLayer : public CALayer {
    VX_OBJECT(CAEAGLLayer, CALayer)
public:
    explicit CAEAGLLayer(Passkey);
    static Ref<CAEAGLLayer> layer();

    // A dictionary of the keys above; only the RGBA8 colour format exists here.
    const Value& drawableProperties() const { return m_drawableProperties; }
    void setDrawableProperties(Value properties) { m_drawableProperties = std::move(properties); }

private:
    Value m_drawableProperties;
};
