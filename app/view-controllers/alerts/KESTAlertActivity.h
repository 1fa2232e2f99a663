#pragma once

#include "uikit/UIActivity.h"

#include <string>

class NSManagedObjectContext;

// The "Add Alert" entry of a plane's share sheet: offered for any items, it opens the alert
// editor as the root of its own navigation controller with the plane's hex address filled in
// and the "Hex" type chosen. The editor finishes the activity (with success) when it closes.
// Main thread only.
class KESTAlertActivity : public UIActivity {
    VX_OBJECT(KESTAlertActivity, UIActivity)
public:
    explicit KESTAlertActivity(Passkey key)
        : UIActivity(key)
    {
    }
    static Ref<KESTAlertActivity> init() { return make<KESTAlertActivity>(); }

    std::string activityType() const override { return "com.kestravon.addalert.activity"; }
    std::string activityTitle() const override { return "Add Alert"; }
    Ref<UIImage> activityImage() const override;
    bool canPerformWithActivityItems(const std::vector<Value>&) const override { return true; }
    void prepareWithActivityItems(const std::vector<Value>&) override { }
    // A new navigation controller around a new editor each time it is asked.
    Ref<UIViewController> activityViewController() const override;
    void performActivity() override { }

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const std::string& hexCode() const { return m_hexCode; }
    void setHexCode(std::string hex) { m_hexCode = std::move(hex); }

private:
    Ref<NSManagedObjectContext> m_managedObjectContext;
    std::string m_hexCode;
};
