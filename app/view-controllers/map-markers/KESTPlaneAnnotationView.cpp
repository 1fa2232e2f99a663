#include "app/view-controllers/map-markers/KESTPlaneAnnotationView.h"

#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/map-markers/KESTPlaneLabelView.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "foundation/Locked.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat kMarkerSide = 35;
constexpr const char* kNoRegistration = "z.NO-REG";
constexpr const char* kGroundRegistration = "<gnd>";

// The layer zPositions of the tiers above the unlabelled markers (0). A labelled marker takes
// its y on the map view off its tier, clamped so that the tiers stay apart.
constexpr CGFloat kLabelledTier = 1e6f;
constexpr CGFloat kLabelledSpread = 1e5f;
constexpr CGFloat kSelectedTier = 2e6f;

Locked<KESTPlaneAnnotationView::ZoomThresholdQuery> s_zoomThresholdQuery;

bool mapWithinZoomThreshold()
{
    auto query = s_zoomThresholdQuery.get();
    return query ? query() : true;
}

} // namespace

Ref<KESTPlaneAnnotationView> KESTPlaneAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    auto view = makeAnnotationView<KESTPlaneAnnotationView>(annotation, std::move(reuseIdentifier));
    view->setFrame(CGRectMake(0, 0, kMarkerSide, kMarkerSide));
    view->setBackgroundColor(UIColor::clearColor());
    view->setClipsToBounds(false);
    view->reset();
    return view;
}

void KESTPlaneAnnotationView::setZoomThresholdQuery(ZoomThresholdQuery query)
{
    s_zoomThresholdQuery.set(std::move(query));
}

void KESTPlaneAnnotationView::reset()
{
    m_showLabel = true;
    removeLabel();
    updateStacking();
}

void KESTPlaneAnnotationView::prepareForReuse()
{
    MKAnnotationView::prepareForReuse();
    reset();
    setNeedsDisplay();
}

void KESTPlaneAnnotationView::removeLabel()
{
    if (m_labelView && m_labelView->superview())
        m_labelView->removeFromSuperview();
    m_labelView = nullptr;
}

void KESTPlaneAnnotationView::setAnnotation(const Ref<MKAnnotation>& annotation)
{
    MKAnnotationView::setAnnotation(annotation);
    setNeedsDisplay();
}

void KESTPlaneAnnotationView::setSelected(bool selected)
{
    MKAnnotationView::setSelected(selected);
    updateStacking();
}

void KESTPlaneAnnotationView::setCenter(CGPoint center)
{
    MKAnnotationView::setCenter(center);
    updateStacking();
}

void KESTPlaneAnnotationView::updateStacking()
{
    CGFloat z = 0;
    if (isSelected())
        z = kSelectedTier;
    else if (m_labelView && m_labelView->superview())
        z = kLabelledTier - std::clamp(center().y, -kLabelledSpread, kLabelledSpread);
    layer()->setZPosition(z);
}

Ref<KESTPlane> KESTPlaneAnnotationView::plane() const
{
    return std::dynamic_pointer_cast<KESTPlane>(KESTMapAnnotation::annotationOf(annotation()));
}

void KESTPlaneAnnotationView::drawRect(CGRect)
{
    auto marker = KESTMapAnnotation::annotationOf(annotation());
    if (!marker)
        return;
    CGRect frame = bounds();
    if (auto image = marker->annotationImage()) {
        CGSize size = image->size();
        CGPoint offset = centerOffset();
        image->drawAtPoint(CGPointMake(std::trunc(frame.size.width * 0.5f - size.width * 0.5f + offset.x),
            std::trunc(frame.size.height * 0.5f - size.height * 0.5f + offset.y)));
    }

    auto plane = std::dynamic_pointer_cast<KESTPlane>(marker);
    bool labelDue = m_showLabel && KESTSettingsManager::sharedInstance()->showPlaneLabels() && mapWithinZoomThreshold();
    if (!plane || !labelDue)
        removeLabel();
    else
        updateLabel(plane);
    updateStacking();
}

void KESTPlaneAnnotationView::updateLabel(const Ref<KESTPlane>& plane)
{
    if (!m_labelView) {
        m_labelView = KESTPlaneLabelView::initWithFrame(CGRectZero);
        m_labelView->setBackgroundColor(UIColor::clearColor());
    }
    if (!m_labelView->superview())
        addSubview(m_labelView);

    auto settings = KESTSettingsManager::sharedInstance();
    int32_t choice = settings->planeLabelContent();
    if (choice > 2) {
        std::string reg = plane->reg();
        auto code = plane->airlineICAO();
        // The plane has no airline when its registration stands in for the callsign or it is a
        // ground vehicle; without a code there is nothing to ask for either.
        if (reg != plane->callsign() && reg != kGroundRegistration && code) {
            Weak<KESTPlaneAnnotationView> weak = self<KESTPlaneAnnotationView>();
            auto logo
                = KESTPlaneMarkerManager::sharedInstance()->fetchAirlineImageOnRemoteFetchCompletion(*code, [weak] {
                      if (auto view = weak.lock())
                          view->setNeedsDisplay();
                  });
            if (logo) {
                // On a screen of scale 1 the logo shows at half its pixel size.
                if (UIGraphicsScreenScale() == 1.0f)
                    logo = UIImage::imageWithCGImage(logo->CGImage(), 2.0f, UIImageOrientationUp);
                m_labelView->setContent(Value(logo));
            }
        }
    } else if (settings->markerDebug()) {
        m_labelView->setContent(Value(plane->type()));
    } else if (choice == 0) {
        std::string reg = plane->reg();
        m_labelView->setContent(reg == kNoRegistration ? Value() : Value(reg));
    } else if (choice == 1) {
        std::string flight = plane->fltno();
        m_labelView->setContent(Value(flight.empty() ? plane->callsign() : flight));
    } else {
        m_labelView->setContent(Value(plane->callsign()));
    }

    m_labelView->setPlane(plane);
    m_labelView->setFrame(CGRectMake(std::ceil(bounds().size.width * 0.5f - 25), 30, 50, 50));
    m_labelView->setNeedsDisplay();
}
