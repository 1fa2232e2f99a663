#pragma once

#include "foundation/Locked.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>

// A map region as a centre and a span, in degrees.
struct KESTCoordinateRegion {
    double centerLatitude { 0 };
    double centerLongitude { 0 };
    double latitudeSpan { 0 };
    double longitudeSpan { 0 };
};

inline constexpr const char* KESTSettingUpdatedNotification = "com.kestravon.volantrix.setting.updated";

// The user's settings and a few first-run and debug flags, each kept in the standard user
// defaults under a key starting with "k" and mirrored in a typed property. Every lasting change
// goes through setValueForSetting, which stores, updates the property and posts
// "com.kestravon.volantrix.setting.updated" synchronously on the caller's thread.
//
// Writers are on the main thread; the properties may be read from any thread (the live feed reads
// faaData and icaoType on its queues), so each is atomic and the text field is locked.
class KESTSettingsManager : public NSObject {
    VX_OBJECT(KESTSettingsManager, NSObject)
public:
    explicit KESTSettingsManager(Passkey);

    static Ref<KESTSettingsManager> sharedInstance();
    // Test-only: drops the shared instance, so the next sharedInstance loads the defaults again.
    static void resetSharedInstanceForTesting();

    // Told whether the platform's idle timer should be disabled (screen kept awake). The
    // application host fills it; until then the choice is only remembered.
    using IdleTimerHook = std::function<void(bool idleTimerDisabled)>;
    static void setIdleTimerHook(IdleTimerHook hook);
    // The last choice made for the idle timer by any settings manager.
    static bool isIdleTimerDisabled();

    static Ref<KESTSettingsManager> init();

    void loadSettings();
    void setupMeasures();
    // V may be nil (removes K from the store and posts nothing).
    void setValueForSetting(const Value& value, const std::string& key);

    KESTCoordinateRegion getRegionForHomeBookmarkLocation() const;
    int32_t realARRange() const;
    std::optional<std::string> realARRangeString() const;

    bool showFlightPaths() const { return m_showFlightPaths; }
    void setShowFlightPaths(bool v) { m_showFlightPaths = v; }
    bool movePlanes() const { return m_movePlanes; }
    void setMovePlanes(bool v) { m_movePlanes = v; }
    bool screenSleep() const { return m_screenSleep; }
    void setScreenSleep(bool v) { m_screenSleep = v; }
    bool followPlane() const { return m_followPlane; }
    void setFollowPlane(bool v) { m_followPlane = v; }
    bool showAirports() const { return m_showAirports; }
    void setShowAirports(bool v) { m_showAirports = v; }
    bool showPlaneLabels() const { return m_showPlaneLabels; }
    void setShowPlaneLabels(bool v) { m_showPlaneLabels = v; }
    bool markerDebug() const { return m_markerDebug; }
    void setMarkerDebug(bool v) { m_markerDebug = v; }
    bool isHomeSet() const { return m_isHomeSet; }
    void setIsHomeSet(bool v) { m_isHomeSet = v; }
    bool hasShownIntroView() const { return m_hasShownIntroView; }
    void setHasShownIntroView(bool v) { m_hasShownIntroView = v; }
    int32_t mapProvider() const { return m_mapProvider; }
    void setMapProvider(int32_t v) { m_mapProvider = v; }
    int32_t mapType() const { return m_mapType; }
    void setMapType(int32_t v) { m_mapType = v; }
    int32_t planeLabelContent() const { return m_planeLabelContent; }
    void setPlaneLabelContent(int32_t v) { m_planeLabelContent = v; }
    int32_t planeColor() const { return m_planeColor; }
    void setPlaneColor(int32_t v) { m_planeColor = v; }
    int32_t faaData() const { return m_faaData; }
    void setFaaData(int32_t v) { m_faaData = v; }
    int32_t icaoType() const { return m_icaoType; }
    void setIcaoType(int32_t v) { m_icaoType = v; }
    int32_t speedUnit() const { return m_speedUnit; }
    void setSpeedUnit(int32_t v) { m_speedUnit = v; }
    int32_t altitudeUnit() const { return m_altitudeUnit; }
    void setAltitudeUnit(int32_t v) { m_altitudeUnit = v; }
    int32_t distanceUnit() const { return m_distanceUnit; }
    void setDistanceUnit(int32_t v) { m_distanceUnit = v; }
    int32_t arRange() const { return m_arRange; }
    void setArRange(int32_t v) { m_arRange = v; }
    std::optional<std::string> bookmarkuuid() const;
    void setBookmarkuuid(std::optional<std::string> v);
    double bookmarkLat() const { return m_bookmarkLat; }
    void setBookmarkLat(double v) { m_bookmarkLat = v; }
    double bookmarkLon() const { return m_bookmarkLon; }
    void setBookmarkLon(double v) { m_bookmarkLon = v; }
    double bookmarkLatSpan() const { return m_bookmarkLatSpan; }
    void setBookmarkLatSpan(double v) { m_bookmarkLatSpan = v; }
    double bookmarkLonSpan() const { return m_bookmarkLonSpan; }
    void setBookmarkLonSpan(double v) { m_bookmarkLonSpan = v; }

private:
    void applyIdleTimer();

    Ref<NSUserDefaults> m_userDefaults;
    std::atomic<bool> m_showFlightPaths { true };
    std::atomic<bool> m_movePlanes { true };
    std::atomic<bool> m_screenSleep { true };
    std::atomic<bool> m_followPlane { false };
    std::atomic<bool> m_showAirports { true };
    std::atomic<bool> m_showPlaneLabels { true };
    std::atomic<bool> m_markerDebug { false };
    std::atomic<bool> m_isHomeSet { false };
    std::atomic<bool> m_hasShownIntroView { false };
    std::atomic<int32_t> m_mapProvider { 0 };
    std::atomic<int32_t> m_mapType { 0 };
    std::atomic<int32_t> m_planeLabelContent { 3 };
    std::atomic<int32_t> m_planeColor { 0 };
    std::atomic<int32_t> m_faaData { 1 };
    std::atomic<int32_t> m_icaoType { 1 };
    std::atomic<int32_t> m_speedUnit { 0 };
    std::atomic<int32_t> m_altitudeUnit { 0 };
    std::atomic<int32_t> m_distanceUnit { 0 };
    std::atomic<int32_t> m_arRange { 2 };
    Locked<std::optional<std::string>> m_bookmarkuuid;
    std::atomic<double> m_bookmarkLat { 0 };
    std::atomic<double> m_bookmarkLon { 0 };
    std::atomic<double> m_bookmarkLatSpan { 0 };
    std::atomic<double> m_bookmarkLonSpan { 0 };
};
