#pragma once

#include "foundation/Ref.h"

class KESTAnnotation;
class KESTMapController;

// What a screen that finds planes and airports (the search results, the airport board, the
// aircraft list) asks of the map screen. Main thread.
class KESTSearchDelegate {
public:
    virtual ~KESTSearchDelegate() = default;
    // Makes the plane or airport the map's selected marker; with makeVisible, also puts it on
    // the map and moves the map to it.
    virtual void selectAnnotationMakeVisible(const Ref<KESTAnnotation>& annotation, bool makeVisible) = 0;
    // The map facade, through which places are shown.
    virtual Ref<KESTMapController> mapController() = 0;
};
