#include "app/view-controllers/settings/KESTSettingsViewController.h"

#include "foundation/NSBundle.h"

VX_REGISTER_CLASS(KESTSettingsViewController);

Ref<KESTSettingsViewController> KESTSettingsViewController::initWithStyle(UITableViewStyle)
{
    auto controller = makeTableController<KESTSettingsViewController>(UITableViewStyleGrouped);
    controller->setTitle(NSBundle::mainBundle()->localizedStringForKey("Settings", "", ""));
    return controller;
}
