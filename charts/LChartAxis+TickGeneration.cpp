// Tick generation of LChartAxis and the views that show ticks, labels, gridlines, stripes and
// the axis line.

#include "charts/LChartAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartCategoryAxis.h"
#include "charts/LChartDashedLineView.h"
#include "charts/LChartDateFrequency.h"
#include "charts/LChartDrawer.h"
#include "charts/LChartRange.h"
#include "charts/LChartSkipList.h"
#include "charts/LChartTickMark.h"
#include "charts/LChartTitle.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSCharacterSet.h"
#include "foundation/NSString.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/UIColor.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

// Every autoresizing bit: tick views follow the canvas as it resizes.
constexpr UIViewAutoresizing kAllAutoresizing = 0x3F;
// A pass makes at most this many major (or minor) ticks, whatever the frequency: a tiny user
// frequency over a wide span would otherwise make views without end.
constexpr int32_t kMaxTicksPerPass = 1000;

std::atomic<bool> s_tickLabelWarningGiven { false };

CGRect glViewFrame(const LChartAxisHost* chart)
{
    LChartDrawer* view = chart ? chart->glView() : nullptr;
    return view ? view->frame() : CGRect {};
}

float floatOf(const Value& value)
{
    return value.floatValue();
}

Ref<UIColor> orWhite(const Ref<UIColor>& color)
{
    return color ? color : UIColor::whiteColor();
}

CGPoint point(double x, double y)
{
    return { static_cast<CGFloat>(x), static_cast<CGFloat>(y) };
}

CGSize size(double w, double h)
{
    return { static_cast<CGFloat>(w), static_cast<CGFloat>(h) };
}

void place(UIView& view, CGPoint centre, CGSize size)
{
    view.setCenter(centre);
    view.setBounds({ { 0, 0 }, size });
}

} // namespace

double LChartAxis::frequencyMeasure(const Value& frequency)
{
    if (frequency.isNumber())
        return frequency.doubleValue();
    if (auto date = frequency.objectAs<LChartDateFrequency>())
        return date->toSeconds();
    return 1;
}

void LChartAxis::setAnchorPoint(const Value& anchor)
{
    if (anchor.isEqual(m_anchorPoint) && anchor.isNil() == m_anchorPoint.isNil())
        return;
    if (!anchor.isNil() && !anchor.isNumber() && !anchor.isDate())
        LatticeChartLog::fatalLogMessageFromSource("Anchor point must respond to the doubleValue selector", this);
    m_anchorPoint = anchor;
}

void LChartAxis::resetTickLabelWarningForTesting()
{
    s_tickLabelWarningGiven = false;
}

void LChartAxis::drawTickMarksWithGLFrameUsingAxisDrawerNeedToRedrawLabels(CGRect g, LChartDrawer*, bool redraw)
{
    if (!m_style)
        return;
    auto major = m_style->majorTickStyle();
    auto minor = m_style->minorTickStyle();
    auto grid = m_style->majorGridLineStyle();
    auto stripes = m_style->gridStripeStyle();
    bool showLabels = major && major->showLabels();
    bool showTicks = major && major->showTicks();
    if (!showLabels) {
        for (const auto& tick : m_tickMarks)
            tick->removeLabel();
    }
    if (!showTicks) {
        for (const auto& tick : m_tickMarks)
            tick->removeTickMarkView();
    }
    if (!showLabels && !showTicks)
        m_tickMarks.clear();
    bool showGrid = grid && grid->showMajorGridLines();
    bool showMinor = minor && minor->showTicks();
    if (!showLabels && !showTicks && !showGrid && !showMinor)
        return;

    generateTickMarks(redraw);
    if (!m_axisWidthIsSufficient && !(m_chart && m_chart->isRadial()))
        LatticeChartLog::logMessageFromSource(
            "Axis width does not provide enough space to fit the tickmarks and ticklabels.", this);

    double length = major ? floatOf(major->lineLength()) : 0;
    double gap = major ? floatOf(major->tickGap()) : 0;
    double yChange = 0, yOffset = 0, xChange = 0, xOffset = 0;
    bool normal = m_axisPosition == 0;
    if (isXAxis()) {
        yChange = normal ? length : -length;
        yOffset = normal ? -gap : gap;
    } else {
        xChange = normal ? length : -length;
        xOffset = normal ? gap : -gap;
    }

    if (m_needToSortTickMarks) {
        bool x = isXAxis();
        std::stable_sort(m_tickMarks.begin(), m_tickMarks.end(),
            [x](const auto& a, const auto& b) { return (x ? a->compareForXAxis(*b) : a->compareForYAxis(*b)) < 0; });
    }

    Ref<UIView> overlay = m_chart ? m_chart->canvasOverlay() : nullptr;
    double visibleMax = m_axisRangeInternal ? m_axisRangeInternal->max() : 0;
    bool showStripes = stripes && stripes->showGridStripes();
    for (size_t i = 0; i < m_tickMarks.size(); ++i) {
        Ref<LChartTickMark> tick = m_tickMarks[i];
        if (tick->value() > visibleMax || !tick->tickEnabled()) {
            tick->removeTickMarkView();
            tick->removeGridLineView();
        } else {
            const auto& style = tick->isMajor() ? major : minor;
            if (style && style->showTicks())
                updateTickMarkView(*tick, yChange, yOffset, xChange, xOffset);
            else
                tick->removeTickMarkView();
            if (showLabels && tick->tickLabel()) {
                rotateLabel(*tick->tickLabel());
                if (overlay)
                    overlay->addSubview(tick->tickLabel());
            }
            if (tick->isMajor() && showGrid)
                updateGridLineViewForTickMark(*tick, g);
            else
                tick->removeGridLineView();
        }
        bool placed = false;
        if (tick->isMajor() && showStripes) {
            CGPoint lower {};
            CGPoint upper {};
            updateGridStripeLimits(static_cast<int32_t>(i), &lower, g, *tick, &upper);
            if (isXAxis() ? lower.x < upper.x : lower.y > upper.y) {
                updateGridStripeView(lower, upper, g, *tick);
                placed = true;
            }
        }
        if (!placed)
            tick->removeGridStripeView();
    }
}

void LChartAxis::generateTickMarks(bool redrawLabels)
{
    // Without a drawing surface of some size there is nowhere to put ticks, and label spacing
    // would divide by zero.
    CGRect g = glViewFrame(m_chart);
    if (g.size.width <= 0 || g.size.height <= 0 || !m_axisRangeInternal)
        return;
    auto values = manualGenerateTickMarks();
    if (!values) {
        autoGenerateTickMarks(redrawLabels);
        return;
    }
    CGSize size = sizeCustomTickLabels(*values);
    double visibleMin = m_axisRangeInternal->min();
    size_t i = 0;
    while (i < values->size() && (*values)[i] < visibleMin)
        ++i;
    int32_t ghosts = 0;
    int32_t j = 0;
    bool alternate = false;
    while (i + j < values->size()) {
        addOrReplaceTickMarkForValue(
            (*values)[i + j], true, alternate, true, true, { { 0, 0 }, size }, true, 1, j, &ghosts);
        ++j;
        alternate = !alternate;
        if (ghosts > 1)
            break;
    }
    if (static_cast<size_t>(j) < m_tickMarks.size())
        m_tickMarks.erase(m_tickMarks.begin() + j, m_tickMarks.end());
    m_needToSortTickMarks = true;
}

std::optional<std::vector<double>> LChartAxis::manualGenerateTickMarks()
{
    auto values = m_chart ? m_chart->majorTickValuesForAxis(*this) : std::nullopt;
    if (!values)
        return std::nullopt;
    std::vector<double> internal;
    internal.reserve(values->size());
    for (const auto& value : *values)
        internal.push_back(value.doubleValue());
    return internal;
}

void LChartAxis::autoGenerateTickMarks(bool redraw)
{
    m_needToSortTickMarks = false;
    bool autoCalc = m_majorTickFrequency.isNil() || isKindOfClass(LChartCategoryAxis::classObject());
    double visibleMin = m_axisRangeInternal->min();
    double visibleMax = m_axisRangeInternal->max();
    std::erase_if(
        m_tickMarks, [&](const auto& tick) { return tick->value() < visibleMin || tick->value() > visibleMax; });

    if (m_chart) {
        if (auto chosen = m_chart->tickFrequenciesOnGeneratingTickMarksForAxis(*this)) {
            setMajorTickFrequency(chosen->first);
            setMinorTickFrequency(chosen->second);
            autoCalc = false;
        }
    }
    CGSize labelSize {};
    if (autoCalc) {
        updateInternalTickFrequencies(&labelSize);
        m_previousMajorTickFrequency = m_internalMajorTickFrequency;
    } else {
        m_internalMajorTickFrequency = m_majorTickFrequency;
        labelSize = sizeTickLabels();
    }
    auto major = m_style ? m_style->majorTickStyle() : nullptr;
    if (!major || (!major->showTicks() && !major->showLabels()))
        return;

    if (labelSize.width != m_lastTickLabelSize.width || labelSize.height != m_lastTickLabelSize.height) {
        redraw = true;
        m_lastTickLabelSize = labelSize;
    }
    double frequency = frequencyMeasure(m_internalMajorTickFrequency);
    if (frequency != m_lastTickFreq) {
        redraw = true;
        m_lastTickFreq = frequency;
    }

    Value firstValue = firstMajorTick();
    if (firstValue.isNil())
        return;
    double first = firstValue.doubleValue();
    bool alternate = isOverAlternate(first);

    int32_t n = 1;
    int32_t t = 0;
    if (!autoCalc) {
        CGRect g = glViewFrame(m_chart);
        auto k = static_cast<int32_t>(std::ceil((visibleMax - visibleMin) / frequency));
        float d = static_cast<float>(isXAxis() ? g.size.width : g.size.height);
        float e = isXAxis() ? m_largestLabelWidth : m_largestLabelHeight;
        float labelsPer = std::ceil(1.0f / (d / e / static_cast<float>(k)));
        // No label extent (or no ticks) would give a stride of 0: label every tick.
        n = std::isfinite(labelsPer) && labelsPer >= 1 ? static_cast<int32_t>(std::min(labelsPer, 1e6f)) : 1;
        t = indexOfFirstLabel(n);
    }

    int32_t ghosts = 0;
    int32_t i = 0;
    int32_t c = 0;
    double v = first;
    while (ghosts < 2) {
        if (i >= kMaxTicksPerPass) {
            LatticeChartLog::logMessageFromSource("Too many major ticks for the axis range; stopping at 1000", this);
            break;
        }
        addOrReplaceTickMarkForValue(
            v, true, alternate, autoCalc, redraw, { { 0, 0 }, labelSize }, t == c, n, i, &ghosts);
        double next = incrementTickMarkValueIsMajor(v, true);
        alternate = !alternate;
        ++i;
        c = c + 1 == n ? 0 : c + 1;
        // A frequency below the float resolution of v makes no new tick.
        if (!(next > v))
            break;
        v = next;
    }
    while (static_cast<size_t>(i) < m_tickMarks.size() && m_tickMarks[i]->isMajor())
        m_tickMarks.erase(m_tickMarks.begin() + i);

    if (!m_majorTickFrequency.isNil())
        m_internalMinorTickFrequency = m_minorTickFrequency;

    auto minor = m_style->minorTickStyle();
    if (!m_internalMinorTickFrequency.isNil() && minor && minor->showTicks()) {
        Value firstMinor = firstMinorTick();
        if (!firstMinor.isNil()) {
            v = firstMinor.doubleValue();
            int32_t made = 0;
            while (v <= visibleMax && made < kMaxTicksPerPass) {
                addOrReplaceTickMarkForValue(v, false, alternate, autoCalc, redraw, {}, false, n, i, &ghosts);
                double next = incrementTickMarkValueIsMajor(v, false);
                ++i;
                ++made;
                if (!(next > v))
                    break;
                v = next;
            }
        }
    }
    if (static_cast<size_t>(i) < m_tickMarks.size())
        m_tickMarks.erase(m_tickMarks.begin() + i, m_tickMarks.end());

    if (m_skipList && !m_skipList->isEmpty())
        removeOverlappingTickmarks();
}

int32_t LChartAxis::indexOfFirstLabel(int32_t n)
{
    double f = frequencyMeasure(m_internalMajorTickFrequency);
    double a = m_anchorPoint.isNil() ? 0 : transformValueToInternal(m_anchorPoint).doubleValue();
    double e = f / 3;
    double first = firstMajorTick().doubleValue();
    if (n < 1)
        return 0;
    // Ticks lie at first + j × f. The label stride starts at the tick whose index has the same
    // remainder modulo n as the tick on the anchor; computing j directly keeps the pass
    // independent of how far the anchor lies from the visible range.
    double j = std::round((a - first) / f);
    if (std::isfinite(j) && std::fabs(first + j * f - a) <= e) {
        double r = std::fmod(j, static_cast<double>(n));
        return static_cast<int32_t>(r < 0 ? r + n : r);
    }
    if (!s_tickLabelWarningGiven.exchange(true))
        LatticeChartLog::logMessageFromSource("Warning: Tick Label Inconsistency", this);
    return (n + 1) % n;
}

void LChartAxis::addOrReplaceTickMarkForValue(double v, bool isMajor, bool isAlternate, bool, bool shouldUpdateText,
    CGRect labelFrame, bool showLabel, int32_t, int32_t k, int32_t* ghosts)
{
    auto at = [&](int32_t index) -> Ref<LChartTickMark> {
        if (index < 0 || static_cast<size_t>(index) >= m_tickMarks.size())
            return nullptr;
        const auto& tick = m_tickMarks[index];
        return isMajor && !tick->isMajor() ? nullptr : tick;
    };
    Ref<LChartTickMark> existing = at(k);
    while (existing && v > existing->value()) {
        m_tickMarks.erase(m_tickMarks.begin() + k);
        existing = at(k);
    }
    if (existing && existing->value() != v)
        existing = nullptr;
    bool isNew = !existing;

    Ref<LChartTickMark> tick;
    if (!isMajor) {
        tick = createTickMarkWithFrame(labelFrame, existing, v, false, showLabel, isAlternate, shouldUpdateText);
    } else {
        auto dropLabel = [&] {
            if (existing) {
                existing->removeLabel();
                existing->setTickLabel(nullptr);
            }
        };
        if (!showLabel)
            dropLabel();
        auto* category = dynamic_cast<LChartCategoryAxis*>(this);
        const auto& data = category ? dataRangeInternal() : nullptr;
        int32_t dataMax = data ? static_cast<int32_t>(data->max()) : 0;
        bool disable = false;
        if (category && v > dataMax + 2) {
            // A ghost beyond the categories: no label, out of use.
            ++*ghosts;
            dropLabel();
            tick = createTickMarkWithFrame(labelFrame, existing, v, true, false, isAlternate, shouldUpdateText);
            disable = true;
        } else {
            CGRect g = glViewFrame(m_chart);
            float tickLineWidth
                = m_style && m_style->majorTickStyle() ? floatOf(m_style->majorTickStyle()->lineWidth()) : 0;
            double p = getPixelforTick(v);
            double far = isXAxis() ? g.size.width + tickLineWidth / 2 : g.size.height - tickLineWidth / 2;
            double extent = isXAxis() ? m_largestLabelWidth : m_largestLabelHeight;
            int32_t farMode = isXAxis() ? m_tickLabelClippingModeHigh : m_tickLabelClippingModeLow;
            int32_t nearMode = isXAxis() ? m_tickLabelClippingModeLow : m_tickLabelClippingModeHigh;
            // Tick pixels are shifted by half the tick line width (the line's centre), so the
            // near end of a Y axis lies at -lwT/2 as its far end lies at height - lwT/2: a tick
            // on the axis maximum is inside, whatever the width of the tick lines.
            double near = isXAxis() ? 0 : -tickLineWidth / 2;
            bool farClipped = ((farMode == 1 || farMode == 2) && p + extent / 2 > far) || (farMode == 0 && p > far);
            bool nearClipped
                = ((nearMode == 1 || nearMode == 2) && p - extent / 2 < near) || (nearMode == 0 && p < near);
            // The previous label against where this label will stand along the axis (its
            // frame as passed lies at the origin, which would make every label near the
            // canvas' top-left corner collide with it).
            bool overlaps = false;
            if (k > 0 && static_cast<size_t>(k - 1) < m_tickMarks.size()) {
                const auto& previous = m_tickMarks[k - 1]->tickLabel();
                CGRect placed = previous ? previous->frame() : CGRect {};
                placed.size = labelFrame.size;
                if (isXAxis())
                    placed.origin.x
                        = static_cast<CGFloat>(p + g.origin.x - labelFrame.size.width / 2 - tickLineWidth / 2);
                else
                    placed.origin.y
                        = static_cast<CGFloat>(p + g.origin.y - labelFrame.size.height / 2 + tickLineWidth / 2);
                // Labels that touch, or meet by a rounded pixel, do not overlap.
                CGRect common = previous ? CGRectIntersection(previous->frame(), placed) : CGRect {};
                double depth = isXAxis() ? common.size.width : common.size.height;
                // Only a label can overlap a label.
                if (showLabel && previous && previous->superview() && !CGRectIsNull(common) && depth > 1) {
                    overlaps = true;
                    farClipped = true;
                    isNew = false;
                }
            }
            if (isXAxis() && farClipped)
                ++*ghosts;
            // A mode that never drops labels would never count the ticks past the end of the
            // axis, and generation would not stop: those ticks still count as ghosts.
            bool keepsLabels = isXAxis() ? farMode < 0 || farMode > 2 : nearMode < 0 || nearMode > 2;
            if (keepsLabels && !farClipped && !nearClipped && (isXAxis() ? p > far : p < 0))
                ++*ghosts;
            if (!farClipped && !nearClipped) {
                tick = createTickMarkWithFrame(labelFrame, existing, v, true, showLabel, isAlternate, shouldUpdateText);
            } else {
                if (!isXAxis())
                    ++*ghosts;
                dropLabel();
                tick = createTickMarkWithFrame(labelFrame, existing, v, true, false, isAlternate, shouldUpdateText);
                disable = overlaps || (nearClipped && !farClipped && nearMode == 2) || (farClipped && farMode == 2);
            }
        }
        if (category && v > dataMax)
            disable = true;
        if (disable)
            tick->disableTick(this);
    }
    if (isNew) {
        tick->setValue(v);
        auto index = std::min(static_cast<size_t>(std::max(k, 0)), m_tickMarks.size());
        m_tickMarks.insert(m_tickMarks.begin() + index, tick);
    }
}

Ref<LChartTickMark> LChartAxis::createTickMarkWithFrame(CGRect frame, const Ref<LChartTickMark>& existing, double v,
    bool asMajor, bool shouldCreateLabel, bool isOverAlternateStripe, bool shouldUpdateText)
{
    CGRect g = glViewFrame(m_chart);
    auto major = m_style ? m_style->majorTickStyle() : nullptr;
    auto minor = m_style ? m_style->minorTickStyle() : nullptr;
    float lwA = m_style ? floatOf(m_style->lineWidth()) : 0;
    float lwT = major ? floatOf(major->lineWidth()) : 0;
    double w = frame.size.width;
    double h = frame.size.height;

    double p = getPixelforTick(v);
    double s = 0;
    if (major && major->showTicks())
        s = floatOf(major->lineLength()) + floatOf(major->tickGap());
    else if (minor && minor->showTicks())
        s = floatOf(minor->lineLength()) + floatOf(minor->tickGap());
    double b = 0;
    if (!m_axisPositionValue.isNil() && !m_seriesOnAxis.empty())
        b = getBaselineOffsetForSeries(m_seriesOnAxis.front());
    bool normal = m_axisPosition == 0;
    double k = normal ? 0.5 : -0.5;
    double o = m_secondaryAxisOffset;
    bool fixed = !m_axisPositionValue.isNil() && m_axisLabelsAreFixed;
    int32_t orientation = tickLabelOrientation();

    double labelX, labelY, tickX, tickY;
    if (isXAxis()) {
        labelX = p + g.origin.x - w / 2 - lwT / 2;
        tickX = labelX + w / 2;
        labelY = normal ? b + (g.origin.y + g.size.height + lwA + s + o) : b + (g.origin.y - lwA - s + o - h);
        tickY = normal ? labelY : labelY + h;
        if (fixed)
            labelY -= b;
        if (orientation == 2)
            labelY += k * (m_largestLabelHeight - m_largestLabelWidth);
        else if (orientation == 1)
            labelY += k * (m_largestLabelHeight - h);
    } else {
        labelX = normal ? b + (g.origin.x - lwA - s - w) - o : b + (g.origin.x + g.size.width + lwA + s) - o;
        tickX = normal ? labelX + w : labelX;
        labelY = p + g.origin.y - h / 2 + lwT / 2;
        tickY = labelY + h / 2;
        if (fixed)
            labelX -= b;
        if (orientation == 2)
            labelX += k * (m_largestLabelHeight - m_largestLabelWidth);
        else if (orientation == 1)
            labelX -= k * (m_largestLabelWidth - w);
    }

    std::string text;
    if (shouldCreateLabel && !(!shouldUpdateText && existing && existing->tickLabel())) {
        text = NSString::stringByTrimmingCharactersInSet(
            stringForId(transformValueToExternal(Value(v))), NSCharacterSet::whitespaceAndNewlineCharacterSet());
        if (text.empty())
            text.assign(1, ' ');
    }
    CGRect labelFrame { point(labelX, labelY), size(w, h) };
    auto styleNewLabel = [&](LChartTickMark& tick) {
        const auto& label = tick.tickLabel();
        label->setBackgroundColor(UIColor::clearColor());
        if (major)
            tick.styleTickLabel(*major);
        label->setShadowOffset({ 0, 1.0 });
        label->setMinimumFontSize(0.1);
        label->setAutoresizingMask(kAllAutoresizing);
    };

    Ref<LChartTickMark> tick;
    if (!asMajor) {
        tick = existing ? existing : LChartTickMark::init();
    } else if (existing) {
        tick = existing;
        tick->setTickEnabled(true);
        if (const auto& label = tick->tickLabel()) {
            label->setCenter(point(labelX + w / 2, labelY + h / 2));
            label->setBounds({ { 0, 0 }, size(w, h) });
            if (shouldUpdateText) {
                if (major)
                    tick->styleTickLabel(*major);
                label->setText(text);
            }
        } else if (shouldCreateLabel) {
            auto label = UILabel::initWithFrame(labelFrame);
            label->setText(text);
            label->setUserInteractionEnabled(false);
            tick->setTickLabel(label);
            styleNewLabel(*tick);
        }
    } else {
        tick = shouldCreateLabel ? LChartTickMark::initWithLabelAndText(labelFrame, text) : LChartTickMark::init();
        if (tick->tickLabel())
            styleNewLabel(*tick);
    }
    if (asMajor)
        tick->setIsMajor(true);
    tick->setTickMarkX(static_cast<float>(tickX));
    tick->setTickMarkY(static_cast<float>(tickY));
    tick->setOverAlternateStripe(isOverAlternateStripe);
    alterTickMark(*tick);
    return tick;
}

void LChartAxis::alterTickMark(LChartTickMark& tick)
{
    if (m_chart)
        m_chart->alterTickMarkBeforeAddingToAxis(tick, *this);
}

double LChartAxis::getBaselineOffsetForSeries(const Ref<LChartAxisSeries>& series) const
{
    if (!m_chart)
        return 0;
    LChartAxis* other = nullptr;
    for (LChartAxis* axis : isXAxis() ? m_chart->allYAxes() : m_chart->allXAxes()) {
        if (axis && axis->isLinkedToSeries(series)) {
            other = axis;
            break;
        }
    }
    if (!other)
        return 0;
    CGRect g = glViewFrame(m_chart);
    double d = other->mapPixelValueForDataValueUsingSeries(axisPositionValueInternal().doubleValue(), nullptr);
    double o = m_secondaryAxisOffset;
    double r;
    bool normal = m_axisPosition == 0;
    if (isXAxis() && !normal) {
        r = d - (g.origin.y + o);
        r = r < 0 ? 0 : std::min(r, g.size.height - o);
    } else if (isXAxis()) {
        r = (g.origin.y + g.size.height + o) - d;
        r = r < 0 ? 0 : std::max(-r, -(g.size.height + o));
    } else if (normal) {
        r = d - (g.origin.x - o);
        r = r < 0 ? 0 : std::min(r, g.size.width + o);
    } else {
        r = (g.origin.x + g.size.width - o) - d;
        r = r < 0 ? 0 : std::max(-r, o - g.size.width);
    }
    return r;
}

void LChartAxis::updateTickMarkView(LChartTickMark& tick, double yc, double yo, double xc, double xo)
{
    auto major = m_style ? m_style->majorTickStyle() : nullptr;
    float lwT = major ? floatOf(major->lineWidth()) : 0;
    double m = tick.tickLengthModifier();
    double x = tick.tickMarkX();
    double y = tick.tickMarkY();
    double inner = tick.isMajor() ? 0 : m;
    double outer = tick.isMajor() ? m : 2 * m;
    CGPoint from = point(x + xo + inner * xc, y + yo - inner * yc);
    CGPoint to = point(x + xo + outer * xc, y + yo - outer * yc);
    if (!tick.tickMarkView()) {
        auto view = UIView::init();
        view->setAutoresizingMask(kAllAutoresizing);
        if (auto overlay = m_chart ? m_chart->canvasOverlay() : nullptr)
            overlay->addSubview(view);
        tick.setTickMarkView(view);
    }
    const auto& view = tick.tickMarkView();
    CGSize extent = isXAxis() ? size(lwT, std::fabs(to.y - from.y)) : size(std::fabs(to.x - from.x), lwT);
    place(*view, point((from.x + to.x) / 2, (from.y + to.y) / 2), extent);
    view->setBackgroundColor(orWhite(major ? major->lineColor() : nullptr));
}

void LChartAxis::updateGridLineViewForTickMark(LChartTickMark& tick, CGRect g)
{
    auto grid = m_style ? m_style->majorGridLineStyle() : nullptr;
    if (!grid)
        return;
    float lwG = floatOf(grid->lineWidth());
    double o = m_secondaryAxisOffset;
    bool normal = m_axisPosition == 0;
    CGPoint from;
    CGPoint to;
    if (isXAxis()) {
        double x = tick.tickMarkX();
        from = point(x, normal ? g.origin.y : g.origin.y + g.size.height);
        to = point(x, normal ? g.origin.y + g.size.height + o : g.origin.y + o);
    } else {
        double y = tick.tickMarkY();
        from = point(normal ? g.origin.x + g.size.width : g.origin.x, y);
        to = point(normal ? g.origin.x - o : g.origin.x + g.size.width - o, y);
    }
    if (!tick.gridLineView()) {
        Ref<UIView> view;
        Ref<UIColor> colour = orWhite(grid->lineColor());
        if (grid->dashedMajorGridLines()) {
            auto dashed = LChartDashedLineView::initWithFrame(CGRectZero);
            dashed->setColor(colour);
            dashed->setBackgroundColor(UIColor::clearColor());
            dashed->setDashes(grid->dashStyle());
            view = dashed;
        } else {
            view = UIView::init();
            view->setBackgroundColor(colour);
        }
        view->setAutoresizingMask(kAllAutoresizing);
        if (auto underlay = m_chart ? m_chart->canvasUnderlay() : nullptr)
            underlay->addSubview(view);
        tick.setGridLineView(view);
    }
    CGSize extent = isXAxis() ? size(lwG, std::fabs(to.y - from.y)) : size(std::fabs(to.x - from.x), lwG);
    place(*tick.gridLineView(), point((from.x + to.x) / 2, (from.y + to.y) / 2), extent);
}

void LChartAxis::updateGridStripeLimits(
    int32_t index, CGPoint* lower, CGRect g, const LChartTickMark& tick, CGPoint* upper) const
{
    *lower = { g.origin.x, g.origin.y + g.size.height };
    for (int32_t i = std::min(index, static_cast<int32_t>(m_tickMarks.size())) - 1; i >= 0; --i) {
        if (m_tickMarks[i]->isMajor()) {
            *lower = { m_tickMarks[i]->tickMarkX(), m_tickMarks[i]->tickMarkY() };
            break;
        }
    }
    *upper = { tick.tickMarkX(), tick.tickMarkY() };
    double right = g.origin.x + g.size.width;
    upper->x = std::min<double>(upper->x, right);
    upper->y = std::max<double>(upper->y, g.origin.y);
    lower->x = std::min<double>(lower->x, right);
    lower->y = std::max<double>(lower->y, g.origin.y);
}

void LChartAxis::updateGridStripeView(CGPoint lower, CGPoint upper, CGRect g, LChartTickMark& tick)
{
    auto stripes = m_style ? m_style->gridStripeStyle() : nullptr;
    if (!stripes)
        return;
    double o = m_secondaryAxisOffset;
    bool normal = m_axisPosition == 0;
    double x0, x1, y0, y1;
    if (isXAxis()) {
        x0 = lower.x;
        x1 = upper.x;
        y0 = normal ? g.origin.y : g.origin.y + o;
        y1 = normal ? g.origin.y + g.size.height + o : g.origin.y + g.size.height;
    } else {
        y0 = lower.y;
        y1 = upper.y;
        x0 = normal ? g.origin.x - o : g.origin.x + g.size.width - o;
        x1 = normal ? g.origin.x + g.size.width : g.origin.x;
    }
    if (!tick.gridStripeView()) {
        auto view = UIView::init();
        if (auto underlay = m_chart ? m_chart->canvasUnderlay() : nullptr)
            underlay->addSubview(view);
        tick.setGridStripeView(view);
    }
    const auto& view = tick.gridStripeView();
    place(*view, point((x0 + x1) / 2, (y0 + y1) / 2), size(std::fabs(x1 - x0), std::fabs(y1 - y0)));
    view->setBackgroundColor(
        orWhite(tick.overAlternateStripe() ? stripes->alternateStripeColor() : stripes->stripeColor()));
}

void LChartAxis::drawAxisWithGLFrameUsingAxisDrawer(CGRect g, LChartDrawer*)
{
    float lwA = m_style ? floatOf(m_style->lineWidth()) : 0;
    double b = 0;
    if (!m_axisPositionValue.isNil() && !m_seriesOnAxis.empty())
        b = getBaselineOffsetForSeries(m_seriesOnAxis.front());
    double o = m_secondaryAxisOffset;
    bool normal = m_axisPosition == 0;
    CGPoint centre;
    CGSize extent;
    if (isXAxis()) {
        centre = point(g.origin.x + g.size.width / 2,
            normal ? b + o + g.origin.y + g.size.height + lwA / 2 : b + o + g.origin.y - lwA / 2);
        extent = size(std::fabs(g.size.width), lwA);
    } else {
        double r = 0;
        if (m_chart) {
            for (LChartAxis* axis : m_chart->allXAxes()) {
                if (axis && axis->axisPosition() == 1) {
                    r = axis->style() ? floatOf(axis->style()->lineWidth()) : 0;
                    break;
                }
            }
        }
        double top = g.origin.y - r;
        double bottom = g.origin.y + g.size.height + lwA;
        centre = point(
            normal ? b - o + g.origin.x - lwA / 2 : b - o + g.origin.x + g.size.width + lwA / 2, (top + bottom) / 2);
        extent = size(lwA, g.size.height + lwA + r);
    }
    if (!m_axisLineView) {
        m_axisLineView = UIView::init();
        if (auto overlay = m_chart ? m_chart->canvasOverlay() : nullptr)
            overlay->addSubview(m_axisLineView);
    }
    place(*m_axisLineView, centre, extent);
    m_axisLineView->setBackgroundColor(m_style ? m_style->lineColor() : nullptr);
}

void LChartAxis::removeOverlappingTickmarks()
{
    std::vector<Ref<LChartTickMark>> enabled;
    for (const auto& tick : m_tickMarks) {
        if (tick->tickEnabled())
            enabled.push_back(tick);
    }
    if (enabled.empty())
        return;
    auto frameOf = [](const LChartTickMark& tick) { return tick.tickLabel() ? tick.tickLabel()->frame() : CGRect {}; };
    bool x = isXAxis();
    std::stable_sort(enabled.begin(), enabled.end(), [&](const auto& a, const auto& b) {
        CGRect fa = frameOf(*a);
        CGRect fb = frameOf(*b);
        return x ? fa.origin.x < fb.origin.x : fa.origin.y < fb.origin.y;
    });
    for (size_t i = 0; i + 1 < enabled.size(); ++i) {
        if (!enabled[i]->tickLabel() || !enabled[i + 1]->tickLabel())
            continue;
        if (!CGRectIntersectsRect(frameOf(*enabled[i]), frameOf(*enabled[i + 1])))
            continue;
        if (m_discontinuousTickLabelClipping == 0)
            enabled[i]->disableTick(this);
        else if (m_discontinuousTickLabelClipping == 1)
            enabled[i + 1]->disableTick(this);
    }
}

void LChartAxis::rotateLabel(UILabel& label) const
{
    switch (tickLabelOrientation()) {
    case 0:
        label.setTextAlignment(isXAxis() ? NSTextAlignmentCenter : NSTextAlignmentRight);
        label.setTransform(CGAffineTransformIdentity);
        break;
    case 1:
        label.setTextAlignment(NSTextAlignmentCenter);
        label.setTransform(CGAffineTransformMakeRotation(5.497787f));
        break;
    case 2:
        label.setTextAlignment(isXAxis() ? NSTextAlignmentLeft : NSTextAlignmentCenter);
        label.setTransform(CGAffineTransformMakeRotation(4.712389f));
        break;
    default:
        LatticeChartLog::fatalLogMessageFromSource("Unrecognised tickLabelOrientation not Unrecognised", this);
    }
}

void LChartAxis::restyleTickLabels()
{
    auto major = m_style ? m_style->majorTickStyle() : nullptr;
    if (!major)
        return;
    for (const auto& tick : m_tickMarks)
        tick->styleTickLabel(*major);
}

void LChartAxis::configureTitle()
{
    const auto& title = titleLabel();
    title->sizeTitleToFit();
    title->setAdjustsFontSizeToFitWidth(true);
    if (m_style && m_style->titleStyle() && m_style->titleStyle()->titleOrientation() == 1)
        title->setTransform(CGAffineTransformMakeRotation(-1.5707964f));
}

void LChartAxis::removeViews()
{
    for (const auto& tick : m_tickMarks) {
        for (const Ref<UIView>& view : { std::static_pointer_cast<UIView>(tick->tickLabel()), tick->tickMarkView(),
                 tick->gridLineView(), tick->gridStripeView() }) {
            if (view)
                view->removeFromSuperview();
        }
    }
    if (m_axisLineView)
        m_axisLineView->removeFromSuperview();
    if (m_titleLabel)
        m_titleLabel->removeFromSuperview();
}
