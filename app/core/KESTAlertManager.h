#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <optional>
#include <string>

class NSManagedObjectContext;
class VNHTTPRequestOperationManager;

inline constexpr const char* KESTAlertsSyncNotification = "com.kestravon.volantrix.alerts.sync";

// The flight-alert manager: keeps the device's push token (lower-case hexadecimal text, also
// in the user default "vxDeviceToken"), registers it with the flight-data service, and keeps
// the KESTAlert rows of the main context in step with the service's alert list. Merges run in
// a private-queue child of the main context while the main thread waits, and post
// "com.kestravon.volantrix.alerts.sync" on the main thread. Main thread only.
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
    // A private-queue child of the main context, made on first use; nullptr without a main
    // context.
    Ref<NSManagedObjectContext> alertMOC();
    const Ref<VNHTTPRequestOperationManager>& manager() const { return m_manager; }

    // Every alert of the main context in store order; nil without a context or on a fetch error.
    Value alerts() const;

    // Uploads every alert and merges the service's list; failures are silent.
    void syncAlerts();
    // Asks the service to delete one alert and merges the service's list.
    void deleteAlertWithID(int32_t alertID);
    // Merges the service's alert items into the store: an item updates the alert with its
    // alertid or alertUUID, or becomes a new alert. Items that are not objects or whose numbers
    // are missing or not numeric are skipped; a value that is not an array changes nothing.
    // Saves both contexts and posts the sync notification.
    void updateCoreDataStore(const Value& items);

    // Turns the token into its text; reports a changed token and stores the new one, then
    // registers the device. Both requests are sent without waiting.
    void registerDeviceWithServer(const Value& deviceToken);
    // Reports the change from `oldToken` to `newToken` to the service.
    void changeDeviceTokenOldToken(const std::string& newToken, const std::string& oldToken);

    // The token text last seen; nullopt before the first registration of an installation.
    const std::optional<std::string>& storedDeviceToken() const { return m_storedDeviceToken; }
    void setStoredDeviceToken(std::optional<std::string> token) { m_storedDeviceToken = std::move(token); }
    // The token's bytes as lower-case hexadecimal, two digits per byte.
    static std::string tokenText(const Value& deviceToken);

private:
    void postForm(const std::string& path, const Value& parameters, bool merge);

    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<NSManagedObjectContext> m_alertMOC;
    Ref<VNHTTPRequestOperationManager> m_manager;
    std::optional<std::string> m_storedDeviceToken;
};
