#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <mutex>
#include <string>

// The user's preferences: a persistent domain kept in a binary property list at
// "<sandbox>/Library/Preferences/<name>.plist" (the main bundle's identifier for the standard
// defaults, the suite name otherwise), in front of a registration domain that registerDefaults
// fills and that is never saved. Changes are held in memory and written atomically by
// synchronize(). Values must be property lists; setting anything else raises
// "NSInvalidArgumentException". Any thread.
class NSUserDefaults : public NSObject {
    VX_OBJECT(NSUserDefaults, NSObject)
public:
    NSUserDefaults(Passkey key, std::string domainName);

    static Ref<NSUserDefaults> standardUserDefaults();
    // Drops the shared instances (standard and suites), so the next use reads the files again.
    static void resetStandardUserDefaults();
    // Defaults kept under another name, one shared instance per name; an empty name (or one that
    // is not a plain file name) answers the standard defaults.
    static Ref<NSUserDefaults> initWithSuiteName(const std::string& suiteName);

    // Called after every change made through any instance (set, remove), outside the
    // instance's lock, on the changing thread, before "NSUserDefaultsDidChangeNotification" is
    // posted with the changed defaults as its object.
    using ChangeHook = std::function<void(const Ref<NSUserDefaults>& defaults)>;
    static void setChangeHook(ChangeHook hook);

    Value objectForKey(const std::string& key) const;
    // A nil value removes the key.
    void setObjectForKey(const Value& value, const std::string& key);
    void removeObjectForKey(const std::string& key);

    // Numbers convert; strings are read by their leading number ("YES"/"true" and non-zero
    // numbers read as true for boolForKey); anything else, and absent keys, read as 0 / NO.
    NSInteger integerForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    float floatForKey(const std::string& key) const;
    // Strings as they are, numbers as their text; nil otherwise.
    Value stringForKey(const std::string& key) const;
    // The value when it has that type, else nil.
    Value arrayForKey(const std::string& key) const;
    Value dictionaryForKey(const std::string& key) const;
    Value dataForKey(const std::string& key) const;

    void setInteger(NSInteger value, const std::string& key) { setObjectForKey(Value(value), key); }
    void setBool(bool value, const std::string& key) { setObjectForKey(Value(value), key); }
    void setDouble(double value, const std::string& key) { setObjectForKey(Value(value), key); }
    void setFloat(float value, const std::string& key) { setObjectForKey(Value(value), key); }

    // Adds to the registration domain (later registrations replace earlier ones per key).
    void registerDefaults(const Value& dictionary);
    // Persistent values over registered ones.
    Value dictionaryRepresentation() const;
    // Writes pending changes; answers NO when the file could not be written (the changes stay
    // pending and are written by the next call).
    bool synchronize();

    // The file this instance reads and writes.
    std::string persistentDomainPath() const;

private:
    void loadIfNeeded() const;
    void changed();

    std::string m_domainName;
    mutable std::mutex m_lock;
    mutable bool m_loaded { false };
    mutable Value m_persistent;
    Value m_registration;
    bool m_dirty { false };
};

inline constexpr const char* NSUserDefaultsDidChangeNotification = "NSUserDefaultsDidChangeNotification";
