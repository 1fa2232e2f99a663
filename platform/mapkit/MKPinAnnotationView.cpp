#include "mapkit/MKPinAnnotationView.h"

#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"

#include <algorithm>

Ref<MKPinAnnotationView> MKPinAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    auto view = makeAnnotationView<MKPinAnnotationView>(annotation, std::move(reuseIdentifier));
    // The pin's point is at the bottom of a 16 x 32 view, its head above.
    view->setBounds(CGRectMake(0, 0, 16, 32));
    view->setCenterOffset(CGPointMake(0, -16));
    view->setCalloutOffset(CGPointMake(0, 0));
    view->setOpaque(false);
    return view;
}

void MKPinAnnotationView::setPinColor(MKPinAnnotationColor color)
{
    m_pinColor = color;
    setNeedsDisplay();
}

void MKPinAnnotationView::drawRect(CGRect)
{
    auto c = UIGraphicsGetCurrentContext();
    if (!c)
        return;
    static const CGFloat colours[3][3] = { { 0.85, 0.1, 0.1 }, { 0.1, 0.7, 0.2 }, { 0.55, 0.2, 0.75 } };
    const CGFloat* rgb = colours[std::min<uint32_t>(m_pinColor, 2)];
    auto b = bounds();
    CGFloat midX = b.size.width / 2;
    // The needle, then the head.
    CGContextSetRGBFillColor(c, 0.3, 0.3, 0.3, 1);
    CGContextFillRect(c, CGRectMake(midX - 1, b.size.width * 0.8, 2, b.size.height - b.size.width * 0.8));
    CGContextSetRGBFillColor(c, rgb[0], rgb[1], rgb[2], 1);
    CGContextFillEllipseInRect(c, CGRectMake(1, 1, b.size.width - 2, b.size.width - 2));
}

VX_REGISTER_CLASS(MKPinAnnotationView);
