// MKMapView: overlays and the renderers the delegate gives for them.
#include "mapkit/MKMapView.h"

#include "foundation/Dispatch.h"
#include "foundation/ThreadChecks.h"
#include "mapkit/MKOverlayRenderer.h"
#include "mapkit/MKOverlayView.h"

#include <algorithm>

MKMapView::OverlayEntry* MKMapView::entryFor(const MKOverlay* overlay) const
{
    for (auto& entry : m_overlays)
        if (entry.overlay.get() == overlay)
            return &entry;
    return nullptr;
}

void MKMapView::askForRenderer(OverlayEntry& entry) const
{
    if (entry.asked)
        return;
    entry.asked = true;
    auto map = self();
    auto delegate = liveDelegate();
    if (!delegate)
        return;
    entry.renderer = delegate->mapViewRendererForOverlay(map, entry.overlay);
    if (!entry.renderer)
        entry.view = delegate->mapViewViewForOverlay(map, entry.overlay);
    if (entry.renderer) {
        // Renderers may ask for a redraw from any thread; the map redraws on the main thread.
        Weak<MKMapView> weakMap = map;
        entry.renderer->setDisplayHandler([weakMap](MKMapRect, MKZoomScale) {
            dispatch_async(dispatch_get_main_queue(), [weakMap] {
                if (auto strong = weakMap.lock())
                    strong->setNeedsDisplay();
            });
        });
    }
}

void MKMapView::addOverlayLevel(const Ref<MKOverlay>& overlay, MKOverlayLevel level)
{
    assertIsMainThread();
    if (!overlay || entryFor(overlay.get()))
        return;
    level = level == MKOverlayLevelAboveRoads ? MKOverlayLevelAboveRoads : MKOverlayLevelAboveLabels;
    // After every overlay of the same or a lower level.
    auto at
        = std::find_if(m_overlays.begin(), m_overlays.end(), [&](const OverlayEntry& e) { return e.level > level; });
    auto index = at - m_overlays.begin();
    m_overlays.insert(at, OverlayEntry { overlay, level, nullptr, nullptr, false });
    CGSize view = boundsSize();
    if (view.width > 0 && view.height > 0)
        askForRenderer(m_overlays[index]);
    setNeedsDisplay();
}

void MKMapView::addOverlays(const std::vector<Ref<MKOverlay>>& overlays)
{
    assertIsMainThread();
    for (const auto& overlay : overlays)
        addOverlay(overlay);
}

void MKMapView::removeOverlay(const Ref<MKOverlay>& overlay)
{
    assertIsMainThread();
    removeOverlays({ overlay });
}

void MKMapView::removeOverlays(const std::vector<Ref<MKOverlay>>& overlays)
{
    assertIsMainThread();
    for (const auto& overlay : overlays) {
        auto* entry = overlay ? entryFor(overlay.get()) : nullptr;
        if (!entry)
            continue;
        if (entry->renderer)
            entry->renderer->setDisplayHandler(nullptr);
        m_overlays.erase(m_overlays.begin() + (entry - m_overlays.data()));
    }
    setNeedsDisplay();
}

std::vector<Ref<MKOverlay>> MKMapView::overlays() const
{
    std::vector<Ref<MKOverlay>> result;
    for (const auto& entry : m_overlays)
        result.push_back(entry.overlay);
    return result;
}

std::vector<Ref<MKOverlay>> MKMapView::overlaysInLevel(MKOverlayLevel level) const
{
    std::vector<Ref<MKOverlay>> result;
    for (const auto& entry : m_overlays)
        if (entry.level == level)
            result.push_back(entry.overlay);
    return result;
}

Ref<MKOverlayRenderer> MKMapView::rendererForOverlay(const Ref<MKOverlay>& overlay) const
{
    auto* entry = overlay ? entryFor(overlay.get()) : nullptr;
    if (!entry)
        return nullptr;
    askForRenderer(*entry);
    return entry->renderer;
}

Ref<MKOverlayView> MKMapView::viewForOverlay(const Ref<MKOverlay>& overlay) const
{
    auto* entry = overlay ? entryFor(overlay.get()) : nullptr;
    if (!entry)
        return nullptr;
    askForRenderer(*entry);
    return entry->view;
}
