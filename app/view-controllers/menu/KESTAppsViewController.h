#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"

// The list of the maker's other applications. Its rows (from the service's app list) come with
// the accounts, menu and settings subsystem; for now it is an empty table. Main thread only.
class KESTAppsViewController : public KESTBaseTableViewController {
    VX_OBJECT(KESTAppsViewController, KESTBaseTableViewController)
public:
    explicit KESTAppsViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTAppsViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<KESTAppsViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeTableController<KESTAppsViewController>(UITableViewStylePlain, nibName, bundle);
    }
};
