#pragma once

// The drawing engine behind CGContext. Only graphics sources include this header.

#include "graphics/CGContext.h"

#include <cairo.h>
#include <functional>

struct CGContext::State {
    CGAffineTransform ctm {};
    CGFloat fill[4] { 0, 0, 0, 1 };
    // A pattern image replacing the fill colour (pattern colours), tiled from the origin.
    CGImageRef fillPattern;
    CGFloat fillPatternScale { 1 };
    CGFloat stroke[4] { 0, 0, 0, 1 };
    CGColorSpaceRef fillSpace;
    CGColorSpaceRef strokeSpace;
    CGFloat lineWidth { 1 };
    CGLineCap lineCap { kCGLineCapButt };
    CGLineJoin lineJoin { kCGLineJoinMiter };
    CGFloat miterLimit { 10 };
    std::vector<double> dash;
    CGFloat dashPhase { 0 };
    CGFloat alpha { 1 };
    CGBlendMode blendMode { kCGBlendModeNormal };
    CGInterpolationQuality interpolation { kCGInterpolationDefault };
    CGPoint textPosition {};
    CGAffineTransform textMatrix {};
    bool antialias { true };
    bool shadowActive { false };
    CGSize shadowOffset {};
    CGFloat shadowBlur { 0 };
    CGFloat shadowColor[4] { 0, 0, 0, 1.0f / 3 };
    // Clip of a recording context, in device space; the engine keeps the real clip.
    CGRect recordedClip = CGRectInfinite;
    // Masks from CGContextClipToMask, applied to every later drawing operation.
    std::vector<std::shared_ptr<cairo_surface_t>> masks;
    std::vector<cairo_matrix_t> maskMatrices;
};

struct CGContext::Backend {
    cairo_surface_t* surface { nullptr };
    cairo_t* cr { nullptr };
    uint8_t* userData { nullptr };
    std::vector<uint8_t> ownedData;
    size_t width { 0 };
    size_t height { 0 };
    size_t bytesPerRow { 0 };
    CGPixelFormat format;
    CGColorSpaceRef space;
    // The engine draws into a surface of its own when the caller's layout is not the engine's;
    // the two are synchronised around every drawing operation.
    bool shadowed { false };

    ~Backend();
    void pullFromUser();
    void pushToUser();
};

// Runs one drawing operation with the state's alpha, blend mode, shadow and masks applied.
void CGContextDraw(CGContext& c, const std::function<void(cairo_t*)>& draw);

// Sets the engine's matrix to user space of the context's current state.
void CGContextApplyUserMatrix(CGContext& c);
cairo_matrix_t CGContextCairoMatrix(CGAffineTransform t);
