#include "app/view-controllers/map-markers/KESTAirportAnnotationView.h"

#include "app/core/KESTAirport.h"
#include "app/view-controllers/map-markers/KESTMarkerDrawing.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

Ref<KESTAirportAnnotationView> KESTAirportAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    auto view = makeAnnotationView<KESTAirportAnnotationView>(annotation, std::move(reuseIdentifier));
    KESTMarkerDrawing::prepareSymbolView(*view);
    return view;
}

void KESTAirportAnnotationView::prepareForReuse()
{
    MKAnnotationView::prepareForReuse();
    setNeedsDisplay();
}

void KESTAirportAnnotationView::setAnnotation(const Ref<MKAnnotation>& annotation)
{
    MKAnnotationView::setAnnotation(annotation);
    setNeedsDisplay();
}

void KESTAirportAnnotationView::drawRect(CGRect)
{
    auto airport = std::dynamic_pointer_cast<KESTAirport>(KESTMapAnnotation::annotationOf(annotation()));
    if (!airport)
        return;
    KESTMarkerDrawing::drawCentredSymbol(
        UIImage::imageNamed(airport->isMajor() ? "airportMarkerLarge" : "airportMarkerSmall"), bounds());
}
