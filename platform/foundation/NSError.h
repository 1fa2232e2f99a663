#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

// An error with a domain, a code and a user-info dictionary, as the platform reports them.
// Immutable; any thread.
//
// Failing calls across the foundation report errors through a nullable out-parameter,
// `Ref<NSError>* error`: on failure, when the caller passed a slot, the error is stored there;
// on success the slot is left as it was (callers may keep an earlier error in it).
class NSError : public NSObject, public NSCoding {
    VX_OBJECT(NSError, NSObject)
public:
    NSError(Passkey, std::string domain, int32_t code, Value userInfo);

    static Ref<NSError> errorWithDomain(std::string domain, int32_t code, Value userInfo = {});
    // Archived as "NSCode", "NSDomain" and "NSUserInfo"; nullptr without a domain.
    static Ref<NSError> initWithCoder(NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) override;

    const std::string& domain() const { return m_domain; }
    int32_t code() const { return m_code; }
    // Always a dictionary (empty when made without one).
    const Value& userInfo() const { return m_userInfo; }

    // "NSLocalizedDescription" when present, else "The operation couldn't be completed.
    // (<domain> error <code>.)".
    std::string localizedDescription() const;
    std::string localizedFailureReason() const;
    std::string localizedRecoverySuggestion() const;

    // The error under NSUnderlyingErrorKey, or nullptr.
    Ref<NSError> underlyingError() const;

    // "Error Domain=NSCocoaErrorDomain Code=3840 "No value." UserInfo={NSDebugDescription=No value.}".
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    Value valueForKey(const std::string& key) override;

private:
    std::string m_domain;
    int32_t m_code;
    Value m_userInfo;
};

inline constexpr const char* NSCocoaErrorDomain = "NSCocoaErrorDomain";
inline constexpr const char* NSPOSIXErrorDomain = "NSPOSIXErrorDomain";
inline constexpr const char* NSMachErrorDomain = "NSMachErrorDomain";
inline constexpr const char* NSLocalizedDescriptionKey = "NSLocalizedDescription";
inline constexpr const char* NSLocalizedFailureReasonErrorKey = "NSLocalizedFailureReason";
inline constexpr const char* NSLocalizedRecoverySuggestionErrorKey = "NSLocalizedRecoverySuggestion";
inline constexpr const char* NSUnderlyingErrorKey = "NSUnderlyingError";
inline constexpr const char* NSFilePathErrorKey = "NSFilePath";
inline constexpr const char* NSDebugDescriptionErrorKey = "NSDebugDescription";
