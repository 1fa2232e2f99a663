#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <string>
#include <vector>

class UIImage;
class UIViewController;

inline constexpr const char* UIActivityTypePostToFacebook = "UIActivityTypePostToFacebook";
inline constexpr const char* UIActivityTypePostToTwitter = "UIActivityTypePostToTwitter";
inline constexpr const char* UIActivityTypePostToWeibo = "UIActivityTypePostToWeibo";
inline constexpr const char* UIActivityTypeMessage = "UIActivityTypeMessage";
inline constexpr const char* UIActivityTypeMail = "UIActivityTypeMail";
inline constexpr const char* UIActivityTypePrint = "UIActivityTypePrint";
inline constexpr const char* UIActivityTypeCopyToPasteboard = "UIActivityTypeCopyToPasteboard";
inline constexpr const char* UIActivityTypeAssignToContact = "UIActivityTypeAssignToContact";
inline constexpr const char* UIActivityTypeSaveToCameraRoll = "UIActivityTypeSaveToCameraRoll";
inline constexpr const char* UIActivityTypeAddToReadingList = "UIActivityTypeAddToReadingList";
inline constexpr const char* UIActivityTypeAirDrop = "UIActivityTypeAirDrop";

// A service offered by a share sheet. Application activities subclass it: they say whether
// they can act on the items, get the items in prepare, then perform (or show their own
// controller) and call activityDidFinish. Main thread only.
class UIActivity : public NSObject {
    VX_OBJECT(UIActivity, NSObject)
public:
    explicit UIActivity(Passkey key)
        : NSObject(key)
    {
    }

    virtual std::string activityType() const { return className(); }
    virtual std::string activityTitle() const { return {}; }
    virtual Ref<UIImage> activityImage() const { return nullptr; }
    virtual bool canPerformWithActivityItems(const std::vector<Value>&) const { return false; }
    virtual void prepareWithActivityItems(const std::vector<Value>&) { }
    virtual Ref<UIViewController> activityViewController() const { return nullptr; }
    // The default finishes at once, not completed.
    virtual void performActivity() { activityDidFinish(false); }
    // Ends the activity; the share sheet then reports it.
    void activityDidFinish(bool completed);

    // Set by the share sheet while the activity runs.
    void setFinishHandlerInternal(std::function<void(bool)> handler) { m_finish = std::move(handler); }

private:
    std::function<void(bool)> m_finish;
};
