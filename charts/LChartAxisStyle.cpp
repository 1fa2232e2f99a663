#include "charts/LChartAxisStyle.h"

#include "charts/LatticeChartLog.h"

Ref<LChartAxisStyle> LChartAxisStyle::init()
{
    auto style = make<LChartAxisStyle>();
    style->m_majorTickStyle = LChartTickStyle::init();
    style->m_minorTickStyle = LChartTickStyle::init();
    style->m_majorGridLineStyle = LChartMajorGridlineStyle::init();
    style->m_gridStripeStyle = LChartGridStripeStyle::init();
    style->m_titleStyle = LChartAxisTitleStyle::init();
    return style;
}

Value LChartAxisStyle::validatedPadding(const Value& padding, const char* message) const
{
    if (padding.isNil())
        return padding;
    float value = padding.floatValue();
    if (value < 0.0f || !(value < 1.0f)) {
        LatticeChartLog::logMessageFromSource(message, this);
        return Value(0);
    }
    return padding;
}

void LChartAxisStyle::setInterSeriesPadding(const Value& padding)
{
    m_interSeriesPadding = validatedPadding(padding, "interSeriesPadding must be less than 1 and greater than, or 0");
}

void LChartAxisStyle::setInterSeriesSetPadding(const Value& padding)
{
    m_interSeriesSetPadding
        = validatedPadding(padding, "interSeriesSetPadding must be less than 1 and greater than, or 0");
}

void LChartAxisStyle::setInterColumnPadding(const Value& padding)
{
    LatticeChartLog::logMessageFromSource(
        "Using deprecated variable interColumnPadding - use interSeriesPadding instead!", this);
    m_interColumnPadding = padding;
    if (!padding.isNil())
        setInterSeriesPadding(padding);
}

void LChartAxisStyle::setInterColumnSetPadding(const Value& padding)
{
    LatticeChartLog::logMessageFromSource(
        "Using deprecated variable interColumnSetPadding - use interSeriesSetPadding instead!", this);
    m_interColumnSetPadding = padding;
    if (!padding.isNil())
        setInterSeriesSetPadding(padding);
}

void LChartAxisStyle::setInterBarPadding(const Value& padding)
{
    LatticeChartLog::logMessageFromSource(
        "Using deprecated variable interBarPadding - use interSeriesPadding instead!", this);
    m_interBarPadding = padding;
    if (!padding.isNil())
        setInterSeriesPadding(padding);
}

void LChartAxisStyle::setInterBarSetPadding(const Value& padding)
{
    LatticeChartLog::logMessageFromSource(
        "Using deprecated variable interBarSetPadding - use interSeriesSetPadding instead!", this);
    m_interBarSetPadding = padding;
    if (!padding.isNil())
        setInterSeriesSetPadding(padding);
}

Ref<LChartAxisStyle> LChartAxisStyle::copy() const
{
    auto other = init();
    other->setLineColor(m_lineColor);
    other->setLineWidth(m_lineWidth);
    other->setInterSeriesPadding(m_interSeriesPadding);
    other->setInterSeriesSetPadding(m_interSeriesSetPadding);
    other->m_majorTickStyle = m_majorTickStyle ? m_majorTickStyle->copy() : nullptr;
    other->m_minorTickStyle = m_minorTickStyle ? m_minorTickStyle->copy() : nullptr;
    other->m_majorGridLineStyle = m_majorGridLineStyle ? m_majorGridLineStyle->copy() : nullptr;
    other->m_gridStripeStyle = m_gridStripeStyle ? m_gridStripeStyle->copy() : nullptr;
    other->m_titleStyle = m_titleStyle ? m_titleStyle->copy() : nullptr;
    return other;
}

namespace {

template <typename T> void supplementSubStyle(const Ref<T>& mine, const Ref<T>& theirs)
{
    if (mine && theirs)
        mine->supplementStyleFromStyle(*theirs);
}

} // namespace

void LChartAxisStyle::supplementStyleFromStyle(const LChartAxisStyle& other)
{
    VX_SUPPLEMENT_OBJECT(other, lineColor, LineColor)
    VX_SUPPLEMENT_OBJECT(other, lineWidth, LineWidth)
    VX_SUPPLEMENT_OBJECT(other, interSeriesPadding, InterSeriesPadding)
    VX_SUPPLEMENT_OBJECT(other, interSeriesSetPadding, InterSeriesSetPadding)
    supplementSubStyle(m_majorTickStyle, other.m_majorTickStyle);
    supplementSubStyle(m_minorTickStyle, other.m_minorTickStyle);
    supplementSubStyle(m_majorGridLineStyle, other.m_majorGridLineStyle);
    supplementSubStyle(m_gridStripeStyle, other.m_gridStripeStyle);
    supplementSubStyle(m_titleStyle, other.m_titleStyle);
}
