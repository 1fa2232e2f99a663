#include "charts/view/LChartGradientView.h"

#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

VX_REGISTER_CLASS(LChartGradientView);

void LChartGradientView::getColorComponentsFromCGColor(CGFloat components[4], const CGColorRef& color)
{
    size_t count = CGColorGetNumberOfComponents(color);
    const CGFloat* values = CGColorGetComponents(color);
    if (!values || count == 0) {
        components[0] = components[1] = components[2] = components[3] = 0;
        return;
    }
    if (count == 4) {
        for (size_t i = 0; i < 4; ++i)
            components[i] = values[i];
        return;
    }
    components[0] = components[1] = components[2] = values[0];
    components[3] = count > 1 ? values[1] : 1;
}

void LChartGradientView::drawRect(CGRect)
{
    if (!m_topColor || !m_bottomColor)
        return;
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    m_previousTopColor = m_topColor;
    m_previousBottomColor = m_bottomColor;
    CGFloat components[8];
    getColorComponentsFromCGColor(components, m_topColor->CGColor());
    getColorComponentsFromCGColor(components + 4, m_bottomColor->CGColor());
    CGFloat locations[2] = { 0, 1 };
    auto gradient = CGGradientCreateWithColorComponents(CGColorSpaceCreateDeviceRGB(), components, locations, 2);
    CGRect b = bounds();
    CGContextDrawLinearGradient(
        context, gradient, CGPointMake(CGRectGetMidX(b), 0), CGPointMake(CGRectGetMidX(b), CGRectGetMaxY(b)), 0);
}
