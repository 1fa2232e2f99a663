#pragma once

#include "app/core/KESTAlert.h"
#include "app/core/KESTAlertManager.h"
#include "app/tests/filters/FilterTestSupport.h"
#include "testing/URLStubs.h"

// The filter test scope's main context handed to a fresh alert manager, with the service's
// alert endpoint stubbed (an empty list unless a test answers otherwise).
class AlertScreenScope {
public:
    AlertScreenScope()
    {
        KESTAlertManager::resetSharedInstanceForTesting();
        KESTAlertManager::sharedInstance()->setManagedObjectContext(filters.context());
        KESTAlertManager::sharedInstance()->setStoredDeviceToken("feedbeef");
    }
    ~AlertScreenScope()
    {
        drainAll();
        KESTAlertManager::resetSharedInstanceForTesting();
    }
    const Ref<NSManagedObjectContext>& context() const { return filters.context(); }
    Ref<URLStub> stub(const std::string& pathAndQuery, const std::string& body, bool prefix = false)
    {
        URLStubSpec spec;
        spec.url = "http://feed.invalid/" + pathAndQuery;
        spec.matchPrefix = prefix;
        spec.body = body;
        spec.headers = { { "Content-Type", "application/json" } };
        return stubs.add(spec);
    }
    Ref<KESTAlert> addAlert(const std::string& name, int32_t type, std::optional<int32_t> alertID = std::nullopt,
        double maxLat = 180, double minLat = -180, double maxLon = 180, double minLon = -180)
    {
        auto alert = KESTAlert::insertInManagedObjectContext(context());
        alert->setValueForKey(Value(name), "alertName");
        alert->setValueForKey(Value(name), "alertValue");
        alert->setValueForKey(Value(type), "alertType");
        if (alertID)
            alert->setValueForKey(Value(*alertID), "alertID");
        alert->setValueForKey(Value(maxLat), "alertMaxLat");
        alert->setValueForKey(Value(minLat), "alertMinLat");
        alert->setValueForKey(Value(maxLon), "alertMaxLon");
        alert->setValueForKey(Value(minLon), "alertMinLon");
        context()->save(nullptr);
        return alert;
    }

    FilterTestScope filters;
    URLStubs stubs;
};
