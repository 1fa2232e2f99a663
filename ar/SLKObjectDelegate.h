#pragma once

#include "ar/SNRMath.h"
#include "foundation/NSObject.h"

#include <optional>
#include <string>

class CLLocation;
class SLKRadarView;
class SLKView;

// What the AR kit asks of every object it registers, draws and places: life-cycle hooks, the
// update steps, drawing into the overlay and the radar, and the object's place and distance.
// Main thread only.
class SLKObjectDelegate : public NSObject {
    VX_OBJECT(SLKObjectDelegate, NSObject)
public:
    explicit SLKObjectDelegate(Passkey key)
        : NSObject(key)
    {
    }

    virtual void addedToARController() = 0;
    virtual void removedFromARController() = 0;
    virtual void unloadContent() = 0;
    virtual void loadContent() = 0;
    virtual void updateLocation() = 0;
    virtual void updateContent() = 0;
    virtual void updateAppearance() = 0;
    virtual void renderInView(const Ref<SLKView>& view) = 0;
    virtual void renderInRadar(const Ref<SLKRadarView>& radar) = 0;
    virtual std::optional<std::string> title() const = 0;
    virtual bool hidden() const = 0;
    virtual float angleToCamera() const = 0;
    virtual SNRVector3 virtualPosition() const = 0;
    virtual float distanceToUser() const = 0;
    virtual Ref<CLLocation> location() const = 0;
    virtual void setLocation(const Ref<CLLocation>& location) = 0;
    virtual float latitude() const = 0;
    virtual float longitude() const = 0;
    virtual float altitude() const = 0;
    virtual float heading() const = 0;
    virtual bool clippedByDistance() const = 0;
};

// Told of taps on the kit's objects. Held weakly.
class SLKControllerDelegate {
public:
    virtual ~SLKControllerDelegate() = default;
    virtual void arDidTapObject(const Ref<SLKObjectDelegate>& object) = 0;
};
