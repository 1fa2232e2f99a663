#include "app/core/KESTAlertManager.h"

#include "app/core/KESTAlert.h"
#include "app/core/KESTLiveDataManager.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/ThreadChecks.h"
#include "networking/VNHTTPRequestOperationManager.h"
#include "networking/VNJSONResponseSerializer.h"
#include "uikit/UIDevice.h"

#include <cstdio>
#include <mutex>

VX_REGISTER_CLASS(KESTAlertManager);

namespace {

std::mutex s_instanceLock;
Ref<KESTAlertManager> s_instance;

constexpr const char* kDeviceTokenKey = "vxDeviceToken";

// Appends `value` under `key` unless an earlier field was missing: the service reads the
// fields in order, so the list stops at the first absent value.
struct FieldList {
    Value fields = Value::mutableDictionary();
    bool open = true;
    void add(const char* key, const Value& value)
    {
        if (!open || value.isNilOrNull()) {
            open = false;
            return;
        }
        fields.setObjectForKey(value, Value(key));
    }
};

// A number read as an integer: numbers and numeric text; nullopt for anything else.
std::optional<int32_t> integerOf(const Value& value)
{
    if (value.isNumber())
        return value.intValue();
    if (value.isString()) {
        const std::string& text = value.string();
        char* end = nullptr;
        long parsed = std::strtol(text.c_str(), &end, 10);
        if (!text.empty() && end && *end == '\0')
            return static_cast<int32_t>(parsed);
    }
    return std::nullopt;
}

std::optional<double> doubleOf(const Value& value)
{
    if (value.isNumber())
        return value.doubleValue();
    if (value.isString()) {
        const std::string& text = value.string();
        char* end = nullptr;
        double parsed = std::strtod(text.c_str(), &end);
        if (!text.empty() && end && *end == '\0')
            return parsed;
    }
    return std::nullopt;
}

} // namespace

KESTAlertManager::KESTAlertManager(Passkey key)
    : NSObject(key)
{
}

Ref<KESTAlertManager> KESTAlertManager::sharedInstance()
{
    std::lock_guard guard(s_instanceLock);
    if (!s_instance) {
        KESTAlert::registerClass();
        s_instance = make<KESTAlertManager>();
        s_instance->m_manager = VNHTTPRequestOperationManager::manager();
        s_instance->m_manager->setResponseSerializer(VNJSONResponseSerializer::serializer());
        Value stored = NSUserDefaults::standardUserDefaults()->objectForKey(kDeviceTokenKey);
        if (stored.isString())
            s_instance->m_storedDeviceToken = stored.stringValue();
    }
    return s_instance;
}

void KESTAlertManager::resetSharedInstanceForTesting()
{
    std::lock_guard guard(s_instanceLock);
    s_instance = nullptr;
}

void KESTAlertManager::setManagedObjectContext(Ref<NSManagedObjectContext> context)
{
    assertIsMainThread();
    m_managedObjectContext = std::move(context);
    m_alertMOC = nullptr;
}

Ref<NSManagedObjectContext> KESTAlertManager::managedObjectContext() const
{
    assertIsMainThread();
    return m_managedObjectContext;
}

Ref<NSManagedObjectContext> KESTAlertManager::alertMOC()
{
    assertIsMainThread();
    if (!m_managedObjectContext)
        return nullptr;
    if (!m_alertMOC) {
        m_alertMOC
            = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSPrivateQueueConcurrencyType);
        m_alertMOC->setParentContext(m_managedObjectContext);
    }
    return m_alertMOC;
}

Value KESTAlertManager::alerts() const
{
    assertIsMainThread();
    if (!m_managedObjectContext)
        return Value();
    Ref<NSError> error;
    Value result
        = m_managedObjectContext->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("KESTAlert"), &error);
    return error ? Value() : result;
}

void KESTAlertManager::syncAlerts()
{
    assertIsMainThread();
    Value upload;
    if (auto context = alertMOC()) {
        context->performBlockAndWait([&] {
            Ref<NSError> error;
            Value stored
                = context->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("KESTAlert"), &error);
            Value records = Value::mutableArray();
            for (const auto& element : stored.elements()) {
                if (auto alert = element.objectAs<KESTAlert>())
                    records.addObject(alert->toDictionary());
            }
            if (records.count() == 0)
                return;
            Value data = NSJSONSerialization::dataWithJSONObject(
                records, NSJSONSerialization::NSJSONWritingPrettyPrinted, &error);
            if (data.isData())
                upload = Value(std::string(data.bytes().begin(), data.bytes().end()));
        });
    }
    FieldList fields;
    fields.add("devicetoken", m_storedDeviceToken ? Value(*m_storedDeviceToken) : Value());
    fields.add("deviceAlerts", upload);
    fields.add("alertMode", Value(0));
    postForm("APNS/sync_user_alerts.php", fields.fields, true);
}

void KESTAlertManager::deleteAlertWithID(int32_t alertID)
{
    assertIsMainThread();
    FieldList fields;
    fields.add("devicetoken", m_storedDeviceToken ? Value(*m_storedDeviceToken) : Value());
    fields.add("alertID", Value(alertID));
    fields.add("alertMode", Value(1));
    postForm("APNS/sync_user_alerts.php", fields.fields, true);
}

void KESTAlertManager::postForm(const std::string& path, const Value& parameters, bool merge)
{
    std::string url = NSString::stringWithFormat("%@%@", KESTLiveDataManager::serviceBaseURL(), path);
    Weak<KESTAlertManager> weak = self<KESTAlertManager>();
    VNHTTPRequestOperationManager::SuccessBlock success;
    VNHTTPRequestOperationManager::FailureBlock failure;
    if (merge) {
        success = [weak](const Ref<VNHTTPRequestOperation>&, const Value& reply) {
            auto self = weak.lock();
            if (!self || !reply.isDictionary())
                return;
            Value alerts = reply.objectForKey("alerts");
            if (!alerts.isNil())
                self->updateCoreDataStore(alerts);
        };
    } else {
        failure = [](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) {
            NSLog("fail! %@", error ? error->localizedDescription() : std::string());
        };
    }
    m_manager->POSTParametersConstructingBodyWithBlockSuccessFailure(
        url, parameters, nullptr, std::move(success), std::move(failure));
}

void KESTAlertManager::updateCoreDataStore(const Value& items)
{
    assertIsMainThread();
    auto context = alertMOC();
    if (context) {
        context->performBlockAndWait([&] {
            Ref<NSError> error;
            for (const auto& item : items.elements()) {
                if (!item.isDictionary())
                    continue;
                // Numbers that are missing or not numeric would be stored as 0; skip such items.
                auto type = integerOf(item["alerttype"]);
                auto maxLat = doubleOf(item["maxlat"]);
                auto minLat = doubleOf(item["minlat"]);
                auto maxLon = doubleOf(item["maxlon"]);
                auto minLon = doubleOf(item["minlon"]);
                if (!type || !maxLat || !minLat || !maxLon || !minLon)
                    continue;
                auto alertID = integerOf(item["alertid"]);
                Value uuid = item["alertUUID"];
                // An item without an id matches by its identifier alone: alerts that were never
                // synchronised have no alertID, and 0 must not pick one of them.
                Ref<NSPredicate> predicate;
                if (alertID && uuid.isString())
                    predicate = NSPredicate::predicateWithFormat("alertID==%@ OR alertuuid==%@", Value(*alertID), uuid);
                else if (alertID)
                    predicate = NSPredicate::predicateWithFormat("alertID==%@", Value(*alertID));
                else if (uuid.isString())
                    predicate = NSPredicate::predicateWithFormat("alertuuid==%@", uuid);
                Ref<KESTAlert> alert;
                if (predicate) {
                    auto request = NSFetchRequest::fetchRequestWithEntityName("KESTAlert");
                    request->setPredicate(predicate);
                    Value found = context->executeFetchRequest(request, &error);
                    if (found.count() > 0)
                        alert = found[0].objectAs<KESTAlert>();
                }
                Value value = item["alertvalue"].isString() ? item["alertvalue"] : Value();
                if (!alert) {
                    alert = KESTAlert::insertInManagedObjectContext(context);
                    if (!alert)
                        continue;
                    alert->setValueForKey(value, "alertName");
                }
                alert->setValueForKey(value, "alertValue");
                alert->setValueForKey(Value(*type), "alertType");
                alert->setValueForKey(Value(*maxLat), "alertMaxLat");
                alert->setValueForKey(Value(*minLat), "alertMinLat");
                alert->setValueForKey(Value(*maxLon), "alertMaxLon");
                alert->setValueForKey(Value(*minLon), "alertMinLon");
                if (alertID)
                    alert->setValueForKey(Value(*alertID), "alertID");
            }
            context->save(&error);
            if (auto parent = context->parentContext()) {
                parent->performBlockAndWait([&] {
                    Ref<NSError> parentError;
                    parent->save(&parentError);
                });
            }
        });
    }
    NSNotificationCenter::defaultCenter()->postNotificationName(KESTAlertsSyncNotification, nullptr);
}

std::string KESTAlertManager::tokenText(const Value& deviceToken)
{
    std::string text;
    if (!deviceToken.isData())
        return text;
    char digits[3];
    for (uint8_t byte : deviceToken.bytes()) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

void KESTAlertManager::changeDeviceTokenOldToken(const std::string& newToken, const std::string& oldToken)
{
    assertIsMainThread();
    Value fields = Value::dictionary({ { Value("cmd"), Value("change") }, { Value("oldtoken"), Value(oldToken) },
        { Value("newtoken"), Value(newToken) },
        { Value("name"), Value(NSBundle::mainBundle()->bundleIdentifier().value_or("")) } });
    postForm("APNS/apns_change_device.php", fields, false);
}

void KESTAlertManager::registerDeviceWithServer(const Value& deviceToken)
{
    assertIsMainThread();
    std::string token = tokenText(deviceToken);
    if (m_storedDeviceToken != token) {
        if (m_storedDeviceToken)
            changeDeviceTokenOldToken(token, *m_storedDeviceToken);
        auto defaults = NSUserDefaults::standardUserDefaults();
        defaults->setObjectForKey(Value(token), kDeviceTokenKey);
        defaults->synchronize();
        m_storedDeviceToken = token;
    }
    auto bundle = NSBundle::mainBundle();
    Value fields = Value::dictionary({ { Value("cmd"), Value("reg") }, { Value("token"), Value(token) },
        { Value("name"), Value(bundle->bundleIdentifier().value_or("")) },
        { Value("appversion"), Value(bundle->objectForInfoDictionaryKey("CFBundleShortVersionString").stringValue()) },
        { Value("deviceversion"), Value(UIDevice::currentDevice()->systemVersion()) },
        { Value("debugDevice"), Value(0) } });
    postForm("APNS/apns_new_device.php", fields, false);
}
