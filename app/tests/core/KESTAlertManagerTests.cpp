#include "app/core/KESTAlertManager.h"

#include "app/core/KESTAlert.h"
#include "app/tests/filters/FilterTestSupport.h"
#include "coredata/NSFetchRequest.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSNotificationCenter.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// The alert manager made fresh on the test's main context, with the service's alert endpoint
// stubbed.
class AlertScope {
public:
    AlertScope()
    {
        KESTAlertManager::resetSharedInstanceForTesting();
        KESTAlertManager::sharedInstance()->setManagedObjectContext(m_filters.context());
        m_observer = NSNotificationCenter::defaultCenter()->addObserverForName(
            KESTAlertsSyncNotification, nullptr, nullptr, [this](const Ref<NSNotification>&) { ++notifications; });
    }
    ~AlertScope()
    {
        NSNotificationCenter::defaultCenter()->removeObserver(m_observer);
        drainAll();
        KESTAlertManager::resetSharedInstanceForTesting();
    }

    const Ref<NSManagedObjectContext>& context() const { return m_filters.context(); }
    Ref<URLStub> stub(const std::string& path, const std::string& body, int32_t status = 200)
    {
        URLStubSpec spec;
        spec.url = "http://feed.invalid/" + path;
        spec.body = body;
        spec.statusCode = status;
        spec.headers = { { "Content-Type", "application/json" } };
        return m_stubs.add(spec);
    }
    Ref<KESTAlert> addAlert(const std::string& value, std::optional<int32_t> alertID = std::nullopt)
    {
        auto alert = KESTAlert::insertInManagedObjectContext(context());
        alert->setValueForKey(Value(value), "alertValue");
        alert->setValueForKey(Value("Name " + value), "alertName");
        alert->setValueForKey(Value(3), "alertType");
        if (alertID)
            alert->setValueForKey(Value(*alertID), "alertID");
        Ref<NSError> error;
        context()->save(&error);
        return alert;
    }
    std::vector<Ref<KESTAlert>> stored()
    {
        std::vector<Ref<KESTAlert>> alerts;
        Value all = KESTAlertManager::sharedInstance()->alerts();
        for (const auto& element : all.elements())
            alerts.push_back(element.objectAs<KESTAlert>());
        return alerts;
    }

    int notifications = 0;

private:
    FilterTestScope m_filters;
    URLStubs m_stubs;
    Ref<NSObject> m_observer;
};

// The form fields of a multipart body by name (the networking layer orders them by name).
using Fields = std::map<std::string, std::string>;
Fields formFields(const URLStubRecord& record)
{
    Fields fields;
    std::string body(record.body.begin(), record.body.end());
    const std::string marker = "Content-Disposition: form-data; name=\"";
    size_t at = 0;
    while ((at = body.find(marker, at)) != std::string::npos) {
        at += marker.size();
        size_t nameEnd = body.find('"', at);
        size_t valueStart = body.find("\r\n\r\n", nameEnd) + 4;
        size_t valueEnd = body.find("\r\n--", valueStart);
        fields[body.substr(at, nameEnd - at)] = body.substr(valueStart, valueEnd - valueStart);
        at = valueEnd;
    }
    return fields;
}

std::set<std::string> names(const Fields& fields)
{
    std::set<std::string> out;
    for (const auto& field : fields)
        out.insert(field.first);
    return out;
}

TEST(KESTAlertManager, SyncUploadsEveryAlertAndStopsTheFieldsAtAMissingValue)
{
    AlertScope scope;
    auto sync = scope.stub("APNS/sync_user_alerts.php", R"({"ok":1})");
    auto manager = KESTAlertManager::sharedInstance();

    manager->syncAlerts();
    drainAll();
    ASSERT_EQ(sync->requestCount(), 1u);
    EXPECT_TRUE(formFields(sync->requests()[0]).empty()) << "no token: no field at all";

    manager->setStoredDeviceToken("abc123");
    manager->syncAlerts();
    drainAll();
    EXPECT_EQ(names(formFields(sync->requests()[1])), (std::set<std::string> { "devicetoken" }));

    auto alert = scope.addAlert("7700");
    manager->syncAlerts();
    drainAll();
    auto fields = formFields(sync->requests()[2]);
    ASSERT_EQ(names(fields), (std::set<std::string> { "devicetoken", "deviceAlerts", "alertMode" }));
    EXPECT_EQ(fields["devicetoken"], "abc123");
    EXPECT_EQ(fields["alertMode"], "0");
    EXPECT_NE(fields["deviceAlerts"].find('\n'), std::string::npos) << "pretty-printed";
    Value records = NSJSONSerialization::JSONObjectWithData(std::string_view(fields["deviceAlerts"]), 0, nullptr);
    ASSERT_EQ(records.count(), 1u);
    EXPECT_EQ(records[0]["alertuuid"], alert->alertuuid());
    EXPECT_EQ(records[0]["alertuuid"].stringValue().size(), 36u);
    EXPECT_TRUE(records[0]["alertID"].isNull()) << "unset attributes travel as null";
    EXPECT_EQ(records[0].count(), 12u);
    EXPECT_EQ(scope.notifications, 0) << "a reply without alerts changes nothing";
}

TEST(KESTAlertManager, MergesTheServiceListIntoTheStore)
{
    AlertScope scope;
    auto manager = KESTAlertManager::sharedInstance();
    manager->setStoredDeviceToken("abc123");
    auto local = scope.addAlert("7700");
    auto synced = scope.addAlert("A388", 40);
    auto neverSynced = scope.addAlert("BAW");
    std::string uuid = local->alertuuid().stringValue();
    std::string reply = R"({"alerts":[
        {"alertid":"41","alertUUID":")"
        + uuid + R"(","alertvalue":"7700","alerttype":3,"maxlat":180,"minlat":-180,"maxlon":180,"minlon":-180},
        {"alertid":40,"alertUUID":"X","alertvalue":"A38","alerttype":4,"maxlat":52.5,"minlat":51,"maxlon":1,"minlon":-1},
        {"alertUUID":"nobody","alertvalue":"EZY","alerttype":5,"maxlat":180,"minlat":-180,"maxlon":180,"minlon":-180},
        {"alertid":null,"alertUUID":"bad","alertvalue":"N1","alerttype":"x","maxlat":1,"minlat":0,"maxlon":1,"minlon":0},
        {"alertid":50,"alertUUID":"bad2","alertvalue":"N2","alerttype":0,"maxlat":null,"minlat":0,"maxlon":1,"minlon":0},
        7
    ]})";
    scope.stub("APNS/sync_user_alerts.php", reply);
    manager->syncAlerts();
    drainAll();
    EXPECT_EQ(scope.notifications, 1);

    EXPECT_EQ(local->alertID(), Value(41)) << "matched by its identifier";
    EXPECT_EQ(local->alertName(), Value("Name 7700"));
    EXPECT_EQ(local->alertuuid(), Value(uuid));
    EXPECT_EQ(synced->alertValue(), Value("A38")) << "matched by its id";
    EXPECT_EQ(synced->alertType(), Value(4));
    EXPECT_DOUBLE_EQ(synced->alertMaxLat().doubleValue(), 52.5);
    EXPECT_EQ(neverSynced->alertValue(), Value("BAW")) << "an item without id does not match id 0 or nil";
    EXPECT_TRUE(neverSynced->alertID().isNil());

    auto all = scope.stored();
    ASSERT_EQ(all.size(), 4u) << "one new alert; malformed items and non-objects skipped";
    auto added = all[3];
    EXPECT_EQ(added->alertName(), Value("EZY"));
    EXPECT_EQ(added->alertValue(), Value("EZY"));
    EXPECT_EQ(added->alertType(), Value(5));
    EXPECT_NE(added->alertuuid(), Value("nobody"));
    EXPECT_FALSE(scope.context()->hasChanges()) << "merged and saved";
}

TEST(KESTAlertManager, RepliesOfTheWrongShapeOrFailuresChangeNothingQuietly)
{
    struct Case {
        const char* name;
        std::string body;
        int32_t status;
        int notifications;
    };
    const Case cases[] = {
        { "alerts not an array", R"({"alerts":{"a":1}})", 200, 1 },
        { "reply not an object", R"([1,2])", 200, 0 },
        { "empty body", "", 200, 0 },
        { "error status", R"({"response":"bad"})", 400, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AlertScope scope;
        LogCapture log;
        scope.addAlert("7700");
        scope.stub("APNS/sync_user_alerts.php", c.body, c.status);
        KESTAlertManager::sharedInstance()->setStoredDeviceToken("abc");
        KESTAlertManager::sharedInstance()->syncAlerts();
        drainAll();
        EXPECT_EQ(scope.notifications, c.notifications);
        EXPECT_EQ(scope.stored().size(), 1u);
        EXPECT_TRUE(log.messages().empty());
    }
}

TEST(KESTAlertManager, DeleteSendsTheIdAndMerges)
{
    AlertScope scope;
    auto sync = scope.stub("APNS/sync_user_alerts.php", R"({"alerts":[]})");
    auto manager = KESTAlertManager::sharedInstance();
    manager->setStoredDeviceToken("abc");
    manager->deleteAlertWithID(0);
    drainAll();
    auto fields = formFields(sync->requests()[0]);
    EXPECT_EQ(fields, (Fields { { "devicetoken", "abc" }, { "alertID", "0" }, { "alertMode", "1" } }));
    EXPECT_EQ(scope.notifications, 1);
}

TEST(KESTAlertManager, RegistersTheTokenAndReportsAChange)
{
    AlertScope scope;
    LogCapture log;
    auto registration = scope.stub("APNS/apns_new_device.php", R"({"ok":1})");
    auto change = scope.stub("APNS/apns_change_device.php", "", 500);
    auto manager = KESTAlertManager::sharedInstance();
    EXPECT_FALSE(manager->storedDeviceToken());
    struct Step {
        Value token;
        size_t registrations, changes;
        std::string stored;
    };
    const Step steps[] = {
        { Value::data({ 0x0a, 0xff, 0x10, 0x00 }), 1, 0, "0aff1000" }, // first token
        { Value::data({ 0x0a, 0xff, 0x10, 0x00 }), 2, 0, "0aff1000" }, // the same again
        { Value::data({ 0xde, 0xad }), 3, 1, "dead" },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.stored);
        manager->registerDeviceWithServer(step.token);
        drainAll();
        EXPECT_EQ(registration->requestCount(), step.registrations);
        EXPECT_EQ(change->requestCount(), step.changes);
        EXPECT_EQ(manager->storedDeviceToken(), step.stored);
        EXPECT_EQ(NSUserDefaults::standardUserDefaults()->stringForKey("vxDeviceToken").stringValue(), step.stored);
    }
    EXPECT_EQ(formFields(change->requests()[0]),
        (Fields { { "cmd", "change" }, { "oldtoken", "0aff1000" }, { "newtoken", "dead" },
            { "name", NSBundle::mainBundle()->bundleIdentifier().value_or("") } }));
    auto reg = formFields(registration->requests()[2]);
    EXPECT_EQ(
        names(reg), (std::set<std::string> { "cmd", "token", "name", "appversion", "deviceversion", "debugDevice" }));
    EXPECT_EQ(reg["cmd"], "reg");
    EXPECT_EQ(reg["token"], "dead");
    EXPECT_EQ(reg["debugDevice"], "0");
    ASSERT_EQ(log.messages().size(), 1u) << "the failed change report";
    EXPECT_EQ(log.messages()[0].rfind("fail! ", 0), 0u);

    // A new manager starts from the stored token.
    KESTAlertManager::resetSharedInstanceForTesting();
    EXPECT_EQ(KESTAlertManager::sharedInstance()->storedDeviceToken(), "dead");
}

} // namespace
