#pragma once

#include "foundation/Value.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGColor.h"
#include "graphics/CGGeometry.h"
#include "graphics/CGImage.h"
#include "graphics/CGPath.h"

#include <memory>
#include <string>
#include <vector>

enum CGLineCap { kCGLineCapButt, kCGLineCapRound, kCGLineCapSquare };
enum CGLineJoin { kCGLineJoinMiter, kCGLineJoinRound, kCGLineJoinBevel };
enum CGPathDrawingMode { kCGPathFill, kCGPathEOFill, kCGPathStroke, kCGPathFillStroke, kCGPathEOFillStroke };
enum CGInterpolationQuality {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationHigh = 3,
    kCGInterpolationMedium = 4,
};
enum CGBlendMode {
    kCGBlendModeNormal,
    kCGBlendModeMultiply,
    kCGBlendModeScreen,
    kCGBlendModeOverlay,
    kCGBlendModeDarken,
    kCGBlendModeLighten,
    kCGBlendModeColorDodge,
    kCGBlendModeColorBurn,
    kCGBlendModeSoftLight,
    kCGBlendModeHardLight,
    kCGBlendModeDifference,
    kCGBlendModeExclusion,
    kCGBlendModeHue,
    kCGBlendModeSaturation,
    kCGBlendModeColor,
    kCGBlendModeLuminosity,
    kCGBlendModeClear,
    kCGBlendModeCopy,
    kCGBlendModeSourceIn,
    kCGBlendModeSourceOut,
    kCGBlendModeSourceAtop,
    kCGBlendModeDestinationOver,
    kCGBlendModeDestinationIn,
    kCGBlendModeDestinationOut,
    kCGBlendModeDestinationAtop,
    kCGBlendModeXOR,
    kCGBlendModePlusDarker,
    kCGBlendModePlusLighter,
};

using CGGradientDrawingOptions = uint32_t;
inline constexpr CGGradientDrawingOptions kCGGradientDrawsBeforeStartLocation = 1;
inline constexpr CGGradientDrawingOptions kCGGradientDrawsAfterEndLocation = 2;

// Colour stops of a gradient. Immutable; any thread.
class CGGradient {
public:
    struct Stop {
        CGFloat location;
        CGFloat rgba[4];
    };
    explicit CGGradient(std::vector<Stop> stops)
        : m_stops(std::move(stops))
    {
    }
    const std::vector<Stop>& stops() const { return m_stops; }

private:
    std::vector<Stop> m_stops;
};

using CGGradientRef = std::shared_ptr<const CGGradient>;

// `components` holds `count` colours of the space's components plus alpha; `locations` may be
// null for evenly spread stops.
CGGradientRef CGGradientCreateWithColorComponents(
    const CGColorSpaceRef& space, const CGFloat* components, const CGFloat* locations, size_t count);
CGGradientRef CGGradientCreateWithColors(
    const CGColorSpaceRef& space, const std::vector<CGColorRef>& colors, const CGFloat* locations);

class CGContext;
using CGContextRef = std::shared_ptr<CGContext>;

// A drawing context: a bitmap over memory (the caller's or its own), or a recording context
// that only logs what is drawn. User space starts with the origin at the bottom left (y up);
// image contexts made by the UIKit layer flip it. One thread at a time.
class CGContext {
public:
    struct State;
    struct Backend;

    CGContext();
    ~CGContext();
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    State& state();
    const State& state() const;
    // Graphics-state stack; restoring with nothing saved does nothing.
    void saveState();
    bool restoreState();
    Backend* backend() const { return m_backend.get(); }

    // Bitmap facts; zero for recording contexts.
    size_t width() const;
    size_t height() const;
    size_t bytesPerRow() const;
    uint8_t* data() const;
    const CGPixelFormat& format() const;
    CGColorSpaceRef colorSpace() const;

    // The transform from user space to the drawing engine's device space (y down).
    CGAffineTransform deviceTransform() const;
    // The drawn operations of a recording context, one line each.
    std::vector<std::string>& recording() { return m_recording; }
    bool isRecording() const { return !m_backend; }
    void record(std::string line);

    // Device-space current path.
    CGPath& path() { return m_path; }

    static CGContextRef makeBitmap(
        void* data, size_t width, size_t height, size_t bytesPerRow, CGPixelFormat format, CGColorSpaceRef space);
    static CGContextRef makeRecording(CGSize size);
    // The base transform placed under the CTM (the y flip, and a scale for image contexts).
    void setBaseTransform(CGAffineTransform base);
    size_t& transparencyDepth() { return m_transparencyDepth; }
    CGAffineTransform baseTransform() const { return m_base; }

private:
    std::unique_ptr<Backend> m_backend;
    std::vector<State> m_states;
    CGPath m_path;
    CGAffineTransform m_base {};
    CGSize m_recordingSize {};
    size_t m_transparencyDepth { 0 };
    std::vector<std::string> m_recording;
};

// Bitmap contexts. `data` null makes the context own zeroed memory; `bytesPerRow` 0 computes
// it. Null (with a logged error) for unsupported combinations or absurd sizes.
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
    const CGColorSpaceRef& space, CGBitmapInfo bitmapInfo);
void* CGBitmapContextGetData(const CGContextRef& c);
size_t CGBitmapContextGetWidth(const CGContextRef& c);
size_t CGBitmapContextGetHeight(const CGContextRef& c);
size_t CGBitmapContextGetBytesPerRow(const CGContextRef& c);
size_t CGBitmapContextGetBitsPerComponent(const CGContextRef& c);
size_t CGBitmapContextGetBitsPerPixel(const CGContextRef& c);
CGBitmapInfo CGBitmapContextGetBitmapInfo(const CGContextRef& c);
CGImageAlphaInfo CGBitmapContextGetAlphaInfo(const CGContextRef& c);
CGColorSpaceRef CGBitmapContextGetColorSpace(const CGContextRef& c);
// A copy of the current pixels as an image.
CGImageRef CGBitmapContextCreateImage(const CGContextRef& c);

// A context that records operations as text instead of drawing.
CGContextRef CGContextCreateRecording(CGSize size);
std::vector<std::string> CGContextGetRecordedOperations(const CGContextRef& c);

// Every function below does nothing for a null context, as a message to nil would.
void CGContextSaveGState(const CGContextRef& c);
void CGContextRestoreGState(const CGContextRef& c);
void CGContextTranslateCTM(const CGContextRef& c, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(const CGContextRef& c, CGFloat sx, CGFloat sy);
void CGContextRotateCTM(const CGContextRef& c, CGFloat angle);
void CGContextConcatCTM(const CGContextRef& c, CGAffineTransform t);
CGAffineTransform CGContextGetCTM(const CGContextRef& c);
CGAffineTransform CGContextGetUserSpaceToDeviceSpaceTransform(const CGContextRef& c);
CGPoint CGContextConvertPointToDeviceSpace(const CGContextRef& c, CGPoint p);
CGPoint CGContextConvertPointToUserSpace(const CGContextRef& c, CGPoint p);
CGRect CGContextConvertRectToDeviceSpace(const CGContextRef& c, CGRect r);

void CGContextSetLineWidth(const CGContextRef& c, CGFloat width);
void CGContextSetLineCap(const CGContextRef& c, CGLineCap cap);
void CGContextSetLineJoin(const CGContextRef& c, CGLineJoin join);
void CGContextSetMiterLimit(const CGContextRef& c, CGFloat limit);
void CGContextSetLineDash(const CGContextRef& c, CGFloat phase, const CGFloat* lengths, size_t count);
void CGContextSetAlpha(const CGContextRef& c, CGFloat alpha);
void CGContextSetBlendMode(const CGContextRef& c, CGBlendMode mode);
void CGContextSetInterpolationQuality(const CGContextRef& c, CGInterpolationQuality quality);
CGInterpolationQuality CGContextGetInterpolationQuality(const CGContextRef& c);
void CGContextSetShouldAntialias(const CGContextRef& c, bool antialias);
void CGContextSetAllowsAntialiasing(const CGContextRef& c, bool antialias);
void CGContextSetFlatness(const CGContextRef& c, CGFloat flatness);

void CGContextSetRGBFillColor(const CGContextRef& c, CGFloat r, CGFloat g, CGFloat b, CGFloat a);
void CGContextSetRGBStrokeColor(const CGContextRef& c, CGFloat r, CGFloat g, CGFloat b, CGFloat a);
void CGContextSetGrayFillColor(const CGContextRef& c, CGFloat gray, CGFloat a);
void CGContextSetGrayStrokeColor(const CGContextRef& c, CGFloat gray, CGFloat a);
void CGContextSetFillColorWithColor(const CGContextRef& c, const CGColorRef& color);
void CGContextSetStrokeColorWithColor(const CGContextRef& c, const CGColorRef& color);
void CGContextSetFillColor(const CGContextRef& c, const CGFloat* components); // in the fill colour space
void CGContextSetStrokeColor(const CGContextRef& c, const CGFloat* components);
void CGContextSetFillColorSpace(const CGContextRef& c, const CGColorSpaceRef& space);
void CGContextSetStrokeColorSpace(const CGContextRef& c, const CGColorSpaceRef& space);
void CGContextSetShadow(const CGContextRef& c, CGSize offset, CGFloat blur);
void CGContextSetShadowWithColor(const CGContextRef& c, CGSize offset, CGFloat blur, const CGColorRef& color);

void CGContextBeginPath(const CGContextRef& c);
void CGContextMoveToPoint(const CGContextRef& c, CGFloat x, CGFloat y);
void CGContextAddLineToPoint(const CGContextRef& c, CGFloat x, CGFloat y);
void CGContextAddCurveToPoint(
    const CGContextRef& c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y);
void CGContextAddQuadCurveToPoint(const CGContextRef& c, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y);
void CGContextClosePath(const CGContextRef& c);
void CGContextAddRect(const CGContextRef& c, CGRect rect);
void CGContextAddRects(const CGContextRef& c, const CGRect* rects, size_t count);
void CGContextAddLines(const CGContextRef& c, const CGPoint* points, size_t count);
void CGContextAddEllipseInRect(const CGContextRef& c, CGRect rect);
// `clockwise` 1 sweeps with decreasing angle in user space.
void CGContextAddArc(
    const CGContextRef& c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle, int clockwise);
void CGContextAddArcToPoint(const CGContextRef& c, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius);
void CGContextAddPath(const CGContextRef& c, const CGPathRef& path);
bool CGContextIsPathEmpty(const CGContextRef& c);
CGPoint CGContextGetPathCurrentPoint(const CGContextRef& c);
CGRect CGContextGetPathBoundingBox(const CGContextRef& c);
CGPathRef CGContextCopyPath(const CGContextRef& c);
bool CGContextPathContainsPoint(const CGContextRef& c, CGPoint point, CGPathDrawingMode mode);
void CGContextReplacePathWithStrokedPath(const CGContextRef& c);

void CGContextDrawPath(const CGContextRef& c, CGPathDrawingMode mode);
void CGContextFillPath(const CGContextRef& c);
void CGContextEOFillPath(const CGContextRef& c);
void CGContextStrokePath(const CGContextRef& c);
void CGContextFillRect(const CGContextRef& c, CGRect rect);
void CGContextFillRects(const CGContextRef& c, const CGRect* rects, size_t count);
void CGContextStrokeRect(const CGContextRef& c, CGRect rect);
void CGContextStrokeRectWithWidth(const CGContextRef& c, CGRect rect, CGFloat width);
void CGContextFillEllipseInRect(const CGContextRef& c, CGRect rect);
void CGContextStrokeEllipseInRect(const CGContextRef& c, CGRect rect);
void CGContextStrokeLineSegments(const CGContextRef& c, const CGPoint* points, size_t count);
void CGContextClearRect(const CGContextRef& c, CGRect rect);

void CGContextClip(const CGContextRef& c);
void CGContextEOClip(const CGContextRef& c);
void CGContextClipToRect(const CGContextRef& c, CGRect rect);
void CGContextClipToRects(const CGContextRef& c, const CGRect* rects, size_t count);
// Uses the image's alpha (or grey for opaque images) as a mask over `rect`.
void CGContextClipToMask(const CGContextRef& c, CGRect rect, const CGImageRef& mask);
CGRect CGContextGetClipBoundingBox(const CGContextRef& c);

void CGContextDrawLinearGradient(
    const CGContextRef& c, const CGGradientRef& gradient, CGPoint start, CGPoint end, CGGradientDrawingOptions options);
void CGContextDrawRadialGradient(const CGContextRef& c, const CGGradientRef& gradient, CGPoint startCenter,
    CGFloat startRadius, CGPoint endCenter, CGFloat endRadius, CGGradientDrawingOptions options);

// Draws the image upright into `rect` of user space.
void CGContextDrawImage(const CGContextRef& c, CGRect rect, const CGImageRef& image);
void CGContextDrawTiledImage(const CGContextRef& c, CGRect rect, const CGImageRef& image);

// Where text drawing puts the next baseline, and the text matrix (kept; text draws upright).
void CGContextSetTextPosition(const CGContextRef& c, CGFloat x, CGFloat y);
CGPoint CGContextGetTextPosition(const CGContextRef& c);
void CGContextSetTextMatrix(const CGContextRef& c, CGAffineTransform t);
CGAffineTransform CGContextGetTextMatrix(const CGContextRef& c);

// Everything drawn until the matching end is composited as one group, with the alpha, blend
// mode and shadow that were current at the beginning.
void CGContextBeginTransparencyLayer(const CGContextRef& c, const Value& auxiliaryInfo);
void CGContextEndTransparencyLayer(const CGContextRef& c);

void CGContextFlush(const CGContextRef& c);
void CGContextSynchronize(const CGContextRef& c);
