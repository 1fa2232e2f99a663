// Layout: the layout pass, the title, the canvas size and the legend's place.

#include "charts/view/LatticeChart.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartCartesianSeries.h"
#include "charts/LChartCategoryAxis.h"
#include "charts/LChartDataLoader.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDateTimeAxis.h"
#include "charts/LChartDiscontinuousDateTimeAxis.h"
#include "charts/LChartDiscontinuousNumberAxis.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLegendStyle.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeries.h"
#include "charts/LChartSeriesGroup.h"
#include "charts/LChartStyle.h"
#include "charts/LChartTheme.h"
#include "charts/LChartTitle.h"
#include "charts/LatticeChartLog.h"
#include "charts/LatticeCharts.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartAnnotation.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCanvasOverlay.h"
#include "charts/view/LChartCrosshair.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LChartGradientView.h"
#include "charts/view/LChartLegend.h"
#include "charts/view/LChartThreadWarnings.h"
#include "foundation/Dispatch.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "graphics/UIColor.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <set>

namespace {

// Hidden while its text is nil or only white space.
void hideTitleIfBlank(LChartTitle& title)
{
    const std::string& text = title.text();
    title.setHidden(text.find_first_not_of(" \t\n\r\f\v") == std::string::npos);
}

} // namespace

std::string LatticeChart::title() const
{
    return m_titleLabel->text();
}

void LatticeChart::setTitleLabel(const Ref<LChartTitle>& label)
{
    if (!label || label == m_titleLabel)
        return;
    if (m_titleLabel)
        m_titleLabel->removeFromSuperview();
    m_titleLabel = label;
    addSubview(label);
}

void LatticeChart::setTitle(const std::string& title)
{
    m_titleLabel->setTitleText(title);
}

void LatticeChart::positionChartTitle()
{
    if (m_titleLabel->userSetFrame())
        return;
    m_titleLabel->sizeTitleToFit();
    CGRect title = m_titleLabel->frame();
    CGRect canvas = m_canvas->frame();
    double x = title.origin.x;
    if (m_titlePosition == 1) {
        x = canvas.origin.x + spaceRequiredForYAxesNormal() + m_borderThickness;
    } else if (m_titlePosition != 0) {
        x = canvas.origin.x + canvas.size.width - title.size.width - m_borderThickness;
    } else if (m_titleCentresOn == 0) {
        x = (frame().size.width - title.size.width) / 2;
    } else if (m_titleCentresOn == 1) {
        const auto& gl = m_canvas->glView();
        x = m_canvas->convertPointToView(gl->center(), self<UIView>()).x - title.size.width / 2;
    } else if (m_titleCentresOn == 2) {
        x = canvas.origin.x + (canvas.size.width - title.size.width) / 2;
    }
    m_titleLabel->setFrame(CGRectMake(x, title.origin.y, title.size.width, title.size.height));
    m_titleLabel->setUserSetFrame(false);
    bringSubviewToFront(m_titleLabel);
}

void LatticeChart::updateCanvasSize()
{
    positionLegend();
    CGRect c = bounds();
    float border = m_borderThickness;
    bool legendShown = m_legend && !m_legend->isHidden();
    float lw2 = 0, lh2 = 0;
    if (legendShown && !m_legend->userSetFrame()) {
        float margin = legendMargin();
        lw2 = static_cast<float>(m_legend->frame().size.width) + 2 * margin;
        lh2 = static_cast<float>(m_legend->frame().size.height) + 2 * margin;
    }
    float left = border, top = border, widthCut = 0, heightCut = 0;
    if (legendShown && m_legend->placement() != 1) {
        bool edge = m_legend->placement() == 2;
        switch (m_legend->position()) {
        case 4:
        case 5:
        case 6:
            left = border + (edge ? lw2 / 2 - spaceRequiredForYAxesNormal() : lw2);
            widthCut = edge ? lw2 / 2 - spaceRequiredForYAxesNormal() : lw2;
            break;
        case 0:
        case 1:
        case 2:
            widthCut += edge ? lw2 / 2 - spaceRequiredForYAxesReverse() / 2 : lw2;
            break;
        case 7:
            // On the edge, the legend's half replaces the border inset.
            top = edge ? lh2 / 2 : border + lh2;
            heightCut = edge ? lh2 / 2 : lh2;
            break;
        case 3:
            if (!edge)
                heightCut += lh2;
            else if (lh2 / 2 > spaceRequiredForXAxesNormal())
                heightCut += lh2 / 2 - spaceRequiredForXAxesNormal();
            break;
        default:
            break;
        }
    }
    if (!m_overlapChartTitle && !m_titleLabel->text().empty() && !m_titleLabel->userSetFrame()) {
        double height = m_titleLabel->frame().size.height;
        c.origin.y += height;
        c.size.height -= height;
    }
    CGRect frame = CGRectMake(c.origin.x + left, c.origin.y + top, c.size.width - widthCut, c.size.height - heightCut);
    if (frame.size.width <= 0 || frame.size.height <= 0)
        LatticeChartLog::logger()->handleErrorWithMessageFromSource(
            "The size/layout of the LatticeChart does not have sufficient room for laying out its elements, and may "
            "display incorrectly. Try disabling the chart legend, axis labels, axis titles, etc. or increasing the "
            "size of the chart itself",
            this);
    if (!CGRectEqualToRect(frame, m_canvas->frame())) {
        m_canvas->setFrame(frame);
        m_canvas->setNeedsLayout();
    }
}

void LatticeChart::layoutSubviews()
{
    if (!NSThread::isMainThread()) {
        if (LChartThreadWarningIsDue(LChartThreadWarning::ChartLayout))
            LatticeChartLog::logger()->handleErrorWithMessageFromSource(
                "Ignoring layoutSubviews message that was received from a secondary thread. All chart layout requests "
                "should happen on the main thread. All further requests from this thread will be ignored without a "
                "warning message.",
                this);
        return;
    }
    if (!m_datasource)
        LatticeChartLog::logger()->handleFatalErrorWithMessageFromSource("A datasource has not been set.", this);
    if (m_shouldReloadData) {
        m_shouldReloadData = false;
        if (m_loadingIndicator)
            m_loadingIndicator->setCenter(m_canvas->center());
        // A queued load lays the chart out when it has swapped its series in; a reload due while
        // one is queued joins the queue so that it cannot overtake it.
        if (m_loadDataInBackground || loadingQueueSize() > 0) {
            queueLoad(m_loadDataInBackground);
            return;
        }
        loadOnMainThread();
    } else if (!m_isRadial) {
        appendAnnouncedData();
    }
    hideTitleIfBlank(*m_titleLabel);
    m_titleLabel->sizeTitleToFit();
    if (!m_xAxes.empty())
        hideTitleIfBlank(*m_xAxes.front()->titleLabel());
    if (!m_yAxes.empty())
        hideTitleIfBlank(*m_yAxes.front()->titleLabel());
    if (m_legend && !m_legend->isHidden() && (m_canvas->redrawGL() || m_canvas->orientationChanged()))
        m_legend->reload();
    updateCanvasSize();
    layoutCrosshair();
    for (const auto& axes : { &m_xAxes, &m_yAxes }) {
        for (const auto& axis : *axes) {
            axis->setAxisFrame(m_canvas->underlay()->frame());
            axis->configureTitle();
        }
    }
    // A cartesian chart still without axes has nothing to lay out or draw.
    if (m_isRadial || (!m_xAxes.empty() && !m_yAxes.empty()))
        m_canvas->setNeedsLayout();
    UIView::layoutSubviews();
}

CGRect LatticeChart::getGLFrame() const
{
    return m_canvas && m_canvas->glView() ? m_canvas->glView()->frame() : CGRectZero;
}

CGRect LatticeChart::getPlotAreaFrame() const
{
    if (!m_canvas || !m_canvas->glView())
        return CGRectZero;
    const auto& gl = m_canvas->glView();
    auto chart = std::const_pointer_cast<UIView>(std::static_pointer_cast<const UIView>(shared_from_this()));
    return gl->convertRectToView(gl->bounds(), chart);
}

void LatticeChart::setFrame(CGRect frame)
{
    CGRect previous = this->frame();
    bool titleSet = m_titleLabel && m_titleLabel->userSetFrame();
    bool legendSet = m_legend && m_legend->userSetFrame();
    UIView::setFrame(frame);
    if (m_titleLabel)
        m_titleLabel->setUserSetFrame(titleSet);
    if (m_legend)
        m_legend->setUserSetFrame(legendSet);
    if ((previous.size.width <= 0 || previous.size.height <= 0) && m_gradientView)
        m_gradientView->setFrame(bounds());
}

float LatticeChart::legendMargin() const
{
    const auto& style = m_legend ? m_legend->style() : nullptr;
    return style ? style->marginWidth().floatValue() : 0;
}

void LatticeChart::setLegend(const Ref<LChartLegend>& legend)
{
    if (legend == m_legend)
        return;
    if (m_legend)
        m_legend->removeFromSuperview();
    m_legend = legend;
    if (m_legend)
        addSubview(m_legend);
}

void LatticeChart::positionLegend()
{
    if (!m_legend || m_legend->userSetFrame())
        return;
    CGRect c = bounds();
    CGRect legend = m_legend->frame();
    auto lw = static_cast<float>(legend.size.width);
    auto lh = static_cast<float>(legend.size.height);
    float border = m_borderThickness;
    float margin = legendMargin();
    int32_t placement = m_legend->placement();
    int32_t position = m_legend->position();
    float xN = spaceRequiredForXAxesNormal();
    float xR = spaceRequiredForXAxesReverse();
    float yN = spaceRequiredForYAxesNormal();
    float yR = spaceRequiredForYAxesReverse();
    const auto& gl = m_canvas->glView();
    auto glHeight = static_cast<float>(gl->bounds().size.height);
    bool titleUserSet = m_titleLabel->userSetFrame();
    float titleBottom = !titleUserSet && !m_titleLabel->isHidden()
        ? static_cast<float>(m_titleLabel->frame().origin.y + m_titleLabel->frame().size.height)
        : 0;
    bool roomForTitle = !m_overlapChartTitle && !m_titleLabel->text().empty() && !titleUserSet;
    float t = roomForTitle ? titleBottom : 0;
    float inside = placement == 1 ? 1 : 0;

    double x = legend.origin.x;
    switch (position) {
    case 0:
    case 1:
    case 2:
        x = c.size.width - lw - margin - border - inside * yR;
        break;
    case 4:
    case 5:
    case 6:
        x = c.origin.x + margin + border + inside * yN;
        break;
    case 3:
    case 7:
        if (placement == 0) {
            x = c.size.width / 2 - lw / 2;
        } else {
            CGRect canvas = m_canvas->frame();
            x = canvas.origin.x + gl->frame().origin.x + gl->frame().size.width / 2 - lw / 2;
        }
        break;
    default:
        // An unknown position keeps the legend's x.
        break;
    }

    double y = 0;
    switch (position) {
    case 0:
    case 6:
        y = (roomForTitle ? titleBottom : c.origin.y + border) + margin + inside * xR;
        break;
    case 1:
        y = t + glHeight / 2 - lh / 2 + xR;
        break;
    case 5:
        y = t + glHeight / 2 - lh / 2 + inside * xR;
        break;
    case 2:
        y = glHeight + t - lh - margin + xR;
        break;
    case 4:
        y = glHeight + t - lh - margin + inside * xR;
        break;
    case 3:
        if (placement == 0)
            y = glHeight + t + xN + xR + margin;
        else if (placement == 1)
            y = glHeight + t - lh - margin + xR;
        else
            y = glHeight + t - lh / 2 + xR;
        break;
    case 7:
        if (titleUserSet || m_titleLabel->text().empty()) {
            y = border + margin;
        } else if (!m_overlapChartTitle) {
            y = titleBottom + inside * xR;
        } else if (placement != 0) {
            y = titleBottom + border + margin + xR;
        } else {
            y = border + margin;
            // The overlapping title moves below the legend, without counting as placed by the
            // user, so the next title layout takes it back to the top edge.
            if (!m_legend->isHidden()) {
                CGRect title = m_titleLabel->frame();
                m_titleLabel->setFrame(
                    CGRectMake(title.origin.x, border + margin + lh + margin, title.size.width, title.size.height));
                m_titleLabel->setUserSetFrame(titleUserSet);
            }
        }
        break;
    default:
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("Invalid legend position: %d", position), m_legend.get());
        y = 0;
        break;
    }
    m_legend->setFrame(CGRectMake(x, y, lw, lh));
    m_legend->setUserSetFrame(false);
}

void LatticeChart::layoutCrosshair()
{
    if (m_crosshair && m_canvas)
        m_crosshair->setFrame(m_canvas->bounds());
}
