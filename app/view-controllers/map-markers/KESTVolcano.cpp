#include "KESTVolcano.h"

#include "UIImage.h"

std::string KESTVolcano::title()
{
    return "Volcano";
}

Ref<UIImage> KESTVolcano::annotationImage()
{
    return UIImage::imageNamed("volcano");
}
