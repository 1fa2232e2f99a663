#pragma once

#include "foundation/Value.h"
#include "graphics/CGGeometry.h"
#include "graphics/NSParagraphStyle.h"

#include <string>

class UIFont;

using NSStringDrawingOptions = uint32_t;
inline constexpr NSStringDrawingOptions NSStringDrawingUsesLineFragmentOrigin = 1 << 0;
inline constexpr NSStringDrawingOptions NSStringDrawingUsesFontLeading = 1 << 1;
inline constexpr NSStringDrawingOptions NSStringDrawingUsesDeviceMetrics = 1 << 3;
inline constexpr NSStringDrawingOptions NSStringDrawingTruncatesLastVisibleLine = 1 << 5;

// Measuring and drawing plain strings with attributes (a dictionary of "NSFont", "NSColor",
// "NSParagraphStyle", "NSShadow", "NSKern"). Drawing goes to the current context, whose user
// space is top-left points. The default font is Helvetica 12, the default colour black. Any
// thread (the text engine is serialised).
namespace NSString_Drawing {

// One line, unwrapped; fractional.
CGSize sizeWithAttributes(const std::string& text, const Value& attributes);
// Without NSStringDrawingUsesLineFragmentOrigin: one line, as sizeWithAttributes. With it: lines
// wrapped to size.width, as many as fit size.height (at least one), the last one truncated when
// asked. The origin is zero.
CGRect boundingRectWithSize(
    const std::string& text, CGSize size, NSStringDrawingOptions options, const Value& attributes);
void drawAtPoint(const std::string& text, CGPoint point, const Value& attributes);
void drawInRect(const std::string& text, CGRect rect, const Value& attributes);
void drawWithRect(const std::string& text, CGRect rect, NSStringDrawingOptions options, const Value& attributes);

// The older font-based forms.
CGSize sizeWithFont(const std::string& text, const Ref<UIFont>& font);
CGSize sizeWithFontConstrainedToSize(
    const std::string& text, const Ref<UIFont>& font, CGSize size, NSLineBreakMode mode);
CGSize drawAtPointWithFont(const std::string& text, CGPoint point, const Ref<UIFont>& font);
CGSize drawInRectWithFont(
    const std::string& text, CGRect rect, const Ref<UIFont>& font, NSLineBreakMode mode, NSTextAlignment alignment);

} // namespace NSString_Drawing
