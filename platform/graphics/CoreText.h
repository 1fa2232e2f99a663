#pragma once

#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "graphics/CGImage.h"
#include "graphics/NSAttributedString.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/UIFont.h"

#include <memory>
#include <vector>

// Line layout of attributed text: framesetters lay text out in a rectangle as frames of lines,
// lines hold runs of equal attributes. Coordinates follow the platform's text system: line
// origins are baselines measured from the bottom-left of the frame (y up), and drawing puts a
// line's baseline at the context's text position. Deterministic (72 dpi, no hinting). One
// thread at a time per object; the engine itself is serialised.

using CTFontRef = Ref<UIFont>;

// Attribute names (text colours may be UIColor objects under either colour name).
inline constexpr const char* kCTFontAttributeName = "NSFont";
inline constexpr const char* kCTForegroundColorAttributeName = "CTForegroundColor";
inline constexpr const char* kCTForegroundColorFromContextAttributeName = "CTForegroundColorFromContext";
inline constexpr const char* kCTUnderlineStyleAttributeName = "NSUnderline";
inline constexpr const char* kCTStrikethroughStyleAttributeName = "NSStrikethrough";
inline constexpr const char* kCTParagraphStyleAttributeName = "NSParagraphStyle";
inline constexpr const char* kCTKernAttributeName = "NSKern";

CTFontRef CTFontCreateWithName(const std::string& name, CGFloat size, const CGAffineTransform* matrix);
CGFloat CTFontGetAscent(const CTFontRef& font);
CGFloat CTFontGetDescent(const CTFontRef& font); // positive, as on the platform
CGFloat CTFontGetLeading(const CTFontRef& font);
CGFloat CTFontGetSize(const CTFontRef& font);
CGFloat CTFontGetUnderlinePosition(const CTFontRef& font);
CGFloat CTFontGetUnderlineThickness(const CTFontRef& font);

// Fonts from data, registered for use by name.
class CGFont {
public:
    explicit CGFont(std::vector<uint8_t> data)
        : m_data(std::move(data))
    {
    }
    const std::vector<uint8_t>& data() const { return m_data; }
    const std::string& postScriptName() const { return m_name; }
    void setPostScriptName(std::string name) { m_name = std::move(name); }

private:
    std::vector<uint8_t> m_data;
    std::string m_name;
};
using CGFontRef = std::shared_ptr<CGFont>;
// Null when the data is not a font.
CGFontRef CGFontCreateWithDataProvider(const CGDataProviderRef& provider);
// False with `error` set when the font cannot be registered (already registered, unreadable).
bool CTFontManagerRegisterGraphicsFont(const CGFontRef& font, Ref<NSError>* error);

// Paragraph styles made from settings.
enum CTParagraphStyleSpecifier {
    kCTParagraphStyleSpecifierAlignment = 0,
    kCTParagraphStyleSpecifierFirstLineHeadIndent = 1,
    kCTParagraphStyleSpecifierHeadIndent = 2,
    kCTParagraphStyleSpecifierTailIndent = 3,
    kCTParagraphStyleSpecifierLineBreakMode = 6,
    kCTParagraphStyleSpecifierLineHeightMultiple = 7,
    kCTParagraphStyleSpecifierMaximumLineHeight = 8,
    kCTParagraphStyleSpecifierMinimumLineHeight = 9,
    kCTParagraphStyleSpecifierLineSpacing = 10,
    kCTParagraphStyleSpecifierParagraphSpacing = 11,
    kCTParagraphStyleSpecifierParagraphSpacingBefore = 12,
    kCTParagraphStyleSpecifierLineSpacingAdjustment = 16,
};
struct CTParagraphStyleSetting {
    CTParagraphStyleSpecifier spec;
    CGFloat value; // alignment and line break mode as their enum numbers
};
Ref<NSParagraphStyle> CTParagraphStyleCreate(const std::vector<CTParagraphStyleSetting>& settings);

class CTRun;
class CTLine;
class CTFrame;
class CTFramesetter;
using CTRunRef = std::shared_ptr<CTRun>;
using CTLineRef = std::shared_ptr<CTLine>;
using CTFrameRef = std::shared_ptr<CTFrame>;
using CTFramesetterRef = std::shared_ptr<CTFramesetter>;

CTFramesetterRef CTFramesetterCreateWithAttributedString(const Ref<NSAttributedString>& text);
// The size the text in `range` (length 0: to the end) needs within `constraints` (a
// non-positive or huge extent means unlimited), and the range that fits.
CGSize CTFramesetterSuggestFrameSizeWithConstraints(const CTFramesetterRef& framesetter, NSRange range,
    const Value& frameAttributes, CGSize constraints, NSRange* fitRange);
// Lays out the text of `range` in the rectangle of `path` (its bounding box).
CTFrameRef CTFramesetterCreateFrame(
    const CTFramesetterRef& framesetter, NSRange range, const CGPathRef& path, const Value& frameAttributes);

std::vector<CTLineRef> CTFrameGetLines(const CTFrameRef& frame);
// Origins of lines [range.location, +range.length) (length 0: all).
std::vector<CGPoint> CTFrameGetLineOrigins(const CTFrameRef& frame, NSRange range);
NSRange CTFrameGetStringRange(const CTFrameRef& frame);
NSRange CTFrameGetVisibleStringRange(const CTFrameRef& frame);
CGPathRef CTFrameGetPath(const CTFrameRef& frame);
void CTFrameDraw(const CTFrameRef& frame, const CGContextRef& context);

CTLineRef CTLineCreateWithAttributedString(const Ref<NSAttributedString>& text);
enum CTLineTruncationType { kCTLineTruncationStart = 0, kCTLineTruncationEnd = 1, kCTLineTruncationMiddle = 2 };
// A copy of `line` cut to `width` with `token` standing for what was removed; the line itself
// when it fits; null when not even the token fits.
CTLineRef CTLineCreateTruncatedLine(
    const CTLineRef& line, double width, CTLineTruncationType type, const CTLineRef& token);
NSRange CTLineGetStringRange(const CTLineRef& line);
size_t CTLineGetGlyphCount(const CTLineRef& line);
std::vector<CTRunRef> CTLineGetGlyphRuns(const CTLineRef& line);
// Width; ascent, descent (positive) and leading through the pointers.
double CTLineGetTypographicBounds(const CTLineRef& line, CGFloat* ascent, CGFloat* descent, CGFloat* leading);
CGRect CTLineGetImageBounds(const CTLineRef& line, const CGContextRef& context);
double CTLineGetTrailingWhitespaceWidth(const CTLineRef& line);
// The string index closest to a position along the line (kCFNotFound is never returned for a
// line with text); the x offset of a string index.
NSInteger CTLineGetStringIndexForPosition(const CTLineRef& line, CGPoint position);
CGFloat CTLineGetOffsetForStringIndex(const CTLineRef& line, NSInteger index, CGFloat* secondaryOffset);
void CTLineDraw(const CTLineRef& line, const CGContextRef& context);

NSRange CTRunGetStringRange(const CTRunRef& run);
Value CTRunGetAttributes(const CTRunRef& run);
size_t CTRunGetGlyphCount(const CTRunRef& run);
// Position of each glyph relative to the line origin.
std::vector<CGPoint> CTRunGetPositions(const CTRunRef& run, NSRange range);
double CTRunGetTypographicBounds(
    const CTRunRef& run, NSRange range, CGFloat* ascent, CGFloat* descent, CGFloat* leading);
void CTRunDraw(const CTRunRef& run, const CGContextRef& context, NSRange range);
