#pragma once

#include "foundation/NSObject.h"

#include <string>

enum UIDeviceOrientation : int32_t {
    UIDeviceOrientationUnknown = 0,
    UIDeviceOrientationPortrait = 1,
    UIDeviceOrientationPortraitUpsideDown = 2,
    UIDeviceOrientationLandscapeLeft = 3,
    UIDeviceOrientationLandscapeRight = 4,
    UIDeviceOrientationFaceUp = 5,
    UIDeviceOrientationFaceDown = 6,
};

enum UIUserInterfaceIdiom : int32_t {
    UIUserInterfaceIdiomUnspecified = -1,
    UIUserInterfaceIdiomPhone = 0,
    UIUserInterfaceIdiomPad = 1,
};

inline constexpr const char* UIDeviceOrientationDidChangeNotification = "UIDeviceOrientationDidChangeNotification";

// The device: a tablet running system version "7.1" by default. Every answer is a host
// setting. Orientation changes are posted as notifications only while someone has asked for
// them (begin/end calls nest). Main thread only.
class UIDevice : public NSObject {
    VX_OBJECT(UIDevice, NSObject)
public:
    explicit UIDevice(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UIDevice> currentDevice();

    const std::string& name() const { return m_name; }
    const std::string& model() const { return m_model; }
    const std::string& localizedModel() const { return m_model; }
    const std::string& systemName() const { return m_systemName; }
    const std::string& systemVersion() const { return m_systemVersion; }
    UIUserInterfaceIdiom userInterfaceIdiom() const { return m_idiom; }
    UIDeviceOrientation orientation() const { return m_orientation; }
    bool isGeneratingDeviceOrientationNotifications() const { return m_orientationRequests > 0; }
    void beginGeneratingDeviceOrientationNotifications() { ++m_orientationRequests; }
    void endGeneratingDeviceOrientationNotifications();
    bool isMultitaskingSupported() const { return true; }

    // Host settings.
    void setName(std::string v) { m_name = std::move(v); }
    void setModel(std::string v) { m_model = std::move(v); }
    void setSystemName(std::string v) { m_systemName = std::move(v); }
    void setSystemVersion(std::string v) { m_systemVersion = std::move(v); }
    void setUserInterfaceIdiom(UIUserInterfaceIdiom idiom) { m_idiom = idiom; }
    // Changes the orientation and, when it changed and notifications are on, posts
    // UIDeviceOrientationDidChangeNotification.
    void setOrientation(UIDeviceOrientation orientation);
    static void resetForTesting();

    Value valueForKey(const std::string& key) override;

private:
    std::string m_name { "iPad" };
    std::string m_model { "iPad" };
    std::string m_systemName { "iOS" };
    std::string m_systemVersion { "7.1" };
    UIUserInterfaceIdiom m_idiom { UIUserInterfaceIdiomPad };
    UIDeviceOrientation m_orientation { UIDeviceOrientationPortrait };
    int m_orientationRequests { 0 };
};

// The platform's idiom macro.
inline UIUserInterfaceIdiom UI_USER_INTERFACE_IDIOM()
{
    return UIDevice::currentDevice()->userInterfaceIdiom();
}
