#include "foundation/NSTimeZone.h"

#include "foundation/NSDate.h"
#include "foundation/NSLocaleInternal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unicode/simpletz.h>
#include <unicode/tznames.h>

VX_REGISTER_CLASS(NSTimeZone);

using namespace IcuSupport;

namespace {

struct ZoneState {
    std::mutex lock;
    std::optional<std::string> pinnedSystemName;
    Ref<NSTimeZone> systemZone; // made once per pin, so repeated calls answer the same object
    Ref<NSTimeZone> defaultZone;
};

ZoneState& zoneState()
{
    static ZoneState s_state;
    return s_state;
}

constexpr int32_t kMaxOffsetSeconds = 18 * 3600;

std::string gmtOffsetName(NSInteger seconds)
{
    if (seconds == 0)
        return "GMT";
    NSInteger magnitude = std::abs(seconds);
    char buf[16];
    std::snprintf(buf, sizeof buf, "GMT%c%02d%02d", seconds < 0 ? '-' : '+', magnitude / 3600, (magnitude % 3600) / 60);
    return buf;
}

// The short form the platform uses where a zone has no abbreviation: "GMT+1", "GMT-3:30".
std::string gmtOffsetAbbreviation(NSInteger seconds)
{
    if (seconds == 0)
        return "GMT";
    NSInteger magnitude = std::abs(seconds);
    char buf[24];
    if (NSInteger minutes = (magnitude % 3600) / 60)
        std::snprintf(buf, sizeof buf, "GMT%c%d:%02d", seconds < 0 ? '-' : '+', magnitude / 3600, minutes);
    else
        std::snprintf(buf, sizeof buf, "GMT%c%d", seconds < 0 ? '-' : '+', magnitude / 3600);
    return buf;
}

Ref<NSTimeZone> hostZone()
{
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    if (host)
        host->getID(id);
    if (auto zone = NSTimeZone::timeZoneWithName(fromIcu(id)))
        return zone;
    return NSTimeZone::timeZoneForSecondsFromGMT(0);
}

} // namespace

NSTimeZone::NSTimeZone(Passkey key, std::unique_ptr<Impl> impl)
    : NSObject(key)
    , m_impl(std::move(impl))
{
}

NSTimeZone::~NSTimeZone() = default;

Ref<NSTimeZone> NSTimeZone::timeZoneWithName(const std::string& name)
{
    if (name.empty())
        return nullptr;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(toIcu(name)));
    if (!zone || *zone == icu::TimeZone::getUnknown())
        return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->name = name;
    impl->zone = std::move(zone);
    return make<NSTimeZone>(std::move(impl));
}

Ref<NSTimeZone> NSTimeZone::timeZoneForSecondsFromGMT(NSInteger seconds)
{
    if (seconds > kMaxOffsetSeconds || seconds < -kMaxOffsetSeconds)
        return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->name = gmtOffsetName(seconds);
    impl->zone = std::make_unique<icu::SimpleTimeZone>(seconds * 1000, toIcu(impl->name));
    return make<NSTimeZone>(std::move(impl));
}

Ref<NSTimeZone> NSTimeZone::timeZoneWithAbbreviation(const std::string& abbreviation)
{
    static const std::pair<const char*, const char*> s_known[] = {
        { "UTC", "UTC" },
        { "GMT", "GMT" },
        { "EST", "America/New_York" },
        { "EDT", "America/New_York" },
        { "CST", "America/Chicago" },
        { "CDT", "America/Chicago" },
        { "MST", "America/Denver" },
        { "MDT", "America/Denver" },
        { "PST", "America/Los_Angeles" },
        { "PDT", "America/Los_Angeles" },
        { "BST", "Europe/London" },
        { "CET", "Europe/Paris" },
        { "CEST", "Europe/Paris" },
    };
    for (const auto& [abbr, name] : s_known) {
        if (abbreviation == abbr)
            return timeZoneWithName(name);
    }
    // "GMT+1", "GMT-3:30", "GMT+0530".
    if (abbreviation.size() > 4 && abbreviation.compare(0, 3, "GMT") == 0
        && (abbreviation[3] == '+' || abbreviation[3] == '-')) {
        std::string rest = abbreviation.substr(4);
        int hours = 0, minutes = 0;
        size_t colon = rest.find(':');
        auto allDigits
            = [](const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; };
        if (colon != std::string::npos) {
            std::string h = rest.substr(0, colon), m = rest.substr(colon + 1);
            if (!allDigits(h) || !allDigits(m) || h.size() > 2 || m.size() != 2)
                return nullptr;
            hours = std::atoi(h.c_str());
            minutes = std::atoi(m.c_str());
        } else if (allDigits(rest) && rest.size() <= 2) {
            hours = std::atoi(rest.c_str());
        } else if (allDigits(rest) && rest.size() == 4) {
            hours = std::atoi(rest.substr(0, 2).c_str());
            minutes = std::atoi(rest.substr(2).c_str());
        } else {
            return nullptr;
        }
        if (minutes >= 60)
            return nullptr;
        int32_t seconds = (hours * 3600 + minutes * 60) * (abbreviation[3] == '-' ? -1 : 1);
        return timeZoneForSecondsFromGMT(seconds);
    }
    return nullptr;
}

Ref<NSTimeZone> NSTimeZone::systemTimeZone()
{
    auto& state = zoneState();
    std::lock_guard guard(state.lock);
    if (!state.systemZone) {
        if (state.pinnedSystemName) {
            state.systemZone = timeZoneWithName(*state.pinnedSystemName);
            if (!state.systemZone)
                state.systemZone = timeZoneWithName("UTC");
        } else {
            state.systemZone = hostZone();
        }
    }
    return state.systemZone;
}

Ref<NSTimeZone> NSTimeZone::defaultTimeZone()
{
    {
        auto& state = zoneState();
        std::lock_guard guard(state.lock);
        if (state.defaultZone)
            return state.defaultZone;
    }
    return systemTimeZone();
}

void NSTimeZone::setDefaultTimeZone(const Ref<NSTimeZone>& zone)
{
    auto& state = zoneState();
    std::lock_guard guard(state.lock);
    state.defaultZone = zone;
}

void NSTimeZone::setDefaultTimeZoneForTesting(const std::string& name)
{
    auto& state = zoneState();
    std::lock_guard guard(state.lock);
    state.pinnedSystemName = name;
    state.systemZone = nullptr;
    state.defaultZone = nullptr;
}

void NSTimeZone::resetForTesting()
{
    auto& state = zoneState();
    std::lock_guard guard(state.lock);
    state.pinnedSystemName.reset();
    state.systemZone = nullptr;
    state.defaultZone = nullptr;
}

const std::string& NSTimeZone::name() const
{
    return m_impl->name;
}

NSInteger NSTimeZone::secondsFromGMTAt(double secondsSince1970) const
{
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    m_impl->zone->getOffset(toUDate(secondsSince1970), false, raw, dst, status);
    if (U_FAILURE(status))
        return 0;
    return (raw + dst) / 1000;
}

bool NSTimeZone::isDaylightSavingTimeAt(double secondsSince1970) const
{
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    m_impl->zone->getOffset(toUDate(secondsSince1970), false, raw, dst, status);
    return U_SUCCESS(status) && dst != 0;
}

static double instantOf(const Ref<NSDate>& date)
{
    return date ? date->timeIntervalSince1970() : NSDate::date()->timeIntervalSince1970();
}

NSInteger NSTimeZone::secondsFromGMT() const
{
    return secondsFromGMTAt(instantOf(nullptr));
}

NSInteger NSTimeZone::secondsFromGMTForDate(const Ref<NSDate>& date) const
{
    return secondsFromGMTAt(instantOf(date));
}

bool NSTimeZone::isDaylightSavingTime() const
{
    return isDaylightSavingTimeAt(instantOf(nullptr));
}

bool NSTimeZone::isDaylightSavingTimeForDate(const Ref<NSDate>& date) const
{
    return isDaylightSavingTimeAt(instantOf(date));
}

NSTimeInterval NSTimeZone::daylightSavingTimeOffsetForDate(const Ref<NSDate>& date) const
{
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    m_impl->zone->getOffset(toUDate(instantOf(date)), false, raw, dst, status);
    return U_FAILURE(status) ? 0 : dst / 1000.0;
}

std::string NSTimeZone::abbreviation() const
{
    return abbreviationForDate(nullptr);
}

std::string NSTimeZone::abbreviationForDate(const Ref<NSDate>& date) const
{
    double at = instantOf(date);
    if (m_impl->name == "UTC" || m_impl->name == "GMT")
        return m_impl->name;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::TimeZoneNames> names(icu::TimeZoneNames::createInstance(icu::Locale("en_US"), status));
    if (U_SUCCESS(status) && names) {
        icu::UnicodeString canonical, text;
        icu::TimeZone::getCanonicalID(toIcu(m_impl->name), canonical, status);
        if (U_SUCCESS(status)) {
            UTimeZoneNameType type = isDaylightSavingTimeAt(at) ? UTZNM_SHORT_DAYLIGHT : UTZNM_SHORT_STANDARD;
            names->getDisplayName(canonical, type, toUDate(at), text);
            if (!text.isBogus() && !text.isEmpty())
                return fromIcu(text);
        }
    }
    return gmtOffsetAbbreviation(secondsFromGMTAt(at));
}

std::string NSTimeZone::description() const
{
    return m_impl->name + " (" + abbreviation() + ") offset " + std::to_string(secondsFromGMT())
        + (isDaylightSavingTime() ? " (Daylight)" : "");
}

bool NSTimeZone::isEqual(const NSObject* other) const
{
    auto* zone = dynamic_cast<const NSTimeZone*>(other);
    return zone && (zone == this || (zone->name() == name() && zone->m_impl->zone->hasSameRules(*m_impl->zone)));
}

size_t NSTimeZone::hash() const
{
    return std::hash<std::string> {}(m_impl->name);
}

namespace IcuSupport {

std::unique_ptr<icu::TimeZone> cloneZone(const Ref<NSTimeZone>& zone)
{
    const Ref<NSTimeZone>& use = zone ? zone : NSTimeZone::defaultTimeZone();
    return std::unique_ptr<icu::TimeZone>(use->impl().zone->clone());
}

} // namespace IcuSupport
