#include "app/view-controllers/map-markers/KESTVolcanoAnnotationView.h"

#include "app/view-controllers/map-markers/KESTMarkerDrawing.h"
#include "graphics/UIImage.h"

Ref<KESTVolcanoAnnotationView> KESTVolcanoAnnotationView::initWithAnnotation(
    const Ref<MKAnnotation>& annotation, std::optional<std::string> reuseIdentifier)
{
    auto view = makeAnnotationView<KESTVolcanoAnnotationView>(annotation, std::move(reuseIdentifier));
    KESTMarkerDrawing::prepareSymbolView(*view);
    return view;
}

void KESTVolcanoAnnotationView::prepareForReuse()
{
    MKAnnotationView::prepareForReuse();
    setNeedsDisplay();
}

void KESTVolcanoAnnotationView::setAnnotation(const Ref<MKAnnotation>& annotation)
{
    MKAnnotationView::setAnnotation(annotation);
    setNeedsDisplay();
}

void KESTVolcanoAnnotationView::drawRect(CGRect)
{
    KESTMarkerDrawing::drawCentredSymbol(UIImage::imageNamed("volcano"), bounds());
}
