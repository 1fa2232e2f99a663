#pragma once

#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIFont.h"

#include <string>

// The width of a text in the body text style's preferred font, as token buttons measure it.
inline float bodyTextWidth(const std::string& text)
{
    return float(NSString_Drawing::sizeWithAttributes(text,
        Value::dictionary(
            { { Value(NSFontAttributeName), Value(UIFont::preferredFontForTextStyle(UIFontTextStyleBody)) } }))
                     .width);
}
