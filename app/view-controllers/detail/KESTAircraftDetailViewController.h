#pragma once

#include "app/view-controllers/detail/KESTDetailBaseViewController.h"

// The third tab of the plane detail screen: the airframe. The type drawing, manufacturer,
// model, engines and age with the button to the aircraft's past flights, the dates of its first
// flight, registration, rollout and delivery, its numbers and series, registration and hex
// address, home airfield, airline and owner. Main thread only.
class KESTAircraftDetailViewController : public KESTDetailBaseViewController {
    VX_OBJECT(KESTAircraftDetailViewController, KESTDetailBaseViewController)
public:
    explicit KESTAircraftDetailViewController(Passkey key)
        : KESTDetailBaseViewController(key)
    {
    }
    static Ref<KESTAircraftDetailViewController> initWithStyle(UITableViewStyle style);

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    // Pushes the aircraft's past flights onto the popover's navigation controller.
    void showHistory();

    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 1; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return 8; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

private:
    // The metadata's "aircraft" text under the key, when present and not empty.
    std::optional<std::string> recordField(const char* key) const;
};
