#pragma once

// What the files of CGContext share. Only CGContext's own sources include this header; the rest
// of the graphics library reaches the engine through CGContextPrivate.h.

#include "graphics/CGContextPrivate.h"
#include "graphics/CGPath.h"

#include <cairo.h>
#include <string>

namespace CGContextInternal {

// Texts for the operations a recording context writes down.
std::string num(double v);
std::string pathText(const CGPath& path);
std::string rgbaText(const CGFloat* c);

// Replays a device-space path into the engine (whose device space is y-down).
void addPath(cairo_t* cr, const CGPath& path, CGAffineTransform base);

} // namespace CGContextInternal
