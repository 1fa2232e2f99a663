#pragma once

#include "ar/SLKObjectDelegate.h"
#include "mapkit/MKAnnotation.h"

class UIView;

// One geo-located AR object: a place with latitude, longitude and altitude, a label view for the
// overlay and a dot view for the radar. It turns its location and the device's into a local
// world position (north, minus east, height), a distance and angles, clips itself by distance,
// projects its label through the overlay's camera matrix and places its dot on the radar. The
// class-wide values (clip distances, viewport, view rotation, label baseline, stacking speed,
// device gravity) are set by the controller, overlay and radar. Main thread only.
class SLKPoi : public SLKObjectDelegate, public MKAnnotation {
    VX_OBJECT(SLKPoi, SLKObjectDelegate)
public:
    explicit SLKPoi(Passkey key);

    static Ref<SLKPoi> init() { return make<SLKPoi>(); }
    // nil (with a log line) for a nil location.
    static Ref<SLKPoi> initAtLocation(const Ref<CLLocation>& location);
    static Ref<SLKPoi> initWithImageAtLocation(const std::string& imageName, const Ref<CLLocation>& location);

    // SLKObjectDelegate.
    void addedToARController() override { updateLocation(); }
    void removedFromARController() override;
    void unloadContent() override;
    void loadContent() override;
    void updateLocation() override;
    void updateContent() override;
    void updateAppearance() override { }
    void renderInView(const Ref<SLKView>& view) override;
    void renderInRadar(const Ref<SLKRadarView>& radar) override;
    std::optional<std::string> title() const override { return std::nullopt; }
    std::optional<std::string> subtitle() const override { return std::nullopt; }
    bool hidden() const override { return m_hidden; }
    float angleToCamera() const override { return m_angleToCamera; }
    SNRVector3 virtualPosition() const override { return { m_worldPosition.x, m_worldPosition.y, m_worldPosition.z }; }
    float distanceToUser() const override { return static_cast<float>(m_distanceToUser); }
    Ref<CLLocation> location() const override { return m_location; }
    void setLocation(const Ref<CLLocation>& location) override;
    float latitude() const override;
    float longitude() const override;
    float altitude() const override;
    float heading() const override { return -1; }
    bool clippedByDistance() const override { return m_clippedByDistance; }

    // MKAnnotation.
    CLLocationCoordinate2D coordinate() const override;
    void setCoordinate(CLLocationCoordinate2D coordinate) override;

    virtual void setHidden(bool hidden);
    SNRVector4& worldPosition() { return m_worldPosition; }
    CGPoint pointOnRadar() const;
    const Ref<UIView>& labelView() const { return m_labelView; }
    void setLabelView(const Ref<UIView>& view) { m_labelView = view; }
    const Ref<UIView>& radarView() const { return m_radarView; }
    void setRadarView(const Ref<UIView>& view) { m_radarView = view; }
    CGPoint offset() const { return m_offset; }
    void setOffset(CGPoint offset) { m_offset = offset; }
    double distanceToCamera() const { return m_distanceToCamera; }
    float angleToUser() const { return m_angleToUser; }
    bool stacked() const { return m_stacked; }
    bool clippedByViewport() const { return m_clippedByViewport; }
    bool addedToView() const { return m_addedToView; }
    bool addedToRadar() const { return m_addedToRadar; }
    CGPoint relativeScreenPosition() const { return m_relativeScreenPosition; }
    SNRVector4 worldToScreenSpace() const { return m_worldToScreenSpace; }
    CGPoint radarSpace() const { return m_radarSpace; }

    void addToView(const Ref<UIView>& view);
    void removeFromView();
    void addToRadar(const Ref<SLKRadarView>& radar);
    void removeFromRadar();

    virtual bool stacksInView() const { return false; }
    virtual bool updatesAppearance() const { return false; }
    virtual CGSize stackingSize() const;
    bool pointInView(const Ref<SLKView>& view);

    // Class-wide values.
    static void setClipDistancesAndFar(float nearLimit, float farLimit);
    static void setViewport(CGSize viewport);
    static CGSize viewport();
    static void setViewRotation(float degrees);
    static float viewRotation();
    static void setLabelBaseline(float baseline);
    static float labelBaseline();
    static void setStackingAnimationSpeed(float speed);
    static float stackingAnimationSpeed();
    static void setDeviceGravity(const SNRVector3* gravity);
    // Test-only: every class-wide value back to its default.
    static void resetClassValuesForTesting();

protected:
    void setStacked(bool stacked) { m_stacked = stacked; }
    Ref<UIView> makeRadarDotView() const;
    std::string m_labelViewImage;

private:
    Ref<CLLocation> m_location;
    double m_distanceToCamera { 0 };
    double m_distanceToUser { 0 };
    float m_angleToUser { 0 };
    SNRMatrix4x4 m_toUserRotation {};
    float m_angleToCamera { 0 };
    Ref<UIView> m_labelView;
    Ref<UIView> m_radarView;
    SNRVector4 m_worldPosition {};
    SNRVector4 m_worldToScreenSpace {};
    SNRVector3 m_worldToRadarSpace {};
    CGPoint m_radarSpace {};
    CGPoint m_relativeScreenPosition {};
    double m_worldPositionE { 0 }, m_worldPositionN { 0 }, m_worldPositionU { 0 };
    bool m_hidden { false };
    bool m_stacked { false };
    bool m_clippedByDistance { false };
    bool m_clippedByViewport { false };
    bool m_addedToView { false };
    bool m_addedToRadar { false };
    SNRVector3 m_ecefCoordinates {};
    double m_poiX { 0 }, m_poiY { 0 }, m_poiZ { 0 };
    CGPoint m_offset {};
};
