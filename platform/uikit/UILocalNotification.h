#pragma once

#include "foundation/NSDateComponents.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

class NSTimeZone;

// A notification the application schedules with the system; the host records them.
class UILocalNotification : public NSObject {
    VX_OBJECT(UILocalNotification, NSObject)
public:
    explicit UILocalNotification(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UILocalNotification> init() { return make<UILocalNotification>(); }

    // Seconds since 1970; 0 means now.
    double fireDate() const { return m_fireDate; }
    void setFireDate(double date) { m_fireDate = date; }
    const std::string& alertBody() const { return m_alertBody; }
    void setAlertBody(std::string body) { m_alertBody = std::move(body); }
    const std::string& alertAction() const { return m_alertAction; }
    void setAlertAction(std::string action) { m_alertAction = std::move(action); }
    const std::string& soundName() const { return m_soundName; }
    void setSoundName(std::string name) { m_soundName = std::move(name); }
    int32_t applicationIconBadgeNumber() const { return m_badge; }
    void setApplicationIconBadgeNumber(int32_t badge) { m_badge = badge; }
    const Value& userInfo() const { return m_userInfo; }
    void setUserInfo(Value info) { m_userInfo = std::move(info); }
    // The zone the fire date is read in; nil keeps it an absolute time.
    const Ref<NSTimeZone>& timeZone() const { return m_timeZone; }
    void setTimeZone(Ref<NSTimeZone> zone) { m_timeZone = std::move(zone); }
    // The calendar unit it repeats by; 0 fires once.
    NSCalendarUnit repeatInterval() const { return m_repeatInterval; }
    void setRepeatInterval(NSCalendarUnit unit) { m_repeatInterval = unit; }

private:
    double m_fireDate { 0 };
    std::string m_alertBody;
    std::string m_alertAction;
    std::string m_soundName;
    int32_t m_badge { 0 };
    Value m_userInfo;
    Ref<NSTimeZone> m_timeZone;
    NSCalendarUnit m_repeatInterval { NSCalendarUnit(0) };
};

inline constexpr const char* UILocalNotificationDefaultSoundName = "UILocalNotificationDefaultSoundName";
