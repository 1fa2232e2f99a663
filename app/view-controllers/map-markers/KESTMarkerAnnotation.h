#pragma once

#include "KESTAnnotation.h"
#include "MKAnnotation.h"

#include <memory>

// A map annotation that stands in for one of the application's annotations (a plane, an
// airport, a volcano) when that annotation is not itself a map annotation.
class KESTAnnotationCarrier {
public:
    virtual ~KESTAnnotationCarrier() = default;
    virtual Ref<KESTAnnotation> carriedAnnotation() const = 0;
};

// The application's annotation behind a map annotation: the annotation itself when it is one,
// the one a carrier holds, else nullptr. The marker views find their plane or airport this way.
inline Ref<KESTAnnotation> KESTAnnotationForMapAnnotation(const Ref<MKAnnotation>& annotation)
{
    if (!annotation)
        return nullptr;
    if (auto own = std::dynamic_pointer_cast<KESTAnnotation>(annotation))
        return own;
    if (auto carrier = std::dynamic_pointer_cast<KESTAnnotationCarrier>(annotation))
        return carrier->carriedAnnotation();
    return nullptr;
}

template <typename T> Ref<T> KESTAnnotationForMapAnnotationAs(const Ref<MKAnnotation>& annotation)
{
    return std::dynamic_pointer_cast<T>(KESTAnnotationForMapAnnotation(annotation));
}
