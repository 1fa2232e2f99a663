#include "security/SecKey.h"

#include <functional>
#include <string_view>

VX_REGISTER_CLASS(SecKey);

Ref<SecKey> SecKey::createWithSubjectPublicKeyInfo(Value::Bytes spki)
{
    if (spki.empty())
        return nullptr;
    return make<SecKey>(std::move(spki));
}

bool SecKey::isEqual(const NSObject* other) const
{
    auto key = dynamic_cast<const SecKey*>(other);
    return key && key->m_spki == m_spki;
}

size_t SecKey::hash() const
{
    return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(m_spki.data()), m_spki.size()));
}
