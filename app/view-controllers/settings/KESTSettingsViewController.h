#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"
#include "services/MFMailComposeViewController.h"

class UIControl;

// The settings screen (title "Settings"): switches, segmented controls and a stepper, each of
// which writes one setting of the settings manager when changed (the map and the other screens
// follow its notification), and a help section that mails support, opens the help page, the
// account menu and the legal page. Main thread only.
class KESTSettingsViewController : public KESTBaseTableViewController, public MFMailComposeViewControllerDelegate {
    VX_OBJECT(KESTSettingsViewController, KESTBaseTableViewController)
public:
    explicit KESTSettingsViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    // The style argument is not used.
    static Ref<KESTSettingsViewController> initWithStyle(UITableViewStyle style);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 6; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) override;
    std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, int32_t section) override;
    std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>&, int32_t) override { return 35; }
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(
        const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(
        const Ref<UITableView>& tableView, const Ref<NSIndexPath>& indexPath) override;

    // The controls' actions: each writes its own setting.
    void mapProviderSettingChanged(const Ref<NSObject>& sender);
    void mapTypeSettingChanged(const Ref<NSObject>& sender);
    void screenSleepSettingChanged(const Ref<NSObject>& sender);
    void showLabelsSettingChanged(const Ref<NSObject>& sender);
    void labelDataSettingChanged(const Ref<NSObject>& sender);
    void movePlanesSettingChanged(const Ref<NSObject>& sender);
    void showFAASettingChanged(const Ref<NSObject>& sender);
    void showFlightPathsSettingChanged(const Ref<NSObject>& sender);
    void followPlaneSettingChanged(const Ref<NSObject>& sender);
    void showAirportsSettingChanged(const Ref<NSObject>& sender);
    void planeColourSettingChanged(const Ref<NSObject>& sender);
    void speedUnitSettingChanged(const Ref<NSObject>& sender);
    void altitudeUnitSettingChanged(const Ref<NSObject>& sender);
    void distanceUnitSettingChanged(const Ref<NSObject>& sender);
    void icaoTypeSettingChanged(const Ref<NSObject>& sender);
    void arRangeSettingChanged(const Ref<NSObject>& sender);

    void emailSupport();
    // The help page's address for the preferred languages ("en" when there are none).
    static std::string helpURL();
    void mailComposeControllerDidFinishWithResultError(
        const Ref<MFMailComposeViewController>& controller, MFMailComposeResult result, const Ref<NSError>&) override;
};
