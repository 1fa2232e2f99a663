#include "testing/TestCertificates.h"

#include "foundation/Clock.h"

#include <memory>
#include <stdexcept>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;

KeyPtr newKey()
{
    // EC keys are quick to make, so every test run can use fresh ones.
    return KeyPtr(EVP_EC_gen("prime256v1"), EVP_PKEY_free);
}

std::string toPEM(X509* cert)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    PEM_write_bio_X509(bio.get(), cert);
    char* data = nullptr;
    long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, size_t(length));
}

std::string toPEM(EVP_PKEY* key)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr);
    char* data = nullptr;
    long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, size_t(length));
}

void addExtension(X509* cert, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    if (X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value)) {
        X509_add_ext(cert, extension, -1);
        X509_EXTENSION_free(extension);
    }
}

struct Made {
    CertPtr cert { nullptr, X509_free };
    KeyPtr key { nullptr, EVP_PKEY_free };
};

Made make(const std::string& commonName, const char* subjectAltName, bool isAuthority, double notBefore,
    double notAfter, X509* issuerCert, EVP_PKEY* issuerKey, long serial)
{
    Made made;
    made.key = newKey();
    made.cert.reset(X509_new());
    X509* cert = made.cert.get();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
    ASN1_TIME_set(X509_getm_notBefore(cert), time_t(notBefore));
    ASN1_TIME_set(X509_getm_notAfter(cert), time_t(notAfter));
    X509_set_pubkey(cert, made.key.get());
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(
        name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Volantrix Test"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(
        name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
    X509* issuer = issuerCert ? issuerCert : cert;
    X509_set_issuer_name(cert, X509_get_subject_name(issuer));
    addExtension(cert, issuer, NID_subject_key_identifier, "hash");
    if (issuerCert)
        addExtension(cert, issuer, NID_authority_key_identifier, "keyid:always");
    if (isAuthority) {
        addExtension(cert, issuer, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(cert, issuer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        addExtension(cert, issuer, NID_basic_constraints, "critical,CA:FALSE");
        addExtension(cert, issuer, NID_ext_key_usage, "serverAuth");
        if (subjectAltName)
            addExtension(cert, issuer, NID_subject_alt_name, subjectAltName);
    }
    X509_sign(cert, issuerKey ? issuerKey : made.key.get(), EVP_sha256());
    return made;
}

TestIdentity identity(const Made& made)
{
    TestIdentity identity;
    identity.certificatePEM = toPEM(made.cert.get());
    identity.privateKeyPEM = toPEM(made.key.get());
    unsigned char* der = nullptr;
    int length = i2d_X509(made.cert.get(), &der);
    identity.certificateDER.assign(der, der + length);
    OPENSSL_free(der);
    return identity;
}

} // namespace

TestCertificates::TestCertificates(double now)
{
    if (now < 0)
        now = Clock::wallTime();
    constexpr double day = 86400;
    auto authority
        = make("Volantrix Test Authority", nullptr, true, now - 365 * day, now + 3650 * day, nullptr, nullptr, 1);
    auto localhost = make("localhost", "DNS:localhost,IP:127.0.0.1", false, now - day, now + 365 * day,
        authority.cert.get(), authority.key.get(), 2);
    auto wrongHost = make("wrong.example", "DNS:wrong.example", false, now - day, now + 365 * day, authority.cert.get(),
        authority.key.get(), 3);
    auto expired = make("localhost", "DNS:localhost,IP:127.0.0.1", false, now - 30 * day, now - day,
        authority.cert.get(), authority.key.get(), 4);
    auto selfSigned
        = make("localhost", "DNS:localhost,IP:127.0.0.1", false, now - day, now + 365 * day, nullptr, nullptr, 5);
    m_authority = identity(authority);
    m_localhost = identity(localhost);
    m_wrongHost = identity(wrongHost);
    m_expired = identity(expired);
    m_selfSigned = identity(selfSigned);
}
