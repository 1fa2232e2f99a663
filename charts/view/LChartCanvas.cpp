#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCanvasOverlay.h"
#include "charts/view/LChartThreadWarnings.h"

#include "charts/LChartAxis.h"
#include "charts/LChartAxisStyle.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPieSeries.h"
#include "charts/LChartSeriesGroup.h"
#include "charts/LChartTitle.h"
#include "charts/LChartTitleStyle.h"
#include "charts/LatticeChartLog.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartAnnotation.h"
#include "charts/view/LChartCanvasUnderlay.h"
#include "charts/view/LatticeChart.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/UIColor.h"
#include "uikit/UIDevice.h"

#include <algorithm>
#include <atomic>

VX_REGISTER_CLASS(LChartCanvasRenderView);
VX_REGISTER_CLASS(LChartCanvas);

namespace {

bool sizeChanged(float now, float last)
{
    return now < 0.95f * last || now > 1.05f * last || last == 0;
}

} // namespace

Ref<LChartCanvasRenderView> LChartCanvasRenderView::initWithCanvas(LChartCanvas* canvas)
{
    auto view = makeView<LChartCanvasRenderView>(CGRectMake(0, 0, 1, 1));
    view->m_canvas = canvas;
    view->setBackgroundColor(UIColor::clearColor());
    return view;
}

void LChartCanvasRenderView::drawRect(CGRect rect)
{
    if (m_canvas)
        m_canvas->drawChart(rect);
}

Ref<LChartCanvas> LChartCanvas::initWithFrameUsingChart(CGRect frame, LatticeChart* chart)
{
    auto canvas = makeView<LChartCanvas>(frame);
    canvas->setClipsToBounds(true);
    canvas->m_chart = chart;
    CGRect bounds = canvas->bounds();
    canvas->m_glView = LChartGLView::initWithFrame(bounds);
    canvas->m_renderView = LChartCanvasRenderView::initWithCanvas(canvas.get());
    canvas->m_underlay = LChartCanvasUnderlay::initWithFrameUsingChart(bounds, chart);
    canvas->m_underlayForAnnotations = UIView::initWithFrame(bounds);
    canvas->m_underlayForAnnotations->setClipsToBounds(true);
    canvas->m_overlay = LChartCanvasOverlay::initWithFrameUsingChartAndCanvas(bounds, chart, canvas.get());
    canvas->m_glView->setUserInteractionEnabled(false);
    canvas->m_underlay->setUserInteractionEnabled(false);
    for (const Ref<UIView>& layer :
        { Ref<UIView>(canvas->m_glView), canvas->m_underlay, canvas->m_overlay, canvas->m_underlayForAnnotations })
        layer->setAutoresizingMask(kLChartAllAutoresizing);
    canvas->frameLayers(bounds);
    auto device = UIDevice::currentDevice();
    device->beginGeneratingDeviceOrientationNotifications();
    NSNotificationCenter::defaultCenter()->addObserver(
        canvas, &LChartCanvas::viewAboutToRotate, UIDeviceOrientationDidChangeNotification, nullptr);
    canvas->m_lastOrientation = device->orientation();
    canvas->addSubview(canvas->m_underlayForAnnotations);
    canvas->addSubview(canvas->m_underlay);
    canvas->addSubview(canvas->m_glView);
    canvas->addSubview(canvas->m_renderView);
    canvas->addSubview(canvas->m_overlay);
    return canvas;
}

LChartCanvas::~LChartCanvas()
{
    if (m_renderView)
        cancelPreviousPerformRequestsWithTarget(this);
    if (m_underlay)
        cancelPreviousPerformRequestsWithTarget(m_underlay);
    if (m_overlay)
        cancelPreviousPerformRequestsWithTarget(m_overlay);
    if (m_underlay)
        UIDevice::currentDevice()->endGeneratingDeviceOrientationNotifications();
}

void LChartCanvas::viewAboutToRotate(const Ref<NSNotification>&)
{
    UIDeviceOrientation orientation = UIDevice::currentDevice()->orientation();
    if (orientation == UIDeviceOrientationUnknown || orientation == UIDeviceOrientationFaceUp
        || orientation == UIDeviceOrientationFaceDown || orientation == m_lastOrientation)
        return;
    m_lastOrientation = orientation;
    if (!m_chart || !m_chart->rotatesOnDeviceRotation())
        return;
    m_orientationChanged = true;
    constexpr double duration = 0.5;
    // The layers fade out as the rotation starts and back in when it has ended.
    for (const Ref<UIView>& view : { m_underlay, m_overlay }) {
        auto* layer = dynamic_cast<LChartLayer*>(view.get());
        if (!layer)
            continue;
        layer->viewStartRotateWithDuration(duration);
        Weak<UIView> weak = view;
        performSelectorAfterDelay(
            view, "viewEndRotateWithDuration:",
            [weak] {
                if (auto target = weak.lock())
                    dynamic_cast<LChartLayer&>(*target).viewEndRotateWithDuration(duration);
            },
            duration);
    }
}

void LChartCanvas::setFrame(CGRect frame)
{
    CGRect previous = this->frame();
    UIView::setFrame(frame);
    if ((previous.size.width <= 0 || previous.size.height <= 0) && m_overlay) {
        m_overlay->setFrame(bounds());
        m_underlay->setFrame(bounds());
    }
}

void LChartCanvas::frameLayers(CGRect glFrame)
{
    m_glView->setFrame(glFrame);
    m_underlayForAnnotations->setFrame(glFrame);
    // The render view is a unit square stretched over the plot area.
    m_renderView->setTransform(CGAffineTransformIdentity);
    m_renderView->setBounds(CGRectMake(0, 0, 1, 1));
    m_renderView->setCenter(CGPointMake(CGRectGetMidX(glFrame), CGRectGetMidY(glFrame)));
    m_renderView->setTransform(CGAffineTransformMakeScale(
        std::max<CGFloat>(glFrame.size.width, 1), std::max<CGFloat>(glFrame.size.height, 1)));
}

void LChartCanvas::layoutRadialSeries()
{
    std::vector<LChartDonutSeries*> donuts;
    for (const auto& series : m_chart->series())
        if (auto* donut = dynamic_cast<LChartDonutSeries*>(series.get()))
            donuts.push_back(donut);
    if (donuts.empty())
        return;
    auto n = static_cast<double>(donuts.size());
    CGRect glFrame = m_glView->frame();
    double radius = 0.5 * std::min(glFrame.size.width, glFrame.size.height);
    auto hole = static_cast<float>(0.4 * radius / n);
    auto step = static_cast<float>((0.95 * radius - hole) / n);
    LChartDonutSeries* previous = nullptr;
    for (size_t i = 0; i < donuts.size(); ++i) {
        LChartDonutSeries* donut = donuts[i];
        bool pie = donut->isKindOfClass(LChartPieSeries::classObject());
        float protrusion = pie ? 0.0f : static_cast<float>((radius / n) * 0.6666667 / 3);
        if (donut->selectedStatus().size() != donut->dataSeries()->dataPoints().size())
            donut->resetSelectedStatus();
        if (auto style = donut->style(); style && !style->protrusionSet()) {
            style->setProtrusion(0);
            style->setProtrusionSet(false);
        }
        if (auto style = donut->selectedStyle(); style && !style->protrusionSet()) {
            style->setProtrusion(protrusion);
            style->setProtrusionSet(false);
        }
        auto largestProtrusion = [](LChartDonutSeries* series) {
            float normal = series->style() ? series->style()->protrusion() : 0;
            float selected = series->selectedStyle() ? series->selectedStyle()->protrusion() : 0;
            return std::max(normal, selected);
        };
        float inner = previous ? previous->outerRadius() + largestProtrusion(previous) : (pie ? 0.0f : hole);
        float outer = hole + static_cast<float>(i + 1) * step - largestProtrusion(donut);
        donut->setLayoutRadii(inner, outer);
        previous = donut;
        if (!donut->labels().empty()) {
            updateSeriesLabels(*donut);
        } else if (m_chart->datasource()) {
            donut->createLabelsOnChart(m_chart->datasource(), *m_chart);
            for (const auto& label : donut->labels())
                m_overlay->addSubview(label);
        }
    }
}

void LChartCanvas::updateSeriesLabels(LChartDonutSeries& series)
{
    if (series.hidden())
        series.removeLabels();
    const auto& points = series.dataSeries()->dataPoints();
    const auto& labels = series.labels();
    for (size_t i = 0; i < labels.size() && i < points.size(); ++i) {
        const auto& label = labels[i];
        auto index = static_cast<int32_t>(i);
        label->setCenter(series.getSliceCenter(index));
        auto style = points[i]->selected() && series.selectedStyle() ? series.selectedStyle() : series.style();
        label->setHidden(!(style && style->showLabels()));
        if (m_chart)
            m_chart->notifyAlterLabelForSlice(label, *points[i], index, series);
    }
}

void LChartCanvas::radialSeriesDidEndDecelerating(LChartDonutSeries& series)
{
    if (m_chart)
        m_chart->notifyRadialSeriesDidEndDecelerating(series);
}

void LChartCanvas::radialSeriesToggledSelection(LChartDonutSeries& series, int32_t index, CGPoint tap)
{
    if (m_chart)
        m_chart->notifyToggledSelectionForRadialPoint(series, index, tap);
}

void LChartCanvas::radialSeriesNeedsRedraw()
{
    m_glView->setResetAnimationTimer(true);
    if (m_chart)
        m_chart->redrawChartIncludePlotArea(true);
}

void LChartCanvas::setNeedsToRenderChart()
{
    m_renderView->setNeedsDisplay();
}

void LChartCanvas::layoutSubviews()
{
    if (!NSThread::isMainThread()) {
        if (LChartThreadWarningIsDue(LChartThreadWarning::CanvasLayout))
            LatticeChartLog::logger()->handleErrorWithMessageFromSource(
                "Ignoring layoutSubviews message that was received from a secondary thread. All chart layout requests "
                "should happen on the main thread. All further requests from this thread will be ignored without a "
                "warning message.",
                this);
        return;
    }
    if (!m_rendering && m_chart)
        m_chart->notifyRenderStartedWithFullRedraw(m_redrawGL);
    m_rendering = true;
    if (m_chart)
        m_chart->positionLegend();
    UIView::layoutSubviews();
    if (!m_chart)
        return;
    if (m_chart->isRadial()) {
        if (LChartAxis* axis = m_chart->xAxis())
            axis->removeViews();
        if (LChartAxis* axis = m_chart->yAxis())
            axis->removeViews();
        m_newGlFrame = bounds();
        m_lastGLWidth = static_cast<float>(m_newGlFrame.size.width);
        m_lastGLHeight = static_cast<float>(m_newGlFrame.size.height);
        frameLayers(m_newGlFrame);
        layoutRadialSeries();
        setNeedsToRenderChart();
        return;
    }
    LChartAxis* x = m_chart->xAxis();
    LChartAxis* y = m_chart->yAxis();
    // Until data has given the chart both axes there is no plot area to lay out or draw.
    if (!x || !y) {
        m_newGlFrame = CGRectZero;
        return;
    }
    std::vector<LChartAxis*> axes = m_chart->allXAxes();
    for (LChartAxis* axis : m_chart->allYAxes())
        axes.push_back(axis);
    for (LChartAxis* axis : axes)
        axis->sizeTickLabels();
    auto secondaries
        = [](const std::vector<LChartAxis*>& all) { return std::vector<LChartAxis*>(all.begin() + 1, all.end()); };
    calcAxisOffsetsWithInitialToSecondary(*x, secondaries(m_chart->allXAxes()));
    calcAxisOffsetsWithInitialToSecondary(*y, secondaries(m_chart->allYAxes()));

    float xNormal = m_chart->spaceForAxes(m_chart->xAxes(), 0);
    float xReverse = m_chart->spaceForAxes(m_chart->xAxes(), 1);
    float yNormal = m_chart->spaceForAxes(m_chart->yAxes(), 0);
    float yReverse = m_chart->spaceForAxes(m_chart->yAxes(), 1);
    // A Y axis label on a tick at the end of the axis is centred on the plot area's top or
    // bottom edge: keep room for its outer half, so that it is not cut at the canvas' edge when
    // no X axis stands there. (Label heights follow the font alone, so the plot area does not
    // move as the axes pan; X labels, whose widths change with their texts, are left to the
    // axes' clipping modes.)
    float halfY = 0;
    for (LChartAxis* axis : m_chart->allYAxes()) {
        const auto& style = axis->style();
        if (style && style->majorTickStyle() && style->majorTickStyle()->showLabels())
            halfY = std::max(halfY, axis->largestLabelHeight() / 2);
    }
    xNormal = std::max(xNormal, halfY);
    xReverse = std::max(xReverse, halfY);
    CGRect b = bounds();
    m_newGlFrame = CGRectMake(b.origin.x + yNormal, b.origin.y + xReverse, b.size.width - (yNormal + yReverse),
        b.size.height - (xNormal + xReverse));
    auto width = static_cast<float>(m_newGlFrame.size.width);
    auto height = static_cast<float>(m_newGlFrame.size.height);
    bool changed = sizeChanged(width, m_lastGLWidth) || sizeChanged(height, m_lastGLHeight);
    m_lastGLWidth = width;
    m_lastGLHeight = height;
    frameLayers(m_newGlFrame);

    for (LChartAxis* axis : axes) {
        axis->drawTickMarksWithGLFrameUsingAxisDrawerNeedToRedrawLabels(
            m_glView->frame(), m_glView.get(), changed || m_orientationChanged);
        axis->drawAxisWithGLFrameUsingAxisDrawer(m_glView->frame(), m_glView.get());
    }
    for (LChartAxis* axis : m_chart->allYAxes())
        positionTitleForYAxis(*axis);
    for (LChartAxis* axis : m_chart->allXAxes())
        positionTitleForXAxis(*axis);
    m_chart->positionChartTitle();
    setNeedsToRenderChart();
}

void LChartCanvas::calcAxisOffsetsWithInitialToSecondary(LChartAxis& primary, const std::vector<LChartAxis*>& secondary)
{
    float space = primary.spaceRequiredToDrawWithTitle(true);
    bool primaryReverse = primary.axisPosition() == 1;
    float reverse = primaryReverse ? -space : 0;
    float normal = primaryReverse ? 0 : space;
    for (LChartAxis* axis : secondary) {
        if (axis->axisPosition() == 1) {
            axis->setSecondaryAxisOffset(reverse);
            reverse -= axis->spaceRequiredToDrawWithTitle(true);
        } else {
            axis->setSecondaryAxisOffset(normal);
            normal += axis->spaceRequiredToDrawWithTitle(true);
        }
    }
}

namespace {

// Moves the title so its frame starts at (x, y), through its centre so that a rotated title
// keeps its bounds.
void placeTitle(UIView& title, double x, double y, CGSize size)
{
    CGPoint centre = CGPointMake(x + size.width / 2, y + size.height / 2);
    if (!CGPointEqualToPoint(centre, title.center()))
        title.setCenter(centre);
}

int32_t titleStylePosition(LChartAxis& axis)
{
    const auto& style = axis.style();
    return style && style->titleStyle() ? style->titleStyle()->position() : 0;
}

} // namespace

LChartCanvas::TitleFrames LChartCanvas::titleLayoutFrames(const UIView& title) const
{
    return { frame(), m_glView->frame(), title.frame().size };
}

void LChartCanvas::positionTitleForXAxis(LChartAxis& axis)
{
    const auto& title = axis.titleLabel();
    if (!title || title->isHidden())
        return;
    auto [c, g, size] = titleLayoutFrames(*title);
    double x;
    switch (titleStylePosition(axis)) {
    case 1:
        x = c.origin.x + g.origin.x + m_chart->borderThickness();
        break;
    case 2:
        x = c.origin.x + g.origin.x + g.size.width - size.width;
        break;
    default:
        x = CGRectGetMidX(g) - size.width / 2;
        break;
    }
    double offset = axis.secondaryAxisOffset();
    double y;
    if (axis.axisPosition() == 1) {
        float bare = axis.spaceRequiredToDrawWithTitle(false);
        bool titled = axis.spaceRequiredToDrawWithTitle(true) != bare;
        y = c.origin.y + g.origin.y + offset - (bare + (titled ? size.height : 0));
    } else {
        y = c.origin.y + c.size.height + offset - size.height;
    }
    placeTitle(*title, x, y, size);
}

void LChartCanvas::positionTitleForYAxis(LChartAxis& axis)
{
    const auto& title = axis.titleLabel();
    if (!title || title->isHidden())
        return;
    auto [c, g, size] = titleLayoutFrames(*title);
    double y;
    switch (titleStylePosition(axis)) {
    case 1:
        y = c.origin.y + g.origin.y + g.size.height - size.height;
        break;
    case 2:
        y = c.origin.y + g.origin.y + m_chart->borderThickness();
        break;
    default:
        y = CGRectGetMidY(g) - size.height / 2;
        break;
    }
    double x
        = axis.axisPosition() == 1 ? c.origin.x + c.size.width - axis.secondaryAxisOffset() - size.width : c.origin.x;
    placeTitle(*title, x, y, size);
}

void LChartCanvas::drawChart(CGRect)
{
    if (!NSThread::isMainThread()) {
        if (LChartThreadWarningIsDue(LChartThreadWarning::CanvasDrawing))
            LatticeChartLog::logger()->handleErrorWithMessageFromSource(
                "Ignoring drawChart message that was received from a secondary thread. All chart draw requests should "
                "happen on the main thread. All further draw requests from this thread will be ignored without a "
                "warning message.",
                this);
        return;
    }
    // A cartesian chart that has no axes yet has nothing to draw.
    if (!m_chart || (!m_chart->isRadial() && (!m_chart->xAxis() || !m_chart->yAxis())))
        return;
    m_underlayForAnnotations->setBackgroundColor(m_chart->plotAreaBackgroundColor());
    bool more = m_reloadedData;
    bool radial = m_chart->isRadial();
    if (radial) {
        for (const auto& series : m_chart->series())
            if (series->requiresRecalculation())
                m_glView->setResetAnimationTimer(true);
    } else {
        for (const auto& group : m_chart->seriesGroups()) {
            if (group->requiresRecalculation()) {
                m_glView->setResetAnimationTimer(true);
                group->mapSeries();
            }
        }
    }
    m_glView->beginRenderWithReloadedDataIsRadialChart(m_reloadedData, radial);
    if (radial) {
        m_glView->setFrame(bounds());
        for (const auto& series : m_chart->series()) {
            if (auto* donut = dynamic_cast<LChartDonutSeries*>(series.get())) {
                donut->setCanvas(this);
                bool turned = donut->rotateWithStep(m_glView->timeIncrement());
                bool moved = donut->moveInOutWithStep(m_glView->timeIncrement());
                donut->drawWithDrawer(*m_glView);
                donut->updateWithDrawer(*m_glView);
                updateSeriesLabels(*donut);
                donut->setRequiresRecalculation(false);
                more = more || turned || moved;
            }
        }
    } else if (m_newGlFrame.size.width > 0 && m_newGlFrame.size.height > 0) {
        m_reloadedData = false;
        for (const auto& group : m_chart->seriesGroups())
            more = group->drawSeriesOnChart(m_chart) || more;
    }
    bool still = m_glView->endRender();
    m_reloadedData = false;
    ++m_framesDrawn;
    if (still || more) {
        auto self = std::static_pointer_cast<LChartCanvas>(shared_from_this());
        performSelectorAfterDelay(
            self, "setNeedsToRenderChart", [self] { self->setNeedsToRenderChart(); }, 0);
    }
    // Annotations follow the axes as this frame left them.
    for (const auto& annotation : m_chart->annotations())
        annotation->updateViewWithCanvas(*this);
    m_orientationChanged = false;
    m_rendering = false;
    m_chart->notifyRenderFinished();
}

LChartCanvasOverlay* LChartCanvas::gestureOverlay() const
{
    return static_cast<LChartCanvasOverlay*>(m_overlay.get());
}

void LChartCanvas::enablePanning(bool enable)
{
    if (LChartCanvasOverlay* overlay = gestureOverlay())
        overlay->enablePanning(enable);
}
