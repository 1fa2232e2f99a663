#include "foundation/NSNotification.h"

NSNotification::NSNotification(Passkey key, std::string name, Ref<NSObject> object, Value userInfo)
    : NSObject(key)
    , m_name(std::move(name))
    , m_object(std::move(object))
    , m_userInfo(std::move(userInfo))
{
}

Ref<NSNotification> NSNotification::notificationWithNameObject(std::string name, Ref<NSObject> object)
{
    return make<NSNotification>(std::move(name), std::move(object), Value());
}

Ref<NSNotification> NSNotification::notificationWithNameObjectUserInfo(
    std::string name, Ref<NSObject> object, Value userInfo)
{
    return make<NSNotification>(std::move(name), std::move(object), std::move(userInfo));
}

std::string NSNotification::description() const
{
    std::string text
        = "NSConcreteNotification " + m_name + " object = " + (m_object ? m_object->description() : "(null)");
    if (!m_userInfo.isNil())
        text += " userInfo = " + m_userInfo.description();
    return text;
}

VX_REGISTER_CLASS(NSNotification);
