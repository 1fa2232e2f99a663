#include "graphics/NSString+Drawing.h"

#include "graphics/CGContextPrivate.h"
#include "graphics/TextEnginePrivate.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

struct Attributes {
    Ref<UIFont> font;
    CGFloat rgba[4] { 0, 0, 0, 1 };
    Ref<NSParagraphStyle> paragraph;
    Ref<NSShadow> shadow;
    CGFloat kern { 0 };
};

Attributes readAttributes(const Value& attributes)
{
    Attributes a;
    a.font = attributes[NSFontAttributeName].objectAs<UIFont>();
    if (!a.font)
        a.font = UIFont::fontWithNameSize("Helvetica", 12);
    if (auto color = attributes[NSForegroundColorAttributeName].objectAs<UIColor>())
        color->CGColor()->getRGBA(a.rgba);
    a.paragraph = attributes[NSParagraphStyleAttributeName].objectAs<NSParagraphStyle>();
    if (!a.paragraph)
        a.paragraph = NSParagraphStyle::defaultParagraphStyle();
    a.shadow = attributes[NSShadowAttributeName].objectAs<NSShadow>();
    a.kern = attributes[NSKernAttributeName].floatValue();
    return a;
}

struct Layout {
    PangoLayout* layout { nullptr };
    ~Layout()
    {
        if (layout)
            g_object_unref(layout);
    }
};

// Byte offset after the first `count` code points of `text` (its size when it has fewer).
size_t prefixBytes(std::string_view text, size_t count)
{
    size_t i = 0;
    for (; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && count-- == 0)
            break;
    }
    return i;
}

// Byte offset where the last `count` code points of `text` start (0 when it has fewer).
size_t suffixStart(std::string_view text, size_t count)
{
    size_t i = text.size();
    while (i > 0 && count > 0) {
        --i;
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            --count;
    }
    return i;
}

// At most `count` code points of one line, taken where the line break mode shows them: the end
// for head truncation, both ends for middle truncation, the start otherwise.
std::string_view visibleLine(std::string_view line, size_t count, NSLineBreakMode mode, std::string& storage)
{
    if (line.size() <= count)
        return line;
    if (mode == NSLineBreakByTruncatingHead)
        return line.substr(suffixStart(line, count));
    if (mode == NSLineBreakByTruncatingMiddle) {
        storage = std::string(line.substr(0, prefixBytes(line, count / 2 + 1)));
        storage += line.substr(suffixStart(line, count / 2 + 1));
        return storage;
    }
    return line.substr(0, prefixBytes(line, count));
}

// The part of `text` that can show in `width` x `height` points, each bounded by the largest
// bitmap: no glyph advances less than a tenth of the font size and no line is less than half of
// it tall, so more code points than that cannot be seen. Text longer than that (a feed record's
// field of a few hundred thousand characters) is cut before it is laid out, which keeps
// measuring and drawing in proportion to what is visible. Shorter text comes back unchanged.
// `width` < 0 is unconstrained; `wrap` says whether lines wrap at the width.
std::string visibleText(const std::string& text, const Attributes& a, double width, double height, bool wrap)
{
    const double limit = double(kCGMaximumBitmapDimension);
    double size = std::max<double>(a.font->pointSize(), 1.0);
    double advance = std::max(0.1 * size + std::min<double>(a.kern, 0.0), 0.01 * size);
    double w = width < 0 ? limit : std::min(width, limit);
    double h = height < 0 ? limit : std::min(height, limit);
    size_t perLine = static_cast<size_t>(std::max(w, 0.0) / advance) + 2;
    size_t lines = static_cast<size_t>(std::max(h, 0.0) / (0.5 * size)) + 2;
    NSLineBreakMode mode = a.paragraph->lineBreakMode();
    if (wrap) {
        size_t budget = perLine * lines;
        return text.size() <= budget ? text : std::string(text.substr(0, prefixBytes(text, budget)));
    }
    if (text.size() <= perLine)
        return text;
    std::string out, storage;
    std::string_view rest(text);
    for (size_t line = 0; line < lines; ++line) {
        size_t end = rest.find('\n');
        out += visibleLine(rest.substr(0, end), perLine, mode, storage);
        if (end == std::string_view::npos)
            break;
        out += '\n';
        rest.remove_prefix(end + 1);
    }
    return out;
}

// Lays text out; `width` < 0 means one unwrapped line, `height` < 0 no height limit.
void configure(
    PangoLayout* layout, const std::string& text, const Attributes& a, double width, double height, bool truncateLast)
{
    PangoFontDescription* d = TextEngine::fontDescription(*a.font);
    pango_layout_set_font_description(layout, d);
    pango_font_description_free(d);
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
    if (a.kern != 0) {
        PangoAttrList* list = pango_attr_list_new();
        pango_attr_list_insert(list, pango_attr_letter_spacing_new(static_cast<int>(a.kern * PANGO_SCALE)));
        pango_layout_set_attributes(layout, list);
        pango_attr_list_unref(list);
    }
    pango_layout_set_spacing(layout, static_cast<int>(a.paragraph->lineSpacing() * PANGO_SCALE));
    switch (a.paragraph->alignment()) {
    case NSTextAlignmentCenter:
        pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
        break;
    case NSTextAlignmentRight:
        pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
        break;
    case NSTextAlignmentJustified:
        pango_layout_set_justify(layout, TRUE);
        pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
        break;
    default:
        pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
        break;
    }
    NSLineBreakMode mode = a.paragraph->lineBreakMode();
    if (width >= 0) {
        pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_wrap(layout, mode == NSLineBreakByCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    }
    PangoEllipsizeMode ellipsize = PANGO_ELLIPSIZE_NONE;
    if (mode == NSLineBreakByTruncatingHead)
        ellipsize = PANGO_ELLIPSIZE_START;
    else if (mode == NSLineBreakByTruncatingMiddle)
        ellipsize = PANGO_ELLIPSIZE_MIDDLE;
    else if (mode == NSLineBreakByTruncatingTail || truncateLast)
        ellipsize = PANGO_ELLIPSIZE_END;
    if (width >= 0 && ellipsize != PANGO_ELLIPSIZE_NONE) {
        pango_layout_set_ellipsize(layout, ellipsize);
        // Truncating modes other than via the last line keep one line, as on the platform.
        if (mode >= NSLineBreakByTruncatingHead && !truncateLast)
            pango_layout_set_height(layout, -1);
        else if (height >= 0)
            pango_layout_set_height(layout, std::max(1, static_cast<int>(height * PANGO_SCALE)));
    }
}

// Number of lines whose bottom fits `height` (at least one).
int linesFitting(PangoLayout* layout, double height)
{
    int count = pango_layout_get_line_count(layout);
    if (height < 0)
        return count;
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    int fitting = 0;
    do {
        int y0, y1;
        pango_layout_iter_get_line_yrange(iter, &y0, &y1);
        if (fitting > 0 && y1 > height * PANGO_SCALE + 1)
            break;
        ++fitting;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    return fitting;
}

CGSize extentOfLines(PangoLayout* layout, int lines)
{
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    double width = 0, bottom = 0;
    int index = 0;
    do {
        if (index++ >= lines)
            break;
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        int y0, y1;
        pango_layout_iter_get_line_yrange(iter, &y0, &y1);
        width = std::max(width, static_cast<double>(logical.width) / PANGO_SCALE);
        bottom = static_cast<double>(y1) / PANGO_SCALE;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    return { static_cast<CGFloat>(width), static_cast<CGFloat>(bottom) };
}

CGSize measure(const std::string& text, const Attributes& a, double width, double height, bool truncateLast)
{
    std::string visible = visibleText(text, a, width, height, width >= 0);
    std::lock_guard lock(TextEngine::lock());
    Layout l { TextEngine::createLayout() };
    configure(l.layout, visible, a, width, height, truncateLast);
    if (width < 0) {
        PangoRectangle logical;
        pango_layout_get_extents(l.layout, nullptr, &logical);
        return { static_cast<CGFloat>(logical.width) / PANGO_SCALE,
            static_cast<CGFloat>(logical.height) / PANGO_SCALE };
    }
    return extentOfLines(l.layout, linesFitting(l.layout, height));
}

// Where the text is laid out: on one line from the rect's origin, or wrapped within the rect and
// clipped to it.
enum class Placement { AtOrigin, InRect };
// Whether the last line that fits is truncated with an ellipsis.
enum class LastLine { AsLaidOut, Truncated };

void draw(const std::string& text, CGRect rect, const Attributes& a, Placement placement, LastLine lastLine)
{
    auto c = UIGraphicsGetCurrentContext();
    if (!c || text.empty())
        return;
    CGContextSaveGState(c);
    if (a.shadow) {
        // Shadow offsets are in points, y down; the context's shadow is in device pixels, y up.
        CGAffineTransform ctm = CGContextGetCTM(c);
        CGFloat scale = std::hypot(ctm.a, ctm.b);
        CGSize offset = a.shadow->shadowOffset();
        CGContextSetShadowWithColor(c, CGSizeMake(offset.width * scale, -offset.height * scale),
            a.shadow->shadowBlurRadius() * scale,
            a.shadow->shadowColor() ? a.shadow->shadowColor()->CGColor() : nullptr);
    }
    bool wrap = placement == Placement::InRect;
    // What can show: the rect (when wrapping) within the clip, measured from the rect's origin to
    // the clip's far side in either direction, so flipped and unflipped contexts both fit.
    CGRect clip = CGContextGetClipBoundingBox(c);
    double visibleWidth = std::max({ double(CGRectGetMaxX(clip)) - rect.origin.x,
        rect.origin.x - double(CGRectGetMinX(clip)), double(clip.size.width) });
    double visibleHeight = std::max({ double(CGRectGetMaxY(clip)) - rect.origin.y,
        rect.origin.y - double(CGRectGetMinY(clip)), double(clip.size.height) });
    if (wrap) {
        visibleWidth = std::min<double>(visibleWidth, rect.size.width);
        if (rect.size.height > 0)
            visibleHeight = std::min<double>(visibleHeight, rect.size.height);
    }
    std::string visible = visibleText(text, a, std::max(visibleWidth, 0.0), std::max(visibleHeight, 0.0), wrap);
    c->record("text \"" + visible + "\" in " + NSStringFromCGRect(rect));
    if (c->backend()) {
        std::lock_guard lock(TextEngine::lock());
        Layout l { TextEngine::createLayout() };
        configure(l.layout, visible, a, wrap ? rect.size.width : -1, wrap ? rect.size.height : -1,
            lastLine == LastLine::Truncated);
        CGContextDraw(*c, [&](cairo_t* cr) {
            CGContextApplyUserMatrix(*c);
            if (wrap && rect.size.height > 0) {
                cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
                cairo_clip(cr);
            }
            cairo_move_to(cr, rect.origin.x, rect.origin.y);
            cairo_set_source_rgba(cr, a.rgba[0], a.rgba[1], a.rgba[2], a.rgba[3]);
            pango_cairo_update_layout(cr, l.layout);
            pango_cairo_show_layout(cr, l.layout);
        });
    }
    CGContextRestoreGState(c);
}

Value fontAttributes(const Ref<UIFont>& font, NSLineBreakMode mode, NSTextAlignment alignment)
{
    auto style = NSParagraphStyle::mutableParagraphStyle();
    style->setLineBreakMode(mode);
    style->setAlignment(alignment);
    return Value::dictionary(
        { { Value(NSFontAttributeName), Value(font) }, { Value(NSParagraphStyleAttributeName), Value(style) } });
}

// The older font-based drawing forms paint in the current context's fill colour (black without
// a context), as a caller that sets a colour with -[UIColor set] expects.
Value fontDrawingAttributes(const Ref<UIFont>& font, NSLineBreakMode mode, NSTextAlignment alignment)
{
    Value attributes = fontAttributes(font, mode, alignment);
    auto context = UIGraphicsGetCurrentContext();
    if (!context)
        return attributes;
    const CGFloat* fill = context->state().fill;
    auto mutableAttributes = attributes.mutableCopy();
    mutableAttributes.setObjectForKey(
        Value(UIColor::colorWithRedGreenBlueAlpha(fill[0], fill[1], fill[2], fill[3])), NSForegroundColorAttributeName);
    return mutableAttributes;
}

} // namespace

namespace NSString_Drawing {

CGSize sizeWithAttributes(const std::string& text, const Value& attributes)
{
    return measure(text, readAttributes(attributes), -1, -1, false);
}

CGRect boundingRectWithSize(
    const std::string& text, CGSize size, NSStringDrawingOptions options, const Value& attributes)
{
    Attributes a = readAttributes(attributes);
    CGSize s;
    if (options & NSStringDrawingUsesLineFragmentOrigin) {
        double width = size.width > 0 ? size.width : -1;
        double height = size.height > 0 ? size.height : -1;
        s = measure(text, a, width, height, options & NSStringDrawingTruncatesLastVisibleLine);
    } else {
        s = measure(text, a, -1, -1, false);
    }
    return CGRectMake(0, 0, s.width, s.height);
}

void drawAtPoint(const std::string& text, CGPoint point, const Value& attributes)
{
    draw(
        text, CGRectMake(point.x, point.y, 0, 0), readAttributes(attributes), Placement::AtOrigin, LastLine::AsLaidOut);
}

void drawInRect(const std::string& text, CGRect rect, const Value& attributes)
{
    draw(text, rect, readAttributes(attributes), Placement::InRect, LastLine::AsLaidOut);
}

void drawWithRect(const std::string& text, CGRect rect, NSStringDrawingOptions options, const Value& attributes)
{
    if (options & NSStringDrawingUsesLineFragmentOrigin)
        draw(text, rect, readAttributes(attributes), Placement::InRect,
            options & NSStringDrawingTruncatesLastVisibleLine ? LastLine::Truncated : LastLine::AsLaidOut);
    else
        draw(text, rect, readAttributes(attributes), Placement::AtOrigin, LastLine::AsLaidOut);
}

CGSize sizeWithFont(const std::string& text, const Ref<UIFont>& font)
{
    return sizeWithAttributes(text, fontAttributes(font, NSLineBreakByWordWrapping, NSTextAlignmentLeft));
}

CGSize sizeWithFontConstrainedToSize(
    const std::string& text, const Ref<UIFont>& font, CGSize size, NSLineBreakMode mode)
{
    CGRect r = boundingRectWithSize(
        text, size, NSStringDrawingUsesLineFragmentOrigin, fontAttributes(font, mode, NSTextAlignmentLeft));
    // The older API rounds up to whole points.
    return { std::ceil(r.size.width), std::ceil(r.size.height) };
}

CGSize drawAtPointWithFont(const std::string& text, CGPoint point, const Ref<UIFont>& font)
{
    Value attributes = fontDrawingAttributes(font, NSLineBreakByWordWrapping, NSTextAlignmentLeft);
    drawAtPoint(text, point, attributes);
    CGSize s = sizeWithAttributes(text, attributes);
    return { std::ceil(s.width), std::ceil(s.height) };
}

CGSize drawInRectWithFont(
    const std::string& text, CGRect rect, const Ref<UIFont>& font, NSLineBreakMode mode, NSTextAlignment alignment)
{
    Value attributes = fontDrawingAttributes(font, mode, alignment);
    drawInRect(text, rect, attributes);
    return sizeWithFontConstrainedToSize(text, font, rect.size, mode);
}

} // namespace NSString_Drawing
