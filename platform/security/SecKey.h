#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "security/SecurityForward.h"

// A public key, kept as its DER SubjectPublicKeyInfo. Two keys are equal when those bytes are,
// which is what pinning compares. Immutable; any thread.
class SecKey : public NSObject {
    VX_OBJECT(SecKey, NSObject)
public:
    SecKey(Passkey key, Value::Bytes spki)
        : NSObject(key)
        , m_spki(std::move(spki))
    {
    }
    static Ref<SecKey> createWithSubjectPublicKeyInfo(Value::Bytes spki);
    const Value::Bytes& subjectPublicKeyInfo() const { return m_spki; }

    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;

private:
    Value::Bytes m_spki;
};
