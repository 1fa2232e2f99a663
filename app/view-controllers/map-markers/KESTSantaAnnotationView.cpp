#include "app/view-controllers/map-markers/KESTSantaAnnotationView.h"

#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

#include <cmath>

namespace {
constexpr CGFloat kSantaSide = 69;
}

Ref<KESTSantaAnnotationView> KESTSantaAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    auto view = makeAnnotationView<KESTSantaAnnotationView>(annotation, std::move(reuseIdentifier));
    view->setBackgroundColor(UIColor::clearColor());
    view->setFrame(CGRectMake(0, 0, kSantaSide, kSantaSide));
    return view;
}

Ref<KESTSantaAnnotationView> KESTSantaAnnotationView::initWithFrame(CGRect)
{
    return initWithAnnotation(nullptr, std::nullopt);
}

void KESTSantaAnnotationView::drawRect(CGRect)
{
    auto plane = KESTMapAnnotation::annotationOf(annotation());
    if (!plane)
        return;
    auto image = plane->annotationImage();
    if (!image)
        return;
    CGRect frame = bounds();
    CGSize size = image->size();
    CGPoint offset = centerOffset();
    image->drawAtPoint(CGPointMake(std::trunc(frame.size.width * 0.5f - size.width * 0.5f + offset.x),
        std::trunc(frame.size.height * 0.5f - size.height * 0.5f + offset.y)));
}
