#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <optional>
#include <string>

class NSError;
class UIViewController;
class VNHTTPRequestOperation;
class VNHTTPRequestOperationManager;

// The client of the maker's account service ("Kestravon ID"). Every action is one form-encoded
// POST of "v1.php" under "<service>auth/api/" carrying a description of the device; any 2xx
// reply is success. The signed-in account is the e-mail under the user default "vxIDEmail" with
// its password in the keychain (service "vxID"). It also makes a throw-away temporary account,
// signs in silently with the stored credentials and presents the account screens over any
// screen. Main thread only; request callbacks arrive on the main queue.
class KESTAuthManager : public NSObject {
    VX_OBJECT(KESTAuthManager, NSObject)
public:
    explicit KESTAuthManager(Passkey key)
        : NSObject(key)
    {
    }
    using Callback = std::function<void()>;
    using Completion = Callback;
    using Failure = Callback;
    using SuccessBlock = std::function<void(const Ref<VNHTTPRequestOperation>&, const Value& responseObject)>;
    using FailureBlock = std::function<void(const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&)>;
    // Makes an account screen opened with the two callbacks. The account screens install them
    // when the program starts, so the client needs no view of its own.
    using ScreenFactory = std::function<Ref<UIViewController>(Completion, Failure)>;

    static constexpr const char* kEmailDefaultsKey = "vxIDEmail";
    static constexpr const char* kKeychainService = "vxID";

    static Ref<KESTAuthManager> sharedInstance();
    // Test-only: the next sharedInstance() is a new client (for a new service address).
    static void resetSharedInstanceForTesting();
    static void setMenuFactory(ScreenFactory factory);
    static void setLoginFactory(ScreenFactory factory);

    const Ref<VNHTTPRequestOperationManager>& manager() const { return m_manager; }

    // Adds the device description (its values win over the caller's) and POSTs the form.
    void performRequestSuccessFailure(const Value& parameters, SuccessBlock success, FailureBlock failure);
    Value deviceInfo() const;
    void createTempAccountWithCompletionFailure(Callback completion, Callback failure);
    void authenticateInControllerTempAccountAcceptableCompletionFailure(
        const Ref<UIViewController>& controller, bool tempAccountAcceptable, Callback completion, Callback failure);
    // Presents, animated, a navigation controller (current-context style) whose root is the
    // account menu (or the login screen) made with the two callbacks (either may be null).
    void presentManagerInControllerCompletionFailure(
        const Ref<UIViewController>& controller, Callback completion, Callback failure);
    void presentLoginInControllerCompletionFailure(
        const Ref<UIViewController>& controller, Callback completion, Callback failure);

    bool storeUserCredentials(const Value& credentials);
    void removeStoredCredentials();
    std::optional<std::string> storedEmail() const;
    // The stored e-mail and its keychain password (a temporary account counts).
    bool hasStoredCredentials() const;
    // A stored e-mail that is not this device's temporary account; the keychain is not asked.
    bool hasValidStoredCredentials() const;
    static std::string randomStringWithLength(uint32_t length);

private:
    void present(
        const ScreenFactory& factory, const Ref<UIViewController>& controller, Callback completion, Callback failure);

    Ref<VNHTTPRequestOperationManager> m_manager;
};
