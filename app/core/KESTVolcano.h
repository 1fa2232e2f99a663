#pragma once

#include "app/core/KESTAnnotation.h"

// A volcano on the map. Nothing else about it is known: it has a fixed title and image.
// Any thread, like every annotation.
class KESTVolcano : public KESTAnnotation {
    VX_OBJECT(KESTVolcano, KESTAnnotation)
public:
    explicit KESTVolcano(Passkey key)
        : KESTAnnotation(key)
    {
    }
    static Ref<KESTVolcano> init() { return make<KESTVolcano>(); }

    // "Volcano".
    std::string title() override;
    // The image resource "volcano".
    Ref<UIImage> annotationImage() override;
    // Volcano markers on the other map kind carry nothing to update.
    void updateGMSMarker(const Ref<NSObject>&) { }
};
