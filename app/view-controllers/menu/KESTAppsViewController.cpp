#include "app/view-controllers/menu/KESTAppsViewController.h"

VX_REGISTER_CLASS(KESTAppsViewController);
