#include "charts/LChartDashedLineView.h"

#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <vector>

void LChartDashedLineView::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    if (m_color)
        CGContextSetStrokeColorWithColor(context, m_color->CGColor());
    std::vector<CGFloat> lengths;
    for (const auto& dash : m_dashes.elements())
        lengths.push_back(dash.floatValue());
    CGContextSetLineDash(context, 0, lengths.empty() ? nullptr : lengths.data(), lengths.size());
    CGSize size = bounds().size;
    CGContextBeginPath(context);
    if (size.width < size.height) {
        CGContextSetLineWidth(context, size.width);
        CGContextMoveToPoint(context, size.width / 2, 0);
        CGContextAddLineToPoint(context, size.width / 2, size.height);
    } else {
        CGContextSetLineWidth(context, size.height);
        CGContextMoveToPoint(context, 0, size.height / 2);
        CGContextAddLineToPoint(context, size.width, size.height / 2);
    }
    CGContextStrokePath(context);
}
