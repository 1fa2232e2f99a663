#include "foundation/NSError.h"

#include "foundation/NSCoder.h"
#include "foundation/NSString.h"

NSError::NSError(Passkey key, std::string domain, int32_t code, Value userInfo)
    : NSObject(key)
    , m_domain(std::move(domain))
    , m_code(code)
    , m_userInfo(userInfo.isDictionary() ? userInfo.copy() : Value::dictionary())
{
}

Ref<NSError> NSError::errorWithDomain(std::string domain, int32_t code, Value userInfo)
{
    return make<NSError>(std::move(domain), code, std::move(userInfo));
}

std::string NSError::localizedDescription() const
{
    const Value& text = m_userInfo[NSLocalizedDescriptionKey];
    if (text.isString())
        return text.string();
    return NSString::stringWithFormat("The operation couldn\u2019t be completed. (%@ error %d.)", m_domain, m_code);
}

std::string NSError::localizedFailureReason() const
{
    return m_userInfo[NSLocalizedFailureReasonErrorKey].string();
}

std::string NSError::localizedRecoverySuggestion() const
{
    return m_userInfo[NSLocalizedRecoverySuggestionErrorKey].string();
}

std::string NSError::description() const
{
    // "Error Domain=<domain> Code=<code> "<text>" UserInfo={key=value, ...}": the text is the
    // localized description, else the debug description, else "(null)"; the user info part is
    // left out when empty. An underlying error prints as "{Error Domain=...}".
    std::string text = "(null)";
    if (m_userInfo[NSLocalizedDescriptionKey].isString())
        text = m_userInfo[NSLocalizedDescriptionKey].string();
    else if (m_userInfo[NSDebugDescriptionErrorKey].isString())
        text = m_userInfo[NSDebugDescriptionErrorKey].string();
    std::string out = "Error Domain=" + m_domain + " Code=" + std::to_string(m_code) + " \"" + text + "\"";
    if (m_userInfo.count() == 0)
        return out;
    out += " UserInfo={";
    bool first = true;
    for (const auto& [key, value] : m_userInfo.entries()) {
        if (!first)
            out += ", ";
        first = false;
        out += key.description() + "=";
        if (auto underlying = value.objectAs<NSError>())
            out += "{" + underlying->description() + "}";
        else
            out += value.description();
    }
    return out + "}";
}

Ref<NSError> NSError::underlyingError() const
{
    return m_userInfo[NSUnderlyingErrorKey].objectAs<NSError>();
}

bool NSError::isEqual(const NSObject* other) const
{
    auto* error = dynamic_cast<const NSError*>(other);
    return error && error->m_domain == m_domain && error->m_code == m_code && error->m_userInfo.isEqual(m_userInfo);
}

Value NSError::valueForKey(const std::string& key)
{
    if (key == "domain")
        return m_domain;
    if (key == "code")
        return m_code;
    if (key == "userInfo")
        return m_userInfo;
    if (key == "localizedDescription")
        return localizedDescription();
    return NSObject::valueForKey(key);
}

void NSError::encodeWithCoder(NSCoder& coder)
{
    coder.encodeIntForKey(m_code, "NSCode");
    coder.encodeObjectForKey(Value(m_domain), "NSDomain");
    if (m_userInfo.count())
        coder.encodeObjectForKey(m_userInfo, "NSUserInfo");
}

Ref<NSError> NSError::initWithCoder(NSCoder& coder)
{
    int32_t code = coder.decodeIntForKey("NSCode");
    Value domain = coder.decodeObjectOfClassForKey(Value::stringClass(), "NSDomain");
    // The user info may hold anything the archive's reader allows.
    Value userInfo = coder.decodeObjectForKey("NSUserInfo");
    if (!domain.isString())
        return nullptr;
    return errorWithDomain(domain.string(), code, userInfo.isDictionary() ? userInfo : Value());
}

VX_REGISTER_CODING_CLASS(NSError);
