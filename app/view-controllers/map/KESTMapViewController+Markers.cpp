// The marker budget: which markers go on the shown map, the banner's count and the zoom threshold.

#include "app/view-controllers/map/KESTMapViewController.h"

#include "app/core/KESTAirport.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/map-markers/KESTMapLabelView.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewControllerInternal.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"

#include <cmath>

using namespace KESTMapViewControllerInternal;

namespace {

constexpr uint32_t kFewPlanes = 50;

bool isAirport(const Ref<KESTAnnotation>& annotation)
{
    return annotation && annotation->isKindOfClass(KESTAirport::classObject());
}

} // namespace

KESTMapViewController::BudgetGrid
KESTMapViewController::gridAnnotationsInRectIntoColumnsAndRowsWithThresholdAtZoomLevel(
    const std::vector<Ref<KESTAnnotation>>& candidates, MKMapRect rect, uint32_t columns, uint32_t rows, uint32_t,
    float zoomLevel, bool showAirports)
{
    size_t cells = static_cast<size_t>(columns) * rows;
    std::vector<MKMapRect> cellRects;
    cellRects.reserve(cells);
    double cellWidth = columns ? rect.size.width / columns : 0;
    double cellHeight = rows ? rect.size.height / rows : 0;
    for (uint32_t row = 0; row < rows; ++row) {
        for (uint32_t column = 0; column < columns; ++column) {
            MKMapRect cell = MKMapRectMake(rect.origin.x, rect.origin.y, cellWidth, cellHeight);
            cellRects.push_back(MKMapRectOffset(cell, column * cellWidth, row * cellHeight));
        }
    }
    BudgetGrid grid;
    grid.cells.resize(cells);
    bool airportsHidden = !showAirports || zoomLevel <= 4.0f;

    for (const auto& candidate : candidates) {
        KESTMapPoint point = candidate->mapPoint();
        MKMapPoint mapPoint { point.x, point.y };
        size_t index = cells;
        for (size_t i = 0; i < cells; ++i) {
            if (MKMapRectContainsPoint(cellRects[i], mapPoint)) {
                index = i;
                break;
            }
        }
        if (index == cells)
            continue;
        if (airportsHidden && isAirport(candidate)) {
            if (candidate->addedAsAnnotation())
                grid.invalidAnnotations.push_back(candidate);
            continue;
        }
        if (candidate->addedAsAnnotation()) {
            grid.cells[index].shown.push_back(candidate);
            ++grid.totalVisible;
        } else {
            grid.cells[index].hidden.push_back(candidate);
        }
    }
    grid.annotations = candidates;
    return grid;
}

KESTMapViewController::BudgetResult KESTMapViewController::computeMarkerBudget(const BudgetInput& input)
{
    BudgetGrid grid = gridAnnotationsInRectIntoColumnsAndRowsWithThresholdAtZoomLevel(
        input.candidates, input.visible, input.columns, input.rows, input.budget, input.zoom, input.showAirports);

    BudgetResult result;
    AnnotationSet candidateSet = setOf(input.candidates);
    for (const auto& marker : input.shown) {
        if (!candidateSet.count(marker.get()))
            result.toRemove.push_back(marker);
    }
    result.toRemove.insert(result.toRemove.end(), grid.invalidAnnotations.begin(), grid.invalidAnnotations.end());

    uint32_t n = static_cast<uint32_t>(input.candidates.size());
    uint32_t budget = input.budget;
    if (n > budget) {
        int32_t remaining = static_cast<int32_t>(budget) - grid.totalVisible;
        for (const auto& cell : grid.cells) {
            if (remaining == 0)
                continue;
            int32_t s = static_cast<int32_t>(cell.shown.size());
            int32_t h = static_cast<int32_t>(cell.hidden.size());
            int32_t fairShare = static_cast<int32_t>(std::ceil(static_cast<double>(s + h) / n * budget));
            int32_t slots = fairShare - s;
            if (slots >= 1) {
                int32_t appended = 0;
                for (const auto& marker : cell.hidden) {
                    marker->updateLocationLazily();
                    result.toAdd.push_back(marker);
                    if (++appended > slots)
                        break;
                }
            } else if (slots < -static_cast<int32_t>(input.overflow)) {
                int32_t appended = 0;
                for (const auto& marker : cell.shown) {
                    result.toRemove.push_back(marker);
                    if (++appended > -slots)
                        break;
                }
                remaining += appended;
            }
        }
    } else {
        bool airportsHidden = !input.showAirports || input.zoom <= 4.0f;
        for (const auto& candidate : input.candidates) {
            if (airportsHidden && candidate->isMemberOfClass(KESTAirport::classObject()))
                continue;
            result.toAdd.push_back(candidate);
        }
    }
    if (input.selected) {
        std::erase_if(result.toRemove, [&](const Ref<KESTAnnotation>& marker) { return marker == input.selected; });
    }
    return result;
}

void KESTMapViewController::updateAnnotationVisibility()
{
    auto facade = mapController();
    auto settings = KESTSettingsManager::sharedInstance();
    BudgetInput input;
    input.visible = facade->visibleMapRectWithPadding(0);
    input.zoom = static_cast<float>(facade->zoomLevel());
    input.candidates = backingAnnotationsInRect(input.visible);
    input.shown = facade->customAnnotations();
    input.showAirports = settings->showAirports();
    input.columns = m_gridColumnCount;
    input.rows = m_gridRowCount;
    input.budget = m_maximumAnnotationThreshold;
    input.overflow = m_gridOverflowThreshold;
    input.selected = m_selectedMarker;

    Weak<KESTMapViewController> weak = protectedSelf();
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_HIGH, 0), [weak, input = std::move(input)] {
        auto result = std::make_shared<BudgetResult>(computeMarkerBudget(input));
        dispatch_async(dispatch_get_main_queue(), [weak, result] {
            if (auto screen = weak.lock())
                screen->applyBudget(*result);
        });
    });
}

void KESTMapViewController::applyBudget(const BudgetResult& result)
{
    auto facade = mapController();
    uint32_t planesInView = 0;
    for (const auto& annotation : backingAnnotationsInRect(facade->visibleMapRectWithPadding(0))) {
        if (isPlane(annotation))
            ++planesInView;
    }
    if (m_mapLabelView) {
        int64_t total = m_livePlaneCount;
        m_mapLabelView->setCount(NSString::stringWithFormat(
            NSLocalizedString("%d of %d visible"), static_cast<int32_t>(planesInView), static_cast<int32_t>(total)));
    }
    facade->removeAnnotations(result.toRemove);
    facade->addAnnotations(result.toAdd);
    updateAnnotationZoomTriggerWithPlaneCount(planesInView);
}

void KESTMapViewController::updateAnnotationZoomTriggerWithPlaneCount(uint32_t count)
{
    bool old = m_mapWithinZoomThreshold;
    bool within = static_cast<float>(mapController()->zoomLevel()) > 4.0f;
    if (count <= kFewPlanes)
        within = true;
    m_mapWithinZoomThreshold = within;
    if (within != old) {
        Value info = Value::dictionary({ { Value("withinThreshold"), Value(within) } });
        NSNotificationCenter::defaultCenter()->postNotificationName(KESTMapThresholdTriggerNotification, nullptr, info);
    }
}
