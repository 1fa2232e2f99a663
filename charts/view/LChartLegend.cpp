#include "charts/view/LChartLegend.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartLegendStyle.h"
#include "charts/LChartLegendSymbol.h"
#include "charts/LChartSeries.h"
#include "charts/LChartSeriesStyle.h"
#include "charts/LChartTitle.h"
#include "charts/LatticeChartLog.h"
#include "charts/view/LatticeChart.h"
#include "foundation/NSString.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(LChartLegend);

namespace {

constexpr float kRowHeight = 20;
// The title font never shrinks below this size while it is fitted into a fixed title frame.
constexpr CGFloat kSmallestTitleFontSize = 1;

bool isBlank(const std::string& text)
{
    return text.find_first_not_of(" \t\n\r\f\v") == std::string::npos;
}

// A font of the style font's name and size; the system font when the style has none.
Ref<UIFont> fontLike(const Ref<UIFont>& font)
{
    if (!font)
        return UIFont::systemFontOfSize(UIFont::systemFontSize());
    auto made = UIFont::fontWithNameSize(font->fontName(), font->pointSize());
    return made ? made : font;
}

CGSize textSize(const std::string& text, const Ref<UIFont>& font)
{
    return NSString_Drawing::sizeWithFont(text, font);
}

size_t shownSeriesCount(const std::vector<Ref<LChartSeries>>& series)
{
    return static_cast<size_t>(
        std::count_if(series.begin(), series.end(), [](const auto& each) { return each->showInLegend(); }));
}

} // namespace

Ref<LChartLegend> LChartLegend::init()
{
    LatticeChartLog::fatalLogMessageFromSource(
        "Can't init an LChartLegend without a chart. Use 'initWithChart:' instead.", nullptr);
}

Ref<LChartLegend> LChartLegend::initWithChart(LatticeChart* chart)
{
    auto legend = makeView<LChartLegend>(CGRectZero);
    legend->m_chart = chart;
    legend->setClipsToBounds(true);
    legend->m_maxSeriesPerLine = 4;
    legend->m_maxSeriesPerLineSet = false;
    legend->m_userSetFrame = false;
    legend->setSymbolWidth(Value(24.0f));
    legend->m_autosizeLabels = true;
    legend->m_style = LChartLegendStyle::init();
    legend->m_title = LChartTitle::init();
    legend->m_title->setTextAlignment(NSTextAlignmentCenter);
    legend->m_title->setBackgroundColor(UIColor::clearColor());
    legend->addSubview(legend->m_title);
    return legend;
}

void LChartLegend::setFrame(CGRect frame)
{
    UIView::setFrame(frame);
    m_userSetFrame = true;
}

void LChartLegend::reload()
{
    bool userSet = m_userSetFrame;
    drawLegend();
    m_userSetFrame = userSet;
}

void LChartLegend::setPlacement(int32_t placement)
{
    if (placement == m_placement)
        return;
    m_placement = placement;
    reload();
    if (m_chart)
        m_chart->bringSubviewToFront(self<UIView>());
}

void LChartLegend::setPosition(int32_t position)
{
    m_position = position;
    if (m_style)
        m_style->setOrientation(position == 3 || position == 7 ? 1 : 0);
    if (m_chart)
        m_chart->setNeedsLayoutIfHaveAxesAndData();
    reload();
}

int32_t LChartLegend::orientation() const
{
    return m_style ? m_style->orientation() : 0;
}

void LChartLegend::setOrientation(int32_t orientation)
{
    if (!m_style || m_style->orientation() == orientation)
        return;
    m_style->setOrientation(orientation);
    reload();
}

void LChartLegend::setFixedWidthRatio(const Value& ratio)
{
    if (ratio.isEqual(m_fixedWidthRatio))
        return;
    if (ratio.isNilOrNull()) {
        m_fixedWidthRatio = Value();
        return;
    }
    double value = ratio.doubleValue();
    if (!(value > 0) || value > 1) {
        m_fixedWidthRatio = Value();
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("LChartLegend: setFixedWidthRatio: %f is not in the range 0.0 - 1.0", value),
            this);
        return;
    }
    m_fixedWidthRatio = ratio;
}

void LChartLegend::setMaxSeriesPerLine(int32_t count)
{
    if (count <= 0) {
        LatticeChartLog::logMessage("Legend must have at least 1 series per line.");
        count = 1;
    }
    m_maxSeriesPerLine = count;
    m_maxSeriesPerLineSet = true;
}

void LChartLegend::setSymbolWidth(const Value& width)
{
    m_userSetSymbolWidth = true;
    m_symbolWidth = width;
}

std::string LChartLegend::title() const
{
    return m_title->text();
}

void LChartLegend::setTitle(const std::string& title)
{
    m_title->setText(title);
    m_doShowTitle = !isBlank(title);
}

bool LChartLegend::showSymbols()
{
    if (m_style)
        m_showSymbols = m_style->showSymbols();
    return m_showSymbols;
}

void LChartLegend::setShowSymbols(bool show)
{
    if (m_style)
        m_style->setShowSymbols(show);
    m_showSymbols = show;
}

float LChartLegend::horizontalPadding() const
{
    return m_style ? m_style->horizontalPadding().floatValue() : 0;
}

float LChartLegend::verticalPadding() const
{
    return m_style ? m_style->verticalPadding().floatValue() : 0;
}

void LChartLegend::drawLegend()
{
    if (!m_style)
        m_style = LChartLegendStyle::init();
    const auto& layer = this->layer();
    layer->setCornerRadius(m_cornerRadius.floatValue());
    layer->setBorderWidth(m_style->borderWidth().floatValue());
    layer->setBorderColor(m_style->borderColor() ? m_style->borderColor()->CGColor() : nullptr);
    setBackgroundColor(m_style->areaColor());

    if (!m_chart) {
        placeFrame(CGRectZero);
        return;
    }
    const auto& allSeries = m_chart->series();
    bool radial = m_chart->isRadial();
    size_t n = 0;
    if (radial) {
        auto first = std::find_if(allSeries.begin(), allSeries.end(), [](const auto& s) { return s->showInLegend(); });
        if (first != allSeries.end())
            n = (*first)->dataSeries()->dataPoints().size();
        if (n == 0) {
            placeFrame(CGRectZero);
            return;
        }
    } else {
        if (allSeries.empty()) {
            placeFrame(CGRectZero);
            return;
        }
        n = shownSeriesCount(allSeries);
    }

    auto bw = static_cast<float>(layer->borderWidth());
    float hp = horizontalPadding();
    float vp = verticalPadding();
    auto chartW = static_cast<float>(m_chart->frame().size.width);
    CGRect own = frame();
    int32_t orientation = m_style->orientation();
    float available;
    if (!m_fixedWidthRatio.isNilOrNull())
        available = chartW * m_fixedWidthRatio.floatValue();
    else if (m_userSetFrame)
        available = chartW;
    else
        available = orientation == 1 ? chartW / 1.5f : chartW * 0.25f;

    // Title.
    m_title->setHidden(!m_doShowTitle);
    m_title->setFont(fontLike(m_style->titleFont()));
    m_title->setTextColor(m_style->titleFontColor());
    if (m_autosizeLabels) {
        CGSize size = textSize(m_title->text(), m_title->font());
        m_title->setFrame(CGRectMake(0, 0, size.width, size.height));
    } else {
        m_title->setFrame(CGRectMake(0.125 * available, vp + bw, 0.75 * available, 20));
    }

    auto count = static_cast<int32_t>(n);
    int32_t perLine = 1;
    if (count >= 1 && (m_maxSeriesPerLineSet || orientation == 1))
        perLine = std::min(count, m_maxSeriesPerLine);
    float s = m_symbolWidth.isNilOrNull() ? 0 : m_symbolWidth.floatValue();
    if (!(s > 0)) {
        s = (available - 2 * bw - static_cast<float>(2 * perLine + 1) * hp) / static_cast<float>(2 * perLine);
        setSymbolWidth(Value(s));
    }
    bool symbolsShown = showSymbols();
    int32_t columns = symbolsShown ? 2 * perLine + 1 : perLine + 1;
    float labelWidth = (available - 2 * bw - static_cast<float>(columns) * hp) / static_cast<float>(perLine) - s;

    float rowHeight = kRowHeight;
    if (m_userSetFrame) {
        float rows = std::ceil(static_cast<float>(count) / static_cast<float>(perLine));
        if (rows < 1)
            rows = 1;
        float room = static_cast<float>(own.size.height) - 2 * bw - (rows + 1) * vp;
        if (m_doShowTitle)
            room -= static_cast<float>(m_title->frame().size.height) + vp;
        rowHeight = room / rows;
        if (rowHeight < kRowHeight) {
            LatticeChartLog::logMessageFromSource(
                NSString::stringWithFormat(
                    "LChartLegend at %p: Specified legend height is too small to fit the number/layout of series. Try "
                    "increasing maxSeriesPerLine or increasing the legend height itself.",
                    static_cast<const void*>(this)),
                this);
            rowHeight = kRowHeight;
        }
    }

    float firstRowY = vp + bw;
    if (m_doShowTitle) {
        if (!m_autosizeLabels) {
            // Shrinks the title font until the text fits the title's frame.
            CGRect box = m_title->frame();
            Ref<UIFont> font = fontLike(m_style->titleFont());
            for (CGSize size = textSize(m_title->text(), font);
                 (size.height > box.size.height || size.width > box.size.width)
                 && font->pointSize() - 1 >= kSmallestTitleFontSize;
                 size = textSize(m_title->text(), font)) {
                font = font->fontWithSize(font->pointSize() - 1);
                m_style->setTitleFont(font);
            }
        }
        firstRowY += static_cast<float>(m_title->frame().size.height) + vp;
    }

    float labelX, symbolX;
    if (m_style->symbolAlignment() == 0 && symbolsShown) {
        symbolX = bw + hp;
        labelX = bw + 2 * hp + s;
    } else {
        labelX = bw + hp;
        symbolX = bw + 2 * hp + labelWidth;
    }
    float entryWidth = labelWidth + hp + (symbolsShown ? s + hp : 0);
    LegendLayoutInfo info { labelWidth, rowHeight, labelX, symbolX, firstRowY, entryWidth, perLine };
    for (const auto& label : m_labels)
        label->removeFromSuperview();
    for (const auto& symbol : m_symbols)
        symbol->removeFromSuperview();
    m_labels.clear();
    m_symbols.clear();

    populateLegendWithSeriesUsingLayoutInfo(allSeries, info);
    if (m_autosizeLabels)
        autosizeUsingLayoutInfo(&info);
    if (m_userSetFrame)
        return;

    float e = info.labelWidth + hp + (symbolsShown ? s + hp : 0);
    int32_t p = std::max(info.seriesPerLine, 1);
    float width = 2 * bw + 2 * hp + static_cast<float>(p) * e;
    float height
        = 2 * bw + 2 * vp + std::ceil(static_cast<float>(count) / static_cast<float>(p)) * (info.rowHeight + vp);
    float titleHeight = 0;
    if (m_doShowTitle) {
        CGSize size = textSize(m_title->text(), fontLike(m_style->titleFont()));
        m_title->setFrame(CGRectMake(0, 0, size.width, size.height));
        if (m_autosizeLabels && size.width > width) {
            CGFloat titleWidth = std::min<CGFloat>(size.width, chartW - 2 * (bw + hp));
            m_title->setFrame(CGRectMake(0, 0, titleWidth, size.height));
            auto grown = static_cast<float>(titleWidth + 2 * (bw + hp));
            float shift = (grown - width) / 2;
            width = grown;
            for (const auto& label : m_labels)
                label->setCenter(CGPointMake(label->center().x + shift, label->center().y));
            for (const auto& symbol : m_symbols)
                symbol->setCenter(CGPointMake(symbol->center().x + shift, symbol->center().y));
        }
        titleHeight = static_cast<float>(m_title->frame().size.height);
        height += titleHeight + vp;
    }
    height -= vp;
    width -= hp;
    placeFrame(CGRectMake(own.origin.x, own.origin.y, width, height));
    m_title->setCenter(CGPointMake(width / 2, vp + titleHeight / 2));
    m_userSetFrame = false;
}

void LChartLegend::populateLegendWithSeriesUsingLayoutInfo(
    const std::vector<Ref<LChartSeries>>& series, LegendLayoutInfo info)
{
    float s = m_symbolWidth.floatValue();
    CGRect label = CGRectMake(info.labelX, info.firstRowY, info.labelWidth, info.rowHeight);
    CGRect symbol = CGRectMake(info.symbolX, info.firstRowY, s, info.rowHeight);
    bool radial = m_chart && m_chart->isRadial();
    int32_t shown = 0;
    for (size_t i = 0; i < series.size(); ++i) {
        LChartSeries& each = *series[i];
        if (!each.showInLegend())
            continue;
        ++shown;
        if (!radial) {
            addEntryForSeriesAtIndexAndSliceWithLabelFrameAndSymbolFrame(
                each, static_cast<int32_t>(i) + 1, -1, label, symbol);
            moveFramesForNextEntryLabelFrameSymbolFrameUsingLayoutInfo(shown, &label, &symbol, info);
            continue;
        }
        auto points = static_cast<int32_t>(each.dataSeries()->dataPoints().size());
        for (int32_t j = 0; j < points; ++j) {
            addEntryForSeriesAtIndexAndSliceWithLabelFrameAndSymbolFrame(each, j, j, label, symbol);
            moveFramesForNextEntryLabelFrameSymbolFrameUsingLayoutInfo(shown + j, &label, &symbol, info);
        }
        break;
    }
}

void LChartLegend::moveFramesForNextEntryLabelFrameSymbolFrameUsingLayoutInfo(
    int32_t count, CGRect* labelFrame, CGRect* symbolFrame, const LegendLayoutInfo& info) const
{
    int32_t perLine = std::max(info.seriesPerLine, 1);
    if (count % perLine != 0) {
        labelFrame->origin.x += info.entryWidth;
        symbolFrame->origin.x += info.entryWidth;
        return;
    }
    labelFrame->origin.x = info.labelX;
    symbolFrame->origin.x = info.symbolX;
    labelFrame->origin.y += info.rowHeight + verticalPadding();
    symbolFrame->origin.y += info.rowHeight + verticalPadding();
}

void LChartLegend::addEntryForSeriesAtIndexAndSliceWithLabelFrameAndSymbolFrame(
    LChartSeries& series, int32_t index, int32_t slice, CGRect labelFrame, CGRect symbolFrame)
{
    auto label = UILabel::initWithFrame(labelFrame);
    m_labels.push_back(label);
    addSubview(label);
    label->setBackgroundColor(UIColor::clearColor());
    label->setAdjustsFontSizeToFitWidth(true);
    if (!m_autosizeLabels)
        label->setMinimumFontSize(10);
    label->setTextAlignment(
        m_style->textAlignmentSet() ? static_cast<NSTextAlignment>(m_style->textAlignment()) : NSTextAlignmentCenter);
    bool radial = m_chart && m_chart->isRadial();
    std::string text = radial ? series.titleForSliceInLegend(slice) : series.titleForSeriesInLegend();
    if (isBlank(text))
        text = radial ? NSString::stringWithFormat("Slice %ld", static_cast<long>(slice))
                      : NSString::stringWithFormat("Series %ld", static_cast<long>(index));
    label->setText(text);
    label->setFont(fontLike(m_style->font()));
    if (auto color = series.textColorForSeriesTitleInLegend())
        label->setTextColor(*color);
    else
        label->setTextColor(m_style->fontColor());

    if (!m_style->showSymbols())
        return;
    Ref<UIView> symbol;
    if (radial)
        symbol = series.symbolForSliceInLegend(slice);
    else if (series.baseStyle() && series.baseStyle()->useSeriesSymbols())
        symbol = series.symbolForSeriesInLegend();
    else
        symbol = series.blockSymbolForSeriesInLegend();
    // A kind without a symbol keeps an empty one, so that every entry keeps its place.
    if (!symbol)
        symbol = LChartLegendSymbol::init();
    float radius = m_style->symbolCornerRadius().floatValue();
    if (radius > 0) {
        symbol->layer()->setCornerRadius(radius);
        symbol->setClipsToBounds(true);
    }
    m_symbols.push_back(symbol);
    symbol->setFrame(symbolFrame);
    addSubview(symbol);
}

void LChartLegend::autosizeUsingLayoutInfo(LegendLayoutInfo* info)
{
    float maxW = 0, maxH = 0;
    for (const auto& label : m_labels) {
        label->sizeToFit();
        CGSize size = label->frame().size;
        maxW = std::max(maxW, static_cast<float>(size.width));
        maxH = std::max(maxH, static_cast<float>(size.height));
    }
    auto bw = static_cast<float>(layer()->borderWidth());
    float hp = horizontalPadding();
    float s = m_symbolWidth.floatValue();
    bool symbolsShown = m_style->showSymbols();
    float e = maxW + hp + (symbolsShown ? s + hp : 0);
    int32_t p = info->seriesPerLine;
    float total = static_cast<float>(p) * e + 2 * (bw + hp);
    auto chartW = static_cast<float>(m_chart ? m_chart->frame().size.width : 0);
    while (total > chartW - e / 2) {
        total -= e;
        if (--p <= 0) {
            p = 1;
            break;
        }
    }
    info->labelWidth = maxW;
    info->rowHeight = maxH;
    info->entryWidth = e;
    info->seriesPerLine = p;
    if (m_style->symbolAlignment() == 0 && symbolsShown) {
        info->symbolX = bw + hp;
        info->labelX = bw + 2 * hp + s;
    } else {
        info->labelX = bw + hp;
        info->symbolX = bw + 2 * hp + maxW;
    }
    info->firstRowY = m_labels.empty() ? 0 : static_cast<float>(m_labels.front()->frame().origin.y);
    CGRect label = CGRectMake(info->labelX, info->firstRowY, maxW, maxH);
    CGRect symbol = CGRectMake(info->symbolX, info->firstRowY, s, maxH);
    for (size_t i = 0; i < m_labels.size(); ++i) {
        m_labels[i]->setFrame(CGRectMake(label.origin.x, label.origin.y, maxW, maxH));
        if (symbolsShown && i < m_symbols.size())
            m_symbols[i]->setFrame(CGRectMake(symbol.origin.x, symbol.origin.y, s, maxH));
        moveFramesForNextEntryLabelFrameSymbolFrameUsingLayoutInfo(static_cast<int32_t>(i) + 1, &label, &symbol, *info);
    }
}
