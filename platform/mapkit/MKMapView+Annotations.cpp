// MKMapView: annotations, their views and reuse, selection and callouts.
#include "mapkit/MKMapView.h"

#include "foundation/ThreadChecks.h"
#include "graphics/UIColor.h"
#include "mapkit/MKCalloutView.h"
#include "mapkit/MKPinAnnotationView.h"
#include "uikit/UIControl.h"

#include <cmath>
#include <limits>
#include <unordered_set>

namespace {

const char* const kCoordinateKey = "coordinate";

Ref<NSObject> objectOf(const Ref<MKAnnotation>& annotation)
{
    return std::dynamic_pointer_cast<NSObject>(annotation);
}

} // namespace

void MKMapView::addAnnotation(const Ref<MKAnnotation>& annotation)
{
    assertIsMainThread();
    addAnnotations({ annotation });
}

void MKMapView::addAnnotations(const std::vector<Ref<MKAnnotation>>& annotations)
{
    assertIsMainThread();
    bool added = false;
    for (const auto& annotation : annotations) {
        if (!annotation || m_index->containsAnnotation(annotation.get()))
            continue;
        m_annotations.push_back(annotation);
        m_index->addAnnotation(annotation);
        added = true;
    }
    if (added)
        setNeedsLayout();
}

void MKMapView::removeAnnotation(const Ref<MKAnnotation>& annotation)
{
    assertIsMainThread();
    removeAnnotations({ annotation });
}

void MKMapView::removeAnnotations(const std::vector<Ref<MKAnnotation>>& annotations)
{
    assertIsMainThread();
    std::unordered_set<const MKAnnotation*> gone;
    for (const auto& annotation : annotations) {
        if (!annotation || !m_index->containsAnnotation(annotation.get()) || annotation == m_userLocation)
            continue;
        if (annotation == m_selected)
            deselectAnnotationAnimated(annotation, false);
        recycle(annotation);
        gone.insert(annotation.get());
    }
    if (gone.empty())
        return;
    std::vector<Ref<MKAnnotation>> removed;
    std::erase_if(m_annotations, [&](const Ref<MKAnnotation>& a) {
        if (!gone.count(a.get()))
            return false;
        removed.push_back(a);
        return true;
    });
    m_index->removeAnnotations(removed);
}

std::vector<Ref<MKAnnotation>> MKMapView::annotations() const
{
    return m_annotations;
}

std::vector<Ref<MKAnnotation>> MKMapView::annotationsInMapRect(MKMapRect rect) const
{
    auto found = m_index->annotationsInMapRect(rect);
    // The user location is nowhere until its first fix.
    if (m_userLocation && !m_userLocation->location())
        std::erase(found, std::static_pointer_cast<MKAnnotation>(m_userLocation));
    return found;
}

void MKMapView::showAnnotationsAnimated(const std::vector<Ref<MKAnnotation>>& annotations, bool animated)
{
    assertIsMainThread();
    MKMapRect rect = MKMapRectNull;
    for (const auto& annotation : annotations) {
        if (!annotation || !CLLocationCoordinate2DIsValid(annotation->coordinate()))
            continue;
        auto point = MKMapPointForCoordinate(annotation->coordinate());
        rect = MKMapRectUnion(rect, MKMapRectMake(point.x, point.y, 0, 0));
    }
    if (MKMapRectIsNull(rect))
        return;
    // Room around the outermost annotations for their views.
    setVisibleMapRectEdgePaddingAnimated(rect, UIEdgeInsetsMake(40, 20, 20, 20), animated);
}

Ref<MKAnnotationView> MKMapView::viewForAnnotation(const Ref<MKAnnotation>& annotation) const
{
    auto it = annotation ? m_views.find(annotation.get()) : m_views.end();
    return it == m_views.end() ? nullptr : it->second;
}

Ref<MKAnnotationView> MKMapView::dequeueReusableAnnotationViewWithIdentifier(const std::string& identifier)
{
    assertIsMainThread();
    auto it = m_reuseQueue.find(identifier);
    if (it == m_reuseQueue.end() || it->second.empty())
        return nullptr;
    auto view = it->second.back();
    it->second.pop_back();
    view->prepareForReuse();
    return view;
}

Ref<MKAnnotationView> MKMapView::makeViewFor(const Ref<MKAnnotation>& annotation)
{
    auto map = self();
    Ref<MKAnnotationView> view;
    if (auto delegate = liveDelegate())
        view = delegate->mapViewViewForAnnotation(map, annotation);
    if (!view) {
        if (annotation == m_userLocation) {
            view = MKAnnotationView::initWithAnnotation(annotation, std::nullopt);
            view->setBounds(CGRectMake(0, 0, 16, 16));
            view->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.1, 0.45, 0.95, 1));
            view->layer()->setCornerRadius(8);
            view->setCanShowCallout(true);
        } else {
            auto pin = dequeueReusableAnnotationViewWithIdentifier("MKPinAnnotationView");
            if (!pin)
                pin = MKPinAnnotationView::initWithAnnotation(annotation, std::string("MKPinAnnotationView"));
            pin->setCanShowCallout(true);
            view = pin;
        }
    }
    view->setAnnotation(annotation);
    view->setMapView(map);
    m_views[annotation.get()] = view;
    m_container->addSubview(view);
    if (auto object = objectOf(annotation))
        object->addObserver(map, kCoordinateKey, 0, nullptr);
    return view;
}

void MKMapView::recycle(const Ref<MKAnnotation>& annotation)
{
    auto it = m_views.find(annotation.get());
    if (it == m_views.end())
        return;
    auto view = it->second;
    m_views.erase(it);
    if (auto object = objectOf(annotation))
        object->removeObserver(self(), kCoordinateKey);
    view->removeFromSuperview();
    view->setSelected(false);
    if (view->reuseIdentifier())
        m_reuseQueue[*view->reuseIdentifier()].push_back(view);
}

void MKMapView::placeAnnotationView(const Ref<MKAnnotationView>& view)
{
    const auto& annotation = view->annotation();
    if (!annotation)
        return;
    // A view being dragged stays under the finger.
    auto drag = view->dragState();
    if (drag == MKAnnotationViewDragStateStarting || drag == MKAnnotationViewDragStateDragging)
        return;
    auto point = viewPointForMapPoint(MKMapPointForCoordinate(annotation->coordinate()));
    auto offset = view->centerOffset();
    view->setCenter(CGPointMake(point.x + offset.x, point.y + offset.y));
    if (m_callout && m_callout->annotationView() == view)
        m_callout->refresh();
}

void MKMapView::updateAnnotationViews()
{
    CGSize view = boundsSize();
    if (!(view.width > 0 && view.height > 0))
        return; // a map that is not shown asks for no views
    double scale = zoomScale();
    // A margin of 32 points so that views are ready just before they come into view.
    auto area = MKMapRectInset(visibleMapRect(), -32 / scale, -32 / scale);
    auto inView = annotationsInMapRect(area);
    std::unordered_set<const MKAnnotation*> wanted;
    for (const auto& annotation : inView)
        wanted.insert(annotation.get());
    if (m_selected)
        wanted.insert(m_selected.get());
    for (const auto& [key, annotationView] : m_views)
        if (annotationView->dragState() != MKAnnotationViewDragStateNone)
            wanted.insert(key);

    std::vector<Ref<MKAnnotation>> leaving;
    for (const auto& [key, annotationView] : m_views)
        if (!wanted.count(key))
            leaving.push_back(annotationView->annotation());
    for (const auto& annotation : leaving)
        recycle(annotation);

    std::vector<Ref<MKAnnotationView>> added;
    for (const auto& annotation : inView)
        if (!m_views.count(annotation.get()))
            added.push_back(makeViewFor(annotation));
    if (m_selected && !m_views.count(m_selected.get()) && m_index->containsAnnotation(m_selected.get()))
        added.push_back(makeViewFor(m_selected));
    for (const auto& [key, annotationView] : m_views)
        placeAnnotationView(annotationView);
    if (!added.empty())
        if (auto delegate = liveDelegate())
            delegate->mapViewDidAddAnnotationViews(self(), added);

    // A selection made before its view existed takes effect now.
    if (m_selected)
        if (auto selectedView = viewForAnnotation(m_selected); selectedView && !selectedView->isSelected()) {
            selectedView->setSelected(true);
            if (auto delegate = liveDelegate())
                delegate->mapViewDidSelectAnnotationView(self(), selectedView);
            showCallout(selectedView);
        }
}

std::vector<Ref<MKAnnotation>> MKMapView::selectedAnnotations() const
{
    if (m_selected)
        return { m_selected };
    return {};
}

void MKMapView::setSelectedAnnotations(const std::vector<Ref<MKAnnotation>>& annotations)
{
    assertIsMainThread();
    if (annotations.empty()) {
        if (m_selected)
            deselectAnnotationAnimated(m_selected, false);
        return;
    }
    selectAnnotationAnimated(annotations.back(), false);
}

void MKMapView::selectAnnotationAnimated(const Ref<MKAnnotation>& annotation, bool)
{
    assertIsMainThread();
    if (!annotation || annotation == m_selected || !m_index->containsAnnotation(annotation.get()))
        return;
    if (m_selected)
        deselectAnnotationAnimated(m_selected, false);
    m_selected = annotation;
    auto view = viewForAnnotation(annotation);
    if (!view) {
        // Made (and selected) in the next layout pass.
        setNeedsLayout();
        return;
    }
    view->setSelected(true);
    if (auto delegate = liveDelegate())
        delegate->mapViewDidSelectAnnotationView(self(), view);
    showCallout(view);
}

void MKMapView::deselectAnnotationAnimated(const Ref<MKAnnotation>& given, bool)
{
    assertIsMainThread();
    // A copy: callers often pass m_selected itself, which is cleared below.
    Ref<MKAnnotation> annotation = given;
    if (!annotation || annotation != m_selected)
        return;
    closeCallout();
    m_selected = nullptr;
    auto view = viewForAnnotation(annotation);
    if (!view || !view->isSelected())
        return;
    view->setSelected(false);
    if (auto delegate = liveDelegate())
        delegate->mapViewDidDeselectAnnotationView(self(), view);
}

void MKMapView::showCallout(const Ref<MKAnnotationView>& view)
{
    closeCallout();
    const auto& annotation = view->annotation();
    if (!view->canShowCallout() || !annotation || annotation->title().value_or("").empty())
        return;
    auto map = self();
    m_callout = MKCalloutView::initForAnnotationView(view);
    // Over every annotation view, whatever zPosition its owner gave it and whenever it is made.
    m_callout->layer()->setZPosition(std::numeric_limits<CGFloat>::max());
    m_container->addSubview(m_callout);
    if (auto object = objectOf(annotation)) {
        object->addObserver(map, "title", 0, nullptr);
        object->addObserver(map, "subtitle", 0, nullptr);
    }
    Weak<MKMapView> weakMap = map;
    Weak<MKAnnotationView> weakView = view;
    for (const auto& accessory : { view->leftCalloutAccessoryView(), view->rightCalloutAccessoryView() }) {
        auto control = std::dynamic_pointer_cast<UIControl>(accessory);
        if (!control)
            continue;
        control->removeTargetActionForControlEvents(map, "calloutAccessoryTapped", UIControlEventTouchUpInside);
        control->addTargetActionForControlEvents(
            map, "calloutAccessoryTapped",
            [weakMap, weakView](const Ref<UIControl>& sender, const Ref<UIEvent>&) {
                auto strongMap = weakMap.lock();
                auto strongView = weakView.lock();
                if (!strongMap || !strongView)
                    return;
                if (auto delegate = strongMap->liveDelegate())
                    delegate->mapViewAnnotationViewCalloutAccessoryControlTapped(strongMap, strongView, sender);
            },
            UIControlEventTouchUpInside);
    }
}

void MKMapView::closeCallout()
{
    if (!m_callout)
        return;
    auto callout = m_callout;
    m_callout = nullptr;
    if (auto object = objectOf(callout->annotationView()->annotation())) {
        object->removeObserver(self(), "title");
        object->removeObserver(self(), "subtitle");
    }
    callout->removeFromSuperview();
}

void MKMapView::annotationViewTapped(const Ref<MKAnnotationView>& view)
{
    if (view->annotation() && view->annotation() != m_selected)
        selectAnnotationAnimated(view->annotation(), true);
}

void MKMapView::annotationViewDragStateChanged(
    const Ref<MKAnnotationView>& view, MKAnnotationViewDragState state, MKAnnotationViewDragState old)
{
    auto protectedThis = self();
    if (auto delegate = liveDelegate())
        delegate->mapViewAnnotationViewDidChangeDragStateFromOldState(protectedThis, view, state, old);
    if (state == MKAnnotationViewDragStateNone && viewForAnnotation(view->annotation()) == view)
        placeAnnotationView(view);
}

void MKMapView::annotationViewDropped(const Ref<MKAnnotationView>& view)
{
    const auto& annotation = view->annotation();
    if (!annotation || viewForAnnotation(annotation) != view)
        return;
    auto offset = view->centerOffset();
    auto point = CGPointMake(view->center().x - offset.x, view->center().y - offset.y);
    auto coordinate = convertPointToCoordinateFromView(point, m_container);
    coordinate.longitude = std::remainder(coordinate.longitude, 360.0);
    if (CLLocationCoordinate2DIsValid(coordinate))
        annotation->setCoordinate(coordinate);
}

void MKMapView::emptySpotTapped()
{
    if (m_selected)
        deselectAnnotationAnimated(m_selected, true);
}

void MKMapView::observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>& object, const Value&, void*)
{
    auto annotation = std::dynamic_pointer_cast<MKAnnotation>(object);
    if (!annotation)
        return;
    if (keyPath == kCoordinateKey) {
        if (auto view = viewForAnnotation(annotation))
            placeAnnotationView(view);
        setNeedsLayout(); // it may have moved out of view, or into it
    } else if (m_callout && m_callout->annotationView()->annotation() == annotation) {
        m_callout->refresh();
    }
}
