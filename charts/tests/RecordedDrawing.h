#pragma once

#include "graphics/UIGraphics.h"
#include "uikit/UIView.h"

#include <string>
#include <vector>

// What a view's drawRect draws over its bounds into a recording context of its size, one
// operation a line.
inline std::vector<std::string> recordedDrawing(UIView& view)
{
    auto context = CGContextCreateRecording(view.bounds().size);
    UIGraphicsPushContext(context);
    view.drawRect(view.bounds());
    UIGraphicsPopContext();
    return CGContextGetRecordedOperations(context);
}
