#include "KESTFilterCreateViewController.h"

VX_REGISTER_CLASS(KESTFilterCreateViewController);
