#include "security/SecCertificate.h"

#include <functional>
#include <string_view>

#include <openssl/x509.h>

VX_REGISTER_CLASS(SecCertificate);

namespace {

struct X509Deleter {
    void operator()(X509* x) const { X509_free(x); }
};

std::unique_ptr<X509, X509Deleter> parse(const Value::Bytes& der)
{
    const unsigned char* p = der.data();
    std::unique_ptr<X509, X509Deleter> cert(d2i_X509(nullptr, &p, long(der.size())));
    if (cert && p != der.data() + der.size())
        return nullptr;
    return cert;
}

} // namespace

Ref<SecCertificate> SecCertificate::createWithDER(const Value::Bytes& der)
{
    if (der.empty() || !parse(der))
        return nullptr;
    return make<SecCertificate>(der);
}

std::string SecCertificate::subjectSummary() const
{
    auto cert = parse(m_der);
    if (!cert)
        return "";
    char name[256] = {};
    int length = X509_NAME_get_text_by_NID(X509_get_subject_name(cert.get()), NID_commonName, name, sizeof(name));
    return length > 0 ? std::string(name, size_t(length)) : std::string();
}

bool SecCertificate::isEqual(const NSObject* other) const
{
    auto cert = dynamic_cast<const SecCertificate*>(other);
    return cert && cert->m_der == m_der;
}

size_t SecCertificate::hash() const
{
    return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(m_der.data()), m_der.size()));
}

std::string SecCertificate::description() const
{
    return "<cert(" + subjectSummary() + ")>";
}

SecCertificateRef SecCertificateCreateWithData(const Value& data)
{
    if (!data.isData())
        return nullptr;
    return SecCertificate::createWithDER(data.bytes());
}

Value SecCertificateCopyData(const SecCertificateRef& certificate)
{
    if (!certificate)
        return Value();
    return Value::data(certificate->der());
}

std::string SecCertificateCopySubjectSummary(const SecCertificateRef& certificate)
{
    return certificate ? certificate->subjectSummary() : std::string();
}
