#include "app/view-controllers/map-markers/KESTMarkerDrawing.h"

#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "uikit/UIView.h"

#include <cmath>

namespace KESTMarkerDrawing {

void prepareSymbolView(UIView& view)
{
    CGRect frame = view.frame();
    view.setFrame(CGRectMake(frame.origin.x, frame.origin.y, 25, 25));
    view.setBackgroundColor(UIColor::clearColor());
    view.setClipsToBounds(false);
}

void drawCentredSymbol(const Ref<UIImage>& image, CGRect bounds)
{
    if (!image)
        return;
    CGSize size = image->size();
    image->drawAtPoint(CGPointMake(std::floor(bounds.size.width * 0.5f - size.width * 0.5f),
        std::floor(bounds.size.height * 0.5f - size.height * 0.5f)));
}

} // namespace KESTMarkerDrawing
