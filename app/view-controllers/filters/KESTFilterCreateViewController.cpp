#include "app/view-controllers/filters/KESTFilterCreateViewController.h"

VX_REGISTER_CLASS(KESTFilterCreateViewController);
