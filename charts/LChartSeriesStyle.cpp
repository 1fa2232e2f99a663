#include "charts/LChartSeriesStyle.h"

#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

void LChartSeriesStyle::supplementStyleFromStyle(const LChartSeriesStyle& other)
{
    if (!m_useSeriesSymbolsSet)
        m_useSeriesSymbols = other.m_useSeriesSymbols;
}

void LChartBasePointStyle::setRadius(const Value& radius)
{
    if (!radius.isNil() && radius.floatValue() <= 0) {
        LatticeChartLog::logMessageFromSource("LChartPointStyle: radius must be greater than zero", this);
        return;
    }
    m_radius = radius;
}

void LChartBasePointStyle::supplementStyleFromStyle(const LChartBasePointStyle& other)
{
    VX_SUPPLEMENT_OBJECT(other, color, Color)
    VX_SUPPLEMENT_OBJECT(other, colorBelowBaseline, ColorBelowBaseline)
    VX_SUPPLEMENT_OBJECT(other, radius, Radius)
    VX_SUPPLEMENT_OBJECT(other, texture, Texture)
    VX_SUPPLEMENT_FLAGGED(other, showPoints, ShowPoints, Set)
}

void LChartPointStyle::setInnerRadius(const Value& radius)
{
    if (!radius.isNil()) {
        float value = radius.floatValue();
        bool negative = value < 0;
        if (negative || !(value < this->radius().floatValue())) {
            LatticeChartLog::logMessageFromSource(
                NSString::stringWithFormat(
                    "LChartPointStyle: inner radius can't be %s", negative ? "less than zero" : "greater than radius"),
                this);
            return;
        }
    }
    m_innerRadius = radius;
}

void LChartPointStyle::supplementStyleFromStyle(const LChartBasePointStyle& base)
{
    LChartBasePointStyle::supplementStyleFromStyle(base);
    auto* other = dynamic_cast<const LChartPointStyle*>(&base);
    if (!other)
        return;
    VX_SUPPLEMENT_OBJECT(*other, innerColor, InnerColor)
    VX_SUPPLEMENT_OBJECT(*other, innerColorBelowBaseline, InnerColorBelowBaseline)
    VX_SUPPLEMENT_OBJECT(*other, innerRadius, InnerRadius)
}
