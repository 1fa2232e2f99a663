#include "KESTSettingsViewController.h"

#include "NSBundle.h"

VX_REGISTER_CLASS(KESTSettingsViewController);

Ref<KESTSettingsViewController> KESTSettingsViewController::initWithStyle(UITableViewStyle)
{
    auto controller = makeTableController<KESTSettingsViewController>(UITableViewStyleGrouped);
    controller->setTitle(NSBundle::mainBundle()->localizedStringForKey("Settings", "", ""));
    return controller;
}
