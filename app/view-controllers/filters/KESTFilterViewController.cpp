#include "app/view-controllers/filters/KESTFilterViewController.h"

#include "foundation/NSBundle.h"

VX_REGISTER_CLASS(KESTFilterViewController);

Ref<KESTFilterViewController> KESTFilterViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    auto controller = makeTableController<KESTFilterViewController>(UITableViewStylePlain, nibName, bundle);
    controller->setTitle(NSBundle::mainBundle()->localizedStringForKey("Filters", "", ""));
    return controller;
}
