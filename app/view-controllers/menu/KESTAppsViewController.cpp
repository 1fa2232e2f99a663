#include "KESTAppsViewController.h"

VX_REGISTER_CLASS(KESTAppsViewController);
