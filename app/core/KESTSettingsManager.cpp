#include "app/core/KESTSettingsManager.h"

#include "foundation/Locked.h"
#include "foundation/NSLocale.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/ThreadChecks.h"

#include <array>
#include <mutex>
#include <string_view>
#include <vector>

namespace {

enum class SettingKind { Integer, Boolean, Double, Text };

// One stored setting: its key, how its value is read, the property it fills and, for the keys
// loadSettings reads directly, the value used when the store holds nothing.
struct SettingField {
    const char* key;
    SettingKind kind;
    void (*apply)(KESTSettingsManager&, const Value&);
    std::optional<Value> loadDefault;
};

std::optional<std::string> textOf(const Value& value)
{
    if (value.isString())
        return value.string();
    return std::nullopt;
}

// In the order the store is read at load; the unit keys come last and are read by setupMeasures.
const std::vector<SettingField>& settingFields()
{
    using M = KESTSettingsManager;
    using K = SettingKind;
    static const std::vector<SettingField> fields {
        { "kMapType", K::Integer, [](M& m, const Value& v) { m.setMapType(v.intValue()); }, Value(0) },
        { "kPlaneColour", K::Integer, [](M& m, const Value& v) { m.setPlaneColor(v.intValue()); }, Value(0) },
        { "kMovePlanes", K::Boolean, [](M& m, const Value& v) { m.setMovePlanes(v.boolValue()); }, Value(true) },
        { "kShowFlightPaths", K::Boolean, [](M& m, const Value& v) { m.setShowFlightPaths(v.boolValue()); },
            Value(true) },
        { "kShowPlaneLabels", K::Boolean, [](M& m, const Value& v) { m.setShowPlaneLabels(v.boolValue()); },
            Value(true) },
        { "kShowAirports", K::Boolean, [](M& m, const Value& v) { m.setShowAirports(v.boolValue()); }, Value(true) },
        { "kFAAData", K::Integer, [](M& m, const Value& v) { m.setFaaData(v.intValue()); }, Value(1) },
        { "kICAOType", K::Integer, [](M& m, const Value& v) { m.setIcaoType(v.intValue()); }, Value(1) },
        { "kHomeSet", K::Boolean, [](M& m, const Value& v) { m.setIsHomeSet(v.boolValue()); }, Value(false) },
        { "kBookmarkLat", K::Double, [](M& m, const Value& v) { m.setBookmarkLat(v.doubleValue()); }, Value(0.0) },
        { "kBookmarkLon", K::Double, [](M& m, const Value& v) { m.setBookmarkLon(v.doubleValue()); }, Value(0.0) },
        { "kBookmarkLatSpan", K::Double, [](M& m, const Value& v) { m.setBookmarkLatSpan(v.doubleValue()); },
            Value(0.0) },
        { "kBookmarkLonSpan", K::Double, [](M& m, const Value& v) { m.setBookmarkLonSpan(v.doubleValue()); },
            Value(0.0) },
        { "kBookmarkuuid", K::Text, [](M& m, const Value& v) { m.setBookmarkuuid(textOf(v)); }, Value() },
        { "kScreenSleep", K::Boolean, [](M& m, const Value& v) { m.setScreenSleep(v.boolValue()); }, Value(true) },
        { "kFollowPlane", K::Boolean, [](M& m, const Value& v) { m.setFollowPlane(v.boolValue()); }, Value(false) },
        { "kPlaneLabelContent", K::Integer, [](M& m, const Value& v) { m.setPlaneLabelContent(v.intValue()); },
            Value(3) },
        { "kARRange", K::Integer, [](M& m, const Value& v) { m.setArRange(v.intValue()); }, Value(2) },
        { "kMarkerDebug", K::Boolean, [](M& m, const Value& v) { m.setMarkerDebug(v.boolValue()); }, Value(false) },
        { "kHasShownIntroView", K::Boolean, [](M& m, const Value& v) { m.setHasShownIntroView(v.boolValue()); },
            Value(false) },
        { "kSpeedUnit", K::Integer, [](M& m, const Value& v) { m.setSpeedUnit(v.intValue()); }, std::nullopt },
        { "kAltitudeUnit", K::Integer, [](M& m, const Value& v) { m.setAltitudeUnit(v.intValue()); }, std::nullopt },
        { "kDistanceUnit", K::Integer, [](M& m, const Value& v) { m.setDistanceUnit(v.intValue()); }, std::nullopt },
    };
    return fields;
}

Value readStored(const NSUserDefaults& defaults, const std::string& key, SettingKind kind)
{
    switch (kind) {
    case SettingKind::Integer:
        return Value(defaults.integerForKey(key));
    case SettingKind::Boolean:
        return Value(defaults.boolForKey(key));
    case SettingKind::Double:
        return Value(defaults.doubleForKey(key));
    case SettingKind::Text: {
        Value stored = defaults.objectForKey(key);
        return stored.isString() ? stored : Value();
    }
    }
    return Value();
}

Locked<KESTSettingsManager::IdleTimerHook> s_idleTimerHook;
std::atomic<bool> s_idleTimerDisabled { false };

std::mutex s_sharedLock;
Ref<KESTSettingsManager> s_shared;

} // namespace

KESTSettingsManager::KESTSettingsManager(Passkey key)
    : NSObject(key)
{
}

Ref<KESTSettingsManager> KESTSettingsManager::sharedInstance()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_shared)
        s_shared = init();
    return s_shared;
}

void KESTSettingsManager::resetSharedInstanceForTesting()
{
    std::lock_guard guard(s_sharedLock);
    s_shared = nullptr;
}

void KESTSettingsManager::setIdleTimerHook(IdleTimerHook hook)
{
    s_idleTimerHook.set(std::move(hook));
}

bool KESTSettingsManager::isIdleTimerDisabled()
{
    return s_idleTimerDisabled;
}

Ref<KESTSettingsManager> KESTSettingsManager::init()
{
    auto manager = make<KESTSettingsManager>();
    manager->m_userDefaults = NSUserDefaults::standardUserDefaults();
    manager->loadSettings();
    return manager;
}

void KESTSettingsManager::loadSettings()
{
    // The stored provider is never read back: every launch starts on the platform's own map.
    m_mapProvider = 0;
    for (const auto& field : settingFields()) {
        if (!field.loadDefault)
            continue;
        Value stored = m_userDefaults->objectForKey(field.key);
        field.apply(*this, stored ? readStored(*m_userDefaults, field.key, field.kind) : *field.loadDefault);
    }
    applyIdleTimer();
    setupMeasures();
}

void KESTSettingsManager::setupMeasures()
{
    static constexpr std::array<std::string_view, 10> metricRegions { "AU", "CA", "NZ", "NL", "DE", "FR", "ES", "150",
        "IT", "SE" };
    std::string region = NSLocale::currentLocale()->countryCode();
    bool metric = false;
    for (auto code : metricRegions)
        metric = metric || region == code;

    auto unit = [&](const char* key, int32_t metricDefault) {
        if (m_userDefaults->objectForKey(key))
            return static_cast<int32_t>(m_userDefaults->integerForKey(key));
        return metric ? metricDefault : 0;
    };
    m_speedUnit = unit("kSpeedUnit", 2);
    m_altitudeUnit = unit("kAltitudeUnit", 1);
    m_distanceUnit = unit("kDistanceUnit", 1);
}

void KESTSettingsManager::setValueForSetting(const Value& value, const std::string& key)
{
    assertIsMainThread();
    if (key == "kMapProvider")
        m_mapProvider = value.intValue();
    for (const auto& field : settingFields()) {
        if (key != field.key)
            continue;
        field.apply(*this, value);
        if (key == "kScreenSleep")
            applyIdleTimer();
        break;
    }

    m_userDefaults->setObjectForKey(value, key);
    m_userDefaults->synchronize();

    if (value.isNil())
        return;
    NSNotificationCenter::defaultCenter()->postNotificationName(
        KESTSettingUpdatedNotification, nullptr, Value::dictionary({ { "settingKey", key }, { "newValue", value } }));
}

KESTCoordinateRegion KESTSettingsManager::getRegionForHomeBookmarkLocation() const
{
    return { m_bookmarkLat, m_bookmarkLon, m_bookmarkLatSpan, m_bookmarkLonSpan };
}

namespace {
struct ARRangeStep {
    int32_t kilometres;
    const char* text;
};
constexpr std::array<ARRangeStep, 5> arRangeSteps { {
    { 10, "10 km / 6 miles" },
    { 25, "25 km / 16 miles" },
    { 50, "50 km / 31 miles" },
    { 75, "75 km / 47 miles" },
    { 100, "100 km / 62 miles" },
} };
} // namespace

int32_t KESTSettingsManager::realARRange() const
{
    int32_t step = m_arRange;
    if (step < 0 || step >= static_cast<int32_t>(arRangeSteps.size()))
        return 0;
    return arRangeSteps[step].kilometres;
}

std::optional<std::string> KESTSettingsManager::realARRangeString() const
{
    int32_t step = m_arRange;
    if (step < 0 || step >= static_cast<int32_t>(arRangeSteps.size()))
        return std::nullopt;
    return std::string(arRangeSteps[step].text);
}

std::optional<std::string> KESTSettingsManager::bookmarkuuid() const
{
    return m_bookmarkuuid.get();
}

void KESTSettingsManager::setBookmarkuuid(std::optional<std::string> v)
{
    m_bookmarkuuid.set(std::move(v));
}

void KESTSettingsManager::applyIdleTimer()
{
    // The screen is kept awake exactly when the user turned screen sleep off.
    bool disabled = !m_screenSleep;
    s_idleTimerDisabled = disabled;
    IdleTimerHook hook = s_idleTimerHook.get();
    if (hook)
        hook(disabled);
}
