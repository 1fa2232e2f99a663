#include "grid/LGridColourBlender.h"

#include "graphics/CGColor.h"
#include "graphics/UIColor.h"

Ref<LGridColourBlender> LGridColourBlender::init()
{
    auto blender = make<LGridColourBlender>();
    blender->empty();
    return blender;
}

void LGridColourBlender::empty()
{
    m_blendedR = m_blendedG = m_blendedB = m_blendedA = 0;
    m_noColoursAdded = true;
}

float LGridColourBlender::blendComponentValueValueToBlendBlendFactor(float value, float valueToBlend, float factor)
{
    return value * (1 - factor) + valueToBlend * factor;
}

bool LGridColourBlender::extractComponentsFromColor(const Ref<UIColor>& colour, float& r, float& g, float& b, float& a)
{
    if (!colour || !colour->CGColor())
        return false;
    const CGColorRef& cg = colour->CGColor();
    auto space = CGColorGetColorSpace(cg);
    size_t count = CGColorGetNumberOfComponents(cg);
    const CGFloat* components = CGColorGetComponents(cg);
    if (!space || !components)
        return false;
    if (space->model() == kCGColorSpaceModelRGB && count == 4) {
        r = components[0];
        g = components[1];
        b = components[2];
        a = components[3];
        return true;
    }
    if (space->model() == kCGColorSpaceModelMonochrome && count == 2) {
        r = g = b = components[0];
        a = components[1];
        return true;
    }
    return false;
}

void LGridColourBlender::addColourToBlend(const Ref<UIColor>& colour)
{
    float r, g, b, a;
    if (!extractComponentsFromColor(colour, r, g, b, a))
        return;
    m_noColoursAdded = false;
    if (!m_shouldBlend) {
        m_blendedR = r;
        m_blendedG = g;
        m_blendedB = b;
        m_blendedA = a;
        return;
    }
    m_blendedR = blendComponentValueValueToBlendBlendFactor(m_blendedR, r, a);
    m_blendedG = blendComponentValueValueToBlendBlendFactor(m_blendedG, g, a);
    m_blendedB = blendComponentValueValueToBlendBlendFactor(m_blendedB, b, a);
    m_blendedA = blendComponentValueValueToBlendBlendFactor(m_blendedA, a, a);
}

Ref<UIColor> LGridColourBlender::getBlendedColour() const
{
    if (m_noColoursAdded)
        return nullptr;
    return UIColor::colorWithRedGreenBlueAlpha(m_blendedR, m_blendedG, m_blendedB, m_blendedA);
}
