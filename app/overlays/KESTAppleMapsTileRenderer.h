#pragma once

#include "mapkit/MKTileOverlayRenderer.h"

// Draws a chart's tile overlay with the renderer's defaults (full opacity); nullptr for no
// overlay. Any thread.
class KESTAppleMapsTileRenderer : public MKTileOverlayRenderer {
    VX_OBJECT(KESTAppleMapsTileRenderer, MKTileOverlayRenderer)
public:
    KESTAppleMapsTileRenderer(Passkey key, Ref<MKTileOverlay> overlay)
        : MKTileOverlayRenderer(key, std::move(overlay))
    {
    }

    static Ref<KESTAppleMapsTileRenderer> initWithTileOverlay(Ref<MKTileOverlay> overlay)
    {
        if (!overlay)
            return nullptr;
        return make<KESTAppleMapsTileRenderer>(std::move(overlay));
    }
};
