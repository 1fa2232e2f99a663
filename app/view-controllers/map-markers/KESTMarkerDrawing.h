#pragma once

#include "foundation/Ref.h"
#include "graphics/CGGeometry.h"

class UIImage;
class UIView;

// What the airport and volcano markers share: their 25-point square and their centred symbol.
namespace KESTMarkerDrawing {

// Size 25 x 25 with the origin kept, clear background, no clipping.
void prepareSymbolView(UIView& view);
// Draws the image at the whole points that centre it in `bounds` (a larger image overhangs).
// Nothing for a null image.
void drawCentredSymbol(const Ref<UIImage>& image, CGRect bounds);

} // namespace KESTMarkerDrawing
