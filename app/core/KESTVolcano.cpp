#include "app/core/KESTVolcano.h"

#include "graphics/UIImage.h"

std::string KESTVolcano::title()
{
    return "Volcano";
}

Ref<UIImage> KESTVolcano::annotationImage()
{
    return UIImage::imageNamed("volcano");
}
