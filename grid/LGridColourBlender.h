#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"

class UIColor;

// Accumulates the colours of a style hierarchy into one: either the last colour added wins, or
// (shouldBlend) each colour is laid over the ones before by its own alpha, starting from
// transparent black. Colours that are neither RGB nor grey are ignored, as if unset.
// Main thread only; a grid owns two and empties them before every merge.
class LGridColourBlender : public NSObject {
    VX_OBJECT(LGridColourBlender, NSObject)
public:
    explicit LGridColourBlender(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LGridColourBlender> init();

    void empty();
    void addColourToBlend(const Ref<UIColor>& colour);
    // value * (1 - factor) + valueToBlend * factor.
    static float blendComponentValueValueToBlendBlendFactor(float value, float valueToBlend, float factor);
    // Red, green, blue and alpha of an RGB colour, or grey, grey, grey and alpha of a grey one;
    // false (and nothing written) for any other colour or for null.
    static bool extractComponentsFromColor(const Ref<UIColor>& colour, float& r, float& g, float& b, float& a);
    // Null until a colour has been added since the last empty().
    Ref<UIColor> getBlendedColour() const;

    bool shouldBlend() const { return m_shouldBlend; }
    void setShouldBlend(bool shouldBlend) { m_shouldBlend = shouldBlend; }

private:
    float m_blendedR { 0 };
    float m_blendedG { 0 };
    float m_blendedB { 0 };
    float m_blendedA { 0 };
    bool m_noColoursAdded { true };
    bool m_shouldBlend { false };
};
