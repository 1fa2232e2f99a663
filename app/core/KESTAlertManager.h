#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

class NSManagedObjectContext;

// The flight-alert manager: keeps the push token and the user's flight alerts in step with the
// alert service. The device token is kept as text (lower-case hexadecimal) in the user default
// "vxDeviceToken". The requests to the alert service come with the filters and alerts
// subsystem; until then each request is recorded (not sent) so callers and tests can see what
// would go out. Main thread only.
class KESTAlertManager : public NSObject {
    VX_OBJECT(KESTAlertManager, NSObject)
public:
    explicit KESTAlertManager(Passkey);

    static Ref<KESTAlertManager> sharedInstance();
    // Test-only: the next sharedInstance() is a new manager.
    static void resetSharedInstanceForTesting();

    // The application's main context, kept strongly.
    void setManagedObjectContext(Ref<NSManagedObjectContext> context);
    Ref<NSManagedObjectContext> managedObjectContext() const;

    // Sends the stored alerts to the alert service and merges its list, asynchronously.
    void syncAlerts();
    // Turns the token into its text; reports a changed token and stores the new one, then
    // registers the device, asynchronously.
    void registerDeviceWithServer(const Value& deviceToken);

    // The stored token text; nullopt before the first registration of an installation.
    std::optional<std::string> storedDeviceToken() const;
    // The token's bytes as lower-case hexadecimal, two digits per byte.
    static std::string tokenText(const Value& deviceToken);

    // A request to the alert service: its path and its form fields, in order.
    struct Request {
        std::string path;
        std::vector<std::pair<std::string, std::string>> fields;
    };
    std::vector<Request> recordedRequests() const;

private:
    void record(Request request);

    mutable std::mutex m_lock;
    Ref<NSManagedObjectContext> m_managedObjectContext;
    std::vector<Request> m_requests;
};
