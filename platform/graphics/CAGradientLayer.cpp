#include "graphics/CAGradientLayer.h"

void CAGradientLayer::drawBackgroundAndContents(const CGContextRef& c)
{
    CALayer::drawBackgroundAndContents(c);
    if (m_colors.empty())
        return;
    std::vector<CGColorRef> colors = m_colors;
    if (colors.size() == 1)
        colors.push_back(colors.front());
    bool useLocations = m_locations.size() == colors.size();
    auto gradient = CGGradientCreateWithColors(
        CGColorSpaceCreateDeviceRGB(), colors, useLocations ? m_locations.data() : nullptr);
    if (!gradient)
        return;
    CGRect b = bounds();
    CGPoint start { b.origin.x + m_start.x * b.size.width, b.origin.y + m_start.y * b.size.height };
    CGPoint end { b.origin.x + m_end.x * b.size.width, b.origin.y + m_end.y * b.size.height };
    CGContextSaveGState(c);
    if (cornerRadius() > 0)
        CGContextAddPath(c, CGPathCreateWithRoundedRect(b, cornerRadius(), cornerRadius(), nullptr));
    else
        CGContextAddRect(c, b);
    CGContextClip(c);
    CGContextDrawLinearGradient(
        c, gradient, start, end, kCGGradientDrawsBeforeStartLocation | kCGGradientDrawsAfterEndLocation);
    CGContextRestoreGState(c);
}

VX_REGISTER_CLASS(CAGradientLayer);
