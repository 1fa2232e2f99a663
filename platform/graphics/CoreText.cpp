#include "graphics/CoreText.h"

#include "foundation/NSError.h"
#include "foundation/NSString.h"
#include "graphics/CGContextPrivate.h"
#include "graphics/TextEnginePrivate.h"
#include "graphics/UIColor.h"

#include <algorithm>
#include <cmath>

namespace {

// UTF-16 index <-> UTF-8 byte offset tables for one text.
struct IndexMap {
    std::string utf8;
    std::vector<int> byteOfUnit; // size units + 1
    std::vector<NSUInteger> unitOfByte; // size bytes + 1

    explicit IndexMap(const std::u16string& text)
    {
        byteOfUnit.assign(text.size() + 1, 0);
        for (size_t i = 0; i < text.size();) {
            byteOfUnit[i] = static_cast<int>(utf8.size());
            char32_t cp = text[i];
            size_t units = 1;
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                units = 2;
                byteOfUnit[i + 1] = static_cast<int>(utf8.size());
            } else if (cp >= 0xD800 && cp <= 0xDFFF) {
                cp = 0xFFFD; // a lone surrogate reads as the replacement character
            }
            size_t before = utf8.size();
            NSString::appendUTF8(utf8, cp);
            unitOfByte.resize(utf8.size() + 1, static_cast<NSUInteger>(i));
            for (size_t b = before; b < utf8.size(); ++b)
                unitOfByte[b] = static_cast<NSUInteger>(i);
            i += units;
        }
        byteOfUnit[text.size()] = static_cast<int>(utf8.size());
        unitOfByte.resize(utf8.size() + 1);
        unitOfByte[utf8.size()] = static_cast<NSUInteger>(text.size());
    }
    int byte(NSUInteger unit) const { return byteOfUnit[std::min<size_t>(unit, byteOfUnit.size() - 1)]; }
    NSUInteger unit(int byteIndex) const
    {
        return unitOfByte[std::clamp<size_t>(static_cast<size_t>(std::max(0, byteIndex)), 0, unitOfByte.size() - 1)];
    }
};

Ref<UIFont> fontOf(const Value& attributes)
{
    if (auto font = attributes[kCTFontAttributeName].objectAs<UIFont>())
        return font;
    return UIFont::fontWithNameSize("Helvetica", 12);
}

Ref<UIColor> colorOf(const Value& attributes)
{
    if (auto c = attributes[kCTForegroundColorAttributeName].objectAs<UIColor>())
        return c;
    return attributes["NSColor"].objectAs<UIColor>();
}

// A laid-out text: the engine layout for the whole attributed string (or a part of it).
struct Layout {
    Ref<NSAttributedString> text;
    IndexMap map;
    PangoLayout* layout { nullptr };

    Layout(Ref<NSAttributedString> t, double width)
        : text(std::move(t))
        , map(text->utf16())
    {
        std::lock_guard lock(TextEngine::lock());
        layout = TextEngine::createLayout();
        pango_layout_set_text(layout, map.utf8.c_str(), static_cast<int>(map.utf8.size()));
        PangoAttrList* list = pango_attr_list_new();
        Ref<NSParagraphStyle> paragraph;
        for (const auto& run : text->runs()) {
            guint start = static_cast<guint>(map.byte(run.location)),
                  end = static_cast<guint>(map.byte(run.location + run.length));
            auto add = [&](PangoAttribute* a) {
                a->start_index = start;
                a->end_index = end;
                pango_attr_list_insert(list, a);
            };
            PangoFontDescription* d = TextEngine::fontDescription(*fontOf(run.attributes));
            add(pango_attr_font_desc_new(d));
            pango_font_description_free(d);
            if (run.attributes[kCTUnderlineStyleAttributeName].intValue() != 0)
                add(pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
            if (run.attributes[kCTStrikethroughStyleAttributeName].intValue() != 0)
                add(pango_attr_strikethrough_new(TRUE));
            if (float kern = run.attributes[kCTKernAttributeName].floatValue(); kern != 0)
                add(pango_attr_letter_spacing_new(static_cast<int>(kern * PANGO_SCALE)));
            if (!run.attributes[kCTForegroundColorFromContextAttributeName].boolValue()) {
                auto color = colorOf(run.attributes);
                CGFloat rgba[4] = { 0, 0, 0, 1 };
                if (color)
                    color->CGColor()->getRGBA(rgba);
                add(pango_attr_foreground_new(static_cast<guint16>(rgba[0] * 65535),
                    static_cast<guint16>(rgba[1] * 65535), static_cast<guint16>(rgba[2] * 65535)));
                add(pango_attr_foreground_alpha_new(
                    static_cast<guint16>(std::max<CGFloat>(rgba[3], 1.0f / 65535) * 65535)));
            }
            if (!paragraph)
                paragraph = run.attributes[kCTParagraphStyleAttributeName].objectAs<NSParagraphStyle>();
        }
        pango_layout_set_attributes(layout, list);
        pango_attr_list_unref(list);
        if (paragraph) {
            pango_layout_set_alignment(layout,
                paragraph->alignment() == NSTextAlignmentCenter      ? PANGO_ALIGN_CENTER
                    : paragraph->alignment() == NSTextAlignmentRight ? PANGO_ALIGN_RIGHT
                                                                     : PANGO_ALIGN_LEFT);
            pango_layout_set_justify(layout, paragraph->alignment() == NSTextAlignmentJustified);
            pango_layout_set_spacing(layout, static_cast<int>(paragraph->lineSpacing() * PANGO_SCALE));
            pango_layout_set_indent(
                layout, static_cast<int>((paragraph->firstLineHeadIndent() - paragraph->headIndent()) * PANGO_SCALE));
        }
        if (width > 0 && width < 1e7) {
            pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
            pango_layout_set_wrap(layout,
                paragraph && paragraph->lineBreakMode() == NSLineBreakByCharWrapping ? PANGO_WRAP_CHAR
                                                                                     : PANGO_WRAP_WORD_CHAR);
        }
    }
    ~Layout()
    {
        std::lock_guard lock(TextEngine::lock());
        g_object_unref(layout);
    }
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;
};

} // namespace

class CTRun {
public:
    std::shared_ptr<Layout> layout;
    PangoLayoutLine* line;
    NSRange range;
    Value attributes;
    NSUInteger base { 0 }; // string index of the layout's first unit
};

class CTLine {
public:
    std::shared_ptr<Layout> layout;
    int index { 0 };
    NSRange range;
    double width { 0 }, ascent { 0 }, descent { 0 };
    double x { 0 }; // the line's x within its layout (alignment, indent)
    double baseline { 0 }; // from the layout's top
    PangoLayoutLine* pangoLine() const { return pango_layout_get_line_readonly(layout->layout, index); }
};

class CTFrame {
public:
    std::shared_ptr<Layout> layout;
    CGRect rect;
    CGPathRef path;
    NSRange range;
    std::vector<CTLineRef> lines;
    std::vector<CGPoint> origins;
};

class CTFramesetter {
public:
    Ref<NSAttributedString> text;
};

namespace {
// The offset between a line's string indexes (in the framesetter's text) and its layout's own
// text, which may be a slice of it.
NSUInteger layoutBaseOf(const CTLine& line)
{
    return line.range.location
        - line.layout->map.unit(pango_layout_get_line_readonly(line.layout->layout, line.index)->start_index);
}
} // namespace

namespace {

std::vector<CTLineRef> linesOf(const std::shared_ptr<Layout>& layout, NSUInteger baseUnit)
{
    std::vector<CTLineRef> lines;
    std::lock_guard lock(TextEngine::lock());
    PangoLayoutIter* iter = pango_layout_get_iter(layout->layout);
    int index = 0;
    do {
        PangoLayoutLine* pl = pango_layout_iter_get_line_readonly(iter);
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        auto line = std::make_shared<CTLine>();
        line->layout = layout;
        line->index = index++;
        NSUInteger start = layout->map.unit(pl->start_index), end = layout->map.unit(pl->start_index + pl->length);
        line->range = { baseUnit + start, end - start };
        PangoRectangle lineLogical;
        pango_layout_line_get_extents(pl, nullptr, &lineLogical);
        line->width = static_cast<double>(lineLogical.width) / PANGO_SCALE;
        line->ascent = static_cast<double>(-lineLogical.y) / PANGO_SCALE;
        line->descent = static_cast<double>(lineLogical.height + lineLogical.y) / PANGO_SCALE;
        line->x = static_cast<double>(logical.x) / PANGO_SCALE;
        line->baseline = static_cast<double>(pango_layout_iter_get_baseline(iter)) / PANGO_SCALE;
        lines.push_back(line);
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    return lines;
}

Ref<NSAttributedString> slice(const Ref<NSAttributedString>& text, NSRange range)
{
    if (range.length == 0)
        range.length = text->length() - std::min(range.location, text->length());
    return text->attributedSubstringFromRange(range);
}

} // namespace

CTFontRef CTFontCreateWithName(const std::string& name, CGFloat size, const CGAffineTransform*)
{
    // An unknown name gives the default face, as the platform's text system does.
    if (auto font = UIFont::fontWithNameSize(name, size))
        return font;
    return UIFont::fontWithNameSize("Helvetica", size);
}

CGFloat CTFontGetAscent(const CTFontRef& font)
{
    return font ? font->ascender() : 0;
}
CGFloat CTFontGetDescent(const CTFontRef& font)
{
    return font ? -font->descender() : 0;
}
CGFloat CTFontGetLeading(const CTFontRef& font)
{
    return font ? font->leading() : 0;
}
CGFloat CTFontGetSize(const CTFontRef& font)
{
    return font ? font->pointSize() : 0;
}
CGFloat CTFontGetUnderlinePosition(const CTFontRef& font)
{
    return font ? font->underlinePosition() : 0;
}
CGFloat CTFontGetUnderlineThickness(const CTFontRef& font)
{
    return font ? font->underlineThickness() : 0;
}

CGFontRef CGFontCreateWithDataProvider(const CGDataProviderRef& provider)
{
    if (!provider || provider->bytes().size() < 12)
        return nullptr;
    const auto& b = provider->bytes();
    // TrueType, OpenType (CFF) and TrueType collections start with these tags.
    uint32_t tag = (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
    if (tag != 0x00010000 && tag != 0x4F54544F && tag != 0x74727565 && tag != 0x74746366)
        return nullptr;
    return std::make_shared<CGFont>(b);
}

bool CTFontManagerRegisterGraphicsFont(const CGFontRef& font, Ref<NSError>* error)
{
    std::string reason;
    std::string name = font ? UIFont::registerFontData(font->data(), &reason) : std::string();
    if (name.empty()) {
        if (error) {
            *error = NSError::errorWithDomain("com.apple.CoreText.CTFontManagerErrorDomain", font ? 105 : 101,
                Value::dictionary({ { Value(NSLocalizedDescriptionKey),
                    Value(reason.empty() ? "The font could not be registered." : reason) } }));
        }
        return false;
    }
    font->setPostScriptName(name);
    return true;
}

Ref<NSParagraphStyle> CTParagraphStyleCreate(const std::vector<CTParagraphStyleSetting>& settings)
{
    auto style = NSParagraphStyle::mutableParagraphStyle();
    for (const auto& s : settings) {
        switch (s.spec) {
        case kCTParagraphStyleSpecifierAlignment: {
            // The text system numbers alignments left 0, right 1, centre 2, justified 3, natural 4.
            int v = static_cast<int>(s.value);
            style->setAlignment(v == 1 ? NSTextAlignmentRight
                    : v == 2           ? NSTextAlignmentCenter
                    : v == 3           ? NSTextAlignmentJustified
                    : v == 4           ? NSTextAlignmentNatural
                                       : NSTextAlignmentLeft);
            break;
        }
        case kCTParagraphStyleSpecifierFirstLineHeadIndent:
            style->setFirstLineHeadIndent(s.value);
            break;
        case kCTParagraphStyleSpecifierHeadIndent:
            style->setHeadIndent(s.value);
            break;
        case kCTParagraphStyleSpecifierTailIndent:
            style->setTailIndent(s.value);
            break;
        case kCTParagraphStyleSpecifierLineBreakMode:
            style->setLineBreakMode(static_cast<NSLineBreakMode>(static_cast<int>(s.value)));
            break;
        case kCTParagraphStyleSpecifierLineHeightMultiple:
            style->setLineHeightMultiple(s.value);
            break;
        case kCTParagraphStyleSpecifierMaximumLineHeight:
            style->setMaximumLineHeight(s.value);
            break;
        case kCTParagraphStyleSpecifierMinimumLineHeight:
            style->setMinimumLineHeight(s.value);
            break;
        case kCTParagraphStyleSpecifierLineSpacing:
        case kCTParagraphStyleSpecifierLineSpacingAdjustment:
            style->setLineSpacing(s.value);
            break;
        case kCTParagraphStyleSpecifierParagraphSpacing:
        case kCTParagraphStyleSpecifierParagraphSpacingBefore:
            style->setParagraphSpacing(s.value);
            break;
        }
    }
    return style;
}

CTFramesetterRef CTFramesetterCreateWithAttributedString(const Ref<NSAttributedString>& text)
{
    if (!text)
        return nullptr;
    auto fs = std::make_shared<CTFramesetter>();
    fs->text = NSAttributedString::initWithAttributedString(text);
    return fs;
}

CGSize CTFramesetterSuggestFrameSizeWithConstraints(
    const CTFramesetterRef& fs, NSRange range, const Value&, CGSize constraints, NSRange* fitRange)
{
    if (!fs)
        return CGSizeZero;
    if (range.location > fs->text->length())
        range = { fs->text->length(), 0 };
    auto layout = std::make_shared<Layout>(slice(fs->text, range), constraints.width);
    auto lines = linesOf(layout, range.location);
    double maxHeight = constraints.height > 0 && constraints.height < 1e7 ? constraints.height : INFINITY;
    double width = 0, height = 0;
    NSUInteger end = range.location;
    for (const auto& line : lines) {
        double bottom = line->baseline + line->descent;
        if (bottom > maxHeight + 0.01 && line != lines.front())
            break;
        width = std::max(width, line->x + line->width);
        height = bottom;
        end = line->range.location + line->range.length;
    }
    if (fitRange)
        *fitRange = { range.location, end - range.location };
    return { static_cast<CGFloat>(std::ceil(width * 100) / 100), static_cast<CGFloat>(height) };
}

CTFrameRef CTFramesetterCreateFrame(const CTFramesetterRef& fs, NSRange range, const CGPathRef& path, const Value&)
{
    if (!fs || !path)
        return nullptr;
    CGRect rect = CGPathGetBoundingBox(path);
    if (CGRectIsNull(rect))
        return nullptr;
    if (range.location > fs->text->length())
        range = { fs->text->length(), 0 };
    auto frame = std::make_shared<CTFrame>();
    frame->rect = rect;
    frame->path = path;
    frame->layout = std::make_shared<Layout>(slice(fs->text, range), rect.size.width);
    NSUInteger length = range.length ? range.length : fs->text->length() - range.location;
    frame->range = { range.location, length };
    for (const auto& line : linesOf(frame->layout, range.location)) {
        // Only whole lines that fit the frame's height are part of it.
        if (line->baseline + line->descent > rect.size.height + 0.01)
            break;
        frame->lines.push_back(line);
        frame->origins.push_back(
            { static_cast<CGFloat>(line->x), static_cast<CGFloat>(rect.size.height - line->baseline) });
    }
    return frame;
}

std::vector<CTLineRef> CTFrameGetLines(const CTFrameRef& frame)
{
    return frame ? frame->lines : std::vector<CTLineRef> {};
}

std::vector<CGPoint> CTFrameGetLineOrigins(const CTFrameRef& frame, NSRange range)
{
    if (!frame)
        return {};
    size_t start = std::min<size_t>(range.location, frame->origins.size());
    size_t end = range.length ? std::min<size_t>(start + range.length, frame->origins.size()) : frame->origins.size();
    return { frame->origins.begin() + static_cast<ptrdiff_t>(start),
        frame->origins.begin() + static_cast<ptrdiff_t>(end) };
}

NSRange CTFrameGetStringRange(const CTFrameRef& frame)
{
    return frame ? frame->range : NSRange {};
}

NSRange CTFrameGetVisibleStringRange(const CTFrameRef& frame)
{
    if (!frame || frame->lines.empty())
        return frame ? NSRange { frame->range.location, 0 } : NSRange {};
    const auto& last = frame->lines.back();
    return { frame->range.location, last->range.location + last->range.length - frame->range.location };
}

CGPathRef CTFrameGetPath(const CTFrameRef& frame)
{
    return frame ? frame->path : nullptr;
}

void CTFrameDraw(const CTFrameRef& frame, const CGContextRef& context)
{
    if (!frame || !context)
        return;
    CGPoint saved = CGContextGetTextPosition(context);
    for (size_t i = 0; i < frame->lines.size(); ++i) {
        CGContextSetTextPosition(
            context, frame->rect.origin.x + frame->origins[i].x, frame->rect.origin.y + frame->origins[i].y);
        CTLineDraw(frame->lines[i], context);
    }
    CGContextSetTextPosition(context, saved.x, saved.y);
}

CTLineRef CTLineCreateWithAttributedString(const Ref<NSAttributedString>& text)
{
    if (!text)
        return nullptr;
    auto layout = std::make_shared<Layout>(NSAttributedString::initWithAttributedString(text), -1);
    auto lines = linesOf(layout, 0);
    if (lines.empty())
        return nullptr;
    // One line for the whole text: hard line breaks inside are laid out on the first line's
    // engine line only when the text has none; otherwise the first line stands for the text.
    return lines.front();
}

NSRange CTLineGetStringRange(const CTLineRef& line)
{
    return line ? line->range : NSRange {};
}
size_t CTLineGetGlyphCount(const CTLineRef& line)
{
    return line ? line->range.length : 0;
}

double CTLineGetTypographicBounds(const CTLineRef& line, CGFloat* ascent, CGFloat* descent, CGFloat* leading)
{
    if (!line)
        return 0;
    if (ascent)
        *ascent = static_cast<CGFloat>(line->ascent);
    if (descent)
        *descent = static_cast<CGFloat>(line->descent);
    if (leading)
        *leading = 0;
    return line->width;
}

CGRect CTLineGetImageBounds(const CTLineRef& line, const CGContextRef& context)
{
    if (!line)
        return CGRectNull;
    std::lock_guard lock(TextEngine::lock());
    PangoRectangle ink;
    pango_layout_line_get_extents(line->pangoLine(), &ink, nullptr);
    CGPoint p = CGContextGetTextPosition(context);
    return CGRectMake(p.x + static_cast<CGFloat>(ink.x) / PANGO_SCALE,
        p.y - static_cast<CGFloat>(ink.y + ink.height) / PANGO_SCALE, static_cast<CGFloat>(ink.width) / PANGO_SCALE,
        static_cast<CGFloat>(ink.height) / PANGO_SCALE);
}

double CTLineGetTrailingWhitespaceWidth(const CTLineRef& line)
{
    if (!line)
        return 0;
    const auto& text = line->layout->text->utf16();
    NSUInteger base = layoutBaseOf(*line);
    NSUInteger first = line->range.location - base, end = first + line->range.length, start = end;
    while (start > first && (text[start - 1] == u' ' || text[start - 1] == u'\t'))
        --start;
    if (start == end)
        return 0;
    std::lock_guard lock(TextEngine::lock());
    int a = 0, b = 0;
    pango_layout_line_index_to_x(line->pangoLine(), line->layout->map.byte(start), 0, &a);
    pango_layout_line_index_to_x(line->pangoLine(), line->layout->map.byte(end), 0, &b);
    return static_cast<double>(b - a) / PANGO_SCALE;
}

NSInteger CTLineGetStringIndexForPosition(const CTLineRef& line, CGPoint position)
{
    if (!line)
        return NSNotFound;
    std::lock_guard lock(TextEngine::lock());
    int index = 0, trailing = 0;
    pango_layout_line_x_to_index(line->pangoLine(), static_cast<int>(position.x * PANGO_SCALE), &index, &trailing);
    NSUInteger unit = line->layout->map.unit(index);
    if (trailing > 0)
        unit = line->layout->map.unit(g_utf8_offset_to_pointer(line->layout->map.utf8.c_str() + index, trailing)
            - line->layout->map.utf8.c_str());
    NSUInteger result = unit + layoutBaseOf(*line);
    return static_cast<NSInteger>(std::min(result, line->range.location + line->range.length));
}

CGFloat CTLineGetOffsetForStringIndex(const CTLineRef& line, NSInteger index, CGFloat* secondaryOffset)
{
    if (!line)
        return 0;
    std::lock_guard lock(TextEngine::lock());
    NSUInteger base = layoutBaseOf(*line);
    NSUInteger clamped = std::clamp<NSUInteger>(static_cast<NSUInteger>(std::max<NSInteger>(0, index)),
        line->range.location, line->range.location + line->range.length);
    int x = 0;
    pango_layout_line_index_to_x(line->pangoLine(), line->layout->map.byte(clamped - base), 0, &x);
    CGFloat offset = static_cast<CGFloat>(x) / PANGO_SCALE;
    if (secondaryOffset)
        *secondaryOffset = offset;
    return offset;
}

std::vector<CTRunRef> CTLineGetGlyphRuns(const CTLineRef& line)
{
    std::vector<CTRunRef> runs;
    if (!line || line->range.length == 0)
        return runs;
    NSUInteger base = layoutBaseOf(*line);
    NSUInteger start = line->range.location - base, end = start + line->range.length;
    for (const auto& r : line->layout->text->runs()) {
        NSUInteger a = std::max(r.location, start), b = std::min(r.location + r.length, end);
        if (a >= b)
            continue;
        auto run = std::make_shared<CTRun>();
        run->layout = line->layout;
        run->line = line->pangoLine();
        run->range = { a + base, b - a };
        run->attributes = r.attributes;
        run->base = base;
        runs.push_back(run);
    }
    return runs;
}

NSRange CTRunGetStringRange(const CTRunRef& run)
{
    return run ? run->range : NSRange {};
}
Value CTRunGetAttributes(const CTRunRef& run)
{
    return run ? run->attributes : Value();
}
size_t CTRunGetGlyphCount(const CTRunRef& run)
{
    return run ? run->range.length : 0;
}

std::vector<CGPoint> CTRunGetPositions(const CTRunRef& run, NSRange range)
{
    std::vector<CGPoint> out;
    if (!run)
        return out;
    std::lock_guard lock(TextEngine::lock());
    NSUInteger count = range.length ? range.length : run->range.length;
    for (NSUInteger i = 0; i < count && range.location + i < run->range.length; ++i) {
        NSUInteger local = run->range.location - run->base + range.location + i;
        int x = 0;
        pango_layout_line_index_to_x(run->line, run->layout->map.byte(local), 0, &x);
        out.push_back({ static_cast<CGFloat>(x) / PANGO_SCALE, 0 });
    }
    return out;
}

double CTRunGetTypographicBounds(
    const CTRunRef& run, NSRange range, CGFloat* ascent, CGFloat* descent, CGFloat* leading)
{
    if (!run)
        return 0;
    auto font = fontOf(run->attributes);
    if (ascent)
        *ascent = font->ascender();
    if (descent)
        *descent = -font->descender();
    if (leading)
        *leading = font->leading();
    NSUInteger start = run->range.location - run->base + range.location;
    NSUInteger end = range.length ? start + range.length : run->range.location - run->base + run->range.length;
    std::lock_guard lock(TextEngine::lock());
    int a = 0, b = 0;
    pango_layout_line_index_to_x(run->line, run->layout->map.byte(start), 0, &a);
    pango_layout_line_index_to_x(run->line, run->layout->map.byte(end), 0, &b);
    return std::fabs(static_cast<double>(b - a)) / PANGO_SCALE;
}

void CTLineDraw(const CTLineRef& line, const CGContextRef& context)
{
    if (!line || !context)
        return;
    CGPoint p = CGContextGetTextPosition(context);
    context->record("textLine \""
        + NSString::fromUTF16(
            line->layout->text->utf16().substr(line->range.location - layoutBaseOf(*line), line->range.length))
        + "\" at " + NSStringFromCGPoint(p));
    if (!context->backend())
        return;
    const auto& fill = context->state().fill;
    CGContextDraw(*context, [&](cairo_t* cr) {
        CGContextApplyUserMatrix(*context);
        // Text is upright in the y-up space of the text system: flip around the baseline.
        cairo_translate(cr, p.x, p.y);
        cairo_scale(cr, 1, -1);
        cairo_move_to(cr, 0, 0);
        cairo_set_source_rgba(cr, fill[0], fill[1], fill[2], fill[3]);
        std::lock_guard lock(TextEngine::lock());
        pango_cairo_update_layout(cr, line->layout->layout);
        pango_cairo_show_layout_line(cr, line->pangoLine());
    });
}

void CTRunDraw(const CTRunRef& run, const CGContextRef& context, NSRange)
{
    if (!run || !context)
        return;
    // Runs draw as part of their line; drawing a run alone draws its text with its attributes.
    auto text = run->layout->text->attributedSubstringFromRange({ run->range.location - run->base, run->range.length });
    CTLineDraw(CTLineCreateWithAttributedString(text), context);
}

CTLineRef CTLineCreateTruncatedLine(
    const CTLineRef& line, double width, CTLineTruncationType type, const CTLineRef& token)
{
    if (!line)
        return nullptr;
    if (line->width <= width)
        return line;
    NSUInteger base = layoutBaseOf(*line);
    auto whole = line->layout->text->attributedSubstringFromRange({ line->range.location - base, line->range.length });
    Ref<NSAttributedString> tokenText = token
        ? token->layout->text->attributedSubstringFromRange(
            { token->range.location - layoutBaseOf(*token), token->range.length })
        : NSAttributedString::initWithString(
            "\u2026", whole->length() ? whole->attributesAtIndexEffectiveRange(0, nullptr) : Value());
    double tokenWidth = token                         ? token->width
        : CTLineCreateWithAttributedString(tokenText) ? CTLineCreateWithAttributedString(tokenText)->width
                                                      : 0;
    if (tokenWidth > width)
        return nullptr;
    NSUInteger n = whole->length();
    auto build = [&](NSUInteger keep) {
        auto result = NSAttributedString::initWithString("");
        NSUInteger head = type == kCTLineTruncationStart ? 0 : type == kCTLineTruncationEnd ? keep : (keep + 1) / 2;
        NSUInteger tail = keep - head;
        if (head)
            result->appendAttributedString(whole->attributedSubstringFromRange({ 0, head }));
        result->appendAttributedString(tokenText);
        if (tail)
            result->appendAttributedString(whole->attributedSubstringFromRange({ n - tail, tail }));
        return CTLineCreateWithAttributedString(result);
    };
    // The largest number of kept characters whose line fits.
    NSUInteger lo = 0, hi = n;
    while (lo < hi) {
        NSUInteger mid = (lo + hi + 1) / 2;
        auto candidate = build(mid);
        if (candidate && candidate->width <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return build(lo);
}
