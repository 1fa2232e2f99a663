#include "app/core/analytics/Tally_SharedUDID.h"

#include "foundation/Clock.h"
#include "foundation/CommonDigest.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSString.h"
#include "foundation/NSUUID.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/Random.h"
#include "uikit/UIPasteboard.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <optional>

VX_REGISTER_CLASS(Tally_SharedUDID);

namespace {

constexpr const char* kDefaultsKey = "SharedUDID";
constexpr const char* kValueKey = "SharedUDID";
constexpr const char* kAppUIDKey = "SharedUDID_appUID";
constexpr const char* kCreatedKey = "SharedUDID_createdTS";
constexpr const char* kSlotKey = "SharedUDID_slot";
constexpr const char* kOptOutKey = "SharedUDID_optOutTS";
constexpr const char* kPasteboardType = "org.SharedUDID";
constexpr const char* kSlotPrefix = "org.SharedUDID.slot.";
constexpr const char* kErrorDomain = "org.SharedUDID";
constexpr int kSlotCount = 100;

std::optional<std::string>& cache()
{
    static std::optional<std::string> s_value;
    return s_value;
}

Ref<NSError> report(int32_t code, const std::string& description)
{
    return NSError::errorWithDomain(kErrorDomain, code, Value::dictionary({ { "description", description } }));
}

std::string textOf(const Value& value)
{
    return value.isString() ? value.stringValue() : std::string();
}

// An identifier of the scheme: 40 hexadecimal digits. Other applications can write anything into
// the slots; what is not an identifier is not adopted, since the user defaults may refuse to
// store it and it would change the analytics requests it is sent in.
bool isIdentifier(const std::string& text)
{
    return text.size() == 40
        && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

} // namespace

std::string Tally_SharedUDID::value()
{
    return valueWithError(nullptr);
}

std::string Tally_SharedUDID::_generateFreshSharedUDID()
{
    std::string uuid = NSUUID::UUID()->UUIDString();
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08lx", static_cast<unsigned long>(Random::arc4random() % 4294967295u));
    return CommonDigest::md5Hex(uuid) + suffix;
}

Value Tally_SharedUDID::_getDictFromPasteboard(const Ref<UIPasteboard>& pasteboard)
{
    auto result = Value::mutableDictionary();
    if (!pasteboard)
        return result;
    Value data = pasteboard->valueForPasteboardType(kPasteboardType);
    if (!data.isData())
        return result;
    Value record;
    try {
        record = NSKeyedUnarchiver::unarchiveObjectWithData(data.bytes());
    } catch (const NSException&) {
        return result;
    }
    if (!record.isDictionary())
        return result;
    for (const auto& [key, entry] : record.entries())
        result.setObjectForKey(entry, key);
    return result;
}

void Tally_SharedUDID::_setDictForPasteboard(const Value& dictionary, const Ref<UIPasteboard>& pasteboard)
{
    if (!pasteboard)
        return;
    Value data = NSKeyedArchiver::archivedDataWithRootObject(dictionary.copy());
    if (data.isData())
        pasteboard->setValueForPasteboardType(data, kPasteboardType);
}

std::string Tally_SharedUDID::valueWithError(Ref<NSError>* error)
{
    if (cache()) {
        if (error)
            *error = report(0, "SharedUDID in cache from first call");
        return *cache();
    }
    auto defaults = NSUserDefaults::standardUserDefaults();
    std::string appUID = textOf(defaults->objectForKey(kAppUIDKey));
    if (appUID.empty())
        appUID = NSUUID::UUID()->UUIDString();

    Value localRecord;
    std::string identifier, ownSlot;
    Value optOutDate;
    Value stored = defaults->objectForKey(kDefaultsKey);
    if (stored.isDictionary()) {
        localRecord = stored.mutableCopy();
        identifier = textOf(localRecord[kValueKey]);
        ownSlot = textOf(localRecord[kSlotKey]);
        optOutDate = localRecord[kOptOutKey];
    }
    bool optedOut = !optOutDate.isNilOrNull();

    std::string freeSlot;
    std::map<std::string, int> counts;
    for (int i = 0; i < kSlotCount; ++i) {
        std::string name = NSString::stringWithFormat("%@%d", kSlotPrefix, i);
        auto pasteboard = UIPasteboard::pasteboardWithNameCreate(name, false);
        if (!pasteboard) {
            if (freeSlot.empty())
                freeSlot = name;
            continue;
        }
        Value record = _getDictFromPasteboard(pasteboard);
        std::string slotValue = textOf(record[kValueKey]);
        // A slot without an identifier of the scheme counts as free.
        if (!isIdentifier(slotValue)) {
            if (freeSlot.empty())
                freeSlot = name;
        } else {
            ++counts[slotValue];
        }
        if (textOf(record[kAppUIDKey]) == appUID) {
            ownSlot = name;
            if (optedOut) {
                optOutDate = record[kOptOutKey];
                optedOut = !optOutDate.isNilOrNull();
            }
        }
    }
    // The identifier most slots hold; of equal counts, the last in count order.
    std::string mostReliable;
    int best = 0;
    for (const auto& [candidate, count] : counts) {
        if (count >= best) {
            best = count;
            mostReliable = candidate;
        }
    }

    bool save = false, compromised = false;
    if (identifier.empty()) {
        identifier = mostReliable.empty() ? _generateFreshSharedUDID() : mostReliable;
        if (!localRecord.isDictionary()) {
            localRecord = Value::mutableDictionary(
                { { kValueKey, identifier }, { kAppUIDKey, appUID }, { kCreatedKey, Value::date(Clock::wallTime()) } });
            save = true;
        } else {
            localRecord.setObjectForKey(identifier, kValueKey);
        }
    } else if (!mostReliable.empty() && mostReliable != identifier) {
        compromised = true;
    }

    if (!freeSlot.empty() && (ownSlot.empty() || freeSlot == ownSlot)) {
        auto pasteboard = UIPasteboard::pasteboardWithNameCreate(freeSlot, true);
        pasteboard->setPersistent(true);
        localRecord.setObjectForKey(freeSlot, kSlotKey);
        save = true;
        _setDictForPasteboard(localRecord, pasteboard);
    }
    if (save)
        defaults->setObjectForKey(localRecord.copy(), kDefaultsKey);

    std::string result;
    if (optedOut) {
        result = std::string(40, '0');
        if (error)
            *error = report(1,
                NSString::stringWithFormat(
                    "Application with unique id %@ is opted-out from SharedUDID as of %@", appUID, optOutDate));
    } else {
        result = identifier;
        if (error)
            *error = compromised ? report(2,
                         "Found a discrepancy between stored SharedUDID (reliable) and redundant copies; one of the "
                         "apps on the device is most likely corrupting the SharedUDID protocol")
                                 : report(0, "SharedUDID succesfully retrieved");
    }
    cache() = result;
    return result;
}

void Tally_SharedUDID::setOptOut(bool optOut)
{
    value();
    auto defaults = NSUserDefaults::standardUserDefaults();
    Value stored = defaults->objectForKey(kDefaultsKey);
    Value record = stored.isDictionary() ? stored.mutableCopy() : Value::mutableDictionary();
    if (optOut)
        record.setObjectForKey(Value::date(Clock::wallTime()), kOptOutKey);
    else
        record.removeObjectForKey(kOptOutKey);
    defaults->setObjectForKey(record.copy(), kDefaultsKey);
    cache().reset();
}

void Tally_SharedUDID::resetCacheForTesting()
{
    cache().reset();
}
