#pragma once

#include "app/core/KESTLocation.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "mapkit/MKGeometry.h"

#include <atomic>
#include <mutex>
#include <string>

class UIImage;

// A projected point of the map's world square (268435456 units per side).
using KESTMapPoint = MKMapPoint;

// The base of every map annotation: the coordinate the map shows, its projected map point, the
// on-map flag the map keeps, and the hooks the map screen calls without knowing the kind.
// Any thread: the position fields are guarded by a small lock and the flag is atomic.
// Setting the coordinate tells observers of "coordinate".
class KESTAnnotation : public NSObject {
    VX_OBJECT(KESTAnnotation, NSObject)
public:
    explicit KESTAnnotation(Passkey);

    static KESTMapPoint mapPointForCoordinate(const KESTLocation& coordinate);

    virtual std::string title() { return ""; }
    virtual std::string subtitle() { return ""; }

    virtual bool requiresRedraw() { return false; }
    virtual Ref<UIImage> annotationImage() { return nullptr; }
    virtual void updateInfo(const Value& info) { }
    void updateLocationLazily() { updateLocation(false); }
    void updateLocationImmediately() { updateLocation(true); }
    virtual void updateLocation(bool immediately) { }

    bool addedAsAnnotation() const { return m_addedAsAnnotation; }
    void setAddedAsAnnotation(bool added) { m_addedAsAnnotation = added; }
    // Sets the flag from a number's boolean value, so a whole collection can be set at once.
    void setAddedAsAnnotationWithRepresentedValue(const Value& value) { m_addedAsAnnotation = value.boolValue(); }

    virtual KESTLocation coordinate() const;
    virtual void setCoordinate(const KESTLocation& coordinate);
    KESTMapPoint mapPoint() const;
    void setMapPoint(const KESTMapPoint& point);

protected:
    // The info initialiser: the flag off, then the subclass's updateInfo.
    void initWithInfo(const Value& info);

    mutable std::mutex m_positionLock;

private:
    std::atomic<bool> m_addedAsAnnotation { false };
    KESTLocation m_coordinate;
    KESTMapPoint m_mapPoint;
};
