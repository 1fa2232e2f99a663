#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

// A posted notification: a name, the object that posted it (may be null) and extra data.
// Immutable; any thread.
class NSNotification : public NSObject {
    VX_OBJECT(NSNotification, NSObject)

public:
    NSNotification(Passkey key, std::string name, Ref<NSObject> object, Value userInfo);
    static Ref<NSNotification> notificationWithNameObject(std::string name, Ref<NSObject> object);
    static Ref<NSNotification> notificationWithNameObjectUserInfo(
        std::string name, Ref<NSObject> object, Value userInfo);

    const std::string& name() const { return m_name; }
    const Ref<NSObject>& object() const { return m_object; }
    const Value& userInfo() const { return m_userInfo; }

    std::string description() const override;

private:
    const std::string m_name;
    const Ref<NSObject> m_object;
    const Value m_userInfo;
};
