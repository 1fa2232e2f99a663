#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"

// The settings screen (title "Settings"). Its sections and rows come with the accounts, menu and
// settings subsystem; for now it is an empty grouped table. Main thread only.
class KESTSettingsViewController : public KESTBaseTableViewController {
    VX_OBJECT(KESTSettingsViewController, KESTBaseTableViewController)
public:
    explicit KESTSettingsViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    // The style argument is not used: the screen is always grouped.
    static Ref<KESTSettingsViewController> initWithStyle(UITableViewStyle style);
};
