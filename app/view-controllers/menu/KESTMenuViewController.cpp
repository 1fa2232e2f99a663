#include "app/view-controllers/menu/KESTMenuViewController.h"

#include "foundation/NSBundle.h"

VX_REGISTER_CLASS(KESTMenuViewController);

Ref<KESTMenuViewController> KESTMenuViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    auto controller = makeTableController<KESTMenuViewController>(UITableViewStylePlain, nibName, bundle);
    controller->setTitle(NSBundle::mainBundle()->localizedStringForKey("Menu", "", ""));
    return controller;
}
