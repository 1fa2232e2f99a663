#pragma once

#include "graphics/CGContext.h"
#include "uikit/UIView.h"

#include <initializer_list>

class LChartBasePointStyle;
class UIColor;

// The base of the small views a legend shows beside an entry's text: a miniature of a series
// (or of one slice) in its style's colours, or a plain block. Each subclass draws with Core
// Graphics in its drawRect. A symbol keeps the style object its series had when it was made, so
// changes to that object show at the next redraw. Main thread only.
class LChartLegendSymbol : public UIView {
    VX_OBJECT(LChartLegendSymbol, UIView)
public:
    explicit LChartLegendSymbol(Passkey key)
        : UIView(key)
    {
    }
    static Ref<LChartLegendSymbol> init();
    // The base draws nothing of its own: its background is clear. (It does not run the plain
    // view's drawing, so a symbol that happens to draw nothing is still redrawn later.)
    void drawRect(CGRect) override { }

protected:
    // A new symbol of a subclass with a clear background.
    template <typename T> static Ref<T> makeSymbol()
    {
        auto symbol = makeView<T>(CGRectZero);
        symbol->setBackgroundColor(clearColor());
        return symbol;
    }
    static Ref<UIColor> clearColor();

    // A solid disc, drawn as a radial gradient whose two stops hold the same colour.
    static void fillDisc(const CGContextRef& context, const Ref<UIColor>& color, CGPoint centre, CGFloat radius);
    // The line miniature of line and band series: a horizontal line through the middle, the area
    // below it when filled, and a marker in the middle when the point style shows points.
    static void drawLineMiniature(const CGContextRef& context, CGSize size, CGFloat lineWidth,
        const Ref<UIColor>& lineColor, bool showFill, const Ref<UIColor>& areaColor,
        const Ref<LChartBasePointStyle>& pointStyle);
    // The bar and column miniatures: the view filled with the area colour, then the open path
    // through `corners` stroked with the line colour and width.
    static void fillAndFrame(const CGContextRef& context, CGSize size, const Ref<UIColor>& areaColor,
        const Ref<UIColor>& lineColor, CGFloat lineWidth, std::initializer_list<CGPoint> corners);
    // A marker of the point style's colour in the middle of the view.
    static void drawPointMarker(
        const CGContextRef& context, CGSize size, CGPoint centre, const Ref<LChartBasePointStyle>& pointStyle);
};
