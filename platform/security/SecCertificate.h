#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "security/SecurityForward.h"

#include <string>

// An X.509 certificate, kept as its DER bytes. Immutable; any thread.
class SecCertificate : public NSObject {
    VX_OBJECT(SecCertificate, NSObject)
public:
    SecCertificate(Passkey key, Value::Bytes der)
        : NSObject(key)
        , m_der(std::move(der))
    {
    }

    // nullptr unless the bytes are one well-formed DER certificate.
    static Ref<SecCertificate> createWithDER(const Value::Bytes& der);
    const Value::Bytes& der() const { return m_der; }
    // The subject's common name ("" when it has none).
    std::string subjectSummary() const;

    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    std::string description() const override;

private:
    Value::Bytes m_der;
};

SecCertificateRef SecCertificateCreateWithData(const Value& data);
Value SecCertificateCopyData(const SecCertificateRef& certificate);
std::string SecCertificateCopySubjectSummary(const SecCertificateRef& certificate);
