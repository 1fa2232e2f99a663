#pragma once

#include "foundation/Ref.h"
#include "graphics/CGGeometry.h"

class UIColor;

// Shapes the controls draw themselves with, in the current graphics context. Main thread only.
namespace UIKitDrawing {
void fillRoundedRect(CGRect rect, CGFloat radius, const Ref<UIColor>& color);
// The line runs inside `rect`.
void strokeRoundedRect(CGRect rect, CGFloat radius, CGFloat width, const Ref<UIColor>& color);
void fillEllipse(CGRect rect, const Ref<UIColor>& color);
void strokeLine(CGPoint from, CGPoint to, CGFloat width, const Ref<UIColor>& color);
} // namespace UIKitDrawing
