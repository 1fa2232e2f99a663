#pragma once

#include "foundation/Value.h"

#include <string>

// A certificate and its private key, as PEM text and the certificate as DER.
struct TestIdentity {
    std::string certificatePEM;
    std::string privateKeyPEM;
    Value::Bytes certificateDER;
};

// A test certificate authority and leaves it signs, made with fresh keys when constructed
// (nothing is committed). Validity is counted from `now` (the process clock's time by default),
// so evaluations under a virtual clock see them as current. Any thread once made.
class TestCertificates {
public:
    explicit TestCertificates(double now = -1);

    const TestIdentity& authority() const { return m_authority; }
    // Signed by the authority, for "localhost" and 127.0.0.1.
    const TestIdentity& localhost() const { return m_localhost; }
    // Signed by the authority, for "wrong.example" only.
    const TestIdentity& wrongHost() const { return m_wrongHost; }
    // Signed by the authority for localhost, but expired a day before `now`.
    const TestIdentity& expired() const { return m_expired; }
    // Self-signed for localhost.
    const TestIdentity& selfSigned() const { return m_selfSigned; }

private:
    TestIdentity m_authority;
    TestIdentity m_localhost;
    TestIdentity m_wrongHost;
    TestIdentity m_expired;
    TestIdentity m_selfSigned;
};
