#pragma once

#include "app/core/KESTAnnotation.h"
#include "foundation/NSObject.h"
#include "mapkit/MKAnnotation.h"

#include <vector>

// How the application's annotations sit on MapKit maps: each KESTAnnotation has at most one
// KESTMapAnnotation at a time, which is what the map views hold. It keeps its annotation alive
// while a map holds it, answers the annotation's coordinate, title and subtitle, and passes on
// the annotation's "coordinate" changes so the maps' spatial indexes follow moving planes.
// Marker views find their KESTAnnotation with annotationOf().
//
// forAnnotation and the conversions of lists run on any thread (the pairing is kept under a
// lock); coordinate changes arrive on the main thread, where the annotation makes them.
class KESTMapAnnotation final : public NSObject, public MKAnnotation {
    VX_OBJECT(KESTMapAnnotation, NSObject)
public:
    KESTMapAnnotation(Passkey, Ref<KESTAnnotation> annotation);
    ~KESTMapAnnotation() override;

    // The map annotation of `annotation`, made on first use; nullptr for nullptr.
    static Ref<KESTMapAnnotation> forAnnotation(const Ref<KESTAnnotation>& annotation);
    // The KESTAnnotation behind a map annotation; nullptr for MapKit's own annotations.
    static Ref<KESTAnnotation> annotationOf(const Ref<MKAnnotation>& annotation);
    static std::vector<Ref<MKAnnotation>> mapAnnotationsFor(const std::vector<Ref<KESTAnnotation>>& annotations);
    // Only the application's own annotations, in order.
    static std::vector<Ref<KESTAnnotation>> annotationsOf(const std::vector<Ref<MKAnnotation>>& annotations);

    const Ref<KESTAnnotation>& annotation() const { return m_annotation; }

    CLLocationCoordinate2D coordinate() const override;
    std::optional<std::string> title() const override;
    std::optional<std::string> subtitle() const override;

    // Tells observers of "title" and "subtitle" (an open callout shows the new texts).
    void textsDidChange();

    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;

private:
    Ref<KESTAnnotation> m_annotation;
};
