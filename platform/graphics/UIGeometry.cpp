#include "graphics/UIGeometry.h"

std::string NSStringFromUIEdgeInsets(UIEdgeInsets i)
{
    return "{" + CGFloatDescription(i.top) + ", " + CGFloatDescription(i.left) + ", " + CGFloatDescription(i.bottom)
        + ", " + CGFloatDescription(i.right) + "}";
}

std::string NSStringFromUIOffset(UIOffset o)
{
    return "{" + CGFloatDescription(o.horizontal) + ", " + CGFloatDescription(o.vertical) + "}";
}

UIEdgeInsets UIEdgeInsetsFromString(std::string_view s)
{
    // CGRectFromString reads four numbers in order, which is what an insets text holds.
    CGRect r = CGRectFromString(s);
    return { r.origin.x, r.origin.y, r.size.width, r.size.height };
}
